// The sprites of the fight in the 3D pass (items, bullets, one-shot
// animations, blood and corpses) and the rising texts in the 2D pass. They
// only read their tables; ageing is advance_effects' job.
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "render/draw.h"
#include "render/quad.h"
#include "render/screen.h"
#include "render/textures.h"
#include "world/camera.h"

static const int BLOOD_CELL = 32;
static const int BODY_CELL = 64;
static const int CORPSE_COLUMN = 9;
static const int CORPSE_SHADOW_OFFSET = 3;

void draw_items()
{
    for (int i = 0; i < MAX_ITEMS; i++) {
        const Item* item = &items[i];
        if (item->active)
            draw_sprite(TEX_ITEMS, ITEM_SIZE * item->kind, 0, ITEM_SIZE, ITEM_SIZE,
                        item->x - (int)camera_x, item->y - (int)camera_y, ITEM_SIZE, ITEM_SIZE, 0);
    }
}

void draw_bullets()
{
    for (const Bullet* b = bullet_list; b != nullptr; b = b->next)
        draw_sprite(TEX_BULLET, 0, 0, BULLET_IMAGE_SIZE, BULLET_IMAGE_SIZE,
                    (int)b->x - (int)camera_x, (int)b->y - (int)camera_y,
                    BULLET_IMAGE_SIZE, BULLET_IMAGE_SIZE, 0);
}

void draw_sprite_anims()
{
    for (int i = 0; i < MAX_SPRITE_ANIMS; i++) {
        const SpriteAnim* a = &sprite_anims[i];
        if (a->active)
            draw_cell(a->texture, a->frame, a->size, a->x - camera_x, a->y - camera_y, a->size,
                      a->angle);
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

static void end_translucent()
{
    set_blending(0);
    set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
}

void draw_blood_stains()
{
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const Particle* p = &particles[i];
        if (!p->active || p->type != PARTICLE_BLOOD_STAIN) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, p->alpha);
        draw_sprite(TEX_BLOOD, BLOOD_CELL * p->variant, 0, BLOOD_CELL, BLOOD_CELL, screen_x(p->x),
                    screen_y(p->y), BLOOD_CELL, BLOOD_CELL, p->rotation);
    }
    end_translucent();
}

void draw_corpses()
{
    for (int pass = 0; pass < 2; pass++) {
        bool shadow = pass == 0;
        int shift = shadow ? CORPSE_SHADOW_OFFSET : 0;
        float shade = shadow ? 0.0f : 1.0f;
        for (int i = 0; i < MAX_PARTICLES; i++) {
            const Particle* p = &particles[i];
            if (!p->active || p->type != PARTICLE_CORPSE) continue;
            float alpha = shadow ? p->alpha : corpse_body_alpha(p);
            if (alpha <= 0.0f) continue;
            set_fading_color(shade, shade, shade, alpha);
            draw_sprite(TEX_CHARACTERS, BODY_CELL * CORPSE_COLUMN, BODY_CELL * p->variant, BODY_CELL,
                        BODY_CELL, screen_x(p->x + shift), screen_y(p->y + shift), BODY_CELL,
                        BODY_CELL, p->rotation);
        }
    }
    end_translucent();
}

void draw_blood_drops()
{
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const Particle* p = &particles[i];
        if (!p->active || p->type != PARTICLE_BLOOD_DROP) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, p->alpha);
        draw_sprite(TEX_BLOOD, BLOOD_CELL * p->variant, 0, BLOOD_CELL, BLOOD_CELL, screen_x(p->x),
                    screen_y(p->y), p->size, p->size, p->rotation);
    }
    end_translucent();
}

void draw_floating_texts()
{
    for (int i = 0; i < MAX_FLOATING_TEXTS; i++) {
        const FloatingText* t = &floating_texts[i];
        if (!t->active) continue;
        set_fading_color(1.0f, 1.0f, 1.0f, t->alpha);
        draw_text(t->x - camera_x, (int)t->y - camera_y + STATUS_HEIGHT, t->text);
    }
    end_translucent();
}
