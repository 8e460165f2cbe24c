// Ground cells of the tile sheet: streets, pavements, grass and gardens,
// indoor floors, the water and fire loops and the odd dressing of puddles,
// leaves and smears.
#include <algorithm>
#include <cmath>
#include <functional>

#include "fonts.h"
#include "pictures.h"
#include "tiles_parts.h"

static Image asphalt() { return tile_from(asphalt_at); }

void make_street()
{
    put(0, asphalt());
    Image worn = tile_from([](int x, int y) {
        Rgb c = asphalt_at(x, y);
        float p = fractal_noise(x / 8.0f, y / 8.0f, 21, 4, 2);
        return p > 0.55f ? add(c, (int)((p - 0.55f) * 60)) : c;
    });
    put(1, worn);
    Image cracked = asphalt();
    crack(cracked, 31, 2, 9, 40);
    crack(cracked, 32, 8, 22, 30);
    put(2, cracked);
    Image patched = asphalt();
    for (int y = 7; y < 24; y++)
        for (int x = 5; x < 23; x++) {
            Rgb c = mix({24, 24, 28}, {34, 34, 40}, hash01(x, y, 33));
            if (y == 7 || x == 5) c = {18, 18, 22};
            if (y == 23 || x == 22) c = {44, 44, 50};
            put_px(patched, x, y, c);
        }
    put(3, patched);
    Image ns = asphalt();
    paint(ns, 15, 4, 2, 16, ROAD_YELLOW, 41);
    put(4, ns);
    put(5, rotate(ns, 1));
    Image zebra = asphalt();
    for (int k = 0; k < 4; k++) paint(zebra, k * 8 + 2, 0, 4, 32, ROAD_WHITE, 43 + k);
    put(6, zebra);
    put(7, rotate(zebra, 1));
    Image manhole = asphalt();
    fill_ellipse(manhole, 16, 16, 11, 11, {20, 20, 22});
    fill_ellipse(manhole, 16, 16, 10, 10, {64, 62, 60});
    for (int y = 6; y < 27; y++)
        for (int x = 6; x < 27; x++) {
            if (!same_colour(get_px(manhole, x, y), {64, 62, 60})) continue;
            bool ridge = ((x + y) % 4 == 0) || ((x - y + 64) % 4 == 0);
            float l = 1.0f - ((x - 16) + (y - 16)) / 40.0f;
            put_px(manhole, x, y, scale(ridge ? Rgb{84, 80, 76} : Rgb{52, 50, 48}, l));
        }
    fill_ellipse(manhole, 16, 16, 3, 3, {40, 38, 36});
    put(8, manhole);
    Image drain = asphalt();
    fill_rect(drain, 8, 10, 16, 12, {16, 16, 18});
    for (int x = 9; x < 24; x += 2) fill_rect(drain, x, 11, 1, 10, {70, 70, 74});
    fill_rect(drain, 8, 10, 16, 1, {80, 80, 84});
    put(9, drain);
    Image edge = asphalt();
    paint(edge, 2, 0, 3, 32, ROAD_WHITE, 51);
    put(10, edge);
    put(11, rotate(edge, 2));
    put(12, rotate(edge, 1));
    put(13, rotate(edge, 3));
    Image oil = asphalt();
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) {
            float d = std::hypot(x - 14.0f, (y - 18.0f) * 1.3f) + fractal_noise(x / 3.0f, y / 3.0f, 61, 0, 2) * 5;
            if (d < 9) put_px(oil, x, y, mix({14, 14, 20}, {40, 30, 54}, hash01(x, y, 62) * 0.4f + (d < 4 ? 0.4f : 0)));
            if ((x == 6 || x == 7 || x == 24 || x == 25) && hash01(x, y, 63) > 0.3f)
                put_px(oil, x, y, scale(get_px(oil, x, y), 0.7f));
        }
    put(14, oil);
    Image blood = asphalt();
    rng_seed(71);
    for (int i = 0; i < 7; i++) {
        float x = 8 + rng_float() * 16, y = 6 + rng_float() * 20;
        fill_ellipse(blood, x, y, 2 + rng_float() * 4, 2 + rng_float() * 3, {70, 10, 12});
    }
    draw_line(blood, 12, 14, 26, 26, 2, {62, 8, 10});
    put(15, blood);
}

static Image kerb_north()
{
    Image t = tile_from(slab_at);
    for (int x = 0; x < T; x++) {
        put_px(t, x, 0, {22, 22, 26});
        for (int y = 1; y < 7; y++) {
            Rgb c = mix({88, 88, 92}, {106, 106, 110}, hash01(x, y, 91));
            if (y == 1) c = {126, 126, 130};
            if (y == 6) c = {44, 44, 50};
            if (x % 16 == 0) c = {40, 40, 46};
            put_px(t, x, y, c);
        }
    }
    return t;
}

void make_pavement()
{
    put(16, tile_from(slab_at));
    Image cracked = tile_from(slab_at);
    crack(cracked, 101, 17, 3, 12);
    crack(cracked, 102, 2, 20, 13);
    for (int y = 17; y < 31; y++)
        for (int x = 17; x < 31; x++)
            if (fractal_noise(x / 4.0f, y / 4.0f, 103, 0, 2) > 0.6f) put_px(cracked, x, y, scale(get_px(cracked, x, y), 0.75f));
    put(17, cracked);
    Image litter = tile_from(slab_at);
    float paper[] = {5, 8, 14, 5, 16, 12, 7, 15};
    fill_polygon(litter, paper, 4, {170, 166, 150});
    draw_line(litter, 7, 9, 13, 7, 1, {110, 110, 120});
    draw_line(litter, 8, 11, 14, 9, 1, {110, 110, 120});
    fill_ellipse(litter, 23, 22, 3, 1.6f, {150, 30, 30}); // a crushed can
    put_px(litter, 21, 22, {200, 200, 200});
    fill_ellipse(litter, 12, 25, 1.2f, 1.2f, {200, 190, 150});
    put(18, litter);
    Image kn = kerb_north();
    put(19, kn);
    put(20, rotate(kn, 2));
    put(21, rotate(kn, 3));
    put(22, rotate(kn, 1));
    // Outer corners: two kerbs meet.
    Image nw = kn;
    Image w = rotate(kn, 3);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < 7; x++) put_px(nw, x, y, get_px(w, x, y));
    put(23, nw);
    put(24, rotate(nw, 1));
    put(25, rotate(nw, 3));
    put(26, rotate(nw, 2));
    Image lamp = tile_from([](int x, int y) {
        Rgb c = slab_at(x, y);
        // A sodium street lamp overhead: a warm pool that fades out just
        // before the cell's edge, so it sits among plain slabs.
        float d = std::hypot(x - 15.5f, y - 15.5f) / 17.0f;
        float l = std::max(0.0f, 1 - d * d);
        Rgb warm = rgb(c.r * 2 + 50, (int)(c.g * 1.6f) + 30, c.b);
        return mix(c, warm, l * 0.85f);
    });
    fill_ellipse(lamp, 16, 16, 2.5f, 2.5f, {40, 40, 44}); // the lamp post's foot
    put_px(lamp, 15, 15, {110, 110, 116});
    put(27, lamp);
    put(28, tile_from([](int x, int y) {
        int row = y / 8, off = (row % 2) * 4;
        int cx = ((x + off) / 8) * 8 + 4 - off, cy = row * 8 + 4;
        float dx = (x + 0.5f - cx) / 3.8f, dy = (y + 0.5f - cy) / 3.6f;
        float d = dx * dx + dy * dy;
        if (d > 1) return Rgb{30, 28, 28};
        Rgb base = mix({70, 66, 64}, {100, 96, 90}, hash01((x + off) / 8, row, 111));
        return scale(base, 1.1f - 0.3f * (dx + dy) * 0.5f - (d > 0.7f ? 0.15f : 0.0f));
    }));
    put(29, tile_from([](int x, int y) {
        // Basket weave of 8 x 4 bricks.
        int bx = x / 8, by = y / 8;
        bool horiz = (bx + by) % 2 == 0;
        int u = horiz ? x % 8 : y % 8, v = horiz ? y % 4 : x % 4;
        int idx = horiz ? (y / 4) * 7 + bx : (x / 4) * 5 + by;
        Rgb c = mix({96, 44, 34}, {124, 64, 46}, hash01(idx, 3, 121));
        if (u == 0 || v == 0) return Rgb{44, 32, 30};
        if (u == 7 || v == 3) return scale(c, 0.8f);
        return add(c, (int)(grain(x, y, 122) * 10));
    }));
    put(30, tile_from([](int x, int y) {
        float h = hash01(x, y, 131);
        Rgb c = mix({70, 66, 60}, {120, 114, 104}, h);
        if (hash01(x - 1, y - 1, 131) > 0.7f) c = add(c, 18);
        if (hash01(x + 1, y + 1, 131) > 0.75f) c = scale(c, 0.7f);
        return c;
    }));
    put(31, tile_from([](int x, int y) {
        float n = fractal_noise(x / 8.0f, y / 8.0f, 141, 4, 3);
        Rgb c = mix({58, 59, 64}, {80, 80, 84}, n);
        if (x == 0 || y == 0) return Rgb{40, 40, 44};
        return add(c, (int)(grain(x, y, 142) * 8));
    }));
}

void make_nature()
{
    const Rgb g_lo = {26, 46, 26}, g_hi = {48, 78, 40};
    put(32, tile_from([&](int x, int y) { return grass_at(x, y, 161, g_lo, g_hi); }));
    put(33, tile_from([&](int x, int y) { return grass_at(x, y, 161, {20, 36, 22}, {38, 60, 34}); }));
    Image flowers = tile_from([&](int x, int y) { return grass_at(x, y, 161, g_lo, g_hi); });
    rng_seed(171);
    const Rgb petals[3] = {{220, 210, 120}, {210, 90, 80}, {180, 180, 230}};
    for (int i = 0; i < 9; i++) {
        int x = rng_range(2, 28), y = rng_range(2, 28);
        Rgb p = petals[i % 3];
        put_px(flowers, x, y, p);
        put_px(flowers, x + 1, y, p);
        put_px(flowers, x, y + 1, p);
        put_px(flowers, x + 1, y + 1, scale(p, 0.7f));
    }
    put(34, flowers);
    Image leaves = tile_from([&](int x, int y) { return grass_at(x, y, 161, g_lo, g_hi); });
    for (int i = 0; i < 14; i++) {
        float x = rng_float() * 30 + 1, y = rng_float() * 30 + 1;
        fill_ellipse_rot(leaves, x, y, 2.2f, 1.2f, rng_float() * 180, mix({150, 80, 30}, {110, 40, 20}, rng_float()));
    }
    put(35, leaves);
    put(36, tile_from(dirt_at));
    Image path = tile_from([&](int x, int y) {
        float edge = 8 + fractal_noise(0, y / 4.0f, 181, 8, 2) * 4;
        float edge2 = 24 - fractal_noise(3, y / 4.0f, 182, 8, 2) * 4;
        return (x > edge && x < edge2) ? dirt_at(x, y) : grass_at(x, y, 161, g_lo, g_hi);
    });
    put(37, path);
    put(38, transpose(path));
    Image bed = tile_from(dirt_at);
    for (int row = 0; row < 3; row++)
        for (int k = 0; k < 4; k++) {
            float x = 4 + k * 8 + (row % 2) * 3, y = 6 + row * 10;
            fill_ellipse(bed, x, y, 3.2f, 3.0f, {40, 80, 36});
            put_px(bed, (int)x - 1, (int)y - 1, {70, 120, 60});
            fill_ellipse(bed, x, y, 1.1f, 1.1f, row == 1 ? Rgb{200, 60, 60} : Rgb{220, 200, 90});
        }
    put(39, bed);
    put(40, leafy(191, {20, 44, 22}, {56, 96, 48}, false));
    Image hedge_side = leafy(192, {16, 34, 18}, {44, 78, 40}, false);
    for (int y = 26; y < T; y++)
        for (int x = 0; x < T; x++) put_px(hedge_side, x, y, scale(get_px(hedge_side, x, y), 0.6f));
    put(41, hedge_side);
    put(42, leafy(193, {22, 50, 26}, {70, 110, 52}, true));
    put(43, tile_from([](int x, int y) {
        float n = fractal_noise(x / 2.0f, y / 9.0f, 201, 0, 3);
        Rgb c = mix({40, 28, 20}, {84, 62, 44}, n);
        return (int)(n * 10) % 3 == 0 ? scale(c, 0.7f) : c;
    }));
    put(44, tile_from([](int x, int y) {
        float n = fractal_noise(x / 5.0f, y / 5.0f, 211, 0, 2);
        return add(mix({118, 102, 72}, {150, 132, 96}, n), (int)(grain(x, y, 212) * 12));
    }));
    Image stones = tile_from(dirt_at);
    rng_seed(221);
    for (int i = 0; i < 6; i++) {
        float x = 4 + rng_float() * 24, y = 4 + rng_float() * 24, r = 2 + rng_float() * 3;
        fill_ellipse(stones, x + 1, y + 1, r, r * 0.8f, {30, 24, 20});
        fill_ellipse(stones, x, y, r, r * 0.8f, {100, 98, 96});
        put_px(stones, (int)(x - r / 2), (int)(y - r / 2), {140, 140, 138});
    }
    put(45, stones);
    // Crate: planks in a frame.
    Image crate_top = tile_from([](int x, int y) {
        bool frame = x < 3 || y < 3 || x > 28 || y > 28;
        Rgb c = mix({110, 78, 44}, {140, 100, 58}, hash01(x / 6, 1, 231));
        if (!frame && x % 6 == 3) return Rgb{60, 40, 24};
        if (frame) c = {96, 66, 38};
        if (x == 0 || y == 0) return Rgb{150, 112, 70};
        if (x == 31 || y == 31) return Rgb{50, 34, 20};
        return add(c, (int)(grain(x, y, 232) * 12));
    });
    draw_line(crate_top, 3, 3, 28, 28, 2.5f, {100, 70, 40});
    put(46, crate_top);
    put(47, rotate(crate_top, 1));
}

static Rgb planks_at(int x, int y, Rgb lo, Rgb hi)
{
    int board = x / 8;
    int end = (int)(hash01(board, 0, 241) * 32);
    Rgb c = mix(lo, hi, hash01(board, y >= end ? 1 : 0, 242));
    float g = value_noise(x * 1.5f, y / 6.0f, 243, 0);
    c = scale(c, 0.85f + 0.3f * g);
    if (x % 8 == 0) return scale(lo, 0.45f);
    if (x % 8 == 1) return add(c, 12);
    if (y == end) return scale(lo, 0.5f);
    if ((y == (end + 2) % 32 || y == (end + 29) % 32) && x % 8 == 4) return {40, 30, 24};
    return c;
}

static Rgb carpet_at(int x, int y, Rgb c, uint32_t seed)
{
    float n = fractal_noise(x / 6.0f, y / 6.0f, seed, 0, 2);
    return add(scale(c, 0.85f + 0.25f * n), (int)(grain(x, y, seed + 1) * 16));
}

static void splatter(Image& t, uint32_t seed)
{
    rng_seed(seed);
    fill_ellipse(t, 15, 17, 6, 5, {96, 6, 10});
    for (int i = 0; i < 8; i++) {
        float a = rng_float() * 6.28f, d = 5 + rng_float() * 8;
        fill_ellipse(t, 15 + std::sin(a) * d, 17 - std::cos(a) * d, 1 + rng_float() * 2, 1 + rng_float(), {110, 8, 12});
    }
    put_px(t, 13, 15, {170, 60, 60});
}

void make_interiors()
{
    const Rgb wood_lo = {84, 52, 30}, wood_hi = {124, 82, 48};
    Image planks = tile_from([&](int x, int y) { return planks_at(x, y, wood_lo, wood_hi); });
    put(48, planks);
    put(49, rotate(planks, 1));
    put(50, tile_from([](int x, int y) {
        int bx = x / 8, by = y / 8;
        bool horiz = (bx + by) % 2 == 0;
        int u = horiz ? y % 8 : x % 8;
        int strip = u / 2;
        Rgb c = mix({90, 56, 30}, {130, 88, 52}, hash01(bx * 4 + strip, by, 251));
        if (u % 2 == 0) c = scale(c, 0.8f);
        if (x % 8 == 0 || y % 8 == 0) c = {50, 32, 20};
        return c;
    }));
    // Black and white, but worn and dimmed by the night so a whole shop floor
    // of it does not flicker.
    put(51, tile_from([](int x, int y) { return tiles_at(x, y, 8, {140, 136, 128}, {44, 44, 50}, {66, 64, 62}, true, 261); }));
    put(52, tile_from([](int x, int y) { return tiles_at(x, y, 8, {110, 150, 170}, {110, 150, 170}, {190, 196, 196}, false, 271); }));
    put(53, tile_from([](int x, int y) { return tiles_at(x, y, 16, {150, 72, 44}, {130, 60, 36}, {70, 56, 48}, true, 281); }));
    put(54, tile_from([](int x, int y) { return carpet_at(x, y, {120, 26, 32}, 291); }));
    put(55, tile_from([](int x, int y) { return carpet_at(x, y, {40, 84, 56}, 301); }));
    put(56, tile_from([](int x, int y) {
        float n = fractal_noise(x / 8.0f, y / 8.0f, 311, 4, 3);
        Rgb c = mix({66, 66, 64}, {92, 90, 86}, n);
        if (fractal_noise(x / 6.0f, y / 6.0f, 312, 0, 2) > 0.68f) c = scale(c, 0.75f);
        if (x == 0 || y == 0) return Rgb{40, 40, 40};
        return add(c, (int)(grain(x, y, 313) * 10));
    }));
    put(57, tile_from([](int x, int y) {
        Rgb c = {150, 140, 112};
        float h = hash01(x, y, 321);
        if (h > 0.9f) c = {110, 100, 80};
        else if (h < 0.06f) c = {190, 182, 160};
        return scale(c, 0.9f + 0.1f * fractal_noise(x / 8.0f, y / 8.0f, 322, 4, 2));
    }));
    put(58, tile_from([](int x, int y) {
        bool border = x < 3 || y < 3 || x > 28 || y > 28;
        Rgb c = border ? Rgb{50, 36, 26} : Rgb{126, 92, 54};
        if (!border && (x + y) % 3 == 0) c = scale(c, 0.8f);
        return add(c, (int)(grain(x, y, 331) * 18));
    }));
    Image bloody = planks;
    splatter(bloody, 341);
    put(59, bloody);
    Image checker_blood = tile_from([](int x, int y) { return tiles_at(x, y, 8, {140, 136, 128}, {44, 44, 50}, {66, 64, 62}, true, 261); });
    splatter(checker_blood, 342);
    put(60, checker_blood);
    put(61, tile_from([](int x, int y) {
        int d = std::min(std::min(x, y), std::min(31 - x, 31 - y));
        Rgb c = {110, 30, 30};
        if (d == 0) c = {60, 40, 30};
        else if (d == 2 || d == 5) c = {200, 170, 90};
        else if (d == 3 || d == 4) c = {40, 50, 100};
        else if (d > 7) {
            int u = std::abs(x - 16) + std::abs(y - 16);
            c = (u % 6 < 2) ? Rgb{200, 170, 90} : (u < 5 ? Rgb{40, 50, 100} : Rgb{120, 34, 34});
        }
        return add(c, (int)(grain(x, y, 351) * 14));
    }));
    put(62, tile_from([](int x, int y) {
        // Irregular flagstones from a cell pattern.
        float best = 1e9f, second = 1e9f;
        int id = 0;
        for (int j = -1; j <= 2; j++)
            for (int i = -1; i <= 2; i++) {
                float px = i * 16 + hash01(i & 1, j & 1, 361) * 12 + 2, py = j * 16 + hash01(i & 1, j & 1, 362) * 12 + 2;
                float d = std::hypot(x - px, y - py);
                if (d < best) { second = best; best = d; id = (i & 1) + (j & 1) * 2; }
                else if (d < second) second = d;
            }
        if (second - best < 1.5f) return Rgb{34, 32, 30};
        return add(mix({80, 78, 74}, {110, 106, 100}, hash01(id, 0, 363)), (int)(grain(x, y, 364) * 12));
    }));
    put(63, tile_from([](int x, int y) {
        Rgb c = mix({78, 80, 86}, {96, 98, 104}, fractal_noise(x / 8.0f, y / 8.0f, 371, 4, 2));
        int u = x % 8, v = y % 8;
        bool tread = (u + v == 7 || u + v == 8) && ((x / 8 + y / 8) % 2 == 0);
        bool tread2 = (u == v || u == v + 1) && ((x / 8 + y / 8) % 2 == 1);
        if (tread || tread2) c = add(c, 36);
        return c;
    }));
}

void make_water()
{
    // Dark water with broken ripple lines: thin crests of a swell bent by
    // a noise field, shown only where a second field lets them through. The
    // swell moves one whole wave over the eight frames and the mask drifts
    // 4 pixels a frame over its 32-pixel period, so the loop closes.
    const float TAU = 6.2831853f;
    for (int f = 0; f < 8; f++)
        put(128 + f, tile_from([f, TAU](int x, int y) {
            float warp = fractal_noise(x / 8.0f, y / 8.0f, 611, 4, 2);
            float depth = fractal_noise(x / 16.0f, y / 16.0f, 613, 2, 2);
            Rgb c = mix({12, 24, 38}, {22, 42, 58}, depth);
            c = add(c, (int)(grain(x, y, 615) * 4));
            float phase = (y + warp * 7) * TAU / 8 - f * TAU / 8;
            float swell = std::sin(phase);
            float gate = fractal_noise((x + f * 4) / 8.0f, y / 8.0f, 612, 4, 2);
            if (swell > 0.9f && gate > 0.5f) c = gate > 0.62f ? Rgb{84, 122, 140} : Rgb{52, 84, 104};
            else if (swell < -0.85f) c = scale(c, 0.82f);
            return c;
        }));
}

void make_fire()
{
    // Flames on charred ground: a noise field rising 4 pixels a frame, with
    // a second field for the flicker; seamless across neighbouring cells.
    for (int f = 0; f < 8; f++)
        put(136 + f, tile_from([f](int x, int y) {
            float a = fractal_noise(x / 8.0f, (y + f * 4) / 8.0f, 621, 4, 3);
            float b = fractal_noise(x / 4.0f, (y + f * 8) / 4.0f, 622, 8, 2);
            float heat = a * 0.7f + b * 0.45f;
            if (heat < 0.45f) {
                Rgb ground = mix({20, 14, 12}, {46, 30, 24}, fractal_noise(x / 4.0f, y / 4.0f, 623, 8, 2));
                return heat > 0.4f ? Rgb{120, 30, 10} : ground; // embers round the flames
            }
            float t = (heat - 0.45f) / 0.45f;
            if (t < 0.3f) return mix({150, 24, 8}, {230, 90, 14}, t / 0.3f);
            if (t < 0.7f) return mix({230, 90, 14}, {255, 200, 60}, (t - 0.3f) / 0.4f);
            return mix({255, 200, 60}, {255, 250, 210}, (t - 0.7f) / 0.3f);
        }));
}

void make_extras()
{
    // Pavement and street dressing.
    Image puddle = tile_from(slab_at);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) {
            float d = std::hypot(x - 15.0f, (y - 17.0f) * 1.3f) + fractal_noise(x / 3.0f, y / 3.0f, 701, 0, 2) * 6;
            if (d < 10) put_px(puddle, x, y, mix({24, 30, 44}, {60, 70, 92}, (x * 3 + y) % 11 == 0 ? 0.9f : 0.2f));
        }
    put(172, puddle);
    Image leaves = tile_from(slab_at);
    rng_seed(711);
    for (int i = 0; i < 12; i++) {
        float x = rng_float() * 30 + 1, y = rng_float() * 30 + 1;
        fill_ellipse_rot(leaves, x, y, 2.2f, 1.2f, rng_float() * 180, mix({150, 80, 30}, {100, 50, 20}, rng_float()));
    }
    put(173, leaves);
    Image smear = tile_from(slab_at);
    for (int k = 0; k < 3; k++) draw_line(smear, 4.0f + k * 2, 6.0f + k, 27.0f, 22.0f + k * 2, 2.2f, {84, 8, 10});
    fill_ellipse(smear, 6, 7, 4, 3, {96, 8, 12});
    put(174, smear);
    Image ashpool = tile_from(asphalt_at);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) {
            float d = std::hypot(x - 17.0f, (y - 14.0f) * 1.2f) + fractal_noise(x / 3.0f, y / 3.0f, 721, 0, 2) * 7;
            if (d < 11) put_px(ashpool, x, y, mix({20, 26, 38}, {54, 64, 86}, (x + y * 3) % 13 == 0 ? 0.9f : 0.15f));
        }
    put(175, ashpool);
    // Wall dressing.
    put(176, tile_from([](int x, int y) {
        // Wooden fence of upright boards.
        Rgb c = mix({90, 62, 40}, {118, 84, 54}, hash01(x / 6, 0, 731));
        c = scale(c, 0.85f + 0.25f * value_noise(x * 1.5f, y / 5.0f, 732, 0));
        if (x % 6 == 0) c = {34, 24, 16};
        if (y == 6 || y == 24) c = scale(c, 0.7f);
        if (y < 2 && x % 6 > 1 && x % 6 < 5) c = add(c, 20);
        return c;
    }));
    Image boarded = wall_from(brick_at);
    fill_rect(boarded, 7, 5, 18, 20, {20, 16, 14});
    for (int k = 0; k < 3; k++) {
        draw_line(boarded, 6, 8.0f + k * 6, 26, 10.0f + k * 5, 4, {30, 22, 16});
        draw_line(boarded, 6, 7.0f + k * 6, 26, 9.0f + k * 5, 3, mix({110, 80, 50}, {140, 104, 66}, k / 2.0f));
    }
    put(177, boarded);
    Image broken = wall_from(brick_at);
    window(broken, false);
    float shard[] = {12, 10, 18, 7, 15, 15, 20, 19, 11, 20};
    fill_polygon(broken, shard, 5, {6, 6, 10});
    put(178, broken);
    Image pipe = wall_from(brick_at);
    fill_rect(pipe, 22, 0, 4, 32, {54, 58, 62});
    fill_rect(pipe, 22, 0, 1, 32, {100, 104, 108});
    for (int y = 4; y < 32; y += 12) fill_rect(pipe, 21, y, 6, 2, {40, 42, 46});
    put(179, pipe);
    Image conc_tag = wall_from(concrete_wall_at);
    {
        Image tag = make_image(T, T, MAGENTA);
        draw_line(tag, 4, 20, 10, 8, 3, {230, 200, 40});
        draw_line(tag, 10, 8, 13, 18, 3, {230, 200, 40});
        draw_line(tag, 13, 18, 20, 9, 3, {230, 200, 40});
        draw_line(tag, 20, 9, 27, 16, 3, {230, 200, 40});
        draw_line(tag, 6, 25, 26, 24, 1.5f, {200, 40, 30});
        outline(tag, {16, 16, 20}, false);
        blit(conc_tag, tag, 0, 0);
    }
    put(180, conc_tag);
    Image bloodwall = wall_from(plaster_at);
    rng_seed(741);
    fill_ellipse(bloodwall, 15, 12, 6, 5, {110, 8, 12});
    for (int i = 0; i < 6; i++) {
        float x = 9 + rng_float() * 13;
        draw_line(bloodwall, x, 12, x, 16 + rng_float() * 14, 1.4f, {100, 6, 10});
    }
    put(181, bloodwall);
}
