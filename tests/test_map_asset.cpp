// The town map as built into assets.bin.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "characters/characters.h"
#include "util/archive.h"
#include "world/map.h"

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
