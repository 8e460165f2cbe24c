// The character sheet: 10 poses of 64 x 64 for each of the three kinds, seen
// from straight above and facing up the sheet (the game turns them).
//
//   row 0 player    wild hair, torn bloody shirt, a blade in the right hand
//   row 1 civilian  an ordinary townsman in a jacket and jeans
//   row 2 armed     a police uniform with a peaked cap and a pistol
//
//   column 0    standing
//   column 1-4  walking: left foot forward, passing, right foot forward,
//               passing (arms swing against the legs)
//   column 5    player: the strike; armed: aiming while walking, frame 0
//   column 6    armed: aiming standing, and aiming while walking, frame 1
//   column 7-8  armed: aiming while walking, frames 2 and 3
//               (player: the blade raised again; civilian: hands up in panic)
//   column 9    the corpse, face down in its pool of blood
#include <algorithm>
#include <cmath>

#include "pictures.h"

static const int CELL = 64;
// Figures fill their 32-unit box with the arms just past it.
static const float FIGURE_SCALE = 1.18f;

struct Look {
    Rgb skin, hair, shirt, sleeve, trousers, shoes;
    int head; // 0 short hair, 1 wild hair, 2 peaked cap
    bool torn;  // the player's ruined shirt and bloody hand
    bool badge; // uniform: epaulettes, badge, a radio on the shoulder
    bool strap; // a bag slung across the back
};

enum Hands { HANDS_SWING, HANDS_STRIKE, HANDS_AIM, HANDS_PANIC, HANDS_RAISED };
enum Held { HELD_NONE, HELD_BLADE, HELD_PISTOL };

struct Pose {
    float stride; // +1 left foot forward, -1 right foot forward
    Hands hands;
    Held held;
};

// Figures are designed at one size and drawn a little larger about the
// cell's centre; every shape of a figure goes through these.
static float fig_scale = 1.0f;
static const float FIG_CX = 32, FIG_CY = 33;
static float tx(float x) { return FIG_CX + (x - FIG_CX) * fig_scale; }
static float ty(float y) { return FIG_CY + (y - FIG_CY) * fig_scale; }

static void s_ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c)
{
    fill_ellipse(im, tx(cx), ty(cy), rx * fig_scale, ry * fig_scale, c);
}

static void s_line(Image& im, float x0, float y0, float x1, float y1, float w, Rgb c)
{
    draw_line(im, tx(x0), ty(y0), tx(x1), ty(y1), w * fig_scale, c);
}

static void s_rect(Image& im, int x, int y, int w, int h, Rgb c)
{
    fill_rect(im, (int)std::lround(tx((float)x)), (int)std::lround(ty((float)y)), std::max(1, (int)std::lround(w * fig_scale)),
              std::max(1, (int)std::lround(h * fig_scale)), c);
}

static void s_px(Image& im, int x, int y, Rgb c)
{
    put_px(im, (int)std::floor(tx(x + 0.5f)), (int)std::floor(ty(y + 0.5f)), c);
}

static void s_poly(Image& im, const float* xy, int n, Rgb c)
{
    float t[64];
    for (int i = 0; i < n && i < 32; i++) {
        t[i * 2] = tx(xy[i * 2]);
        t[i * 2 + 1] = ty(xy[i * 2 + 1]);
    }
    fill_polygon(im, t, n, c);
}

// Light from the top left: a lit rim toward it, a shaded rim away from it.
static void shaded_ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c)
{
    cx = tx(cx);
    cy = ty(cy);
    rx *= fig_scale;
    ry *= fig_scale;
    for (int y = (int)(cy - ry - 1); y <= (int)(cy + ry + 1); y++)
        for (int x = (int)(cx - rx - 1); x <= (int)(cx + rx + 1); x++) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = dx * dx + dy * dy;
            if (d > 1) continue;
            float f = 1.0f - 0.28f * (dx + dy) - (d > 0.7f ? 0.12f : 0.0f);
            put_px(im, x, y, scale(c, f));
        }
}

static void limb(Image& im, float x0, float y0, float x1, float y1, float w, Rgb c)
{
    s_line(im, x0, y0, x1, y1, w, scale(c, 0.8f));
    s_line(im, x0 - 0.5f, y0 - 0.5f, x1 - 0.5f, y1 - 0.5f, w - 1.6f, c);
}

static void draw_blade(Image& im, float hx, float hy, float tx, float ty)
{
    float dx = tx - hx, dy = ty - hy, len = std::sqrt(dx * dx + dy * dy);
    float ux = dx / len, uy = dy / len;
    // Grip behind the hand, guard at the hand, steel to the tip.
    s_line(im, hx - ux * 3, hy - uy * 3, hx, hy, 2.2f, {70, 40, 24});
    s_line(im, hx - uy * 2.5f, hy + ux * 2.5f, hx + uy * 2.5f, hy - ux * 2.5f, 1.6f, {120, 110, 90});
    s_line(im, hx + ux, hy + uy, tx, ty, 2.6f, {150, 156, 166});
    s_line(im, hx + ux - 0.6f, hy + uy - 0.6f, tx - 0.6f, ty - 0.6f, 1.0f, {232, 238, 245});
    // Blood on the last third of the edge.
    s_line(im, hx + ux * len * 0.65f, hy + uy * len * 0.65f, tx, ty, 1.6f, {170, 10, 14});
}

static void draw_pistol(Image& im, float x, float y)
{
    s_rect(im, (int)x - 1, (int)y - 8, 3, 9, {48, 48, 54});
    s_rect(im, (int)x - 1, (int)y - 8, 1, 8, {96, 98, 108});
}

static void draw_hand(Image& im, float x, float y, const Look& lk) { shaded_ellipse(im, x, y, 2.4f, 2.4f, lk.skin); }

static void draw_head(Image& im, float cx, float cy, const Look& lk, uint32_t seed)
{
    if (lk.head == 2) {
        // Peaked cap: a black visor toward the front, the crown, a badge.
        s_ellipse(im, cx, cy - 5.0f, 5.0f, 3.0f, {16, 16, 20});
        s_px(im, (int)cx - 2, (int)(cy - 7.0f), {90, 90, 104});
        s_px(im, (int)cx - 1, (int)(cy - 7.0f), {70, 70, 84});
        shaded_ellipse(im, cx, cy + 0.5f, 6.2f, 5.8f, {40, 52, 96});
        s_ellipse(im, cx, cy + 0.5f, 6.2f * 0.55f, 5.8f * 0.5f, {48, 62, 112});
        s_ellipse(im, cx, cy - 2.2f, 1.5f, 1.3f, {226, 196, 80});
        return;
    }
    if (lk.head == 1) {
        // Wild hair: a blob with spikes thrown every way.
        rng_seed(seed);
        for (int i = 0; i < 15; i++) {
            float a = i * 24.0f * 0.017453292f + rng_float() * 0.4f;
            float r = 6.2f + rng_float() * 2.0f;
            float b = 0.3f + rng_float() * 0.15f;
            float pts[] = {cx + std::sin(a - b) * 4.0f, cy - std::cos(a - b) * 4.0f, cx + std::sin(a) * r,
                           cy - std::cos(a) * r, cx + std::sin(a + b) * 4.0f, cy - std::cos(a + b) * 4.0f};
            s_poly(im, pts, 3, scale(lk.hair, 0.8f + rng_float() * 0.4f));
        }
        shaded_ellipse(im, cx, cy, 5.2f, 5.2f, lk.hair);
        // Short lit strands on the side toward the light.
        for (int i = 0; i < 6; i++) {
            float a = (-110 + rng_float() * 100) * 0.017453292f, r0 = 1.5f + rng_float() * 2, r1 = r0 + 2.5f;
            s_line(im, cx + std::sin(a) * r0, cy - std::cos(a) * r0, cx + std::sin(a) * r1, cy - std::cos(a) * r1, 1,
                   add(lk.hair, 46));
        }
        return;
    }
    shaded_ellipse(im, cx, cy, 5.8f, 6.2f, lk.hair);
    // A parting and a glimpse of forehead at the front.
    s_ellipse(im, cx, cy - 5.2f, 3.0f, 1.4f, lk.skin);
    s_line(im, cx - 1.5f, cy - 3, cx - 1.0f, cy + 3, 1, scale(lk.hair, 0.6f));
    s_line(im, cx + 1.5f, cy - 2, cx + 3.0f, cy + 2, 1, add(lk.hair, 30));
}

// Lays a part drawn on its own layer over the figure with its own dark
// outline, so overlapping parts stay readable at sprite size.
static void stack(Image& figure, Image& layer)
{
    outline(layer, INK, false);
    blit(figure, layer, 0, 0);
    layer = make_image(CELL, CELL, MAGENTA);
}

// A pale arc in front of the figure: the sweep of the blade.
static void slash_trail(Image& im, float cx, float cy)
{
    for (int a = -70; a <= 40; a += 2) {
        float r = a * 0.017453292f;
        float rad = 21 + (a + 70) * 0.02f;
        float w = 0.6f + (a + 70) / 110.0f * 1.6f;
        s_line(im, cx + std::sin(r) * rad, cy - std::cos(r) * rad, cx + std::sin(r + 0.04f) * rad,
                  cy - std::cos(r + 0.04f) * rad, w, mix({120, 130, 150}, {235, 240, 250}, (a + 70) / 110.0f));
    }
}

// Draws one standing or walking figure centred in a 64 x 64 image.
static Image draw_figure(const Look& lk, const Pose& p, uint32_t seed)
{
    Image fig = make_image(CELL, CELL, MAGENTA);
    Image layer = make_image(CELL, CELL, MAGENTA);
    const float cx = 32, cy = 33;
    // Legs and feet first: the torso hides them except when striding.
    float lf = -p.stride * 7, rf = p.stride * 7;
    limb(layer, cx - 4.5f, cy + 1, cx - 4.5f, cy + 1 + lf, 5.2f, lk.trousers);
    limb(layer, cx + 4.5f, cy + 1, cx + 4.5f, cy + 1 + rf, 5.2f, lk.trousers);
    if (std::fabs(lf) > 1) shaded_ellipse(layer, cx - 4.5f, cy + 1 + lf * 1.3f, 2.7f, 3.8f, lk.shoes);
    if (std::fabs(rf) > 1) shaded_ellipse(layer, cx + 4.5f, cy + 1 + rf * 1.3f, 2.7f, 3.8f, lk.shoes);
    stack(fig, layer);

    // Hands: where each one ends up for this pose.
    float swing = p.stride;
    float lx = cx - 12.5f, ly = cy + 2 + swing * 7; // left arm swings against the left leg
    float rx = cx + 12.5f, ry = cy + 2 - swing * 7;
    if (p.hands == HANDS_AIM) {
        lx = cx - 1.8f;
        ly = cy - 13;
        rx = cx + 1.8f;
        ry = cy - 13;
    } else if (p.hands == HANDS_STRIKE) {
        rx = cx + 8;
        ry = cy - 13;
    } else if (p.hands == HANDS_PANIC) {
        lx = cx - 14;
        ly = cy - 9 + swing * 2;
        rx = cx + 14;
        ry = cy - 9 - swing * 2;
    } else if (p.hands == HANDS_RAISED) {
        rx = cx + 13;
        ry = cy - 9;
    }
    const float shoulder = 9.5f;
    bool left_front = p.hands == HANDS_AIM || p.hands == HANDS_PANIC;
    bool right_front = p.hands != HANDS_SWING;
    if (!left_front) {
        limb(layer, cx - shoulder, cy + 1, lx, ly, 5.0f, lk.sleeve);
        draw_hand(layer, lx, ly, lk);
    }
    if (!right_front) {
        limb(layer, cx + shoulder, cy + 1, rx, ry, 5.0f, lk.sleeve);
        draw_hand(layer, rx, ry, lk);
    }
    stack(fig, layer);

    // Torso: shoulders seen from above.
    shaded_ellipse(layer, cx, cy + 1, 12.0f, 6.8f, lk.shirt);
    if (lk.torn) {
        rng_seed(seed);
        for (int i = 0; i < 6; i++) {
            float x = cx - 9 + rng_float() * 18, y = cy - 3 + rng_float() * 7;
            s_ellipse(layer, x, y, 1.2f + rng_float() * 1.8f, 1.0f + rng_float(), {150, 12, 16});
        }
        for (int i = 0; i < 3; i++) {
            float x = cx - 7 + rng_float() * 14, y = cy - 2 + rng_float() * 5;
            s_line(layer, x, y, x + 2 - rng_float() * 4, y + 2.5f, 1, scale(lk.skin, 0.85f));
        }
        s_px(layer, (int)cx + 9, (int)cy + 4, {110, 6, 10});
    }
    if (lk.badge) {
        s_rect(layer, (int)cx - 12, (int)cy, 4, 2, {170, 176, 190}); // epaulettes
        s_rect(layer, (int)cx + 9, (int)cy, 4, 2, {170, 176, 190});
        s_px(layer, (int)cx - 7, (int)cy + 3, {230, 200, 80});
        s_rect(layer, (int)cx + 6, (int)cy - 4, 3, 3, {22, 22, 26}); // radio
        s_px(layer, (int)cx + 8, (int)cy - 5, {60, 60, 66});
    }
    if (lk.strap) {
        s_line(layer, cx - 9, cy - 3, cx + 9, cy + 5, 1.6f, {64, 40, 24});
        s_ellipse(layer, cx + 10, cy + 6, 2.6f, 2.2f, {84, 54, 32});
    }
    stack(fig, layer);

    if (left_front) {
        limb(layer, cx - shoulder, cy + 1, lx, ly, 5.0f, lk.sleeve);
        draw_hand(layer, lx, ly, lk);
    }
    if (right_front) {
        limb(layer, cx + shoulder, cy + 1, rx, ry, 5.0f, lk.sleeve);
        draw_hand(layer, rx, ry, lk);
    }
    if (lk.torn) s_ellipse(layer, rx + 0.6f, ry + 0.4f, 1.4f, 1.2f, {150, 14, 18});
    if (p.held == HELD_BLADE) {
        if (p.hands == HANDS_STRIKE) draw_blade(layer, rx, ry - 1, rx - 11, ry - 10);
        else if (p.hands == HANDS_RAISED) draw_blade(layer, rx, ry - 1, rx + 3, ry - 16);
        else draw_blade(layer, rx, ry - 1, rx + 1.5f, ry - 14);
    } else if (p.held == HELD_PISTOL) {
        if (p.hands == HANDS_AIM) draw_pistol(layer, cx, cy - 14);
        else draw_pistol(layer, rx, ry + 1);
    }
    stack(fig, layer);
    if (p.hands == HANDS_STRIKE) {
        slash_trail(layer, cx, cy);
        blit(fig, layer, 0, 0);
        layer = make_image(CELL, CELL, MAGENTA);
    }
    draw_head(layer, cx, cy - 0.5f, lk, seed + 5);
    stack(fig, layer);
    return fig;
}

// Face down, arms thrown out, in a pool of blood.
static Image draw_corpse(const Look& lk, Held held, uint32_t seed)
{
    // Lying full length the body is long enough at its designed size.
    float standing_scale = fig_scale;
    fig_scale = 1.0f;
    Image pool = make_image(CELL, CELL, MAGENTA);
    rng_seed(seed);
    const float cx = 32, cy = 32;
    fill_ellipse(pool, cx + 1, cy + 2, 17, 19, {96, 4, 8});
    for (int i = 0; i < 9; i++) {
        float a = rng_float() * 6.28f, d = 12 + rng_float() * 8, r = 4 + rng_float() * 5;
        fill_ellipse(pool, cx + 1 + std::sin(a) * d, cy + 2 - std::cos(a) * d, r, r * 0.8f, {96, 4, 8});
    }
    for (int y = 0; y < CELL; y++)
        for (int x = 0; x < CELL; x++)
            if (is_ink(pool, x, y)) {
                float n = fractal_noise(x / 5.0f, y / 5.0f, seed, 0, 2);
                put_px(pool, x, y, mix({70, 0, 4}, {140, 10, 14}, n));
            }
    outline(pool, {40, 0, 2}, false);

    Image body = make_image(CELL, CELL, MAGENTA);
    // Legs, one bent.
    limb(body, cx - 3, cy + 5, cx - 8, cy + 20, 5.2f, lk.trousers);
    limb(body, cx + 3, cy + 5, cx + 9, cy + 13, 5.2f, lk.trousers);
    limb(body, cx + 9, cy + 13, cx + 7, cy + 22, 5.0f, lk.trousers);
    shaded_ellipse(body, cx - 8.5f, cy + 22, 2.6f, 3.4f, lk.shoes);
    shaded_ellipse(body, cx + 7, cy + 24, 2.6f, 3.4f, lk.shoes);
    // Arms flung out.
    limb(body, cx - 8, cy - 7, cx - 18, cy + 1, 4.6f, lk.sleeve);
    limb(body, cx + 8, cy - 7, cx + 16, cy - 17, 4.6f, lk.sleeve);
    draw_hand(body, cx - 19, cy + 2, lk);
    draw_hand(body, cx + 17, cy - 18, lk);
    // The back, lying flat: longer than the shoulders seen upright.
    shaded_ellipse(body, cx, cy - 2, 9.5f, 10.5f, lk.shirt);
    shaded_ellipse(body, cx, cy + 4.5f, 7.0f, 4.0f, lk.trousers);
    if (lk.torn) {
        for (int i = 0; i < 5; i++)
            s_ellipse(body, cx - 6 + rng_float() * 12, cy - 8 + rng_float() * 12, 1.5f + rng_float() * 2, 1.3f,
                         {140, 10, 14});
    }
    s_ellipse(body, cx + 2, cy - 3, 2.6f, 2.2f, {120, 6, 10}); // the wound
    draw_head(body, cx - 1, cy - 15, lk, seed + 9);
    if (held == HELD_BLADE) draw_blade(body, cx + 22, cy - 20, cx + 27, cy - 8);
    if (held == HELD_PISTOL) draw_pistol(body, cx - 22, cy + 10);
    outline(body, INK, false);
    blit(pool, body, 0, 0);
    fig_scale = standing_scale;
    return pool;
}

Image make_characters()
{
    Image sheet = make_image(10 * CELL, 3 * CELL, MAGENTA);
    const Look looks[3] = {
        // Player: dirty white shirt, blood, wild black hair.
        {{214, 168, 136}, {34, 26, 24}, {204, 198, 184}, {204, 198, 184}, {78, 76, 92}, {44, 32, 26}, 1, true, false, false},
        // Civilian: brown jacket, jeans.
        {{220, 176, 140}, {58, 38, 24}, {156, 124, 80}, {146, 114, 72}, {62, 78, 112}, {30, 26, 24}, 0, false, false, true},
        // Armed: police blue.
        {{206, 160, 126}, {30, 26, 24}, {50, 68, 124}, {46, 62, 114}, {34, 42, 72}, {20, 20, 22}, 2, false, true, false},
    };
    const float strides[4] = {1, 0, -1, 0};
    fig_scale = FIGURE_SCALE;
    for (int kind = 0; kind < 3; kind++) {
        const Look& lk = looks[kind];
        Held held = kind == 0 ? HELD_BLADE : (kind == 2 ? HELD_PISTOL : HELD_NONE);
        uint32_t seed = 100 + kind * 17;
        for (int col = 0; col < 10; col++) {
            Image cell;
            if (col == 9) {
                cell = draw_corpse(lk, held, seed + 50);
            } else {
                Pose p = {0, HANDS_SWING, held};
                if (col >= 1 && col <= 4) p.stride = strides[col - 1];
                if (col >= 5) {
                    p.stride = strides[col - 5];
                    if (kind == 0) p.hands = col == 5 ? HANDS_STRIKE : HANDS_RAISED;
                    if (kind == 1) p.hands = HANDS_PANIC;
                    if (kind == 2) p.hands = HANDS_AIM;
                }
                // Same seed across a row: hair and blood stay put while the
                // figure walks.
                cell = draw_figure(lk, p, seed);
            }
            blit(sheet, cell, col * CELL, kind * CELL);
        }
    }
    return sheet;
}
