// Map blocks, characters and health bars as they land on the screen, read
// back from a real window.
#include <gtest/gtest.h>

#include <vector>

#include "combat/effects.h"
#include "render/draw.h"
#include "render/screen.h"
#include "render/textures.h"
#include "test_render_support.h"
#include "world/camera.h"
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
    open_window();
    make_tiles();
    init_tile_anims();
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
    open_window();
    make_tiles();
    init_tile_anims();
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
    open_window();
    make_tiles();
    init_tile_anims();
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
