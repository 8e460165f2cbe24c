// The world as it lands on the screen, read back from a real window: map
// blocks, then characters with their shadows and poses, and health bars.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "characters/player.h"
#include "combat/effects.h"
#include "world/tile_anims.h"
#include "render/draw.h"
#include "test_render_support.h"
#include "test_world.h"
#include "world/camera.h"
#include "world/character_draw.h"
#include "world/map.h"
#include "world/map_draw.h"

using namespace render_test;

namespace {

// Tile sheet whose cells are plain colours: 0 red, 1 green, 2 blue, 3
// white, anything else grey; cell 5 is magenta (transparent) but for a
// white dot in its middle.
void make_tiles()
{
    make_texture(TEX_TILES, 512, 512, [](int x, int y) {
        int cell = (y / 32) * 16 + x / 32;
        switch (cell) {
        case 0: return RED;
        case 1: return GREEN;
        case 2: return BLUE;
        case 3: return WHITE;
        case 5: return (x % 32 == 16 && y % 32 == 16) ? WHITE : MAGENTA;
        default: return Rgb{128, 128, 128};
        }
    });
}

// A clean window with that sheet and the tile loops at their first cells.
void start_blocks()
{
    open_window();
    make_tiles();
    init_tile_anims();
}

int count_colour(const Frame& f, Rgb c)
{
    int n = 0;
    for (int y = 0; y < SCREEN_HEIGHT; y++)
        for (int x = 0; x < SCREEN_WIDTH; x++) n += f.at(x, y) == c;
    return n;
}

} // namespace

TEST(MapBlocks, GroundFillsItsCellARaisedTopIsLargerAndHidesACharacterBehindIt)
{
    start_blocks();
    make_texture(TEX_CHARACTERS, 64, 64, [](int, int) { return BLUE; });
    use_play_view();
    const unsigned char bottom_only[FACE_COUNT] = {1, 0, 0, 0, 0, 0};
    draw_block(64, 96, 0, bottom_only);
    Box b = find_colour(read_frame(), RED);
    EXPECT_EQ(rect(b), (Rect{64, 96 + STATUS_HEIGHT, 32, 32}));
    EXPECT_TRUE(b.solid);
    clear_screen();
    // A box top north-west of the view's centre: nearer the camera, so
    // drawn larger than its cell and pushed away from the centre, over the
    // ground behind it.
    const unsigned char top_only[FACE_COUNT] = {0, 2, 0, 0, 0, 0};
    draw_block(128, 96, 0, top_only);
    Box top = find_colour(read_frame(), GREEN);
    EXPECT_TRUE(top.solid);
    EXPECT_GT(top.w, 32);
    EXPECT_GT(top.h, 32);
    EXPECT_LT(top.x, 128);
    EXPECT_LT(top.y, 96 + STATUS_HEIGHT);
    // A character on the ground there, drawn later as the game draws
    // characters after the map, stays hidden wherever the top is.
    draw_sprite(TEX_CHARACTERS, 0, 0, 64, 64, 90, 60, 100, 100, 0);
    Frame f = read_frame();
    Box still = find_colour(f, GREEN);
    EXPECT_EQ(rect(still), rect(top));
    EXPECT_TRUE(still.solid);
    EXPECT_EQ(count_colour(f, BLUE), 100 * 100 - top.w * top.h);
}

TEST(MapBlocks, DrawMapShowsTheFacesBehindSeeThroughTopsAndOpenSides)
{
    start_blocks();
    use_play_view();
    // North-west of the view's centre, so their west and north sides (grey)
    // look away from the camera: a box under a fence top (sheet cell 5),
    // and a green-topped box with no south side. The camera is off the cell
    // grid, so the ground in the corner is partly out of view.
    const struct {
        int column, row;
        unsigned char faces[FACE_COUNT];
    } cells[] = {{0, 0, {1, 0, 0, 0, 0, 0}}, {2, 1, {4, 6, 5, 1, 5, 3}}, {4, 1, {0, 2, 5, 1, 5, 0}}};
    std::vector<unsigned char> m(map_file_size(6, 2, 1), 0);
    m[MAP_HEADER_SIZE] = 6;
    m[MAP_HEADER_SIZE + 1] = 2;
    m[MAP_HEADER_SIZE + 2] = 1;
    for (const auto& c : cells)
        memcpy(&m[MAP_DATA_OFFSET + (c.row * 6 + c.column) * 7], c.faces, FACE_COUNT);
    load_map_bytes("boxes.map", m.data(), m.size());
    camera_x = camera_y = 20;
    draw_map();
    Frame shown = read_frame();
    // The plain drawing: one face at a time, so nothing can be left out.
    clear_screen();
    for (const auto& c : cells)
        for (int face = 0; face < FACE_COUNT; face++) {
            unsigned char one[FACE_COUNT] = {0, 0, 0, 0, 0, 0};
            one[face] = c.faces[face];
            draw_block(32 * c.column - 20, 32 * c.row - 20, 0, one);
        }
    Frame plain = read_frame();
    EXPECT_GT(count_colour(plain, (Rgb{128, 128, 128})), 0);
    EXPECT_TRUE(shown.rgb == plain.rgb);
}

namespace {

const Rgb GROUND = {90, 90, 90};

// An open 30 x 20 floor with the camera at its top-left corner, a run going on.
void open_floor()
{
    open_map(30, 20);
    camera_x = camera_y = 0;
    psychosis = 100;
}

// Character sheet whose civilian standing cell is red in its upper half
// (the way a figure faces) and blue below, the player's green; every other
// cell is magenta.
void make_characters()
{
    make_texture(TEX_CHARACTERS, 640, 192, [](int x, int y) {
        if (x < 64 && y >= 64 && y < 128) return y < 96 ? RED : BLUE;
        return x < 64 && y < 64 ? GREEN : MAGENTA;
    });
}

// Grey ground under the whole play area, so black shadows show.
void draw_ground()
{
    make_texture(TEX_TILES, 32, 32, [](int, int) { return GROUND; });
    draw_sprite(TEX_TILES, 0, 0, 32, 32, 0, 0, PLAY_WIDTH, PLAY_HEIGHT, 0);
}

// find_colour over the play area only: the status strip stays black.
Box find_in_play(const Frame& f, Rgb c)
{
    Frame play = f;
    for (int y = 0; y < STATUS_HEIGHT; y++)
        for (int x = 0; x < SCREEN_WIDTH; x++) {
            uint8_t* p = &play.rgb[((size_t)(SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH + x) * 3];
            p[0] = 1; // a colour no test looks for
        }
    return find_colour(play, c);
}

void start_3d()
{
    open_window();
    use_play_view();
}

} // namespace

TEST(CharacterDrawing, SpriteIsCentredOnItsBoxTurnedByItsAngleOverItsShadow)
{
    start_3d();
    open_floor();
    make_characters();
    draw_ground();
    put_character(KIND_CIVILIAN, 200, 100);
    put_character(KIND_PLAYER, 400, 200)->health = 0; // the run is over: gone
    draw_characters();
    Frame f = read_frame();
    EXPECT_EQ(0, find_colour(f, GREEN).w);
    // The 64-unit picture is centred on the 32-unit box at (200, 100).
    Box red = find_colour(f, RED);
    EXPECT_EQ(rect(red), (Rect{184, 84 + STATUS_HEIGHT, 64, 32}));
    EXPECT_TRUE(red.solid);
    EXPECT_EQ(find_colour(f, BLUE).y, 116 + STATUS_HEIGHT);
    // The shadow: the same square 6 units down and right, seen only where
    // the body does not cover it; the player's is gone too.
    EXPECT_EQ(rect(find_in_play(f, BLACK)), (Rect{190, 90 + STATUS_HEIGHT, 64, 64}));
    EXPECT_TRUE(f.at(252, 100 + STATUS_HEIGHT) == BLACK);
    EXPECT_TRUE(f.at(254, 100 + STATUS_HEIGHT) == GROUND);
    EXPECT_TRUE(f.at(247, 147 + STATUS_HEIGHT) == BLUE);

    // A quarter turn clockwise: the figure faces east.
    start_3d();
    make_characters();
    draw_ground();
    character_list->angle = 90;
    draw_characters();
    f = read_frame();
    EXPECT_EQ(rect(find_colour(f, RED)), (Rect{216, 84 + STATUS_HEIGHT, 32, 64}));
    EXPECT_EQ(rect(find_colour(f, BLUE)), (Rect{184, 84 + STATUS_HEIGHT, 32, 64}));
    free_characters();
}

TEST(HealthBars, WoundedCharactersShowAFillOfHalfTheirHealthAndThePercentage)
{
    open_window();
    open_floor();
    // Bar sheet: a transparent frame, a green fill column at x 57.
    make_texture(TEX_BAR, 58, 23, [](int x, int y) { return x == 57 && y >= 2 && y < 18 ? GREEN : MAGENTA; });
    make_cell_font();
    camera_x = 50;
    camera_y = 20;
    put_character(KIND_PLAYER, 500, 300);
    player->health = 10; // the player never gets a bar
    put_character(KIND_CIVILIAN, 100, 100); // full health: no bar
    character* hurt = put_character(KIND_ARMED, 250, 200);
    hurt->health = 99;
    draw_health_bars();
    Frame f = read_frame();
    int bx = 250 - 50, by = 200 + 6 - 20 + STATUS_HEIGHT;
    EXPECT_EQ(rect(find_colour(f, GREEN)), (Rect{bx + 42, by + 2, 49, 16}));
    // "99%" centred over the bar: glyphs 8 apart from bx + 55.
    Rgb nine = cell_colour('9'), percent = cell_colour('%');
    EXPECT_TRUE(f.at(bx + 56, by + 10) == nine);
    EXPECT_TRUE(f.at(bx + 66, by + 10) == nine);
    EXPECT_TRUE(f.at(bx + 74, by + 10) == percent);
    EXPECT_TRUE(f.at(bx + 54, by + 10) == GREEN); // fill, no glyph
    EXPECT_TRUE(f.at(bx + 81, by + 10) == GREEN);
    free_characters();
}
