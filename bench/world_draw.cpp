// The cost of drawing one crowded playing frame on the town map: map
// blocks, 126 characters with shadows, stains, corpses, drops, animations,
// health bars and rising texts, finished with glFinish so the software
// rasteriser's work is counted. Needs a display (run under xvfb-run from the
// build folder, where assets.bin lies).
//
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench/bench_world_draw
//
// Two crowds: spread over the whole town (most characters off screen, the
// usual case) and packed into the view around the player (the worst case).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "core/loop.h"
#include "render/screen.h"
#include "render/textures.h"
#include "util/archive.h"
#include "world/camera.h"
#include "world/character_draw.h"
#include "world/map.h"
#include "world/map_draw.h"

namespace {

#define FULL_ARMED 75

bool ready = false;

bool set_up()
{
    if (ready) return true;
    if (!getenv("DISPLAY") || !file_exists("assets.bin")) return false;
    init_screen(0);
    load_graphics();
    init_tile_anims();
    load_map("default.map");
    ready = true;
    return true;
}

// The largest population a run reaches, the player in the middle of the
// town; with `packed` everyone stands on floor cells inside the view.
void populate(bool packed)
{
    srand(5);
    free_characters();
    clear_particles();
    clear_sprite_anims();
    clear_floating_texts();
    psychosis = 100;
    new_player();
    player->x = 32 * 30;
    player->y = 32 * 31;
    for (int i = 0; i < CIVILIAN_COUNT; i++) spawn_character(KIND_CIVILIAN, 0);
    for (int i = 0; i < FULL_ARMED; i++) spawn_character(KIND_ARMED, 0);
    place_camera(player->x, player->y);
    if (packed) {
        int column0 = camera_x / 32, row0 = camera_y / 32;
        character* c = character_list;
        for (int r = row0; r < row0 + 16 && c; r++)
            for (int col = column0; col < column0 + 25 && c; col++) {
                if (!cell_is_floor(col, r)) continue;
                if (c == player) c = c->next;
                if (!c) break;
                c->x = col * 32;
                c->y = r * 32;
                c = c->next;
            }
    }
    int i = 0;
    for (character* c = character_list; c; c = c->next, i++) {
        if (c != player && i % 3 == 0) c->health = 40 + i % 60;
        c->angle = (i * 37) % 360;
        c->moving = i % 2;
        c->frame = i % 4;
        if (i % 4 == 0) {
            add_blood_stain(c->x, c->y, c->angle);
            add_corpse(c->x + 40, c->y, c->kind);
        }
        if (i % 8 == 0) add_blood_burst(c->x, c->y);
        if (i % 10 == 0) add_floating_text(c->x, c->y, "+25");
    }
    for (int k = 0; k < 10; k++)
        add_sprite_anim(player->x + 40 * k - 200, player->y, 0, TEX_RICOCHET, 0, RICOCHET_SIZE,
                        RICOCHET_FRAMES, RICOCHET_TICKS);
}

void draw_world_frame()
{
    clear_screen();
    update_tile_anims();
    set_projection(PROJECTION_3D);
    set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
    update_camera();
    draw_map();
    draw_blood_stains();
    draw_corpses();
    draw_characters();
    draw_sprite_anims();
    draw_blood_drops();
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_health_bars();
    draw_floating_texts();
    glFinish();
}

void run_frames(benchmark::State& state, bool packed, bool map_only)
{
    if (!set_up()) {
        state.SkipWithError("needs a display and assets.bin");
        return;
    }
    populate(packed);
    frame_factor = 0.0f; // nothing ages, so every frame draws the same
    paused = 0;
    for (auto _ : state) {
        if (map_only) {
            clear_screen();
            set_projection(PROJECTION_3D);
            set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
            update_camera();
            draw_map();
            glFinish();
        } else {
            draw_world_frame();
        }
    }
}

void BM_MapOnly(benchmark::State& state) { run_frames(state, false, true); }
void BM_FrameSpreadCrowd(benchmark::State& state) { run_frames(state, false, false); }
void BM_FramePackedCrowd(benchmark::State& state) { run_frames(state, true, false); }

} // namespace

// Wall time is the figure that matters: the rasteriser works on threads of
// its own, which the main thread's CPU time does not see.
BENCHMARK(BM_MapOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FrameSpreadCrowd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FramePackedCrowd)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
