// Map loading, the walk-grid rectangle test, the camera over maps of
// every size, and the town map as built into assets.bin.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "characters/characters.h"
#include "test_temp_dir.h"
#include "util/archive.h"
#include "world/camera.h"
#include "world/map.h"

namespace {

// A map image of the given size: every face byte of (layer, row, column) is
// derived from its position so misplaced copies show, and the walk byte is
// taken from `walk` (row-major) or 1 everywhere.
std::vector<unsigned char> make_map(int w, int h, int layers, const std::vector<int>& walk = {})
{
    std::vector<unsigned char> m(MAP_HEADER_SIZE, 'x');
    m.push_back((unsigned char)w);
    m.push_back((unsigned char)h);
    m.push_back((unsigned char)layers);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            for (int l = 0; l < layers; l++)
                for (int f = 0; f < FACE_COUNT; f++)
                    m.push_back((unsigned char)(1 + l * 50 + r * 7 + c * 3 + f));
            m.push_back(walk.empty() ? 1 : (unsigned char)walk[r * w + c]);
        }
    return m;
}

void load(const std::vector<unsigned char>& m)
{
    load_map_bytes("test.map", m.data(), m.size());
}

} // namespace

TEST(LoadMap, CopiesRecordsInFileOrderAndLeavesTheRestSolidAndEmpty)
{
    // Odd sizes and a trailing byte beyond the cell data, which is ignored.
    std::vector<unsigned char> m = make_map(3, 5, 2);
    m.push_back(0xee);
    load(m);
    EXPECT_EQ(map_width, 3);
    EXPECT_EQ(map_height, 5);
    EXPECT_EQ(map_layers, 2);
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < 3; c++) {
            for (int l = 0; l < 2; l++)
                for (int f = 0; f < FACE_COUNT; f++)
                    ASSERT_EQ(map_cells[l][r][c][f], 1 + l * 50 + r * 7 + c * 3 + f)
                        << "layer " << l << " row " << r << " column " << c << " face " << f;
            ASSERT_EQ(walk_grid[r][c], 1);
        }
    // Just outside the map on each side, and the far corner of the grids.
    EXPECT_EQ(walk_grid[0][3], 0);
    EXPECT_EQ(walk_grid[5][0], 0);
    EXPECT_EQ(walk_grid[127][127], 0);
    static const unsigned char empty[FACE_COUNT] = {0};
    EXPECT_EQ(memcmp(map_cells[0][0][3], empty, FACE_COUNT), 0);
    EXPECT_EQ(memcmp(map_cells[0][5][0], empty, FACE_COUNT), 0);
    EXPECT_EQ(memcmp(map_cells[2][0][0], empty, FACE_COUNT), 0);
    EXPECT_EQ(cell_is_floor(2, 4), 1);
    EXPECT_EQ(cell_is_floor(3, 4), 0);
    EXPECT_EQ(cell_is_floor(-1, 0), 0);
}

TEST(LoadMap, ZeroLayersHoldOnlyWalkBytesAReloadForgetsTheOldMapAndTheLargestFits)
{
    load(make_map(4, 4, 3));
    ASSERT_NE(map_cells[2][3][3][5], 0);
    // Each cell of a 0-layer map is one walk byte in the file.
    std::vector<unsigned char> m = make_map(7, 1, 0, {1, 0, 1, 1, 0, 0, 9});
    ASSERT_EQ(m.size(), (size_t)MAP_DATA_OFFSET + 7);
    load(m);
    EXPECT_EQ(map_layers, 0);
    const unsigned char expect[7] = {1, 0, 1, 1, 0, 0, 9};
    EXPECT_EQ(memcmp(walk_grid[0], expect, 7), 0);
    EXPECT_EQ(walk_grid[1][0], 0);
    EXPECT_EQ(map_cells[2][3][3][5], 0);
    EXPECT_EQ(map_cells[0][0][0][0], 0);

    // The largest map fits exactly.
    m.assign(map_file_size(128, 128, 16), 0);
    m[MAP_HEADER_SIZE] = 128;
    m[MAP_HEADER_SIZE + 1] = 128;
    m[MAP_HEADER_SIZE + 2] = 16;
    m.back() = 7; // walk byte of the last cell
    m[m.size() - 2] = 5; // south face of layer 15 of the last cell
    load(m);
    EXPECT_EQ(walk_grid[127][127], 7);
    EXPECT_EQ(map_cells[15][127][127][FACE_SOUTH], 5);
}

TEST(LoadMapDeathTest, RefusesMapsThatDoNotFitOrAreCutShort)
{
    TempDir dir;
    std::vector<unsigned char> wide = make_map(1, 1, 1);
    wide[MAP_HEADER_SIZE] = 129;
    EXPECT_EXIT(load(wide), ::testing::ExitedWithCode(1), "");
    std::vector<unsigned char> high = make_map(1, 1, 1);
    high[MAP_HEADER_SIZE + 1] = 200;
    EXPECT_EXIT(load(high), ::testing::ExitedWithCode(1), "");
    std::vector<unsigned char> deep = make_map(1, 1, 0);
    deep[MAP_HEADER_SIZE + 2] = 17;
    EXPECT_EXIT(load(deep), ::testing::ExitedWithCode(1), "");
    std::vector<unsigned char> cut = make_map(5, 3, 2);
    cut.pop_back();
    EXPECT_EXIT(load(cut), ::testing::ExitedWithCode(1), "");
    std::vector<unsigned char> stub(20, 0);
    EXPECT_EXIT(load(stub), ::testing::ExitedWithCode(1), "");
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

TEST(MapAsset, TownFitsTheGridsAndItsFloorIsOneArea)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", "default.map", &size);
    ASSERT_NE(data, nullptr) << "default.map is missing from the built assets.bin";
    ASSERT_GE(size, (uint32_t)MAP_DATA_OFFSET);
    int w = data[MAP_HEADER_SIZE], h = data[MAP_HEADER_SIZE + 1], layers = data[MAP_HEADER_SIZE + 2];
    EXPECT_EQ(size, map_file_size(w, h, layers)); // nothing missing, nothing extra
    EXPECT_LE(w, MAP_MAX_SIZE);
    EXPECT_LE(h, MAP_MAX_SIZE);
    EXPECT_GE(w, 48); // a town, not a room
    EXPECT_GE(h, 48);
    EXPECT_GE(layers, 2); // walls with storeys above the street
    EXPECT_LE(layers, MAP_MAX_LAYERS);
    free(data);

    load_map("default.map");
    ASSERT_EQ(map_width, w);
    // Every floor cell reaches every other one with sideways steps.
    std::vector<int> seen(MAP_MAX_SIZE * MAP_MAX_SIZE, 0), stack;
    int floor = 0, first = -1;
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++)
            if (walk_grid[r][c]) {
                floor++;
                if (first < 0) first = r * MAP_MAX_SIZE + c;
            }
    ASSERT_GE(floor, 1500);
    ASSERT_GT(floor, CIVILIAN_COUNT + ARMED_GROWTH_LIMIT + 2); // room for the largest crowd
    int reached = 0;
    stack.push_back(first);
    seen[first] = 1;
    while (!stack.empty()) {
        int i = stack.back();
        stack.pop_back();
        reached++;
        int r = i / MAP_MAX_SIZE, c = i % MAP_MAX_SIZE;
        const int dr[4] = {1, -1, 0, 0}, dc[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; k++) {
            int nr = r + dr[k], nc = c + dc[k];
            if (!cell_is_floor(nc, nr) || seen[nr * MAP_MAX_SIZE + nc]) continue;
            seen[nr * MAP_MAX_SIZE + nc] = 1;
            stack.push_back(nr * MAP_MAX_SIZE + nc);
        }
    }
    EXPECT_EQ(reached, floor);

    // Every visible thing is drawable: faces name sheet cells, solid cells
    // are drawn as something, and the animated loops are used.
    bool water_or_fire = false;
    for (int l = 0; l < layers; l++)
        for (int r = 0; r < h; r++)
            for (int c = 0; c < w; c++)
                for (int f = 0; f < FACE_COUNT; f++) {
                    int n = map_cells[l][r][c][f];
                    if (n == 129 || n == 137) water_or_fire = true;
                }
    EXPECT_TRUE(water_or_fire);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            bool drawn = false;
            for (int l = 0; l < layers; l++)
                drawn = drawn || map_cells[l][r][c][FACE_BOTTOM] || map_cells[l][r][c][FACE_TOP];
            ASSERT_TRUE(drawn) << "column " << c << " row " << r << " shows nothing from above";
        }
}
