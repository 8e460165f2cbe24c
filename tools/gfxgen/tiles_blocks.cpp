// Raised blocks of the tile sheet: outer and inner walls, roofs with their
// parapets and inner corners, roof furniture, the neon and television loops
// on brick, and the props that stand as blocks of their own.
#include <algorithm>
#include <cmath>
#include <functional>

#include "fonts.h"
#include "pictures.h"
#include "tiles_parts.h"

void make_walls()
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

void make_roofs()
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

void make_interior_walls()
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

void make_neon(const Image& font)
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

void make_tv_window()
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

// Street furniture and props that stand as blocks of their own.
void make_props()
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
