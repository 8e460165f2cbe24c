// The map tile sheet. The cell index table is in tiles.h. Floors of one kind
// share one noise field that repeats every 32 pixels, so neighbouring cells
// of the same kind join without a seam; features (cracks, lines, covers)
// stay inside their cell.
#include <algorithm>
#include <cmath>
#include <functional>

#include "fonts.h"
#include "pictures.h"
#include "tiles.h"

static const int T = 32;
static Image sheet;

static void put(int index, const Image& t)
{
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(sheet, (index % 16) * T + x, (index / 16) * T + y, get_px(t, x, y));
}

static Image tile_from(std::function<Rgb(int, int)> f)
{
    Image t = make_image(T, T, MAGENTA);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(t, x, y, f(x, y));
    return t;
}

// Turns a tile a quarter clockwise, `turns` times.
static Image rotate(const Image& t, int turns)
{
    Image r = t;
    for (int k = 0; k < turns; k++) {
        Image n = make_image(T, T, MAGENTA);
        for (int y = 0; y < T; y++)
            for (int x = 0; x < T; x++) put_px(n, T - 1 - y, x, get_px(r, x, y));
        r = n;
    }
    return r;
}

static Image transpose(const Image& t)
{
    Image n = make_image(T, T, MAGENTA);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(n, y, x, get_px(t, x, y));
    return n;
}

static float grain(int x, int y, uint32_t s) { return hash01(x & 31, y & 31, s) - 0.5f; }

// ---- street -----------------------------------------------------------

static Rgb asphalt_at(int x, int y)
{
    float n = fractal_noise(x / 4.0f, y / 4.0f, 11, 8, 3);
    Rgb c = mix({30, 31, 37}, {56, 56, 63}, n);
    c = add(c, (int)(grain(x, y, 12) * 14));
    if (hash01(x & 31, y & 31, 13) > 0.95f) c = add(c, 22);
    return c;
}

static Image asphalt() { return tile_from(asphalt_at); }

static void crack(Image& t, uint32_t seed, int x, int y, int steps)
{
    rng_seed(seed);
    int dx = 1, dy = 0;
    for (int i = 0; i < steps; i++) {
        put_px(t, x, y, {14, 14, 18});
        put_px(t, x + 1, y + 1, add(get_px(t, x + 1, y + 1), 10));
        int r = rng_range(0, 9);
        if (r < 3) dy = rng_range(-1, 1);
        if (r == 9) {
            // A branch that wanders off on its own.
            int bx = x, by = y;
            for (int k = 0; k < 5; k++) {
                bx += rng_range(0, 1);
                by += rng_range(-1, 1);
                put_px(t, bx, by, {20, 20, 24});
            }
        }
        x += dx;
        y += dy;
        if (x < 1 || x > 30 || y < 1 || y > 30) break;
    }
}

// Road paint, scuffed: some pixels worn down to the asphalt.
static void paint(Image& t, int x, int y, int w, int h, Rgb c, uint32_t seed)
{
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            float wear = hash01(i, j, seed) + fractal_noise(i / 3.0f, j / 3.0f, seed + 1, 0, 2) * 0.6f;
            if (wear < 0.35f) continue;
            put_px(t, i, j, mix(c, get_px(t, i, j), wear > 0.9f ? 0.0f : 0.25f));
        }
}

static const Rgb ROAD_YELLOW = {196, 160, 52};
static const Rgb ROAD_WHITE = {196, 196, 188};

static void make_street()
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

// ---- pavement ---------------------------------------------------------

static Rgb slab_at(int x, int y)
{
    int sx = x % 16, sy = y % 16;
    float n = fractal_noise(x / 4.0f, y / 4.0f, 81, 8, 2);
    // Each slab weathered on its own: tone, and grime gathered toward one
    // corner of it.
    int slab = (x / 16) % 2 + ((y / 16) % 2) * 2;
    float tone = hash01(slab, 0, 82) * 0.4f;
    Rgb c = mix({46, 48, 56}, {72, 73, 80}, n * 0.5f + tone);
    float gx = hash01(slab, 1, 84) * 16, gy = hash01(slab, 2, 84) * 16;
    float grime = std::max(0.0f, 1 - std::hypot(sx - gx, sy - gy) / 9.0f);
    c = scale(c, 1 - grime * 0.25f * fractal_noise(x / 2.0f, y / 2.0f, 85, 16, 2));
    c = add(c, (int)(grain(x, y, 83) * 10));
    if (sx == 0 || sy == 0) return {32, 32, 37};
    if (sx == 1 || sy == 1) return add(c, 10);
    if (sx == 15 || sy == 15) return scale(c, 0.82f);
    return c;
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

static void make_pavement()
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

// ---- nature -----------------------------------------------------------

static Rgb grass_at(int x, int y, uint32_t seed, Rgb lo, Rgb hi)
{
    float n = fractal_noise(x / 8.0f, y / 8.0f, seed, 4, 3);
    Rgb c = mix(lo, hi, n);
    float b = hash01(x & 31, (y / 2) & 31, seed + 1);
    if (b > 0.8f) c = add(c, 18);
    else if (b < 0.2f) c = scale(c, 0.75f);
    return c;
}

static Rgb dirt_at(int x, int y)
{
    float n = fractal_noise(x / 6.0f, y / 6.0f, 151, 0, 3);
    Rgb c = mix({54, 40, 30}, {84, 64, 46}, n);
    if (hash01(x & 31, y & 31, 152) > 0.94f) c = {110, 100, 90};
    return add(c, (int)(grain(x, y, 153) * 10));
}

static Image leafy(uint32_t seed, Rgb dark, Rgb light, bool round)
{
    Image t = make_image(T, T, round ? MAGENTA : dark);
    rng_seed(seed);
    for (int i = 0; i < 220; i++) {
        float x = rng_float() * 32, y = rng_float() * 32;
        if (round && std::hypot(x - 16, y - 16) > 14) continue;
        float r = 1.5f + rng_float() * 2.5f;
        float l = 1.0f - ((x - 16) + (y - 16)) / (round ? 30.0f : 70.0f);
        Rgb c = scale(mix(dark, light, rng_float()), l);
        fill_ellipse(t, x, y, r, r * 0.8f, c);
        put_px(t, (int)(x - r * 0.4f), (int)(y - r * 0.4f), add(c, 25));
    }
    if (round) outline(t, {10, 18, 10}, false);
    return t;
}

static void make_nature()
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

// ---- interiors --------------------------------------------------------

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

static Rgb tiles_at(int x, int y, int size, Rgb a, Rgb b, Rgb grout, bool checker, uint32_t seed)
{
    if (x % size == 0 || y % size == 0) return grout;
    bool alt = checker && ((x / size + y / size) % 2 == 1);
    Rgb c = alt ? b : a;
    c = scale(c, 0.92f + 0.12f * hash01(x / size, y / size, seed));
    if (x % size == 1 || y % size == 1) c = add(c, 14);
    return add(c, (int)(grain(x, y, seed + 1) * 6));
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

static void make_interiors()
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

// ---- walls ------------------------------------------------------------

static Rgb brick_at(int x, int y)
{
    int row = y / 4, off = (row % 2) * 4;
    int bx = (x + off) / 8;
    if (y % 4 == 3 || (x + off) % 8 == 0) return {48, 42, 40};
    Rgb c = mix({92, 40, 30}, {130, 62, 44}, hash01(bx, row, 381));
    if (hash01(bx, row, 382) > 0.9f) c = {70, 36, 30};
    if (y % 4 == 0) c = add(c, 14);
    return add(c, (int)(grain(x, y, 383) * 12));
}

static Rgb concrete_wall_at(int x, int y)
{
    float n = fractal_noise(x / 6.0f, y / 10.0f, 391, 0, 3);
    Rgb c = mix({70, 72, 76}, {100, 100, 102}, n);
    // Rain streaks running down from the top.
    if (value_noise(x * 1.3f, 0, 392, 0) > 0.7f) c = scale(c, 0.85f);
    if (x == 0 || x == 16) return {46, 46, 50};
    if (y == 15) return {56, 56, 60};
    return add(c, (int)(grain(x, y, 393) * 8));
}

static Rgb plaster_at(int x, int y)
{
    float n = fractal_noise(x / 5.0f, y / 5.0f, 401, 0, 3);
    Rgb c = mix({110, 100, 80}, {140, 128, 104}, n);
    return add(c, (int)(grain(x, y, 402) * 10));
}

// A window in a wall: frame, sill, and lit or dark glass with a cross bar.
static void window(Image& t, bool lit, float flicker = 1.0f)
{
    fill_rect(t, 7, 5, 18, 20, {30, 28, 28});
    fill_rect(t, 8, 6, 16, 18, {160, 156, 148});
    for (int y = 7; y < 23; y++)
        for (int x = 9; x < 23; x++) {
            Rgb c;
            if (lit) {
                float g = 1.0f - (y - 7) / 30.0f;
                c = scale(mix({255, 214, 130}, {220, 150, 70}, (x - 9) / 14.0f), g * flicker);
                // A curtain on the left half.
                if (x < 13) c = scale({170, 60, 40}, 0.7f * flicker + 0.1f);
            } else {
                c = mix({14, 20, 32}, {30, 40, 58}, (x - 9 + y - 7) / 30.0f);
                if (x - y == 8 || x - y == 9) c = {60, 70, 90}; // a glint
            }
            put_px(t, x, y, c);
        }
    fill_rect(t, 15, 7, 2, 16, {150, 146, 138});
    fill_rect(t, 9, 14, 14, 1, {150, 146, 138});
    fill_rect(t, 6, 24, 20, 2, {170, 166, 158});
    fill_rect(t, 6, 26, 20, 1, {30, 28, 28});
}

static void door(Image& t, Rgb wood)
{
    fill_rect(t, 8, 4, 16, 28, {24, 22, 22});
    fill_rect(t, 9, 5, 14, 27, wood);
    for (int y = 5; y < 32; y++)
        for (int x = 9; x < 23; x++) {
            Rgb c = scale(wood, 0.9f + 0.2f * value_noise(x * 1.2f, y / 5.0f, 411, 0));
            bool panel = (x == 11 || x == 20) && ((y > 7 && y < 16) || (y > 19 && y < 29));
            bool panel_h = (y == 8 || y == 15 || y == 20 || y == 28) && x > 10 && x < 21;
            if (panel || panel_h) c = scale(c, 0.7f);
            put_px(t, x, y, c);
        }
    fill_rect(t, 9, 5, 14, 1, add(wood, 30));
    fill_ellipse(t, 20.5f, 19, 1.2f, 1.2f, {200, 180, 90});
}

static Image wall_from(Rgb (*f)(int, int)) { return tile_from(f); }

static void make_walls(const Image& font)
{
    put(64, wall_from(brick_at));
    Image w = wall_from(brick_at);
    window(w, true);
    put(65, w);
    w = wall_from(brick_at);
    window(w, false);
    put(66, w);
    w = wall_from(brick_at);
    door(w, {90, 40, 30});
    put(67, w);
    put(68, wall_from(concrete_wall_at));
    w = wall_from(concrete_wall_at);
    window(w, true);
    put(69, w);
    w = wall_from(concrete_wall_at);
    window(w, false);
    put(70, w);
    w = wall_from(concrete_wall_at);
    fill_rect(w, 8, 4, 16, 28, {24, 24, 26});
    for (int y = 5; y < 32; y++)
        for (int x = 9; x < 23; x++) put_px(w, x, y, mix({80, 86, 92}, {60, 64, 70}, (y - 5) / 27.0f));
    for (int y : {7, 29})
        for (int x : {10, 21}) put_px(w, x, y, {130, 136, 140});
    fill_rect(w, 19, 17, 3, 2, {150, 150, 156});
    fill_rect(w, 11, 1, 10, 3, {30, 160, 70}); // the exit light above
    put_px(w, 12, 2, {200, 255, 210});
    put(71, w);
    // Shop front: a sign band above lit glass with shelves behind it.
    w = wall_from(concrete_wall_at);
    fill_rect(w, 0, 2, 32, 6, {26, 30, 60});
    for (int x = 2; x < 30; x += 3) fill_rect(w, x, 4, 2, 2, {230, 210, 120});
    fill_rect(w, 0, 9, 32, 23, {24, 24, 26});
    for (int y = 10; y < 31; y++)
        for (int x = 1; x < 31; x++) {
            Rgb c = mix({220, 230, 200}, {150, 170, 140}, (y - 10) / 20.0f);
            if (y == 16 || y == 23) c = {90, 80, 70};
            else if ((y > 16 && y < 23) || (y > 23 && y < 30)) {
                if (hash01(x / 2, y / 7, 421) > 0.45f) c = mix({200, 60, 40}, {60, 120, 200}, hash01(x / 2, y / 7, 422));
            }
            put_px(w, x, y, c);
        }
    fill_rect(w, 15, 10, 2, 21, {24, 24, 26});
    put(72, w);
    put(73, tile_from([](int x, int y) {
        if (x < 2 || x > 29) return Rgb{50, 50, 54};
        Rgb c = mix({100, 102, 106}, {74, 76, 80}, (y % 4) / 3.0f);
        if (fractal_noise(x / 4.0f, y / 4.0f, 431, 0, 2) > 0.65f) c = mix(c, {110, 60, 30}, 0.5f); // rust
        return c;
    }));
    put(74, wall_from(plaster_at));
    w = wall_from(plaster_at);
    window(w, true);
    put(75, w);
    w = wall_from(plaster_at);
    window(w, false);
    put(76, w);
    // Graffiti: tags sprayed in two colours with a dark outline.
    w = wall_from(brick_at);
    {
        Image tag = make_image(T, T, MAGENTA);
        draw_line(tag, 3, 22, 8, 9, 2.5f, {60, 200, 120});
        draw_line(tag, 8, 9, 12, 20, 2.5f, {60, 200, 120});
        draw_line(tag, 12, 20, 17, 8, 2.5f, {60, 200, 120});
        fill_ellipse(tag, 23, 14, 5, 6, {240, 170, 40});
        fill_ellipse(tag, 23, 14, 2.2f, 3, {40, 40, 90});
        draw_line(tag, 4, 26, 28, 24, 1.5f, {90, 170, 240});
        outline(tag, {16, 16, 20}, false);
        blit(w, tag, 0, 0);
    }
    put(77, w);
    w = wall_from(brick_at);
    {
        float poster[] = {7, 5, 25, 6, 24, 27, 8, 26};
        fill_polygon(w, poster, 4, {200, 190, 160});
        fill_rect(w, 10, 8, 12, 10, {150, 20, 24});
        fill_ellipse(w, 16, 12, 3.5f, 3.8f, {230, 220, 200}); // a face
        fill_rect(w, 14, 12, 1, 1, {20, 20, 20});
        fill_rect(w, 17, 12, 1, 1, {20, 20, 20});
        fill_rect(w, 10, 20, 12, 1, {40, 40, 40});
        fill_rect(w, 10, 22, 9, 1, {40, 40, 40});
        float torn[] = {18, 26, 24, 20, 24, 27};
        fill_polygon(w, torn, 3, brick_at(22, 25));
        (void)font;
    }
    put(78, w);
    Image fence = make_image(T, T, MAGENTA);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++)
            if ((x + y) % 6 == 0 || (x - y + 60) % 6 == 0) put_px(fence, x, y, {120, 124, 128});
    fill_rect(fence, 0, 0, 32, 2, {90, 94, 98});
    fill_rect(fence, 0, 0, 2, 32, {70, 72, 76});
    fill_rect(fence, 30, 0, 2, 32, {70, 72, 76});
    put(79, fence);
}

// ---- roofs ------------------------------------------------------------

static Rgb tar_at(int x, int y)
{
    float n = fractal_noise(x / 6.0f, y / 6.0f, 441, 0, 3);
    Rgb c = mix({34, 34, 38}, {52, 52, 56}, n);
    if (hash01(x & 31, y & 31, 442) > 0.9f) c = add(c, 16);
    return c;
}

static Rgb gravel_roof_at(int x, int y)
{
    float h = hash01(x & 31, y & 31, 451);
    Rgb c = mix({70, 68, 64}, {110, 106, 100}, h);
    if (hash01((x - 1) & 31, (y - 1) & 31, 451) > 0.75f) c = add(c, 14);
    return c;
}

static Rgb roof_tiles_at(int x, int y)
{
    int row = y / 6, off = (row % 2) * 4;
    int u = (x + off) % 8, v = y % 6;
    float curve = std::fabs(u - 3.5f) / 3.5f;
    Rgb c = mix({130, 56, 40}, {100, 40, 30}, hash01((x + off) / 8, row, 461));
    if (v == 5 || v > 5 - curve * 2) return {50, 24, 20};
    return scale(c, 1.1f - 0.25f * curve - v * 0.03f);
}

// A roof piece with a parapet along the sides in `edges` (bit 0 north,
// 1 east, 2 south, 3 west) and, for the inside of an L-shaped roof, a stub
// of parapet in the corners in `inner` (bit 0 north-west, 1 north-east,
// 2 south-west, 3 south-east). The parapet's outer lip catches the light on
// the north and west; it throws a shadow onto the roof south-east of it.
static Image roof(Rgb (*surface)(int, int), int edges, Rgb cap, int inner = 0)
{
    const int P = 4;
    bool n = edges & 1, e = edges & 2, s = edges & 4, w = edges & 8;
    return tile_from([&](int x, int y) {
        bool in_n = n && y < P, in_s = s && y > T - 1 - P, in_w = w && x < P, in_e = e && x > T - 1 - P;
        bool top = y < P, bottom = y > T - 1 - P, left = x < P, right = x > T - 1 - P;
        bool stub = ((inner & 1) && top && left) || ((inner & 2) && top && right) ||
                    ((inner & 4) && bottom && left) || ((inner & 8) && bottom && right);
        if (in_n || in_s || in_w || in_e || stub) {
            Rgb c = add(cap, (int)(grain(x, y, 471) * 10));
            bool outer = (in_n && y == 0) || (in_w && x == 0);
            bool outer_dark = (in_s && y == T - 1) || (in_e && x == T - 1);
            bool inner_lit = (in_s && y == T - P) || (in_e && x == T - P);
            bool inner_dark = (in_n && y == P - 1) || (in_w && x == P - 1);
            if (stub && !(in_n || in_s || in_w || in_e)) {
                inner_lit = (bottom && y == T - P) || (right && x == T - P);
                inner_dark = (top && y == P - 1) || (left && x == P - 1);
            }
            if (outer || inner_lit) c = add(c, 36);
            if (outer_dark || inner_dark) c = scale(c, 0.55f);
            return c;
        }
        Rgb c = surface(x, y);
        // Shadow cast by the north and west parapets and stubs.
        bool shade = (n && y < P + 3) || (w && x < P + 3);
        if ((inner & 1) && x < P + 3 && y < P + 3) shade = true;
        if ((inner & 2) && x > T - 1 - P && y < P + 3) shade = true;
        if ((inner & 4) && x < P + 3 && y > T - 1 - P) shade = true;
        if (shade) c = scale(c, 0.6f);
        return c;
    });
}

static void roof_set(int first, Rgb (*surface)(int, int), Rgb cap)
{
    // Layout on the sheet mirrors the map: rows first, first+16, first+32.
    const int edge_bits[9] = {1 | 8, 1, 1 | 2, 8, 0, 2, 4 | 8, 4, 4 | 2};
    for (int i = 0; i < 9; i++) put(first + (i / 3) * 16 + i % 3, roof(surface, edge_bits[i], cap));
}

static void make_roofs()
{
    roof_set(80, tar_at, {104, 102, 98});
    roof_set(83, gravel_roof_at, {120, 116, 110});
    roof_set(86, roof_tiles_at, {70, 34, 28});
    // Inner corners, north-west, north-east, south-west, south-east.
    for (int k = 0; k < 4; k++) {
        put(160 + k, roof(tar_at, 0, {104, 102, 98}, 1 << k));
        put(164 + k, roof(gravel_roof_at, 0, {120, 116, 110}, 1 << k));
        put(168 + k, roof(roof_tiles_at, 0, {70, 34, 28}, 1 << k));
    }
    Image vent = tile_from(tar_at);
    fill_ellipse(vent, 18, 18, 8, 8, {20, 20, 22}); // shadow
    fill_ellipse(vent, 15, 15, 8, 8, {110, 112, 116});
    for (int r = 2; r < 8; r += 2) {
        for (int a = 0; a < 360; a += 4) {
            float rad = a * 0.0174533f;
            put_px(vent, (int)(15 + std::sin(rad) * r), (int)(15 - std::cos(rad) * r), {76, 78, 82});
        }
    }
    fill_ellipse(vent, 13, 13, 2, 2, {160, 162, 166});
    put(89, vent);
    Image ac = tile_from(tar_at);
    fill_rect(ac, 7, 7, 22, 22, {20, 20, 22});
    fill_rect(ac, 4, 4, 22, 22, {120, 124, 126});
    fill_rect(ac, 4, 4, 22, 1, {170, 172, 174});
    fill_rect(ac, 4, 4, 1, 22, {160, 162, 164});
    fill_ellipse(ac, 15, 15, 8, 8, {40, 42, 46});
    for (int k = 0; k < 4; k++) {
        float a = k * 1.5708f + 0.4f;
        draw_line(ac, 15, 15, 15 + std::sin(a) * 7, 15 - std::cos(a) * 7, 2, {90, 92, 96});
    }
    fill_ellipse(ac, 15, 15, 1.5f, 1.5f, {140, 140, 144});
    put(90, ac);
    Image sky = tile_from(tar_at);
    fill_rect(sky, 5, 5, 22, 22, {60, 62, 66});
    for (int y = 7; y < 25; y++)
        for (int x = 7; x < 25; x++) put_px(sky, x, y, mix({255, 220, 150}, {200, 150, 80}, (x + y - 14) / 36.0f));
    fill_rect(sky, 15, 7, 2, 18, {60, 62, 66});
    fill_rect(sky, 7, 15, 18, 2, {60, 62, 66});
    put(91, sky);
    Image hatch = tile_from(tar_at);
    fill_rect(hatch, 9, 9, 17, 17, {18, 18, 20});
    fill_rect(hatch, 7, 7, 17, 17, {88, 92, 96});
    fill_rect(hatch, 7, 7, 17, 1, {130, 134, 138});
    for (int y = 10; y < 22; y += 3) fill_rect(hatch, 9, y, 13, 1, {70, 74, 78});
    fill_rect(hatch, 18, 14, 4, 2, {40, 40, 44});
    put(92, hatch);
    put(93, tile_from([](int x, int y) {
        Rgb c = add(mix({96, 96, 96}, {116, 114, 112}, fractal_noise(x / 6.0f, y / 6.0f, 481, 0, 2)), (int)(grain(x, y, 482) * 8));
        if (x == 0 || y == 0) return add(c, 24);
        if (x == 31 || y == 31) return scale(c, 0.6f);
        return c;
    }));
    put(94, tile_from([](int x, int y) { return add(Rgb{8, 8, 10}, (int)(hash01(x, y, 491) * 4)); }));
    put(95, tile_from([](int x, int y) {
        // Brick courses seen from above: headers, 8 x 16.
        int row = y / 8, off = (row % 2) * 8;
        if (y % 8 == 0 || (x + off) % 16 == 0) return Rgb{52, 46, 44};
        Rgb c = mix({100, 44, 34}, {134, 64, 46}, hash01((x + off) / 16, row, 501));
        if (y % 8 == 1) c = add(c, 14);
        return add(c, (int)(grain(x, y, 502) * 10));
    }));
    Image puddle = roof(tar_at, 0, {0, 0, 0});
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) {
            float d = std::hypot(x - 16.0f, (y - 15.0f) * 1.4f) + fractal_noise(x / 3.0f, y / 3.0f, 511, 0, 2) * 6;
            if (d < 11) put_px(puddle, x, y, mix({30, 40, 58}, {70, 84, 110}, (x + y) % 9 == 0 ? 0.8f : 0.15f));
        }
    put(121, puddle);
    put(122, tile_from([](int x, int y) {
        Rgb c = mix({84, 88, 94}, {110, 114, 120}, (x % 6) / 5.0f);
        if (x % 6 == 0) c = {50, 52, 56};
        if (y == 15) c = scale(c, 0.7f);
        return c;
    }));
    Image chim = tile_from([](int x, int y) {
        int row = y / 8, off = (row % 2) * 8;
        if (y % 8 == 0 || (x + off) % 16 == 0) return Rgb{52, 46, 44};
        return mix({100, 44, 34}, {130, 60, 44}, hash01((x + off) / 16, row, 521));
    });
    fill_rect(chim, 8, 8, 16, 16, {10, 8, 8});
    fill_rect(chim, 8, 8, 16, 2, {4, 4, 4});
    put(123, chim);
    put(124, wall_from(brick_at));
    put(125, tile_from([](int x, int y) {
        Rgb c = mix({90, 92, 96}, {120, 122, 126}, (y % 5) / 4.0f);
        if (y % 5 == 0) c = {56, 58, 62};
        float rust = fractal_noise(x / 5.0f, y / 5.0f, 531, 0, 3);
        if (rust > 0.6f) c = mix(c, {120, 60, 30}, (rust - 0.6f) * 2.5f);
        return c;
    }));
    put(126, tile_from([](int x, int y) {
        Rgb c = {40, 84, 56};
        if (x == 15 || x == 16) return Rgb{20, 40, 28};
        if (x < 2 || y < 2 || x > 29 || y > 29) return Rgb{30, 60, 40};
        if (y % 6 == 0) c = scale(c, 0.8f);
        return add(c, (int)(grain(x, y, 541) * 10));
    }));
    put(127, tile_from([](int x, int y) {
        Rgb c = {36, 76, 50};
        if (x % 8 == 0) c = {22, 46, 30};
        if (x % 8 == 1) c = {60, 110, 76};
        if (y < 3) c = {28, 28, 30};
        float rust = fractal_noise(x / 4.0f, y / 4.0f, 551, 0, 2);
        if (rust > 0.65f && y > 20) c = mix(c, {100, 60, 30}, 0.6f);
        return c;
    }));
}

static void make_interior_walls()
{
    put(105, tile_from([](int x, int y) {
        Rgb c = (x % 8 < 4) ? Rgb{92, 104, 80} : Rgb{80, 92, 70};
        if (x % 8 == 2 && y % 6 == 3) c = {140, 130, 90};
        return scale(c, 0.9f + 0.15f * fractal_noise(x / 6.0f, y / 6.0f, 561, 0, 2));
    }));
    Image pic = tile_from([](int x, int y) {
        Rgb c = (x % 8 < 4) ? Rgb{92, 104, 80} : Rgb{80, 92, 70};
        return scale(c, 0.9f + 0.15f * fractal_noise(x / 6.0f, y / 6.0f, 561, 0, 2));
    });
    fill_rect(pic, 7, 6, 18, 14, {80, 56, 24});
    fill_rect(pic, 8, 7, 16, 12, {150, 110, 50});
    fill_rect(pic, 9, 8, 14, 10, {60, 80, 110});
    fill_rect(pic, 9, 14, 14, 4, {50, 80, 46});
    fill_ellipse(pic, 19, 11, 1.6f, 1.6f, {230, 220, 160});
    fill_rect(pic, 8, 20, 18, 1, {40, 46, 34});
    put(106, pic);
    put(107, tile_from([](int x, int y) { return tiles_at(x, y, 8, {200, 204, 206}, {200, 204, 206}, {120, 124, 126}, false, 571); }));
    put(108, tile_from([](int x, int y) {
        Rgb c = mix({120, 112, 98}, {138, 130, 114}, fractal_noise(x / 8.0f, y / 8.0f, 581, 0, 2));
        if (y > 27) c = y == 28 ? Rgb{150, 140, 120} : Rgb{70, 50, 34}; // skirting board
        return c;
    }));
    Image idoor = tile_from([](int x, int y) {
        Rgb c = mix({120, 112, 98}, {138, 130, 114}, fractal_noise(x / 8.0f, y / 8.0f, 581, 0, 2));
        if (y > 27) c = y == 28 ? Rgb{150, 140, 120} : Rgb{70, 50, 34};
        return c;
    });
    door(idoor, {120, 84, 50});
    put(109, idoor);
    put(110, tile_from([](int x, int y) {
        Rgb c = mix({90, 58, 34}, {120, 80, 48}, hash01(x / 6, 0, 591));
        c = scale(c, 0.85f + 0.3f * value_noise(x * 1.4f, y / 6.0f, 592, 0));
        if (x % 6 == 0) c = {46, 30, 18};
        if (y == 12) c = {60, 40, 24};
        return c;
    }));
    put(111, tile_from([](int x, int y) {
        if (y % 10 == 0 || y % 10 == 9 || x < 2 || x > 29) return Rgb{80, 52, 30};
        int shelf = y / 10;
        int book = (x + shelf * 3) / 3;
        float h = hash01(book, shelf, 601);
        if (y % 10 < 1 + (int)(h * 3)) return Rgb{20, 14, 10};
        const Rgb spines[5] = {{120, 30, 30}, {40, 60, 110}, {50, 90, 50}, {150, 120, 60}, {90, 60, 40}};
        Rgb c = spines[(int)(h * 5) % 5];
        if ((x + shelf * 3) % 3 == 0) c = scale(c, 0.6f);
        return c;
    }));
}

// ---- animated loops ---------------------------------------------------

static void make_water()
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

static void make_fire()
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

static void make_neon(const Image& font)
{
    // A tube that buzzes: its glow wavers every frame, cuts out once and
    // stutters back at half strength.
    const float level[8] = {1, 0.88f, 0.97f, 0, 0.92f, 0.35f, 1, 0.82f};
    for (int f = 0; f < 8; f++) {
        Image t = wall_from(brick_at);
        float l = level[f];
        // Glow on the bricks round the sign.
        for (int y = 0; y < T; y++)
            for (int x = 0; x < T; x++) {
                float d = std::hypot((x - 15.5f) / 16, (y - 15.5f) / 10);
                float g = std::max(0.0f, 1 - d) * l;
                Rgb c = get_px(t, x, y);
                put_px(t, x, y, mix(c, rgb(c.r + 40, c.g + 120, c.b + 140), g * 0.6f));
            }
        fill_rect(t, 3, 8, 26, 16, {16, 14, 18});
        fill_rect(t, 3, 8, 26, 1, {60, 60, 66});
        Rgb tube = mix({40, 60, 70}, {140, 255, 250}, l);
        draw_small_text(t, font, 4, 7, "BAR", tube);
        put(144 + f, t);
    }
}

static void make_tv_window()
{
    const float level[8] = {0.9f, 0.55f, 1.0f, 0.7f, 0.45f, 0.95f, 0.8f, 0.6f};
    const Rgb tint[8] = {{150, 180, 255}, {170, 200, 255}, {210, 230, 255}, {140, 170, 240},
                         {120, 160, 220}, {200, 220, 255}, {160, 210, 230}, {140, 180, 250}};
    for (int f = 0; f < 8; f++) {
        Image t = wall_from(brick_at);
        window(t, false);
        for (int y = 7; y < 23; y++)
            for (int x = 9; x < 23; x++) {
                if ((x == 15 || x == 16) || y == 14) continue;
                float g = level[f] * (1.0f - (y - 7) / 40.0f);
                put_px(t, x, y, scale(tint[f], g * 0.85f));
            }
        put(152 + f, t);
    }
}

static void make_extras()
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

// Street furniture and props that stand as blocks of their own.
static void make_props()
{
    Image bay = tile_from(asphalt_at);
    paint(bay, 15, 0, 2, 32, ROAD_WHITE, 801);
    put(182, bay);
    put(183, tile_from([](int x, int y) {
        // A worn stone threshold: a square sill with a bevelled frame.
        Rgb c = mix({96, 92, 86}, {120, 116, 108}, fractal_noise(x / 5.0f, y / 5.0f, 811, 0, 2));
        if (x == 0 || y == 0) return Rgb{140, 136, 128};
        if (x == 31 || y == 31) return Rgb{50, 48, 46};
        if (x == 2 || y == 2 || x == 29 || y == 29) c = scale(c, 0.8f);
        float wear = std::hypot(x - 15.5f, y - 15.5f);
        if (wear < 9) c = add(c, (int)((9 - wear) * 1.5f));
        return add(c, (int)(grain(x, y, 812) * 8));
    }));
    Image desk = tile_from([](int x, int y) {
        Rgb c = mix({96, 60, 34}, {128, 84, 50}, value_noise(x / 10.0f, y * 1.2f, 821, 0));
        if (y % 8 == 0) c = scale(c, 0.75f);
        if (x == 0 || y == 0) return add(c, 30);
        if (x == 31 || y == 31) return scale(c, 0.55f);
        return c;
    });
    put(184, desk);
    float paper[] = {5, 6, 15, 4, 17, 15, 7, 17};
    fill_polygon(desk, paper, 4, {214, 210, 196});
    for (int k = 0; k < 3; k++) draw_line(desk, 7.0f, 8.0f + k * 3, 15.0f, 6.5f + k * 3, 1, {120, 120, 130});
    fill_ellipse(desk, 24, 22, 3.5f, 3.5f, {230, 226, 214}); // a mug
    fill_ellipse(desk, 24, 22, 2.2f, 2.2f, {50, 30, 20});
    put(191, desk);
    // A small car seen from above: bonnet to the north, roof, boot.
    put(185, tile_from([](int x, int y) {
        Rgb body = {118, 24, 26};
        Rgb c = body;
        float inset = std::fabs(x - 15.5f);
        if (y < 7) c = scale(body, 0.92f);                                          // bonnet
        else if (y < 13) c = (inset < 12.5f - (12 - y) * 0.5f)                       // windscreen
                                 ? mix({60, 80, 100}, {150, 176, 196}, (x + y) % 6 == 0 ? 0.9f : 0.15f)
                                 : scale(body, 0.8f);
        else if (y < 23) c = add(body, 16);                                          // roof
        else if (y < 27) c = inset < 11 ? Rgb{46, 60, 76} : scale(body, 0.8f);       // rear window
        else c = scale(body, 0.88f);                                                 // boot
        if (x < 2 || x > 29) c = {24, 22, 24};
        else if (x == 2 || y == 0) c = add(c, 40);
        else if (x == 29 || y == 31) c = scale(c, 0.6f);
        if ((y == 1 || y == 30) && (x == 5 || x == 6 || x == 25 || x == 26)) c = y == 1 ? Rgb{240, 230, 170} : Rgb{200, 30, 20};
        if (y == 12 && (x == 0 || x == 1 || x == 30 || x == 31)) c = {90, 18, 20}; // mirrors
        return c;
    }));
    put(186, tile_from([](int x, int y) {
        Rgb c = {110, 22, 24};
        if (y < 12) c = (x > 2 && x < 29 && y > 2) ? mix({40, 52, 66}, {90, 110, 130}, (x - y + 40) % 9 == 0 ? 0.8f : 0.1f)
                                                   : Rgb{90, 18, 20};
        if (x == 15 || x == 16) c = {40, 10, 12};                                     // door gap / pillar
        if (y == 12) c = {150, 60, 56};
        if (y > 20) {
            float dx = std::fabs(x % 16 - 7.5f), dy = 31.5f - y;
            if (dx * dx + dy * dy < 64) c = dx * dx + dy * dy < 16 ? Rgb{90, 90, 96} : Rgb{16, 16, 18}; // wheels
        }
        if (y == 17 && (x == 12 || x == 28)) c = {190, 190, 190};                    // handles
        return c;
    }));
    put(187, tile_from([](int x, int y) {
        // An oil drum: ribs, rust, a highlight down its lit side.
        float u = x / 31.0f;
        float light = 0.6f + 0.6f * std::sin(u * 3.1416f) - 0.25f * u;
        Rgb c = scale({70, 84, 60}, light);
        if (y % 11 == 2 || y % 11 == 3) c = add(c, 20);
        float rust = fractal_noise(x / 4.0f, y / 4.0f, 831, 0, 3);
        if (rust > 0.58f) c = mix(c, {110, 56, 24}, std::min(1.0f, (rust - 0.58f) * 4));
        return c;
    }));
    Image tree = tile_from([](int x, int y) { return grass_at(x, y, 161, {26, 46, 26}, {48, 78, 40}); });
    blit(tree, leafy(193, {22, 50, 26}, {70, 110, 52}, true), 0, 0);
    put(188, tree);
    put(189, tile_from([](int x, int y) {
        // Dressed stone: big blocks, a plaque in the middle.
        int row = y / 16, off = (row % 2) * 8;
        Rgb c = mix({100, 98, 92}, {128, 124, 116}, hash01((x + off) / 16, row, 841));
        c = scale(c, 0.9f + 0.15f * fractal_noise(x / 4.0f, y / 4.0f, 842, 0, 2));
        if (y % 16 == 0 || (x + off) % 16 == 0) c = {60, 58, 54};
        if (x > 8 && x < 23 && y > 11 && y < 20) c = (x == 9 || y == 12) ? Rgb{60, 48, 20} : Rgb{150, 120, 50};
        return c;
    }));
    Image statue = tile_from([](int x, int y) {
        Rgb c = mix({100, 98, 92}, {124, 120, 112}, fractal_noise(x / 4.0f, y / 4.0f, 851, 0, 2));
        if (x == 0 || y == 0) return add(c, 24);
        if (x == 31 || y == 31) return scale(c, 0.6f);
        return c;
    });
    // A bronze figure from above: shoulders, a head, an arm raised north.
    fill_ellipse(statue, 17, 19, 10, 6, {20, 26, 22});
    fill_ellipse(statue, 16, 18, 10, 6, {70, 120, 96});
    draw_line(statue, 24, 17, 26, 5, 4, {70, 120, 96});
    fill_ellipse(statue, 16, 17, 5, 5, {90, 146, 118});
    put_px(statue, 14, 15, {150, 200, 170});
    put(190, statue);
}

Image make_tiles(const Image& font)
{
    sheet = make_image(512, 512, MAGENTA);
    make_street();
    make_pavement();
    make_nature();
    make_interiors();
    make_walls(font);
    make_roofs();
    make_interior_walls();
    make_water();
    make_fire();
    make_neon(font);
    make_tv_window();
    make_extras();
    make_props();
    return sheet;
}
