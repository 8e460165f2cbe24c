// The end-of-frame services in a real window: the fade overlay, the frame
// rate text and screenshots.
#include <gtest/gtest.h>

#include <glob.h>
#include <string>
#include <unistd.h>

#include "core/loop.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/fps.h"
#include "test_render_support.h"
#include "test_temp_dir.h"
#include "util/errors.h"

using namespace render_test;

namespace {

std::vector<std::string> screenshots()
{
    std::vector<std::string> names;
    glob_t g;
    if (glob("screenshot_*.bmp", 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; i++) names.push_back(g.gl_pathv[i]);
        globfree(&g);
    }
    return names;
}

Rgb surface_pixel(SDL_Surface* s, int x, int y)
{
    Uint8 r, g, b;
    Uint32 v = 0;
    memcpy(&v, (Uint8*)s->pixels + y * s->pitch + x * s->format->BytesPerPixel,
           s->format->BytesPerPixel);
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return {r, g, b};
}

} // namespace

TEST(FadeOverlay, CoversWithItsOpacityAndAdvancesPerDrawnFrame)
{
    open_window();
    frame_factor = 1.0f;
    start_fade(255, 255, 255, +1, 1.0f / 128.0f);
    fade_alpha = 1.0f;
    draw_fade();
    // A finished fade-out still covers everything.
    EXPECT_EQ(count_not_black(read_frame()), 800 * 600);
    EXPECT_TRUE(read_frame().at(799, 599) == WHITE);

    clear_screen();
    start_fade(255, 255, 255, -1, 0.25f);
    fade_alpha = 0.5f;
    draw_fade();
    Rgb half = read_frame().at(400, 300);
    EXPECT_NEAR(half.r, 128, 2);
    EXPECT_EQ(half.r, half.b);
    EXPECT_EQ(fade_alpha, 0.25f);
    // The fixed state is back for the sprites that follow.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);

    // A finished fade-in leaves no mark; direction 0 draws nothing at all.
    clear_screen();
    fade_alpha = 0.0f;
    draw_fade();
    fade_direction = 0;
    fade_alpha = 1.0f;
    draw_fade();
    EXPECT_EQ(count_not_black(read_frame()), 0);
}

TEST(FrameRateText, IsRightAlignedOnTheBottomLine)
{
    open_window();
    make_texture(TEX_FONT, 160, 288, [](int x, int y) {
        return y / 18 * 16 + x / 10 == 'F' ? RED : WHITE;
    });
    fps_shown = 60;
    draw_fps();
    Frame f = read_frame();
    Box first = find_colour(f, RED);
    EXPECT_EQ(first.x, 736); // "FPS: 60" is 7 characters: 792 - 56
    EXPECT_EQ(first.y, 568);
    Box all = find_colour(f, WHITE);
    EXPECT_EQ(all.x + all.w, 794); // the last glyph reaches 2 pixels further
    fps_shown = 0;
}

TEST(Screenshot, FileHoldsTheFrameJustDrawnTopRowFirst)
{
    TempDir dir;
    open_window();
    make_texture(TEX_BULLET, 2, 1, [](int x, int) { return x ? BLUE : RED; });
    draw_sprite(TEX_BULLET, 0, 0, 1, 1, 0, 0, 800, 10, 0);   // red along the top
    draw_sprite(TEX_BULLET, 1, 0, 1, 1, 0, 590, 800, 10, 0); // blue along the bottom

    std::string before = std::string(date_stamp()) + "_" + time_stamp();
    screenshot_requested = 1;
    end_frame();
    std::string after = std::string(date_stamp()) + "_" + time_stamp();
    EXPECT_EQ(screenshot_requested, 0);

    std::vector<std::string> names = screenshots();
    ASSERT_EQ(names.size(), 1u);
    const std::string& name = names[0];
    ASSERT_EQ(name.size(), std::string("screenshot_MMDDYY_HHMMSS.bmp").size());
    std::string stamp = name.substr(11, 13);
    EXPECT_TRUE(stamp == before || stamp == after) << name;

    SDL_Surface* shot = SDL_LoadBMP(name.c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 800);
    EXPECT_EQ(shot->h, 600);
    EXPECT_EQ(shot->format->BitsPerPixel, 24);
    EXPECT_TRUE(surface_pixel(shot, 0, 0) == RED);
    EXPECT_TRUE(surface_pixel(shot, 799, 9) == RED);
    EXPECT_TRUE(surface_pixel(shot, 400, 10) == BLACK);
    EXPECT_TRUE(surface_pixel(shot, 5, 599) == BLUE);
    SDL_FreeSurface(shot);

    // Without a request nothing is written.
    end_frame();
    EXPECT_EQ(screenshots().size(), 1u);
}
