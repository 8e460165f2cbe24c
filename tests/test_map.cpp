// Map loading, the walk-grid rectangle test, the camera over maps of
// every size, and the town map as built into assets.bin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "test_temp_dir.h"
#include "util/archive.h"
#include "world/camera.h"
#include "world/map.h"

namespace {

// A map image of the given size with empty faces; the walk byte is taken
// from `walk` (row-major) or 1 everywhere.
std::vector<unsigned char> make_map(int w, int h, int layers, const std::vector<int>& walk = {})
{
    std::vector<unsigned char> m(MAP_HEADER_SIZE, 'x');
    for (int v : {w, h, layers})
        m.push_back((unsigned char)v);
    for (int i = 0; i < w * h; i++) {
        m.insert(m.end(), FACE_COUNT * layers, 0);
        m.push_back(walk.empty() ? 1 : (unsigned char)walk[i]);
    }
    return m;
}

void load(const std::vector<unsigned char>& m)
{
    load_map_bytes("test.map", m.data(), m.size());
}

} // namespace

// Copying, zeros outside the map and refusals of small maps are fuzzed
// (fuzz_map), up to 4 KB: the largest map is checked here.
TEST(LoadMap, TheLargestMapFitsExactly)
{
    std::vector<unsigned char> m(map_file_size(128, 128, 16), 0);
    m[MAP_HEADER_SIZE] = 128;
    m[MAP_HEADER_SIZE + 1] = 128;
    m[MAP_HEADER_SIZE + 2] = 16;
    m.back() = 7;        // walk byte of the last cell
    m[m.size() - 2] = 5; // south face of layer 15 of the last cell
    load(m);
    EXPECT_EQ(walk_grid[127][127], 7);
    EXPECT_EQ(map_cells[15][127][127][FACE_SOUTH], 5);
}

TEST(LoadMapDeathTest, RefusesMapsThatDoNotFitOrAreCutShort)
{
    TempDir dir;
    const struct { int w, h, layers, byte, value; bool cut; } cases[] = {
        {1, 1, 1, 0, 129, false}, {1, 1, 1, 1, 200, false}, {1, 1, 0, 2, 17, false}, {5, 3, 2, -1, 0, true}};
    for (auto c : cases) {
        std::vector<unsigned char> m = make_map(c.w, c.h, c.layers);
        if (c.byte >= 0)
            m[MAP_HEADER_SIZE + c.byte] = (unsigned char)c.value;
        if (c.cut)
            m.pop_back();
        EXPECT_EXIT(load(m), ::testing::ExitedWithCode(1), "");
    }
    EXPECT_EXIT(load(std::vector<unsigned char>(20, 0)), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_whole_file("errorlog.txt"),
              "load_map(): Map \"test.map\" is 129 x 1 cells; the largest map is 128 x 128\n"
              "load_map(): Map \"test.map\" is 1 x 200 cells; the largest map is 128 x 128\n"
              "load_map(): Map \"test.map\" has 17 layers; the most a map may have is 16\n"
              "load_map(): Map \"test.map\" is 233 bytes long but its size of 5 x 3 x 2 needs 234\n"
              "load_map(): Map \"test.map\" is 20 bytes long, too short for its 39-byte header\n");
}

TEST(AreaWalkable, InsideTheMapOnlyWhenAllFourCornersAreFloor)
{
    // 4 x 3 cells, one solid cell at column 2, row 1.
    load(make_map(4, 3, 0, {1, 1, 1, 1,
                            1, 1, 0, 1,
                            1, 1, 1, 1}));
    const struct { int x, y, w, h, walkable; } cases[] = {
        // East and south edges: touching the border is inside, one unit
        // further is not, however the walk bytes read.
        {96, 0, 32, 32, 1}, {97, 0, 32, 32, 0}, {120, 64, 8, 8, 1}, {121, 64, 8, 8, 0},
        {0, 64, 32, 32, 1}, {0, 65, 32, 32, 0},
        // Below 0 is never walkable, although -1 / 32 truncates to cell 0.
        {-1, 0, 32, 32, 0}, {0, -1, 8, 8, 0}, {0, 0, 32, 32, 1},
        // Any single corner in the solid cell is refused; one unit short is fine.
        {40, 10, 32, 32, 0}, {90, 10, 32, 32, 0}, {40, 60, 32, 32, 0}, {90, 60, 32, 32, 0},
        {33, 10, 30, 32, 1},
        // Only corners count: an 8-unit box inside a floor cell next to it.
        {56, 40, 8, 8, 1},
        // Degenerate and far-off rectangles.
        {10, 10, 0, 8, 0}, {10, 10, 8, -40, 0}, {2147483640, 0, 32, 32, 0},
    };
    for (auto c : cases)
        EXPECT_EQ(area_walkable(c.x, c.y, c.w, c.h), c.walkable) << c.x << "," << c.y << " " << c.w << "x" << c.h;
}

TEST(Camera, CentresSmallMapsFollowsThePlayerAndStopsAtTheEdges)
{
    const struct { int w, h, px, py, x, y; } cases[] = {
        // 640 x 320 units: centred whatever the player does.
        {20, 10, 0, 0, -80, -108}, {20, 10, 300, 300, -80, -108}, {20, 10, 5000, 5000, -80, -108},
        // Odd leftovers truncate toward zero: 800 - 32 * 25 is no border at
        // all, 536 - 32 * 15 = 56 gives 28.
        {25, 15, 100, 100, 0, -28},
        // 3200 x 3200 units: follows, stopping at 0 and at 3200 - 800, 3200 - 536.
        {100, 100, 384, 252, 0, 0}, {100, 100, 385, 253, 1, 1}, {100, 100, -50, -50, 0, 0},
        {100, 100, 3000, 3000, 2400, 2664}, {100, 100, 2784, 2916, 2400, 2664},
        {100, 100, 2785, 2917, 2400, 2664}, {100, 100, 2783, 2915, 2399, 2663},
    };
    for (auto c : cases) {
        load(make_map(c.w, c.h, 0));
        place_camera(c.px, c.py);
        EXPECT_EQ(camera_x, c.x) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
        EXPECT_EQ(camera_y, c.y) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
    }
}

// The map compiler refuses a town with too little floor or floor cut off
// from the rest; what the game needs beyond that is checked here.
TEST(MapAsset, TownLoadsWithEveryCellDrawnAndTheAnimatedTilesUsed)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", "default.map", &size);
    ASSERT_NE(data, nullptr) << "default.map is missing from the built assets.bin";
    ASSERT_GE(size, (uint32_t)MAP_DATA_OFFSET);
    int w = data[MAP_HEADER_SIZE], h = data[MAP_HEADER_SIZE + 1], layers = data[MAP_HEADER_SIZE + 2];
    free(data);
    EXPECT_EQ(size, map_file_size(w, h, layers)); // nothing missing, nothing extra
    EXPECT_GE(std::min(w, h), 48);                 // a town, not a room
    EXPECT_GE(layers, 2);                          // walls with storeys above the street
    load_map("default.map");
    ASSERT_EQ(map_width, w);
    bool water_or_fire = false;
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            bool drawn = false;
            for (int l = 0; l < layers; l++) {
                drawn = drawn || map_cells[l][r][c][FACE_BOTTOM] || map_cells[l][r][c][FACE_TOP];
                for (int f = 0; f < FACE_COUNT; f++)
                    water_or_fire = water_or_fire || map_cells[l][r][c][f] == 129 || map_cells[l][r][c][f] == 137;
            }
            ASSERT_TRUE(drawn) << "column " << c << " row " << r << " shows nothing from above";
        }
    EXPECT_TRUE(water_or_fire);
}
