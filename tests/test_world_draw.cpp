// The world as it lands on the screen, read back from a real window: map
// blocks, then characters with their shadows and poses, and health bars.
#include <gtest/gtest.h>

#include <vector>

#include "characters/player.h"
#include "combat/effects.h"
#include "world/tile_anims.h"
#include "render/draw.h"
#include "test_render_support.h"
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

TEST(MapBlocks, SidesShowOnlyWhereTheyFaceTheCamera)
{
    start_blocks();
    use_play_view();
    // Top green, west and east red, north and south blue; the box stands
    // west of the centre, level with it.
    const unsigned char box[FACE_COUNT] = {0, 2, 1, 1, 3, 3};
    draw_block(96, 252, 0, box);
    Frame f = read_frame();
    Box top = find_colour(f, GREEN);
    Box sides = find_colour(f, RED);
    ASSERT_GT(top.w, 0);
    ASSERT_GT(sides.w, 0);
    // Only the east face shows, as a strip between the top and the centre.
    EXPECT_GE(sides.x, top.x + top.w - 1);
    EXPECT_LE(sides.x + sides.w, 128 + 1);
    EXPECT_EQ(count_colour(f, BLUE), 0); // level with the camera: edge-on
}

TEST(MapBlocks, DrawMapVisitsTheCellsAroundTheCameraAndAnimatesWater)
{
    start_blocks();
    // 40 x 30 cells, one layer: red ground everywhere, with cell 128 (an
    // animated loop starting on a grey cell of this sheet) at column 10, row 5.
    std::vector<unsigned char> m(map_file_size(40, 30, 1), 0);
    m[MAP_HEADER_SIZE] = 40;
    m[MAP_HEADER_SIZE + 1] = 30;
    m[MAP_HEADER_SIZE + 2] = 1;
    for (int i = 0; i < 40 * 30; i++) {
        m[MAP_DATA_OFFSET + i * 7] = 1;
        m[MAP_DATA_OFFSET + i * 7 + 6] = 1;
    }
    m[MAP_DATA_OFFSET + (5 * 40 + 10) * 7] = 129;
    load_map_bytes("draw.map", m.data(), m.size());
    place_camera(600, 400); // camera at (216, 148): not on a cell boundary
    ASSERT_EQ(camera_x, 216);
    ASSERT_EQ(camera_y, 148);
    use_play_view();
    draw_map();
    Frame f = read_frame();
    // The whole play area is covered, partial border cells included.
    EXPECT_EQ(rect(find_colour(f, RED)), (Rect{0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT}));
    EXPECT_EQ(count_colour(f, RED), PLAY_WIDTH * PLAY_HEIGHT - 32 * 32);
    // The animated cell shows its first frame (grey sheet cell 128) where it lies.
    EXPECT_TRUE(f.at(320 - 216 + 5, 160 - 148 + 5 + STATUS_HEIGHT) == (Rgb{128, 128, 128}));
}

namespace {

const Rgb GROUND = {90, 90, 90};

// An open 30 x 20 floor with the camera at its top-left corner.
void open_floor()
{
    std::vector<unsigned char> m(map_file_size(30, 20, 0), 1);
    m[MAP_HEADER_SIZE] = 30;
    m[MAP_HEADER_SIZE + 1] = 20;
    m[MAP_HEADER_SIZE + 2] = 0;
    load_map_bytes("floor.map", m.data(), m.size());
    free_characters();
    camera_x = camera_y = 0;
    psychosis = 100;
}

character* add(int kind, int x, int y, int angle)
{
    character* c = new_character();
    c->kind = kind;
    c->x = x;
    c->y = y;
    c->angle = angle;
    return c;
}

// Character sheet whose civilian standing cell is red in its upper half
// (the way a figure faces) and blue below; every other cell is magenta.
void make_characters()
{
    make_texture(TEX_CHARACTERS, 640, 192, [](int x, int y) {
        if (x < 64 && y >= 64 && y < 128) return y < 96 ? RED : BLUE;
        return MAGENTA;
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
    add(KIND_CIVILIAN, 200, 100, 0);
    draw_characters();
    Frame f = read_frame();
    // The 64-unit picture is centred on the 32-unit box at (200, 100).
    Box red = find_colour(f, RED);
    EXPECT_EQ(rect(red), (Rect{184, 84 + STATUS_HEIGHT, 64, 32}));
    EXPECT_TRUE(red.solid);
    EXPECT_EQ(find_colour(f, BLUE).y, 116 + STATUS_HEIGHT);
    // The shadow: the same square 6 units down and right, seen only where
    // the body does not cover it.
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

TEST(CharacterDrawing, PosesFollowStrikeWalkAndSight)
{
    open_floor();
    character* p = add(KIND_PLAYER, 320, 320, 0);
    player = p;
    character* armed = add(KIND_ARMED, 320, 160, 0);   // in the open, sees the player
    character* civ = add(KIND_CIVILIAN, 100, 100, 0);
    int column, turn;
    character_pose(p, &column, &turn);
    EXPECT_EQ(column, POSE_STANDING);
    p->cooldown = 10;
    p->moving = 1;
    character_pose(p, &column, &turn);
    EXPECT_EQ(column, POSE_STRIKING);
    EXPECT_EQ(turn, -25);

    character_pose(armed, &column, &turn);
    EXPECT_EQ(column, 6);
    EXPECT_EQ(turn, 0);
    for (int frame = 0; frame < 4; frame++) {
        armed->moving = 1;
        armed->frame = frame;
        civ->moving = 1;
        civ->frame = frame;
        character_pose(armed, &column, &turn);
        EXPECT_EQ(column, 5 + frame);
        character_pose(civ, &column, &turn);
        EXPECT_EQ(column, 1 + frame);
    }
    // Out of sight the armed character walks and stands like anyone else.
    walk_grid[7][10] = 0; // a wall between the two
    armed->frame = 2;
    character_pose(armed, &column, &turn);
    EXPECT_EQ(column, 3);
    armed->moving = 0;
    character_pose(armed, &column, &turn);
    EXPECT_EQ(column, POSE_STANDING);
    free_characters();
}

TEST(CharacterDrawing, PlayerIsGoneOnceTheRunIsOver)
{
    start_3d();
    open_floor();
    // The player's row of the sheet is green, the civilians' red.
    auto sheet = [] {
        make_texture(TEX_CHARACTERS, 640, 192, [](int x, int y) {
            return x >= 64 ? MAGENTA : y < 64 ? GREEN : y < 128 ? RED : MAGENTA;
        });
    };
    sheet();
    player = add(KIND_PLAYER, 400, 200, 0);
    add(KIND_CIVILIAN, 100, 100, 0);
    draw_characters();
    EXPECT_GT(find_colour(read_frame(), GREEN).w, 0);
    player->health = 0;
    start_3d();
    sheet();
    draw_ground();
    draw_characters();
    Frame f = read_frame();
    EXPECT_EQ(find_colour(f, GREEN).w, 0);
    EXPECT_EQ(find_colour(f, RED).w, 64);
    // Nor its shadow: the civilian's is the only one.
    Box shadow = find_in_play(f, BLACK);
    EXPECT_EQ(shadow.x, 100 - 16 + 6);
    EXPECT_EQ(shadow.w, 64);
    free_characters();
}

TEST(HealthBars, WoundedCharactersShowAFillOfHalfTheirHealthAndThePercentage)
{
    open_window();
    open_floor();
    // Bar sheet: a transparent frame, a green fill column at x 57.
    auto bar = [] {
        make_texture(TEX_BAR, 58, 23, [](int x, int y) { return x == 57 && y >= 2 && y < 18 ? GREEN : MAGENTA; });
    };
    bar();
    make_cell_font();
    camera_x = 50;
    camera_y = 20;
    player = add(KIND_PLAYER, 500, 300, 0);
    player->health = 10; // the player never gets a bar
    add(KIND_CIVILIAN, 100, 100, 0);  // full health: no bar
    character* hurt = add(KIND_ARMED, 250, 200, 0);
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

    // Lower health, narrower fill: 1 point is no fill at all, 3 is one pixel.
    open_window();
    bar();
    hurt->health = 3;
    draw_health_bars();
    EXPECT_EQ(find_colour(read_frame(), GREEN).w, 1);
    free_characters();
}
