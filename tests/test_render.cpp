// Window, projections, textures and the sprite and text primitives, checked
// by reading back what Mesa drew.
#include <gtest/gtest.h>

#include <array>

#include "render/draw.h"
#include "render/screen.h"
#include "render/textures.h"
#include "test_render_support.h"

using namespace render_test;

namespace {

// A sheet of square cells, each filled with a colour that names its index.
Rgb cell_colour(int index)
{
    return {(uint8_t)(40 + index), (uint8_t)(200 - index), 90};
}

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
    make_texture(TEX_FONT, 160, 288,
                 [](int x, int y) { return cell_colour(y / 18 * 16 + x / 10); });
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
