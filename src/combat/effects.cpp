// Creating effects and the tile animation table. Drawing and ageing live in
// effects_draw.cpp.
#include "combat/effects.h"

#include <cmath>
#include <cstring>

#include "util/mathutil.h"

SpriteAnim sprite_anims[MAX_SPRITE_ANIMS];
Particle particles[MAX_PARTICLES];
FloatingText floating_texts[MAX_FLOATING_TEXTS];
TileAnim tile_anims[TILE_ANIM_TEXTURES][TILE_ANIM_CELLS];

// Degrees to radians in the single precision the headings were tuned with.
static const float RADIANS_PER_DEGREE = 0.017453292f;

static const int STAIN_DISTANCE = 24;
static const float STAIN_DELAY = 1800.0f;
// Corpses age twice per drawn frame (shadow and body pass), so this lasts
// 1800 frame units.
static const float CORPSE_DELAY = 3600.0f;
static const int BLOOD_VARIANTS = 4;
static const int BURST_DROPS = 10;
static const int BURST_STEP_DEGREES = 36;
static const int BURST_SCATTER_DEGREES = 16;
static const int DROP_MIN_SIZE = 12;
static const int DROP_MAX_SIZE = 24;
static const int BODY_SIZE = 64;
static const int BOX_SIZE = 32;

// Built-in looping cells: texture, first cell, count, frame units per cell;
// a negative texture ends the list.
struct TileAnimRow {
    int texture, first, count, frame_ticks;
};
static const int TILES_TEXTURE = 8;
static const TileAnimRow TILE_ANIM_ROWS[] = {
    {TILES_TEXTURE, 128, 8, 12},
    {TILES_TEXTURE, 136, 8, 12},
    {TILES_TEXTURE, 144, 8, 12},
    {TILES_TEXTURE, 152, 8, 12},
    {-1, 0, 0, 0},
};

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

void init_tile_anims()
{
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS; c++) {
            tile_anims[t][c].frame = 0;
            tile_anims[t][c].count = 0;
        }
    for (const TileAnimRow* r = TILE_ANIM_ROWS; r->texture >= 0; r++) {
        TileAnim* a = &tile_anims[r->texture][r->first];
        a->count = r->count;
        a->frame_ticks = r->frame_ticks;
        a->timer = (float)r->frame_ticks;
    }
}

// update_tile_anims reads frame_factor and so lives with the drawing code.

int tile_anim_frame(int texture, int cell)
{
    if (texture < 0 || texture >= TILE_ANIM_TEXTURES || cell < 0 || cell >= TILE_ANIM_CELLS)
        return cell;
    return cell + tile_anims[texture][cell].frame;
}
