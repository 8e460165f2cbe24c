// The cost of drawing a playing frame on the town map, through the game's
// own draw_frame and finished with glFinish so the software rasteriser's
// work is counted. Needs a display (run under xvfb-run from the build
// folder, where assets.bin lies).
//
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench/bench_world_draw
//
// Crowded: the view of the town with the most block faces, 60 characters,
// 400 particles, 32 sprite animations and 32 rising texts in it, the status
// strip on top; the goal is a median under 8 ms. Extreme: all 126
// characters and all 1,024 particles in that view. MapOnly: the blocks alone.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdlib>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "world/tile_anims.h"
#include "core/loop.h"
#include "core/states.h"
#include "render/screen.h"
#include "render/textures.h"
#include "util/archive.h"
#include "world/camera.h"
#include "world/map.h"
#include "world/map_draw.h"

namespace {

#define FULL_ARMED 75
#define VIEW_COLUMNS 25
#define VIEW_ROWS 17

bool ready = false;
int busiest_x = 0, busiest_y = 0; // the player's box for the busiest view

int faces_in_view(int column0, int row0)
{
    int faces = 0;
    for (int layer = 0; layer < map_layers; layer++)
        for (int r = row0; r < row0 + VIEW_ROWS && r < map_height; r++)
            for (int c = column0; c < column0 + VIEW_COLUMNS && c < map_width; c++)
                for (int f = 0; f < FACE_COUNT; f++)
                    faces += map_cells[layer][r][c][f] != 0;
    return faces;
}

bool set_up()
{
    if (ready) return true;
    if (!getenv("DISPLAY") || !file_exists(GRAPHICS_ARCHIVE)) return false;
    init_screen(0);
    load_graphics();
    init_tile_anims();
    load_map("default.map");
    int best = -1;
    for (int r = 0; r + VIEW_ROWS <= map_height; r++)
        for (int c = 0; c + VIEW_COLUMNS <= map_width; c++) {
            int faces = faces_in_view(c, r);
            if (faces > best) {
                best = faces;
                busiest_x = c * CELL_SIZE + CAMERA_PLAYER_X;
                busiest_y = r * CELL_SIZE + CAMERA_PLAYER_Y;
            }
        }
    ready = true;
    return true;
}

// A floor cell in view, taken in turn so the crowd spreads over the view.
void next_floor_cell(int* column, int* row, int* x, int* y)
{
    int column0 = camera_x / CELL_SIZE, row0 = camera_y / CELL_SIZE;
    do {
        *column = *column + 3;
        if (*column >= VIEW_COLUMNS) {
            *column %= VIEW_COLUMNS;
            *row = (*row + 1) % (VIEW_ROWS - 1);
        }
    } while (!cell_is_floor(column0 + *column, row0 + *row));
    *x = (column0 + *column) * CELL_SIZE;
    *y = (row0 + *row) * CELL_SIZE;
}

// `in_view` characters and `particles` particles inside the view; the
// characters beyond that stay wherever they were spawned on the map.
void populate(int in_view, int particles)
{
    srand(5);
    new_game();
    game_state = STATE_PLAYING;
    run_active = 1;
    psychosis = 100;
    player->x = busiest_x;
    player->y = busiest_y;
    for (int i = 0; i < FULL_ARMED; i++) spawn_character(KIND_ARMED, 0);
    place_camera(player->x, player->y);

    int column = 0, row = 0, x, y, i = 0;
    for (character* c = character_list; c; c = c->next, i++) {
        c->angle = (i * 37) % 360;
        c->moving = i % 2;
        c->frame = i % 4;
        if (c != player && i % 3 == 0) c->health = 40 + i % 60;
        if (c == player || i >= in_view) continue;
        next_floor_cell(&column, &row, &c->x, &c->y);
    }
    clear_particles();
    for (int n = 0; find_free_particle() >= 0 && n < particles; n++) {
        next_floor_cell(&column, &row, &x, &y);
        switch (n % 3) {
        case 0: add_blood_stain(x, y, n * 41); break;
        case 1: add_corpse(x, y, n % 2); break;
        default: add_blood_burst(x, y); n += 9; break;
        }
    }
    clear_sprite_anims();
    clear_floating_texts();
    for (int n = 0; n < MAX_SPRITE_ANIMS; n++) {
        next_floor_cell(&column, &row, &x, &y);
        add_sprite_anim(x, y, n * 29, n % 2 ? TEX_SPAWN : TEX_RICOCHET, 0,
                        n % 2 ? SPAWN_FLASH_SIZE : RICOCHET_SIZE, 3, 5);
        next_floor_cell(&column, &row, &x, &y);
        add_floating_text(x, y, n % 2 ? "+25" : "+1");
    }
}

void run_frames(benchmark::State& state, int in_view, int particles, bool map_only)
{
    if (!set_up()) {
        state.SkipWithError("needs a display and assets.bin in the working folder");
        return;
    }
    populate(in_view, particles);
    frame_factor = 0.0f; // nothing ages or moves, so every frame draws the same
    paused = 0;
    for (auto _ : state) {
        if (map_only) {
            clear_screen();
            set_projection(PROJECTION_3D);
            set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
            update_camera();
            draw_map();
        } else {
            draw_frame();
        }
        glFinish();
    }
}

void BM_MapOnly(benchmark::State& state) { run_frames(state, 0, 0, true); }
void BM_CrowdedFrame(benchmark::State& state) { run_frames(state, 60, 400, false); }
void BM_ExtremeFrame(benchmark::State& state) { run_frames(state, 126, MAX_PARTICLES, false); }

} // namespace

// Wall time is the figure that matters: the rasteriser works on threads of
// its own, which the main thread's CPU time does not see.
BENCHMARK(BM_MapOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CrowdedFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ExtremeFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();
