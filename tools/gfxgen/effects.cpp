// Small sheets of the fighting: pick-ups, the bullet, the flashes and the
// blood. Animated sheets run left to right, one cell per frame.
#include <algorithm>
#include <cmath>

#include "pictures.h"

static const float PI = 3.14159265f;

// A flat splash of blood: a lumpy pool, tapering streaks thrown outward
// ending in drops, a few loose droplets; darker where it pooled thick and
// wet along the edges that face the light. Stays within r of the centre.
static void splash(Image& im, float cx, float cy, float r, uint32_t seed)
{
    rng_seed(seed);
    const Rgb base = {110, 4, 8};
    fill_ellipse(im, cx, cy, r * 0.45f, r * 0.4f, base);
    int lobes = rng_range(4, 6);
    for (int i = 0; i < lobes; i++) {
        float a = rng_float() * 2 * PI, d = r * (0.2f + rng_float() * 0.2f), s = r * (0.2f + rng_float() * 0.15f);
        fill_ellipse(im, cx + std::sin(a) * d, cy - std::cos(a) * d, s, s * 0.85f, base);
    }
    int streaks = rng_range(4, 7);
    for (int i = 0; i < streaks; i++) {
        float a = rng_float() * 2 * PI, len = r * (0.62f + rng_float() * 0.22f);
        const int STEPS = 8;
        for (int k = 0; k < STEPS; k++) {
            float t0 = 0.3f + 0.7f * k / STEPS, t1 = 0.3f + 0.7f * (k + 1) / STEPS;
            float w = 2.8f - 2.0f * t0;
            draw_line(im, cx + std::sin(a) * len * t0, cy - std::cos(a) * len * t0, cx + std::sin(a) * len * t1,
                      cy - std::cos(a) * len * t1, std::max(1.0f, w), base);
        }
        float dd = len + 1.8f, rr = 0.9f + rng_float() * 0.7f;
        fill_ellipse(im, cx + std::sin(a) * dd, cy - std::cos(a) * dd, rr, rr, base);
    }
    for (int i = 0; i < 5; i++) {
        float a = rng_float() * 2 * PI, d = r * (0.55f + rng_float() * 0.35f);
        fill_ellipse(im, cx + std::sin(a) * d, cy - std::cos(a) * d, 0.8f, 0.8f, base);
    }
    int x0 = (int)(cx - r - 1), y0 = (int)(cy - r - 1), size = (int)(2 * r + 3);
    for (int y = y0; y < y0 + size; y++)
        for (int x = x0; x < x0 + size; x++) {
            if (!is_ink(im, x, y)) continue;
            float n = fractal_noise(x / 3.0f, y / 3.0f, seed + 3, 0, 2);
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            Rgb c = mix({80, 2, 6}, {132, 8, 12}, n);
            if (dx * dx + dy * dy < r * r * 0.06f) c = scale(c, 0.75f);
            if (!is_ink(im, x - 1, y - 1) && !is_ink(im, x, y - 1)) c = {168, 30, 30};
            put_px(im, x, y, c);
        }
}

Image make_blood()
{
    Image im = make_image(128, 32, MAGENTA);
    for (int i = 0; i < 4; i++) splash(im, 32 * i + 16.0f, 16.0f, 13.0f - (i % 2) * 2, 900 + i * 7);
    return im;
}

Image make_bullet()
{
    Image im = make_image(13, 13, MAGENTA);
    // A hot slug with a halo, centred where the 8 x 8 hit box lies.
    fill_ellipse(im, 5.0f, 5.0f, 4.6f, 4.6f, {200, 80, 10});
    fill_ellipse(im, 5.0f, 5.0f, 3.4f, 3.4f, {255, 180, 40});
    fill_ellipse(im, 5.0f, 5.0f, 2.0f, 2.0f, {255, 250, 210});
    put_px(im, 4, 4, {255, 255, 255});
    outline(im, INK, false);
    return im;
}

Image make_items()
{
    Image im = make_image(48, 24, MAGENTA);
    // Painkillers: an amber bottle lying on its side, white cap, two pills.
    {
        float pts[] = {3, 9, 15, 5, 18, 14, 6, 18};
        fill_polygon(im, pts, 4, {200, 110, 20});
        for (int y = 4; y < 20; y++)
            for (int x = 2; x < 20; x++)
                if (same_colour(get_px(im, x, y), {200, 110, 20})) {
                    float t = (x - 3 + y - 5) / 22.0f;
                    put_px(im, x, y, mix({250, 170, 60}, {140, 60, 10}, t));
                }
        float label[] = {6, 9, 12, 7, 14, 13, 8, 15};
        fill_polygon(im, label, 4, {236, 232, 222});
        draw_line(im, 9.6f, 9.5f, 11.0f, 12.8f, 1.3f, {200, 20, 20});
        draw_line(im, 8.5f, 11.6f, 12.1f, 10.7f, 1.3f, {200, 20, 20});
        float cap[] = {15, 5, 19, 3.5f, 22, 12, 18, 14};
        fill_polygon(im, cap, 4, {240, 240, 236});
        draw_line(im, 16, 5.5f, 19, 13, 1, {190, 190, 186});
        fill_ellipse(im, 7, 20.5f, 2.2f, 1.6f, {250, 250, 246});
        fill_ellipse(im, 12, 21, 2.2f, 1.6f, {250, 250, 246});
        put_px(im, 7, 20, {200, 200, 196});
    }
    // Steroids: a syringe with toxic green fill.
    {
        const int ox = 24;
        draw_line(im, ox + 4.0f, 19.5f, ox + 17.0f, 6.5f, 5.0f, {210, 220, 214});
        draw_line(im, ox + 5.0f, 18.5f, ox + 12.0f, 11.5f, 3.0f, {90, 230, 60});
        draw_line(im, ox + 5.5f, 17.0f, ox + 11.0f, 11.5f, 1.0f, {200, 255, 170});
        draw_line(im, ox + 15.0f, 4.5f, ox + 19.5f, 9.0f, 2.2f, {70, 70, 76});   // flange
        draw_line(im, ox + 17.0f, 6.5f, ox + 21.0f, 2.5f, 1.5f, {160, 160, 168}); // plunger
        draw_line(im, ox + 19.5f, 1.2f, ox + 22.5f, 4.2f, 1.5f, {70, 70, 76});
        draw_line(im, ox + 4.0f, 19.5f, ox + 1.5f, 22.0f, 1.0f, {230, 230, 240}); // needle
        for (int i = 0; i < 3; i++) put_px(im, ox + 9 + i * 2, 16 - i * 2, {40, 80, 40});
    }
    outline_rect(im, 0, 0, 24, 24, INK, false);
    outline_rect(im, 24, 0, 24, 24, INK, false);
    return im;
}

Image make_gunfire()
{
    Image im = make_image(48, 16, MAGENTA);
    // Muzzle flash pointing up the sheet (the shooter's facing): a spike
    // forward, two side jets, a white-hot core; it shrinks frame by frame.
    for (int f = 0; f < 3; f++) {
        float s = 1.0f - f * 0.28f, cx = f * 16 + 8.0f, cy = 10.0f;
        float spike[] = {cx, cy - 9.5f * s, cx + 2.6f * s, cy, cx, cy + 3 * s, cx - 2.6f * s, cy};
        fill_polygon(im, spike, 4, {255, 140, 20});
        float side[] = {cx - 7 * s, cy - 3 * s, cx, cy - 1.5f, cx + 7 * s, cy - 3 * s, cx, cy + 2};
        fill_polygon(im, side, 4, {255, 120, 10});
        fill_ellipse(im, cx, cy - 1, 3.2f * s, 3.6f * s, {255, 220, 80});
        fill_ellipse(im, cx, cy - 1, 1.6f * s, 2.0f * s, {255, 255, 230});
    }
    return im;
}

Image make_ricochet()
{
    Image im = make_image(160, 32, MAGENTA);
    rng_seed(4242);
    float ang[9], spd[9];
    for (int i = 0; i < 9; i++) {
        ang[i] = (i * 40 + rng_range(-12, 12)) * PI / 180;
        spd[i] = 0.7f + rng_float() * 0.5f;
    }
    for (int f = 0; f < 5; f++) {
        float cx = f * 32 + 16.0f, cy = 16.0f;
        if (f < 2) {
            fill_ellipse(im, cx, cy, 5.0f - f * 2, 5.0f - f * 2, {255, 200, 80});
            fill_ellipse(im, cx, cy, 2.5f - f, 2.5f - f, {255, 255, 240});
        }
        // Sparks fly out and cool from white to orange to red.
        Rgb col = f < 2 ? Rgb{255, 250, 200} : (f < 4 ? Rgb{255, 170, 40} : Rgb{200, 70, 20});
        for (int i = 0; i < 9; i++) {
            float d0 = (2 + f * 2.6f) * spd[i], d1 = std::min(d0 + 4 - f * 0.5f, 14.5f);
            draw_line(im, cx + std::sin(ang[i]) * d0, cy - std::cos(ang[i]) * d0, cx + std::sin(ang[i]) * d1,
                      cy - std::cos(ang[i]) * d1, 1.3f, col);
        }
        if (f >= 2) {
            // A wisp of dust where the bullet struck.
            for (int k = 0; k < 10 - f * 2; k++) {
                float a = rng_float() * 2 * PI, d = rng_float() * (3 + f);
                put_px(im, (int)(cx + std::sin(a) * d), (int)(cy - std::cos(a) * d), {150, 140, 130});
            }
        }
    }
    return im;
}

Image make_spawn()
{
    Image im = make_image(392, 56, MAGENTA);
    // A cold flash: a white core that bursts into a ring of light and sparks
    // and thins out to nothing over seven frames.
    rng_seed(5151);
    for (int f = 0; f < 7; f++) {
        float cx = f * 56 + 28.0f, cy = 28.0f, t = f / 6.0f;
        float ring = 6 + t * 16, thick = 4.5f - t * 3;
        for (int y = 0; y < 56; y++)
            for (int x = 0; x < 56; x++) {
                float dx = x + 0.5f - 28, dy = y + 0.5f - 28, d = std::sqrt(dx * dx + dy * dy);
                float band = std::fabs(d - ring);
                // Later frames break the ring up with a fixed dither.
                bool keep = hash01(x, y, 600 + f) > t * 0.75f;
                if (band < thick && keep) {
                    Rgb c = mix({255, 255, 255}, {90, 180, 255}, band / thick + t * 0.5f);
                    put_px(im, f * 56 + x, y, c);
                }
            }
        if (f < 4) {
            float r = 9 - f * 2.5f;
            fill_ellipse(im, cx, cy, r, r, {200, 236, 255});
            fill_ellipse(im, cx, cy, r * 0.55f, r * 0.55f, {255, 255, 255});
        }
        for (int k = 0; k < 12; k++) {
            float a = (k * 30 + f * 9) * PI / 180, d0 = ring + 2 + (k % 3) * 1.5f;
            float d1 = std::min(d0 + 3 + (6 - f) * 0.6f, 26.5f);
            if (d0 >= d1) continue;
            if (hash01(k, f, 611) < t * 0.6f) continue;
            draw_line(im, cx + std::sin(a) * d0, cy - std::cos(a) * d0, cx + std::sin(a) * d1,
                      cy - std::cos(a) * d1, 1.2f, {160, 220, 255});
        }
    }
    return im;
}
