// Drawing speed on the machine's OpenGL (llvmpipe under Xvfb in the test
// setup): a crowded playing frame, text, and the cost of a sprite that is
// skipped because it lies off screen. The goal for the crowded frame is
// under 8 ms at 800 x 600. "Time" (wall clock) includes glFinish, so it is
// the time the renderer needs, not just the time to issue the calls; "CPU"
// is this thread alone, the cost of issuing them. llvmpipe rasterizes on
// worker threads, so on a busy machine the wall-clock figure grows with the
// load while the CPU figure does not.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" ./bench/bench_render   (from the build folder)
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <cstdlib>

#include "render/draw.h"
#include "render/screen.h"
#include "render/textures.h"
#include "util/archive.h"

namespace {

bool ready = false;

bool open_screen(benchmark::State& state)
{
    if (!ready) {
        if (!getenv("DISPLAY") || !file_exists(GRAPHICS_ARCHIVE)) {
            state.SkipWithError("needs an X display and assets.bin in the working folder");
            return false;
        }
        init_screen(0);
        load_graphics();
        ready = true;
    }
    return true;
}

// A busy moment of a run: the ground in 32-pixel tiles under the whole play
// area, 130 characters (most turned), 60 bullets, 80 blood stains and
// corpses, 12 items, 20 effect frames; then the status strip with two lines
// of text, health bars and the frame rate.
void draw_crowded_frame()
{
    clear_screen();
    set_projection(PROJECTION_3D);
    set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
    for (int y = 0; y < PLAY_HEIGHT; y += 32)
        for (int x = 0; x < PLAY_WIDTH; x += 32)
            draw_cell(TEX_TILES, (x / 32 + y / 32) % 8, 32, x, y, 32, 0);
    for (int i = 0; i < 80; i++)
        draw_cell(TEX_BLOOD, i % 4, 32, (i * 97) % 780, (i * 53) % 510, 32, 0);
    for (int i = 0; i < 12; i++)
        draw_cell(TEX_ITEMS, i % 2, 24, (i * 131) % 780, (i * 71) % 510, 24, 0);
    for (int i = 0; i < 130; i++)
        draw_cell(TEX_CHARACTERS, (i % 3) * 10 + i % 8, 64, (i * 37) % 760 - 16,
                  (i * 61) % 500 - 16, 64, (i * 29) % 360);
    for (int i = 0; i < 60; i++)
        draw_sprite(TEX_BULLET, 0, 0, 13, 13, (i * 113) % 790, (i * 89) % 530, 13, 13, 0);
    for (int i = 0; i < 20; i++)
        draw_cell(TEX_SPAWN, i % 8, 56, (i * 151) % 740, (i * 67) % 480, 56, 0);

    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int i = 0; i < 20; i++)
        draw_sprite(TEX_BAR, 0, 0, 57, 23, (i * 131) % 740, 80 + (i * 71) % 480, 57, 23, 0);
    draw_sprite(TEX_SCOREBOARD, 0, 0, 1, 64, 0, 0, 800, 64, 0);
    draw_sprite(TEX_BAR2, 0, 0, 154, 28, 10, 18, 154, 28, 0);
    draw_text(200, 8, "SCORE: 012345   KILLS: 0123 / 0045   TIME: 12:34");
    draw_text(200, 30, "MUSIC: ON   SOUND FX: ON");
    draw_text(736, 568, "FPS: 60");
}

void BM_CrowdedFrame(benchmark::State& state)
{
    if (!open_screen(state))
        return;
    for (auto _ : state) {
        draw_crowded_frame();
        glFinish();
    }
}
BENCHMARK(BM_CrowdedFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_TextScreen(benchmark::State& state)
{
    if (!open_screen(state))
        return;
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    const char* line = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 +-*/";
    for (auto _ : state) {
        clear_screen();
        for (int y = 0; y < 30; y++)
            draw_text(8, y * LINE_HEIGHT, line);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * 30 * 53);
}
BENCHMARK(BM_TextScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Off-screen sprites should cost next to nothing: no bind, no vertices.
void BM_OffScreenSprite(benchmark::State& state)
{
    if (!open_screen(state))
        return;
    set_projection(PROJECTION_2D);
    for (auto _ : state)
        draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 900, 100, 64, 64, 45);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OffScreenSprite);

} // namespace

BENCHMARK_MAIN();
