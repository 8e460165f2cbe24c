// The window and its fixed state, projections, textures, the sprite and
// text primitives, the end-of-frame services (fade overlay, frame rate,
// screenshots), the pictures of assets.bin and the full-screen toggle,
// checked by reading back what Mesa drew.
#include <gtest/gtest.h>

#include <SDL.h>
#include <array>
#include <cstring>
#include <glob.h>
#include <string>

#include "core/input.h"
#include "core/loop.h"
#include "render/draw.h"
#include "render/fps.h"
#include "test_render_support.h"
#include "test_temp_dir.h"
#include "util/archive.h"
#include "util/errors.h"

using namespace render_test;

namespace {

// A sprite that faces up: its top half red, its bottom half blue.
void make_up_facing(int id)
{
    make_texture(id, 16, 16, [](int, int y) { return y < 8 ? RED : BLUE; });
}

void expect_faces_right(const Frame& f, int x, int y, int size)
{
    // After a clockwise quarter turn red sits on the right, blue on the left.
    Box red = find_colour(f, RED), blue = find_colour(f, BLUE);
    EXPECT_EQ(rect(red), (Rect{x + size / 2, y, size / 2, size}));
    EXPECT_EQ(rect(blue), (Rect{x, y, size / 2, size}));
    EXPECT_TRUE(red.solid && blue.solid);
}

} // namespace

TEST(Screen, WindowIsEightHundredBySixHundredWithFixedState)
{
    open_window();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 800);
    EXPECT_EQ(screen->h, 600);
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Crimson Lunatic Outbreak Version 1");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // Depth matters only under the camera; 2D drawing lies on the near plane.
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    set_projection(PROJECTION_3D);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    set_projection(PROJECTION_2D);
}

TEST(Sprites2D, SpriteCoversExactlyItsDestinationWithTheChosenCell)
{
    open_window();
    // The cursor sheet: two 29 x 29 cells, red then green.
    make_texture(TEX_CROSSHAIR, 58, 29, [](int x, int) { return x < 29 ? RED : GREEN; });
    draw_sprite(TEX_CROSSHAIR, 29, 0, 29, 29, 386, 286, 29, 29, 0);
    Frame f = read_frame();
    Box g = find_colour(f, GREEN);
    EXPECT_EQ(rect(g), (Rect{386, 286, 29, 29}));
    EXPECT_TRUE(g.solid);
    EXPECT_EQ(count_not_black(f), 29 * 29);

    // Stretched: a 2 x 2 source onto 10 x 6 keeps its quadrants.
    make_texture(TEX_BULLET, 2, 2, [](int x, int y) { return x ? (y ? BLUE : GREEN) : RED; });
    clear_screen();
    draw_sprite(TEX_BULLET, 0, 0, 2, 2, 10, 20, 10, 6, 0);
    f = read_frame();
    EXPECT_TRUE(f.at(10, 20) == RED);
    EXPECT_TRUE(f.at(14, 25) == RED);
    EXPECT_TRUE(f.at(15, 20) == GREEN);
    EXPECT_TRUE(f.at(19, 22) == GREEN);
    EXPECT_TRUE(f.at(19, 23) == BLUE);
    EXPECT_EQ(count_not_black(f), 60);
}

TEST(Sprites2D, MagentaLeavesNoColourAndNoDepth)
{
    open_window();
    make_texture(TEX_ITEMS, 24, 24, [](int x, int) { return x < 12 ? MAGENTA : WHITE; });
    draw_sprite(TEX_ITEMS, 0, 0, 24, 24, 100, 100, 24, 24, 0);
    Frame f = read_frame();
    Box w = find_colour(f, WHITE);
    EXPECT_EQ(rect(w), (Rect{112, 100, 12, 24}));
    EXPECT_EQ(count_not_black(f), 12 * 24);
    // Outside the bitmap, in the power-of-two padding: transparent as well.
    clear_screen();
    draw_sprite(TEX_ITEMS, 24, 24, 8, 8, 0, 0, 8, 8, 0);
    EXPECT_EQ(count_not_black(read_frame()), 0);

    // Under the camera, where depth decides, transparent texels leave none.
    use_play_view();
    draw_sprite(TEX_ITEMS, 0, 0, 24, 24, 100, 100, 24, 24, 0);
    EXPECT_FLOAT_EQ(read_depth(105, 110 + STATUS_HEIGHT), 1.0f); // cleared, untouched
    EXPECT_LT(read_depth(115, 110 + STATUS_HEIGHT), 1.0f);
}

TEST(Sprites2D, OffScreenDestinationBindsAndDrawsNothing)
{
    open_window();
    make_texture(TEX_BULLET, 13, 13, [](int, int) { return WHITE; });
    make_texture(TEX_FONT, 8, 8, [](int, int) { return GREEN; });
    glBindTexture(GL_TEXTURE_2D, textures[TEX_FONT].name);
    const int outside[][4] = {{800, 0, 13, 13}, {0, -13, 13, 13}, {-13, 300, 13, 13},
                              {300, 600, 13, 13}, {0, -40, 13, 40}};
    for (const auto& d : outside)
        draw_sprite(TEX_BULLET, 0, 0, 13, 13, d[0], d[1], d[2], d[3], 45);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((unsigned)bound, textures[TEX_FONT].name);
    EXPECT_EQ(count_not_black(read_frame()), 0);

    // One pixel in reaches the screen and is drawn.
    draw_sprite(TEX_BULLET, 0, 0, 13, 13, 799, 587, 13, 13, 0);
    Frame f = read_frame();
    EXPECT_EQ(count_not_black(f), 13);
    EXPECT_TRUE(f.at(799, 599) == WHITE);
}

TEST(Sprites2D, TextPlacesGlyphsEightApartAndLinesSixteenApart)
{
    open_window();
    // Every glyph cell filled with a colour naming its character code.
    make_cell_font();
    draw_text(0, 0, "XY\nZ");
    Frame f = read_frame();
    Box x = find_colour(f, cell_colour('X'));
    Box y = find_colour(f, cell_colour('Y'));
    Box z = find_colour(f, cell_colour('Z'));
    // Y overlaps the last two columns of X, Z's line X's last two rows.
    EXPECT_EQ(rect(x), (Rect{0, 0, 8, 16}));
    EXPECT_EQ(rect(y), (Rect{8, 0, 10, 18}));
    EXPECT_EQ(rect(z), (Rect{0, 16, 10, 18}));

    // Blanks cost a column and draw nothing; bytes above 127 use the lower half.
    clear_screen();
    draw_text(100, 200, "   ");
    EXPECT_EQ(count_not_black(read_frame()), 0);
    draw_text(100, 200, "a b\xc8");
    f = read_frame();
    EXPECT_EQ(find_colour(f, cell_colour('a')).x, 100);
    EXPECT_EQ(find_colour(f, cell_colour('b')).x, 116);
    Box high = find_colour(f, cell_colour(200));
    EXPECT_EQ(high.x, 124);
    EXPECT_EQ(high.w, 10);
    // a whole (a blank follows), b cut by the next glyph, the last whole.
    EXPECT_EQ(count_not_black(f), 10 * 18 + 8 * 18 + 10 * 18);
}

TEST(Sprites2D, DrawCellCountsColumnsFromTheSheetWidth)
{
    open_window();
    // 512 wide: 8 columns of 64.
    make_texture(TEX_BACKGROUND, 512, 128,
                 [](int x, int y) { return cell_colour(y / 64 * 8 + x / 64); });
    draw_cell(TEX_BACKGROUND, 9, 64, 300, 200, 128, 0);
    Frame f = read_frame();
    Box b = find_colour(f, cell_colour(9));
    EXPECT_EQ(rect(b), (Rect{300, 200, 128, 128}));
    EXPECT_TRUE(b.solid);
    // A cell wider than the sheet has nothing to draw.
    draw_cell(TEX_BACKGROUND, 0, 1024, 0, 0, 64, 0);
    EXPECT_EQ(count_not_black(read_frame()), 128 * 128);
}

TEST(Textures, BindTextureGivesTexelCoordinatesInBothProjections)
{
    open_window();
    // Sides are padded to powers of two; those that are one stay as they are.
    make_texture(TEX_TILES, 64, 32, [](int, int) { return WHITE; });
    make_texture(TEX_LOGO, 100, 37, [](int, int) { return WHITE; });
    EXPECT_EQ(textures[TEX_LOGO].width, 100);
    EXPECT_EQ(textures[TEX_LOGO].height, 37);
    GLint size[2][2];
    for (int i = 0; i < 2; i++) {
        glBindTexture(GL_TEXTURE_2D, textures[i ? TEX_TILES : TEX_LOGO].name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[i][0]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[i][1]);
    }
    EXPECT_EQ(size[0][0], 128);
    EXPECT_EQ(size[0][1], 64);
    EXPECT_EQ(size[1][0], 64);
    EXPECT_EQ(size[1][1], 32);

    typedef std::array<float, 4> Coords;
    Coords out;
    set_projection(PROJECTION_2D);
    bind_texture(TEX_LOGO, 0, 0, 100, 37, out.data());
    EXPECT_EQ(out, (Coords{0.0f, 0.0f, 0.78125f, 0.578125f}));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((unsigned)bound, textures[TEX_LOGO].name);

    set_projection(PROJECTION_3D);
    bind_texture(TEX_LOGO, 0, 0, 100, 37, out.data());
    EXPECT_EQ(out, (Coords{0.00048828125f, 0.00048828125f, 0.78076171875f, 0.57763671875f}));

    free_graphics();
    EXPECT_EQ(textures[TEX_LOGO].name, 0u);
    EXPECT_EQ(textures[TEX_TILES].name, 0u);
}

TEST(Projection3D, SceneRectangleFillsThePlayAreaAndSpritesLandOnItsPixels)
{
    open_window();
    make_texture(TEX_CHARACTERS, 64, 64, [](int, int) { return GREEN; });
    use_play_view();
    EXPECT_EQ(projection_mode, PROJECTION_3D);
    // The 100 x 67 ground rectangle covers the play area exactly.
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(0, 0, 0);
    glVertex3f(100, 0, 0);
    glVertex3f(0, 67, 0);
    glVertex3f(100, 67, 0);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    Box b = find_colour(read_frame(), WHITE);
    EXPECT_EQ(rect(b), (Rect{0, 64, 800, 536}));
    EXPECT_TRUE(b.solid);

    clear_screen();
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 0, 0, 64, 64, 0);
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 400, 300, 32, 16, 0);
    Frame f = read_frame();
    EXPECT_EQ(count_not_black(f), 64 * 64 + 32 * 16);
    EXPECT_TRUE(f.at(0, 64) == GREEN);
    EXPECT_TRUE(f.at(63, 127) == GREEN);
    EXPECT_TRUE(f.at(400, 364) == GREEN);
    EXPECT_TRUE(f.at(431, 379) == GREEN);
}

TEST(Rotation, QuarterTurnFacesUpSpriteRightInBothProjections)
{
    open_window();
    make_up_facing(TEX_BULLET);
    draw_sprite(TEX_BULLET, 0, 0, 16, 16, 200, 100, 64, 64, 90);
    expect_faces_right(read_frame(), 200, 100, 64);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0); // restored to the identity
    EXPECT_EQ(m[0], 1.0);

    clear_screen();
    use_play_view();
    draw_sprite(TEX_BULLET, 0, 0, 16, 16, 200, 100, 64, 64, 90);
    // Play-area pixels sit 64 rows lower in the window.
    expect_faces_right(read_frame(), 200, 100 + STATUS_HEIGHT, 64);
}

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
    EXPECT_EQ(fade_alpha, 0.5f) << "drawing moves nothing";
    advance_fade();
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
    stop_fade();
    fade_alpha = 1.0f;
    draw_fade();
    EXPECT_EQ(count_not_black(read_frame()), 0);
}

TEST(FrameRateText, IsRightAlignedOnTheBottomLine)
{
    open_window();
    make_cell_font();
    fps_shown = 60;
    draw_fps();
    Frame f = read_frame();
    // "FPS: 60" is 7 characters from 792 - 56; the last glyph reaches 2 further.
    EXPECT_EQ(rect(find_colour(f, cell_colour('F'))), (Rect{736, 568, 8, 18}));
    Box last = find_colour(f, cell_colour('0'));
    EXPECT_EQ(last.x + last.w, 794);
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

TEST(FullScreenToggle, EveryPictureBecomesATextureAndLeftAltReturnReloadsThemAll)
{
    open_window();
    ASSERT_TRUE(file_exists(GRAPHICS_ARCHIVE)) << "tests run beside assets.bin";
    load_graphics();
    for (int id = 0; id < TEXTURE_COUNT; id++) {
        EXPECT_NE(textures[id].name, 0u) << texture_files[id];
        EXPECT_GT(textures[id].width, 0) << texture_files[id];
    }
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
