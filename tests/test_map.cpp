// Map loading and the walk-grid rectangle test.
#include <gtest/gtest.h>

#include "test_temp_dir.h"

#include <cstring>
#include <string>
#include <vector>

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
