// Loading the pictures of assets.bin, and the full-screen toggle that
// reloads them into a new context.
#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "core/input.h"
#include "core/loop.h"
#include "render/fade.h"
#include "render/draw.h"
#include "render/fps.h"
#include "test_render_support.h"
#include "util/archive.h"

using namespace render_test;

TEST(LoadGraphics, EveryPictureOfTheArchiveBecomesATexture)
{
    open_window();
    ASSERT_TRUE(file_exists(GRAPHICS_ARCHIVE)) << "tests run beside assets.bin";
    load_graphics();
    for (int id = 0; id < TEXTURE_COUNT; id++) {
        EXPECT_NE(textures[id].name, 0u) << texture_files[id];
        EXPECT_GT(textures[id].width, 0) << texture_files[id];
    }
    // Sheets whose layout the drawing code relies on.
    EXPECT_EQ(textures[TEX_FONT].width, 160);
    EXPECT_EQ(textures[TEX_FONT].height, 288);
    EXPECT_EQ(textures[TEX_CROSSHAIR].width, 58);
    EXPECT_EQ(textures[TEX_CROSSHAIR].height, 29);
    EXPECT_EQ(textures[TEX_MESSAGES].width, 424);
    EXPECT_EQ(textures[TEX_MESSAGES].height, 4 * 79);
    free_graphics();
}

TEST(FullScreenToggle, LeftAltReturnReopensTheScreenAndReloadsThePictures)
{
    open_window();
    load_graphics();
    settings[FULL_SCREEN] = 0;
    start_fade(0, 0, 0, +1, 1.0f / 128.0f);
    frame_factor = 2.0f;
    last_frame_ticks = 1234;
    screenshot_requested = 1;

    uint8_t keys[SDLK_LAST] = {0};
    SDL_Event alt_return;
    memset(&alt_return, 0, sizeof alt_return);
    alt_return.type = SDL_KEYDOWN;
    alt_return.key.keysym.sym = (SDLKey)KEY_RETURN;
    alt_return.key.keysym.mod = KMOD_LALT;
    handle_event(&alt_return, keys);

    EXPECT_EQ(settings[FULL_SCREEN], 1);
    for (int id = 0; id < TEXTURE_COUNT; id++)
        EXPECT_NE(textures[id].name, 0u) << texture_files[id];
    // The frame after a toggle runs no tick; fade and screenshot are dropped.
    EXPECT_EQ(frame_factor, 0.0f);
    EXPECT_EQ(last_frame_ticks, 0u);
    EXPECT_EQ(fade_direction, 0);
    EXPECT_EQ(screenshot_requested, 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));

    // Textures are usable in the new context: the font draws.
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_screen();
    draw_text(100, 100, "W");
    EXPECT_GT(count_not_black(read_frame()), 0);

    // Right Alt + Return is just Return.
    alt_return.key.keysym.mod = KMOD_RALT;
    handle_event(&alt_return, keys);
    EXPECT_EQ(settings[FULL_SCREEN], 1);
    handle_event(&alt_return, keys);
    alt_return.key.keysym.mod = KMOD_LALT;
    handle_event(&alt_return, keys);
    EXPECT_EQ(settings[FULL_SCREEN], 0);
    free_graphics();
}
