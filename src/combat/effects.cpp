// Creating and ageing effects. Their drawing lives with the other combat
// sprites in combat_draw.cpp.
#include "combat/effects.h"

#include <cmath>
#include <cstring>

#include "util/frame.h"
#include "util/mathutil.h"
#include "util/settings.h"

SpriteAnim sprite_anims[MAX_SPRITE_ANIMS];
Particle particles[MAX_PARTICLES];
FloatingText floating_texts[MAX_FLOATING_TEXTS];

// Degrees to radians in the single precision the headings were tuned with.
static const float RADIANS_PER_DEGREE = 0.017453292f;

static const int STAIN_DISTANCE = 24;
static const float STAIN_DELAY = 30.0f * TICKS_PER_SECOND;
// Corpses age twice per drawn frame (shadow and body pass), so this lasts
// 1800 frame units.
static const float CORPSE_DELAY = 2 * 30.0f * TICKS_PER_SECOND;
static const int BLOOD_VARIANTS = 4;
static const int BURST_DROPS = 10;
static const int BURST_STEP_DEGREES = 36;
static const int BURST_SCATTER_DEGREES = 16;
static const int DROP_MIN_SIZE = 12;
static const int DROP_MAX_SIZE = 24;
static const int BODY_SIZE = 64;
static const int BOX_SIZE = 32;
static const float STAIN_FADE = 0.00625f;     // per frame unit: gone in 160
static const float CORPSE_FADE = 0.00390625f; // per ageing: two a frame, gone in 128
static const float DROP_FADE = 0.03125f;      // gone in 32
static const float DROP_SPEED = 1.5f;         // world units per frame unit
static const float TEXT_FADE_UNITS = 192.0f;  // a rising text lives this long
static const float TEXT_RISE = 1.0f;          // world units per frame unit

void add_sprite_anim(int x, int y, int angle, int texture, int first_frame, int size,
                     int frames, int frame_ticks)
{
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++) {
        SpriteAnim* a = &sprite_anims[i];
        if (a->active) continue;
        // A zero period would never let the timer climb above 0, and zero
        // cells would never reach the end: both would hang or run forever.
        if (frames < 1) frames = 1;
        if (frame_ticks < 1) frame_ticks = 1;
        a->active = 1;
        a->x = x;
        a->y = y;
        a->angle = angle;
        a->texture = texture;
        a->frame = first_frame;
        a->size = size;
        a->frames_left = frames - 1;
        a->frame_ticks = frame_ticks;
        a->frame_timer = (float)frame_ticks;
        return;
    }
}

void clear_sprite_anims()
{
    clear_memory(sprite_anims, sizeof sprite_anims);
}

void clear_particles()
{
    clear_memory(particles, sizeof particles);
}

int find_free_particle()
{
    for (int i = 0; i < MAX_PARTICLES; i++)
        if (!particles[i].active) return i;
    return -1;
}

void add_blood_stain(int x, int y, int angle)
{
    int s = find_free_particle();
    if (s < 0) return;
    Particle* p = &particles[s];
    float a = (float)angle * RADIANS_PER_DEGREE;
    p->active = 1;
    p->type = PARTICLE_BLOOD_STAIN;
    p->x = (float)x + STAIN_DISTANCE * sinf(a);
    p->y = (float)y - STAIN_DISTANCE * cosf(a);
    p->alpha = 1.0f;
    p->variant = random_range(0, BLOOD_VARIANTS - 1);
    p->rotation = random_range(0, 359);
    p->delay = STAIN_DELAY;
}

void add_blood_burst(int x, int y)
{
    for (int i = 0; i < BURST_DROPS; i++) {
        int s = find_free_particle();
        if (s < 0) continue;
        Particle* p = &particles[s];
        p->active = 1;
        p->type = PARTICLE_BLOOD_DROP;
        p->size = random_range(DROP_MIN_SIZE, DROP_MAX_SIZE);
        p->x = (float)(x + center_pos(0, BOX_SIZE, p->size));
        p->y = (float)(y + center_pos(0, BOX_SIZE, p->size));
        p->alpha = 1.0f;
        p->variant = random_range(0, BLOOD_VARIANTS - 1);
        p->rotation = random_range(0, 359);
        int degrees = random_range(-BURST_SCATTER_DEGREES, BURST_SCATTER_DEGREES) + i * BURST_STEP_DEGREES;
        p->direction = (float)degrees * RADIANS_PER_DEGREE;
    }
}

void add_corpse(int x, int y, int kind)
{
    int s = find_free_particle();
    if (s < 0) return;
    Particle* p = &particles[s];
    p->active = 1;
    p->type = PARTICLE_CORPSE;
    p->x = (float)center_pos(x, x + BOX_SIZE, BODY_SIZE);
    p->y = (float)center_pos(y, y + BOX_SIZE, BODY_SIZE);
    p->alpha = 1.0f;
    p->variant = kind;
    p->rotation = random_range(0, 359);
    p->delay = CORPSE_DELAY;
}

void add_floating_text(int x, int y, const char* text)
{
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) {
        FloatingText* t = &floating_texts[i];
        if (t->active) continue;
        t->active = 1;
        strncpy(t->text, text, FLOATING_TEXT_SIZE - 1);
        t->text[FLOATING_TEXT_SIZE - 1] = 0;
        t->x = x;
        t->y = (float)y;
        t->alpha = 1.0f;
        return;
    }
}

void clear_floating_texts()
{
    clear_memory(floating_texts, sizeof floating_texts);
}

static void age_sprite_anim(SpriteAnim* a)
{
    if (a->frame_timer > 0.0f) {
        a->frame_timer -= frame_factor;
        return;
    }
    while (a->frame_timer <= 0.0f && a->active) {
        if (a->frames_left == 0) {
            a->active = 0;
        } else {
            a->frames_left--;
            a->frame++;
            a->frame_timer += (float)a->frame_ticks;
        }
    }
}

// Full opacity while the delay lasts, then fading by `fade` per frame unit.
static void age_lying(Particle* p, float fade)
{
    if (p->delay > 0.0f)
        p->delay -= frame_factor;
    else
        p->alpha -= fade * frame_factor;
    if (p->alpha <= 0.0f) p->active = 0;
}

float corpse_body_alpha(const Particle* p)
{
    if (paused || p->delay > 0.0f)
        return p->alpha;
    return p->alpha - CORPSE_FADE * frame_factor;
}

static void age_particle(Particle* p)
{
    switch (p->type) {
    case PARTICLE_BLOOD_STAIN:
        if (!paused) age_lying(p, STAIN_FADE);
        break;
    case PARTICLE_CORPSE:
        if (!paused) {
            age_lying(p, CORPSE_FADE);
            if (p->active) age_lying(p, CORPSE_FADE);
        }
        break;
    default:
        // Drops keep flying while paused: the pause freezes the fight, not
        // the splash already in the air.
        p->x += DROP_SPEED * sinf(p->direction) * frame_factor;
        p->y -= DROP_SPEED * cosf(p->direction) * frame_factor;
        p->alpha -= DROP_FADE * frame_factor;
        if (p->alpha <= 0.0f) p->active = 0;
        break;
    }
}

void advance_effects()
{
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++)
        if (sprite_anims[i].active && !paused) age_sprite_anim(&sprite_anims[i]);
    for (int i = 0; i < MAX_PARTICLES; i++)
        if (particles[i].active) age_particle(&particles[i]);
    if (paused)
        return;
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) {
        FloatingText* t = &floating_texts[i];
        if (!t->active) continue;
        t->y -= TEXT_RISE * frame_factor;
        t->alpha -= frame_factor / TEXT_FADE_UNITS;
        if (t->alpha <= 0.0f) t->active = 0;
    }
}
