// The drawing primitives and the fade overlay, checked by reading back what
// Mesa drew, and every picture of assets.bin reloaded by the full-screen
// switch.
#include <array>
#include <tuple>

#include "render/draw.h"
#include "render/fps.h"
#include "test_render_support.h"
#include "test_states_helpers.h"
#include "util/archive.h"

using namespace render_test;

TEST(Sprites, CoverTheirDestinationStretchedAndMagentaLeavesNoColourAndNoDepth)
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
    EXPECT_EQ(rect(find_colour(f, RED)), (Rect{10, 20, 5, 6}));
    EXPECT_EQ(rect(find_colour(f, GREEN)), (Rect{15, 20, 5, 3}));
    EXPECT_EQ(rect(find_colour(f, BLUE)), (Rect{15, 23, 5, 3}));
    EXPECT_EQ(count_not_black(f), 60);

    // Magenta is transparent, as is the padding up to a power of two; under
    // the camera, where depth decides, it leaves no depth either.
    make_texture(TEX_ITEMS, 24, 24, [](int x, int) { return x < 12 ? MAGENTA : WHITE; });
    clear_screen();
    draw_sprite(TEX_ITEMS, 0, 0, 24, 24, 100, 100, 24, 24, 0);
    draw_sprite(TEX_ITEMS, 24, 24, 8, 8, 0, 0, 8, 8, 0);
    f = read_frame();
    EXPECT_EQ(rect(find_colour(f, WHITE)), (Rect{112, 100, 12, 24}));
    EXPECT_EQ(count_not_black(f), 12 * 24);
    use_play_view();
    draw_sprite(TEX_ITEMS, 0, 0, 24, 24, 100, 100, 24, 24, 0);
    EXPECT_FLOAT_EQ(read_depth(105, 110 + STATUS_HEIGHT), 1.0f); // cleared, untouched
    EXPECT_LT(read_depth(115, 110 + STATUS_HEIGHT), 1.0f);
}

TEST(Text, GlyphsAdvanceEightAndLinesSixteenAndBlanksDrawNothing)
{
    open_window();
    make_cell_font();
    draw_text(0, 0, "XY\nZ");
    Frame f = read_frame();
    // Y overlaps the last two columns of X, Z's line X's last two rows.
    EXPECT_EQ(rect(find_colour(f, cell_colour('X'))), (Rect{0, 0, 8, 16}));
    EXPECT_EQ(rect(find_colour(f, cell_colour('Y'))), (Rect{8, 0, 10, 18}));
    EXPECT_EQ(rect(find_colour(f, cell_colour('Z'))), (Rect{0, 16, 10, 18}));

    // Blanks cost a column and draw nothing; bytes above 127 have cells too.
    clear_screen();
    draw_text(100, 200, "   ");
    EXPECT_EQ(count_not_black(read_frame()), 0);
    draw_text(100, 200, "a b\xc8");
    f = read_frame();
    EXPECT_EQ(find_colour(f, cell_colour('a')).x, 100);
    EXPECT_EQ(find_colour(f, cell_colour('b')).x, 116);
    EXPECT_EQ(rect(find_colour(f, cell_colour(200))), (Rect{124, 200, 10, 18}));
    // a whole (a blank follows), b cut by the next glyph, the last whole.
    EXPECT_EQ(count_not_black(f), 10 * 18 + 8 * 18 + 10 * 18);
}

TEST(Projection3D, SpritesLandOnThePlayAreasPixelsAndSampleInsideTheirCells)
{
    open_window();
    make_texture(TEX_CHARACTERS, 64, 64, [](int, int) { return GREEN; });
    use_play_view();
    // Play-area pixels land on the window's, below the strip, out to the
    // far corner.
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 0, 0, 64, 64, 0);
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 400, 300, 32, 16, 0);
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 768, 504, 32, 32, 0);
    Frame f = read_frame();
    EXPECT_EQ(count_not_black(f), 64 * 64 + 32 * 16 + 32 * 32);
    EXPECT_EQ(rect(find_colour(f, GREEN)), (Rect{0, 64, 800, 536}));
    EXPECT_TRUE(f.at(63, 127) == GREEN && f.at(400, 364) == GREEN && f.at(431, 379) == GREEN);
    EXPECT_TRUE(f.at(768, 568) == GREEN && f.at(767, 568) == BLACK);

    // Each side of a source rectangle moves in by a fraction of a texel, so
    // nearest sampling never reads the neighbouring cell of a sheet (the
    // bitmap lies in a 128 x 64 texture).
    make_texture(TEX_LOGO, 100, 37, [](int, int) { return WHITE; });
    std::array<float, 4> out;
    bind_texture(TEX_LOGO, 0, 0, 100, 37, out.data());
    EXPECT_EQ(out, (std::array<float, 4>{0.00048828125f, 0.00048828125f, 0.78076171875f, 0.57763671875f}));
}

TEST(Rotation, QuarterTurnFacesAnUpFacingSpriteRightInBothProjections)
{
    open_window();
    make_texture(TEX_BULLET, 16, 16, [](int, int y) { return y < 8 ? RED : BLUE; });
    for (int top : {0, STATUS_HEIGHT}) {
        if (top)
            use_play_view(); // play-area pixels sit lower in the window
        clear_screen();
        draw_sprite(TEX_BULLET, 0, 0, 16, 16, 200, 100, 64, 64, 90);
        Frame f = read_frame();
        Box red = find_colour(f, RED), blue = find_colour(f, BLUE);
        EXPECT_EQ(rect(red), (Rect{232, 100 + top, 32, 64}));
        EXPECT_EQ(rect(blue), (Rect{200, 100 + top, 32, 64}));
        EXPECT_TRUE(red.solid && blue.solid);
    }
}

TEST(FadeOverlay, CoversWithItsOpacityAndLeavesTheFixedStateBehind)
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

TEST(FullScreenToggle, LeftAltReturnReloadsEveryPictureOfTheArchiveIntoTheNewContext)
{
    open_window();
    ASSERT_TRUE(file_exists(GRAPHICS_ARCHIVE)) << "tests run beside assets.bin";
    load_graphics();
    settings[FULL_SCREEN] = 0;
    start_fade(0, 0, 0, +1, 1.0f / 128.0f);
    frame_factor = 2.0f;
    last_frame_ticks = 1234;
    screenshot_requested = 1;
    uint8_t keys[SDLK_LAST] = {0};
    SDL_Event left = state_test::event(SDL_KEYDOWN, KEY_RETURN, 13, KMOD_LALT);
    SDL_Event right = state_test::event(SDL_KEYDOWN, KEY_RETURN, 13, KMOD_RALT);
    handle_event(&right, keys);
    EXPECT_EQ(settings[FULL_SCREEN], 0) << "Right Alt + Return is just Return";
    handle_event(&left, keys);
    EXPECT_EQ(settings[FULL_SCREEN], 1);
    for (int id = 0; id < TEXTURE_COUNT; id++)
        EXPECT_TRUE(textures[id].name && textures[id].width > 0) << texture_files[id];
    // The frame after a toggle runs no tick; fade and screenshot are dropped.
    EXPECT_EQ(std::make_tuple(frame_factor, last_frame_ticks, fade_direction, screenshot_requested),
              std::make_tuple(0.0f, 0u, 0, 0));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    // Textures are usable in the new context: the font draws.
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_screen();
    draw_text(100, 100, "W");
    EXPECT_GT(count_not_black(read_frame()), 0);
    handle_event(&left, keys);
    EXPECT_EQ(settings[FULL_SCREEN], 0);
    free_graphics();
}
