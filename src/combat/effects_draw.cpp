// Drawing and ageing the effects, once per drawn frame by frame_factor.
#include "combat/effects.h"

#include <cmath>

#include "core/loop.h"
#include "render/draw.h"
#include "render/quad.h"
#include "render/screen.h"
#include "render/textures.h"
#include "world/camera.h"

static const float STAIN_FADE = 0.00625f;      // per frame unit: gone in 160
static const float CORPSE_FADE = 0.00390625f;  // per ageing: two a frame, gone in 128
static const float DROP_FADE = 0.03125f;       // gone in 32
static const float DROP_SPEED = 1.5f;          // world units per frame unit
static const float TEXT_FADE_UNITS = 192.0f;   // a rising text lives this long
static const float TEXT_RISE = 1.0f;           // world units per frame unit
static const int BLOOD_CELL = 32;
static const int BODY_CELL = 64;
static const int CORPSE_COLUMN = 9;
static const int CORPSE_SHADOW_OFFSET = 3;

void update_tile_anims()
{
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS; c++) {
            TileAnim* a = &tile_anims[t][c];
            if (a->count == 0) continue;
            if (a->timer > 0.0f) {
                a->timer -= frame_factor;
                continue;
            }
            do {
                a->frame++;
                if (a->frame >= a->count) a->frame = 0;
                a->timer += (float)a->frame_ticks;
            } while (a->timer <= 0.0f);
        }
}

void draw_sprite_anims()
{
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++) {
        SpriteAnim* a = &sprite_anims[i];
        if (!a->active) continue;
        draw_cell(a->texture, a->frame, a->size, a->x - camera_x, a->y - camera_y, a->size, a->angle);
        if (paused) continue;
        if (a->frame_timer > 0.0f) {
            a->frame_timer -= frame_factor;
            continue;
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
}

static int screen_x(float x)
{
    return (int)(x - (float)camera_x);
}

static int screen_y(float y)
{
    return (int)(y - (float)camera_y);
}

// Full opacity while the delay lasts, then fading by `fade` per frame unit.
static void age_lying(Particle* p, float fade)
{
    if (paused) return;
    if (p->delay > 0.0f)
        p->delay -= frame_factor;
    else
        p->alpha -= fade * frame_factor;
    if (p->alpha <= 0.0f) p->active = 0;
}

void draw_blood_stains()
{
    for (int i = 0; i < MAX_PARTICLES; i++) {
        Particle* p = &particles[i];
        if (!p->active || p->type != PARTICLE_BLOOD_STAIN) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, p->alpha);
        draw_sprite(TEX_BLOOD, BLOOD_CELL * p->variant, 0, BLOOD_CELL, BLOOD_CELL, screen_x(p->x),
                    screen_y(p->y), BLOOD_CELL, BLOOD_CELL, p->rotation);
        age_lying(p, STAIN_FADE);
    }
    set_blending(0);
    set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
}

void draw_corpses()
{
    for (int pass = 0; pass < 2; pass++) {
        bool shadow = pass == 0;
        int shift = shadow ? CORPSE_SHADOW_OFFSET : 0;
        float shade = shadow ? 0.0f : 1.0f;
        for (int i = 0; i < MAX_PARTICLES; i++) {
            Particle* p = &particles[i];
            if (!p->active || p->type != PARTICLE_CORPSE) continue;
            set_fading_color(shade, shade, shade, p->alpha);
            draw_sprite(TEX_CHARACTERS, BODY_CELL * CORPSE_COLUMN, BODY_CELL * p->variant, BODY_CELL,
                        BODY_CELL, screen_x(p->x + shift), screen_y(p->y + shift), BODY_CELL,
                        BODY_CELL, p->rotation);
            // Ageing after each of the two draws is what makes the 3600
            // delay last 1800 frame units.
            age_lying(p, CORPSE_FADE);
        }
    }
    set_blending(0);
    set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
}

void draw_blood_drops()
{
    for (int i = 0; i < MAX_PARTICLES; i++) {
        Particle* p = &particles[i];
        if (!p->active || p->type != PARTICLE_BLOOD_DROP) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, p->alpha);
        draw_sprite(TEX_BLOOD, BLOOD_CELL * p->variant, 0, BLOOD_CELL, BLOOD_CELL, screen_x(p->x),
                    screen_y(p->y), p->size, p->size, p->rotation);
        // Drops keep flying while paused: the pause freezes the fight, not
        // the splash already in the air.
        p->x += DROP_SPEED * sinf(p->direction) * frame_factor;
        p->y -= DROP_SPEED * cosf(p->direction) * frame_factor;
        p->alpha -= DROP_FADE * frame_factor;
        if (p->alpha <= 0.0f) p->active = 0;
    }
    set_blending(0);
    set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
}

void draw_floating_texts()
{
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) {
        FloatingText* t = &floating_texts[i];
        if (!t->active) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, t->alpha);
        draw_text(t->x - camera_x, (int)t->y - camera_y + STATUS_HEIGHT, t->text);
        if (paused) continue;
        t->y -= TEXT_RISE * frame_factor;
        t->alpha -= frame_factor / TEXT_FADE_UNITS;
        if (t->alpha <= 0.0f) t->active = 0;
    }
    set_blending(0);
    set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
}
