// The helpers every group of tile cells uses, and the materials that more
// than one group is made of. Floors of one kind share one noise field that
// repeats every 32 pixels, so neighbouring cells of the same kind join
// without a seam; features (cracks, lines, covers) stay inside their cell.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tiles_parts.h"

Image tile_sheet;

void put(int index, const Image& t)
{
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(tile_sheet, (index % 16) * T + x, (index / 16) * T + y, get_px(t, x, y));
}

Image tile_from(std::function<Rgb(int, int)> f)
{
    Image t = make_image(T, T, MAGENTA);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(t, x, y, f(x, y));
    return t;
}

// Turns a tile a quarter clockwise, `turns` times.
Image rotate(const Image& t, int turns)
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

Image transpose(const Image& t)
{
    Image n = make_image(T, T, MAGENTA);
    for (int y = 0; y < T; y++)
        for (int x = 0; x < T; x++) put_px(n, y, x, get_px(t, x, y));
    return n;
}

float grain(int x, int y, uint32_t s) { return hash01(x & 31, y & 31, s) - 0.5f; }

Rgb asphalt_at(int x, int y)
{
    float n = fractal_noise(x / 4.0f, y / 4.0f, 11, 8, 3);
    Rgb c = mix({30, 31, 37}, {56, 56, 63}, n);
    c = add(c, (int)(grain(x, y, 12) * 14));
    if (hash01(x & 31, y & 31, 13) > 0.95f) c = add(c, 22);
    return c;
}

void crack(Image& t, uint32_t seed, int x, int y, int steps)
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
void paint(Image& t, int x, int y, int w, int h, Rgb c, uint32_t seed)
{
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            float wear = hash01(i, j, seed) + fractal_noise(i / 3.0f, j / 3.0f, seed + 1, 0, 2) * 0.6f;
            if (wear < 0.35f) continue;
            put_px(t, i, j, mix(c, get_px(t, i, j), wear > 0.9f ? 0.0f : 0.25f));
        }
}

const Rgb ROAD_YELLOW = {196, 160, 52};

const Rgb ROAD_WHITE = {196, 196, 188};

Rgb slab_at(int x, int y)
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

Rgb grass_at(int x, int y, uint32_t seed, Rgb lo, Rgb hi)
{
    float n = fractal_noise(x / 8.0f, y / 8.0f, seed, 4, 3);
    Rgb c = mix(lo, hi, n);
    float b = hash01(x & 31, (y / 2) & 31, seed + 1);
    if (b > 0.8f) c = add(c, 18);
    else if (b < 0.2f) c = scale(c, 0.75f);
    return c;
}

Rgb dirt_at(int x, int y)
{
    float n = fractal_noise(x / 6.0f, y / 6.0f, 151, 0, 3);
    Rgb c = mix({54, 40, 30}, {84, 64, 46}, n);
    if (hash01(x & 31, y & 31, 152) > 0.94f) c = {110, 100, 90};
    return add(c, (int)(grain(x, y, 153) * 10));
}

Image leafy(uint32_t seed, Rgb dark, Rgb light, bool round)
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

Rgb tiles_at(int x, int y, int size, Rgb a, Rgb b, Rgb grout, bool checker, uint32_t seed)
{
    if (x % size == 0 || y % size == 0) return grout;
    bool alt = checker && ((x / size + y / size) % 2 == 1);
    Rgb c = alt ? b : a;
    c = scale(c, 0.92f + 0.12f * hash01(x / size, y / size, seed));
    if (x % size == 1 || y % size == 1) c = add(c, 14);
    return add(c, (int)(grain(x, y, seed + 1) * 6));
}

Rgb brick_at(int x, int y)
{
    int row = y / 4, off = (row % 2) * 4;
    int bx = (x + off) / 8;
    if (y % 4 == 3 || (x + off) % 8 == 0) return {48, 42, 40};
    Rgb c = mix({92, 40, 30}, {130, 62, 44}, hash01(bx, row, 381));
    if (hash01(bx, row, 382) > 0.9f) c = {70, 36, 30};
    if (y % 4 == 0) c = add(c, 14);
    return add(c, (int)(grain(x, y, 383) * 12));
}

Rgb concrete_wall_at(int x, int y)
{
    float n = fractal_noise(x / 6.0f, y / 10.0f, 391, 0, 3);
    Rgb c = mix({70, 72, 76}, {100, 100, 102}, n);
    // Rain streaks running down from the top.
    if (value_noise(x * 1.3f, 0, 392, 0) > 0.7f) c = scale(c, 0.85f);
    if (x == 0 || x == 16) return {46, 46, 50};
    if (y == 15) return {56, 56, 60};
    return add(c, (int)(grain(x, y, 393) * 8));
}

Rgb plaster_at(int x, int y)
{
    float n = fractal_noise(x / 5.0f, y / 5.0f, 401, 0, 3);
    Rgb c = mix({110, 100, 80}, {140, 128, 104}, n);
    return add(c, (int)(grain(x, y, 402) * 10));
}

// A window in a wall: frame, sill, and lit or dark glass with a cross bar.
void window(Image& t, bool lit, float flicker)
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

void door(Image& t, Rgb wood)
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

Image wall_from(Rgb (*f)(int, int)) { return tile_from(f); }
