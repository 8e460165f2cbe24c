// The short-lived pictures of the fighting.
//
// Spawn and muzzle flashes, ricochets, blood stains, flying blood drops,
// corpses and rising texts change no game rule. They live in fixed tables of
// slots, filled lowest free slot first; a request that finds the table full
// is dropped without a word, because a missing splash is better than a
// stalled frame.
//
// Effects are created by the world tick and aged by advance_effects, once
// per drawn frame of the playing state, by frame_factor (frame units of
// 1/60 s), so their lifetimes do not depend on the frame rate. While the
// game is paused only the blood drops keep flying; everything else stands
// still. Visual timers follow one pattern: while above 0 a frame
// subtracts frame_factor; at or below 0 the step is taken and the period
// added until the timer is above 0 again. A long frame may therefore take
// several steps, or end an animation, in one call.
//
// Everything here is reset by new_game through the three clear_* functions.
#pragma once

#define MAX_SPRITE_ANIMS 32
#define MAX_PARTICLES 1024
#define MAX_FLOATING_TEXTS 32
#define FLOATING_TEXT_SIZE 64 // terminator included

// The three one-shot animations: sheet cell size, cells and frame units per
// cell. Each cell shows for its period plus the frame that steps it, so at
// 60 frames per second a spawn flash lasts 42 frames, a muzzle flash 12 and
// a ricochet 30.
#define SPAWN_FLASH_SIZE 56
#define SPAWN_FLASH_FRAMES 7
#define SPAWN_FLASH_TICKS 5
#define MUZZLE_FLASH_SIZE 16
#define MUZZLE_FLASH_FRAMES 3
#define MUZZLE_FLASH_TICKS 3
#define RICOCHET_SIZE 32
#define RICOCHET_FRAMES 5
#define RICOCHET_TICKS 5

// Particle kinds.
#define PARTICLE_BLOOD_STAIN 0
#define PARTICLE_BLOOD_DROP 1
#define PARTICLE_CORPSE 2

// A one-shot run through consecutive square cells of a sheet.
struct SpriteAnim {
    unsigned char active;
    int x, y;          // top-left of the drawn square, world units
    int angle;         // degrees
    int texture;       // the sheet
    int frame;         // current cell
    int size;          // cell edge in the sheet and drawn edge
    int frames_left;   // cells still to come after the current one
    int frame_ticks;   // frame units per cell
    float frame_timer; // frame units left for the current cell
};

// Stains, drops and corpses share one table.
struct Particle {
    unsigned char active;
    unsigned char type; // PARTICLE_*
    float x, y;         // top-left, world units
    int size;           // drawn edge of a drop (12..24)
    float alpha;        // 1 .. 0
    int variant;        // blood splash 0..3, or the kind of a corpse
    int rotation;       // degrees 0..359
    float direction;    // flight of a drop, radians, 0 up and clockwise
    float delay;        // frame units at full opacity left (stains, corpses)
};

struct FloatingText {
    int active;
    char text[FLOATING_TEXT_SIZE];
    int x;       // left edge, world units
    float y;     // top edge, world units
    float alpha; // 1 .. 0
};

// Cleared by clear_sprite_anims / clear_particles / clear_floating_texts.
extern SpriteAnim sprite_anims[MAX_SPRITE_ANIMS];
extern Particle particles[MAX_PARTICLES];
extern FloatingText floating_texts[MAX_FLOATING_TEXTS];

// --- Sprite animations ---
// Starts an animation in the lowest free slot (none free: nothing). A
// request for fewer than one cell or a period under one frame unit is taken
// as one, so every animation ends.
void add_sprite_anim(int x, int y, int angle, int texture, int first_frame, int size,
                     int frames, int frame_ticks);
void clear_sprite_anims();
// 3D pass, after the bullets.
void draw_sprite_anims();

// --- Particles ---
void clear_particles();
// Lowest free slot, or -1.
int find_free_particle();
// A splash 24 units from the character at (x, y) in the direction of
// `angle` (whole degrees, 0 north); stays 1800 frame units, fades in 160.
void add_blood_stain(int x, int y, int angle);
// Ten drops flying out of the 32-unit box at (x, y), 36 degrees apart with
// a little scatter; slots that are not free drop single drops.
void add_blood_burst(int x, int y);
// The body of a character of `kind` whose box was at (x, y); stays 1800
// frame units, fades in 128.
void add_corpse(int x, int y, int kind);
// 3D pass, in this order among the others: stains and corpses right after
// the map, drops last of all.
void draw_blood_stains();
// Shadows first, then bodies. A corpse ages once after each pass, so the
// body shows the opacity after the frame's first ageing, which this gives
// (0 or less: gone before its body is drawn).
void draw_corpses();
float corpse_body_alpha(const Particle* p);
void draw_blood_drops();

// --- Rising texts ---
// Lowest free slot (none free: nothing); longer texts are cut to 63 bytes.
void add_floating_text(int x, int y, const char* text);
void clear_floating_texts();
// 2D pass, after the health bars.
void draw_floating_texts();

// --- Ageing ---
// One drawn frame of every effect by frame_factor, after they have been
// drawn: animations step their cells, stains and corpses wait, then fade
// (a corpse ages twice a frame, once for each of its two drawing passes),
// drops fly and fade, texts rise and fade; a finished one frees its slot.
void advance_effects();
