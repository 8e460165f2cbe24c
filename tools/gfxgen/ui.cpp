// Screens and panels: the studio splash, the title logo and background, the
// cursor, the status strip pieces and the four message banners.
#include <algorithm>
#include <cmath>
#include <string>

#include "fonts.h"
#include "pictures.h"

static const char* SANS_BOLD = "DejaVuSans-Bold.ttf";
static const char* SERIF_BOLD = "DejaVuSerif-Bold.ttf";

// Renders text no wider than max_w, narrowing the letters when needed.
static Mask fit_text(const char* face, int size, float x_scale, const std::string& text, int pad, int max_w)
{
    Mask m = text_mask(face, size, x_scale, text, pad);
    for (int tries = 0; tries < 4 && m.w > max_w; tries++) {
        x_scale *= (float)(max_w - 2 * pad) / (m.w - 2 * pad);
        m = text_mask(face, size, x_scale, text, pad);
    }
    return m;
}

// Large lettering: a vertical gradient, a lit rim on the upper-left edges,
// a little grit, and a hard dark outline `rim` pixels wide.
struct Lettering {
    Rgb top, bottom, light;
    int rim;
    uint32_t grit_seed;
};

static void paint_lettering(Image& im, const Mask& m, int x0, int y0, const Lettering& l)
{
    Mask outer = dilate(m, l.rim);
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            if (!mask_on(outer, x, y)) continue;
            if (!mask_on(m, x, y)) {
                put_px(im, x0 + x, y0 + y, INK);
                continue;
            }
            float t = (float)y / (m.h > 1 ? m.h - 1 : 1);
            Rgb c = mix(l.top, l.bottom, t);
            // Light from the top left: edges facing it catch a highlight,
            // edges facing away sink into shade.
            bool lit = !mask_on(m, x - 1, y - 1) || !mask_on(m, x, y - 1);
            bool lit2 = !mask_on(m, x - 2, y - 2);
            bool shade = !mask_on(m, x + 1, y + 1) || !mask_on(m, x + 2, y + 2);
            if (lit) c = l.light;
            else if (lit2) c = mix(c, l.light, 0.5f);
            else if (shade) c = scale(c, 0.6f);
            float g = fractal_noise(x / 3.0f, y / 3.0f, l.grit_seed, 0, 3);
            c = scale(c, 0.8f + 0.4f * g);
            put_px(im, x0 + x, y0 + y, c);
        }
}

// Drips of blood hanging from the lower edges of a mask drawn at (x0, y0):
// each one leaves the letter wide, thins as it runs and ends in a bead.
static void paint_drips(Image& im, const Mask& m, int x0, int y0, uint32_t seed, int max_len, int chance, Rgb colour)
{
    rng_seed(seed);
    Rgb dark = scale(colour, 0.6f), light = rgb(colour.r + 80, colour.g + 50, colour.b + 40);
    for (int x = 3; x < m.w - 3; x++) {
        for (int y = m.h - 2; y > 0; y--) {
            if (!(mask_on(m, x, y) && !mask_on(m, x, y + 1) && mask_on(m, x - 2, y) && mask_on(m, x + 2, y)))
                continue;
            if (rng_range(0, 99) < chance) {
                int len = rng_range(max_len / 6, max_len);
                float w0 = 4.0f + rng_float() * 3.0f, w1 = 1.6f + rng_float() * 1.2f;
                float bx = x0 + x + 0.5f, by = y0 + y;
                for (int pass = 0; pass < 2; pass++) {
                    Rgb c = pass == 0 ? INK : colour;
                    float grow = pass == 0 ? 1.0f : 0.0f;
                    for (int k = 0; k <= len; k++) {
                        float t = (float)k / len, w = w0 + (w1 - w0) * std::sqrt(t);
                        fill_rect(im, (int)(bx - w / 2 - grow), (int)by + k - 1, (int)std::ceil(w + 2 * grow), 2, c);
                    }
                    float bead = w1 + 1.6f + grow;
                    fill_ellipse(im, bx, by + len + bead * 0.6f, bead, bead * 1.25f, c);
                }
                for (int k = 1; k < len; k++) put_px(im, (int)(bx - w1 / 2), (int)by + k, k < len / 3 ? light : colour);
                for (int k = 0; k < len; k++) put_px(im, (int)(bx + w1 / 2), (int)by + k, dark);
                put_px(im, (int)bx - 1, (int)(by + len + 1), light);
                x += 4;
            }
            break;
        }
    }
}

Image make_logo()
{
    const int W = 640, H = 250;
    Image im = make_image(W, H, MAGENTA);
    Mask l1 = fit_text(SERIF_BOLD, 70, 0.88f, "CRIMSON LUNATIC", 4, W - 40);
    Mask l2 = fit_text(SANS_BOLD, 104, 1.0f, "OUTBREAK", 5, W - 20);
    int x1 = (W - l1.w) / 2, y1 = 8;
    int x2 = (W - l2.w) / 2, y2 = y1 + l1.h + 4;
    Lettering blood = {{236, 40, 28}, {112, 0, 4}, {255, 150, 120}, 3, 11};
    Lettering bone = {{236, 228, 214}, {150, 132, 120}, {255, 255, 250}, 3, 12};
    // A hard shadow down and right lifts the words off any background.
    Mask s1 = dilate(l1, 3), s2 = dilate(l2, 3);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if (mask_on(s1, x - x1 - 5, y - y1 - 5) || mask_on(s2, x - x2 - 6, y - y2 - 6)) put_px(im, x, y, {30, 6, 8});
    paint_drips(im, l1, x1, y1, 21, 14, 4, {150, 4, 8});
    paint_lettering(im, l1, x1, y1, bone);
    paint_drips(im, l2, x2, y2, 22, 64, 9, {160, 6, 10});
    paint_lettering(im, l2, x2, y2, blood);
    // Spatter across the words: the logo should look used.
    rng_seed(33);
    for (int i = 0; i < 70; i++) {
        float x = (float)rng_range(20, W - 20), y = (float)rng_range(10, y2 + l2.h - 10);
        if (!is_ink(im, (int)x, (int)y)) continue;
        float r = 0.6f + rng_float() * 2.4f;
        fill_ellipse(im, x, y, r, r * (0.7f + rng_float() * 0.6f), {120 + rng_range(0, 40), 0, 6});
    }
    return im;
}

Image make_splash(const Image& font)
{
    const int W = 360, H = 300;
    Image im = make_image(W, H, MAGENTA);
    const float cx = W / 2.0f, cy = 104;
    // Ember ring behind the kiln.
    fill_ellipse(im, cx, cy, 96, 96, INK);
    fill_ellipse(im, cx, cy, 93, 93, {160, 60, 16});
    fill_ellipse(im, cx, cy, 88, 88, {60, 22, 14});
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < 88) {
                float glow = std::max(0.0f, 1 - (float)std::hypot(dx, dy - 50) / 110);
                Rgb c = mix({22, 12, 12}, {120, 40, 12}, glow);
                put_px(im, x, y, scale(c, 0.85f + 0.3f * hash01(x / 2, y / 2, 5)));
            }
        }
    // The kiln: a brick dome on a ground line with a burning mouth.
    const float base = cy + 56, dome_r = 62;
    for (int y = (int)(base - dome_r * 1.1f); y < (int)base; y++)
        for (int x = (int)(cx - dome_r); x <= (int)(cx + dome_r); x++) {
            float dx = (x + 0.5f - cx) / dome_r, dy = (y + 0.5f - base) / (dome_r * 1.1f);
            if (dx * dx + dy * dy > 1) continue;
            int row = (int)((base - y) / 7);
            int off = (row % 2) * 6;
            bool mortar = ((int)(base - y) % 7 == 0) || ((x + off - (int)cx + 120) % 12 == 0);
            float light = 1.05f - 0.45f * (dx + dy * 0.8f + 0.6f);
            Rgb brick = mix({150, 62, 38}, {96, 38, 26}, hash01(x / 12 + row * 7, row, 9));
            Rgb c = mortar ? Rgb{40, 26, 22} : scale(brick, light);
            put_px(im, x, y, c);
        }
    // Mouth: an arch of darker voussoirs round a fire that burns white at
    // its heart and red under the arch's crown.
    const float mouth_r = 22, mouth_cy = base - 20;
    auto in_arch = [&](float x, float y, float r) {
        float dx = (x - cx) / r, dy = (y - mouth_cy) / r;
        return y >= mouth_cy ? std::fabs(dx) <= 1 : dx * dx + dy * dy <= 1;
    };
    for (int y = (int)(mouth_cy - mouth_r - 8); y < (int)base; y++)
        for (int x = (int)(cx - mouth_r - 8); x <= (int)(cx + mouth_r + 8); x++) {
            float px = x + 0.5f, py = y + 0.5f;
            if (in_arch(px, py, mouth_r)) {
                float t = (base - py) / (base - (mouth_cy - mouth_r));
                float flame = fractal_noise(x / 4.0f, y / 6.0f, 77, 0, 3);
                float heat = 1.1f - t * 0.9f + (flame - 0.5f) * 0.7f - std::fabs(px - cx) / mouth_r * 0.3f;
                Rgb c = heat > 0.85f ? mix({255, 210, 90}, {255, 250, 220}, (heat - 0.85f) * 4)
                                     : heat > 0.45f ? mix({230, 80, 12}, {255, 210, 90}, (heat - 0.45f) / 0.4f)
                                                    : mix({60, 12, 6}, {230, 80, 12}, heat / 0.45f);
                put_px(im, x, y, c);
            } else if (in_arch(px, py, mouth_r + 6) && py < base - 1) {
                float a = std::atan2(px - cx, mouth_cy - py);
                bool joint = py < mouth_cy && std::fmod(a + 4.0f, 0.26f) < 0.05f;
                Rgb c = joint ? Rgb{36, 22, 18} : mix({92, 40, 28}, {120, 56, 36}, hash01((int)(a * 8 + 40), 0, 78));
                put_px(im, x, y, scale(c, 1.05f - 0.3f * (px - cx) / mouth_r));
            }
        }
    // Chimney smoke-stack on top.
    fill_rect(im, (int)cx - 7, (int)(base - dome_r * 1.1f) - 16, 14, 18, {88, 40, 30});
    fill_rect(im, (int)cx - 9, (int)(base - dome_r * 1.1f) - 20, 18, 5, {120, 56, 40});
    // Smoke curling up from the stack.
    for (int i = 0; i < 14; i++) {
        float t = i / 13.0f;
        float sx = cx + std::sin(t * 5.0f) * 8 * t, sy = base - dome_r * 1.1f - 24 - t * 30;
        float r = 2.5f + t * 4.5f;
        fill_ellipse(im, sx, sy, r, r * 0.8f, mix({120, 110, 104}, {64, 56, 54}, t));
    }
    // Ground and a harrow's teeth in front of it: the studio's two words.
    fill_rect(im, (int)cx - 80, (int)base, 160, 4, {40, 26, 22});
    for (int i = -4; i <= 4; i++) {
        float x = cx + i * 17.0f;
        float pts[] = {x - 4, base + 4, x + 4, base + 4, x, base + 17};
        fill_polygon(im, pts, 3, {150, 150, 156});
    }
    fill_rect(im, (int)cx - 80, (int)base + 2, 160, 3, {110, 110, 118});
    outline(im, INK, true);
    Mask name = fit_text(SERIF_BOLD, 50, 0.95f, "HARROW KILN", 3, W - 20);
    Lettering ember = {{255, 200, 90}, {200, 70, 10}, {255, 245, 200}, 3, 41};
    paint_lettering(im, name, (W - name.w) / 2, 208, ember);
    std::string tag = "GAMES FIRED IN THE DARK";
    int tw = 8 * (int)tag.size();
    draw_small_text(im, font, (W - tw) / 2, 208 + name.h + 6, tag, {200, 170, 150});
    return im;
}

Image make_background()
{
    // A dark, damp wall of rough stone slabs with old blood in the seams;
    // every pattern repeats every 64 pixels so the tiling never shows.
    const int S = 64;
    Image im = make_image(S, S, MAGENTA);
    for (int y = 0; y < S; y++)
        for (int x = 0; x < S; x++) {
            float n = fractal_noise(x / 8.0f, y / 8.0f, 301, 8, 4);
            float stain = fractal_noise(x / 16.0f, y / 16.0f, 302, 4, 3);
            // Slabs 32 x 16, staggered per row.
            int row = y / 16, off = (row % 2) * 16;
            bool seam = (y % 16 == 0) || ((x + off) % 32 == 0);
            Rgb stone = mix({20, 14, 18}, {48, 36, 40}, n);
            stone = mix(stone, {60, 8, 10}, std::max(0.0f, stain - 0.55f) * 2.2f);
            if (seam) stone = {8, 4, 6};
            else if ((y % 16 == 1) || ((x + off) % 32 == 1)) stone = add(stone, 10);
            else if ((y % 16 == 15) || ((x + off) % 32 == 31)) stone = scale(stone, 0.7f);
            put_px(im, x, y, stone);
        }
    return im;
}

Image make_crosshair()
{
    Image im = make_image(58, 29, MAGENTA);
    // Normal: an open ring with four ticks and a centre dot.
    const float c = 14.5f;
    Rgb pale = {220, 224, 228};
    for (int y = 0; y < 29; y++)
        for (int x = 0; x < 29; x++) {
            float dx = x + 0.5f - c, dy = y + 0.5f - c, d = std::sqrt(dx * dx + dy * dy);
            bool gap = std::fabs(dx) < 2.5f || std::fabs(dy) < 2.5f;
            if (d >= 8.5f && d <= 10.0f && !gap) put_px(im, x, y, pale);
        }
    fill_rect(im, 14, 1, 1, 7, pale);
    fill_rect(im, 14, 21, 1, 7, pale);
    fill_rect(im, 1, 14, 7, 1, pale);
    fill_rect(im, 21, 14, 7, 1, pale);
    put_px(im, 14, 14, pale);
    // On target: a closed red ring drawn tight, ticks pointing in.
    Rgb red = {240, 36, 30};
    for (int y = 0; y < 29; y++)
        for (int x = 0; x < 29; x++) {
            float dx = x + 0.5f - c, dy = y + 0.5f - c, d = std::sqrt(dx * dx + dy * dy);
            if (d >= 9.0f && d <= 11.2f) put_px(im, 29 + x, y, red);
            if (d <= 1.6f) put_px(im, 29 + x, y, {255, 220, 200});
        }
    fill_rect(im, 29 + 13, 3, 3, 8, red);
    fill_rect(im, 29 + 13, 18, 3, 8, red);
    fill_rect(im, 29 + 3, 13, 8, 3, red);
    fill_rect(im, 29 + 18, 13, 8, 3, red);
    outline_rect(im, 0, 0, 29, 29, INK, false);
    outline_rect(im, 29, 0, 29, 29, INK, false);
    return im;
}

Image make_scoreboard()
{
    // A steel panel: a bright top lip, a dark brushed face, a thin blood-red
    // rule and a shadow where it meets the play area.
    Image im = make_image(1, 64, MAGENTA);
    for (int y = 0; y < 64; y++) {
        Rgb c;
        if (y == 0) c = {104, 96, 100};
        else if (y == 1) c = {64, 56, 60};
        else if (y < 58) c = mix({46, 40, 44}, {20, 16, 19}, (y - 2) / 55.0f);
        else if (y == 58) c = {10, 8, 9};
        else if (y == 59) c = {150, 22, 20};
        else if (y == 60) c = {84, 10, 10};
        else c = mix({14, 9, 9}, {2, 1, 1}, (y - 61) / 2.0f);
        put_px(im, 0, y, c);
    }
    return im;
}

// A fill column: bright at the top, rich in the middle, deep at the bottom,
// so a stretched column reads as a rounded tube.
static void fill_column(Image& im, int x, int y0, int rows, Rgb hi, Rgb mid, Rgb lo)
{
    for (int i = 0; i < rows; i++) {
        float t = (float)i / (rows - 1);
        Rgb c = t < 0.25f ? mix(hi, mid, t / 0.25f) : mix(mid, lo, (t - 0.25f) / 0.75f);
        put_px(im, x, y0 + i, c);
    }
}

// A metal frame w x h with a dark trough; light from the top left.
static void frame_with_trough(Image& im, int w, int h, int tx, int ty, int tw, int th)
{
    fill_rect(im, 0, 0, w, h, {58, 52, 56});
    for (int y = 1; y < h - 1; y++)
        for (int x = 1; x < w - 1; x++) {
            float n = hash01(x, y / 3, 71);
            put_px(im, x, y, mix({70, 64, 68}, {50, 45, 49}, n));
        }
    fill_rect(im, 1, 1, w - 2, 1, {132, 124, 128});
    fill_rect(im, 1, 1, 1, h - 2, {112, 104, 108});
    fill_rect(im, 1, h - 2, w - 2, 1, {34, 30, 33});
    fill_rect(im, w - 2, 1, 1, h - 2, {34, 30, 33});
    for (int y = ty; y < ty + th; y++)
        for (int x = tx; x < tx + tw; x++) put_px(im, x, y, mix({8, 6, 7}, {22, 18, 20}, (float)(y - ty) / th));
    // Inner shadow along the trough's top and left edge.
    fill_rect(im, tx, ty, tw, 1, {2, 2, 2});
    fill_rect(im, tx, ty, 1, th, {4, 3, 4});
    fill_rect(im, 0, 0, w, 1, INK);
    fill_rect(im, 0, h - 1, w, 1, INK);
    fill_rect(im, 0, 0, 1, h, INK);
    fill_rect(im, w - 1, 0, 1, h, INK);
}

Image make_bar()
{
    Image im = make_image(58, 23, MAGENTA);
    frame_with_trough(im, 57, 23, 2, 2, 50, 16);
    // Rivets on the plate below and right of the trough.
    for (int x : {6, 28, 50}) {
        put_px(im, x, 20, {150, 144, 148});
        put_px(im, x + 1, 20, {40, 36, 38});
    }
    fill_column(im, 57, 2, 16, {255, 120, 100}, {214, 24, 20}, {96, 0, 4});
    return im;
}

Image make_bar2()
{
    Image im = make_image(156, 28, MAGENTA);
    frame_with_trough(im, 154, 28, 2, 2, 150, 24);
    // Faint marks every tenth of the trough.
    for (int i = 1; i < 10; i++) fill_rect(im, 2 + i * 15, 22, 1, 3, {34, 30, 32});
    fill_column(im, 154, 2, 24, {255, 130, 110}, {220, 26, 22}, {90, 0, 4});
    fill_column(im, 155, 2, 24, {190, 170, 255}, {118, 64, 226}, {40, 12, 96});
    return im;
}

// One banner: a torn dark strip with the big words and a line of small print.
static void paint_banner(Image& im, const Image& font, int y0, const std::string& words, const std::string& small,
                         const Lettering& style, uint32_t seed)
{
    const int W = 424, H = 79;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            // Ragged top and bottom edges, from noise along x.
            float e1 = 6 + 5 * value_noise(x / 6.0f, 0, seed, 0) + 3 * hash01(x, 0, seed);
            float e2 = H - 6 - 5 * value_noise(x / 6.0f, 5, seed, 0) - 3 * hash01(x, 1, seed);
            float side = std::min(x, W - 1 - x);
            if (side < 4 + 6 * value_noise(y / 5.0f, 9, seed, 0)) continue;
            if (y < e1 || y > e2) continue;
            float n = fractal_noise(x / 10.0f, y / 10.0f, seed + 7, 0, 3);
            Rgb c = mix({12, 8, 10}, {34, 20, 22}, n);
            put_px(im, x, y0 + y, c);
        }
    outline_rect(im, 0, y0, W, H, INK, false);
    Mask m = fit_text(SANS_BOLD, 44, 1.0f, words, 3, W - 24);
    int mx = (W - m.w) / 2, my = y0 + 8;
    paint_lettering(im, m, mx, my, style);
    int tw = 8 * (int)small.size();
    draw_small_text(im, font, (W - tw) / 2, y0 + 55, small, {210, 200, 196});
}

Image make_messages(const Image& font)
{
    Image im = make_image(424, 316, MAGENTA);
    Lettering blood = {{250, 60, 40}, {140, 0, 6}, {255, 170, 150}, 2, 51};
    Lettering rage = {{255, 220, 80}, {220, 80, 0}, {255, 250, 210}, 2, 52};
    Lettering cold = {{210, 214, 230}, {110, 116, 140}, {255, 255, 255}, 2, 53};
    paint_banner(im, font, 0, "GET READY", "THE TOWN SLEEPS. WAKE IT UP.", blood, 61);
    paint_banner(im, font, 79, "ROID RAGE!", "NOTHING CAN STOP YOU NOW", rage, 62);
    paint_banner(im, font, 158, "YOU ARE DEAD", "SHOT DOWN LIKE A DOG", blood, 63);
    paint_banner(im, font, 237, "CALMED DOWN", "THE MADNESS HAS LEFT YOU", cold, 64);
    return im;
}

Image make_icon(int size)
{
    // A dark plate, a splash of blood and a blade across it: reads at 16
    // pixels and still holds detail at 256.
    Image im = make_image(size, size, MAGENTA);
    float s = size / 64.0f;
    float r = 10 * s;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float dx = std::max(0.0f, std::max(r - x - 0.5f, x + 0.5f - (size - r)));
            float dy = std::max(0.0f, std::max(r - y - 0.5f, y + 0.5f - (size - r)));
            if (dx * dx + dy * dy > r * r) continue;
            float t = (x + y) / (2.0f * size);
            put_px(im, x, y, mix({70, 20, 22}, {16, 8, 10}, t));
        }
    rng_seed(77);
    fill_ellipse(im, 32 * s, 34 * s, 17 * s, 15 * s, {170, 10, 14});
    for (int i = 0; i < 8; i++) {
        float a = rng_float() * 6.28f, d = (14 + rng_float() * 8) * s, rr = (3 + rng_float() * 4) * s;
        fill_ellipse(im, 32 * s + std::sin(a) * d, 34 * s - std::cos(a) * d, rr, rr, {170, 10, 14});
    }
    fill_ellipse(im, 27 * s, 29 * s, 6 * s, 5 * s, {220, 50, 44});
    float w = std::max(1.5f, 5 * s);
    draw_line(im, 14 * s, 50 * s, 20 * s, 44 * s, w * 1.2f, {70, 44, 26});
    draw_line(im, 20 * s, 44 * s, 52 * s, 12 * s, w, {200, 206, 214});
    if (size >= 32) draw_line(im, 21 * s, 42 * s, 51 * s, 12 * s, std::max(1.0f, w * 0.35f), {250, 252, 255});
    draw_line(im, 16 * s, 40 * s, 24 * s, 48 * s, w * 0.8f, {120, 110, 90});
    return im;
}
