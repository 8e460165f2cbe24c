// Path search: the heap search must expand exactly what a full scan of the
// grid would, so it is checked against that scan (test_path_reference.h,
// with its own costs) on thousands of random grids: solid and occupied
// targets, the start cell as target, ties and stale grids come up there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "characters/path.h"
#include "util/mathutil.h"
#include "test_world.h"
#include "test_path_reference.h"

namespace {

class PathSearch : public ::testing::Test {
protected:
    void TearDown() override { free_characters(); }
};

TEST_F(PathSearch, HeapSearchMatchesFullScanOnRandomGrids)
{
    static path_node reference[PATH_GRID_SIZE][PATH_GRID_SIZE];
    srand(12345);
    int reached = 0, failed = 0;
    // One set of records serves every trial: fresh records would spend the
    // test in page faults. Unused others stand far off the grid.
    const int max_others = 5;
    character* others[max_others];
    for (int i = 0; i < max_others; i++)
        others[i] = put_character(KIND_CIVILIAN, 0, 0);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    for (int trial = 0; trial < 2500; trial++) {
        int width = trial % 1000 ? 1 + rand() % 20 : 128, height = trial % 1000 ? 1 + rand() % 20 : 128;
        memset(walk_grid, 0, sizeof(walk_grid));
        map_width = width;
        map_height = height;
        int wall_percent = rand() % 50;
        for (int row = 0; row < height; row++)
            for (int column = 0; column < width; column++)
                walk_grid[row][column] = rand() % 100 >= wall_percent;
        int count = rand() % (max_others + 1);
        for (int i = 0; i < max_others; i++) {
            others[i]->x = i < count ? rand() % (width * CELL_SIZE - 31) : 1000 * CELL_SIZE;
            others[i]->y = i < count ? rand() % (height * CELL_SIZE - 31) : 1000 * CELL_SIZE;
        }
        // The searcher stands anywhere on the map, solid cells included.
        c->kind = trial % 2 ? KIND_ARMED : KIND_CIVILIAN;
        c->x = rand() % (width * CELL_SIZE - 31);
        c->y = rand() % (height * CELL_SIZE - 31);
        int target_x = rand() % width, target_y = rand() % height, mark = rand() % 2;
        unsigned seed = (unsigned)rand();

        srand(seed);
        int expected = reference_find_path(c, target_x, target_y, mark);
        int expected_timer = c->repath_timer;
        memcpy(reference, c->path, sizeof(reference));
        c->dest_x = target_x;
        c->dest_y = target_y;
        next_waypoint(c);
        int expected_wx = c->waypoint_x, expected_wy = c->waypoint_y;

        // The reference bypasses the record's list of changed cells, so the
        // grid is refilled; a first search toward another cell then leaves
        // the leftovers that the partial reset must clear.
        fill_path_grid(c);
        find_path(c, rand() % width, rand() % height, 1 - mark);
        srand(seed);
        int result = find_path(c, target_x, target_y, mark);
        ASSERT_EQ(expected, result) << "trial " << trial;
        ASSERT_EQ(expected_timer, c->repath_timer);
        for (int row = 0; row < height; row++)
            ASSERT_EQ(0, memcmp(reference[row], c->path[row], width * sizeof(path_node))) << "trial " << trial << " row " << row;
        next_waypoint(c);
        ASSERT_EQ(expected_wx, c->waypoint_x) << "trial " << trial;
        ASSERT_EQ(expected_wy, c->waypoint_y) << "trial " << trial;
        (void)(result ? reached++ : failed++);
    }
    // Both outcomes must have been exercised in earnest.
    EXPECT_GT(reached, 500);
    EXPECT_GT(failed, 300);
}

TEST_F(PathSearch, WaypointIsTheCellAfterTheOwnCell)
{
    open_map(10, 1);
    character* c = put_character(KIND_ARMED, 2 * CELL_SIZE, 0);
    ASSERT_EQ(1, find_path(c, 7, 0, 0));
    c->dest_x = 7;
    c->dest_y = 0;
    // Having walked on, the same path gives the following cell; a
    // destination the search never reached leads straight to itself; off
    // the path altogether, the walk stops at the path's start.
    const struct { int x, dest_x, waypoint_x; } steps[] = {{2, 7, 3}, {4, 7, 5}, {4, 9, 9}, {0, 7, 2}};
    for (auto s : steps) {
        c->x = s.x * CELL_SIZE;
        c->dest_x = s.dest_x;
        next_waypoint(c);
        EXPECT_EQ(s.waypoint_x, c->waypoint_x) << "from " << s.x << " to " << s.dest_x;
    }
}

TEST_F(PathSearch, CellsOutsideTheMapAreClosedWithoutBeingRead)
{
    // A wall splits a 3 x 2 map; the only way round would lead through the
    // column east of it and the row below it, whose nodes are made to look
    // free and linked. They must stay closed and must never be written,
    // which is what keeps the rest of a grid out of memory.
    drawn_map({".#.", ".#."});
    character* c = put_character(KIND_ARMED, 0, 0);
    put_character(KIND_CIVILIAN, 3 * CELL_SIZE, 2 * CELL_SIZE); // off the map
    const path_node bait = {NODE_FREE, 7, 2, 1};
    for (int row = 0; row < PATH_GRID_SIZE; row++)
        for (int column = 0; column < PATH_GRID_SIZE; column++)
            if (row >= 2 || column >= 3)
                c->path[row][column] = bait;
    EXPECT_EQ(0, find_path(c, 2, 0, 1));
    EXPECT_EQ(0, find_path(c, 3, 0, 0)); // east of the map
    walk_grid[0][1] = 1;                  // another map: the grid is refilled
    EXPECT_EQ(1, find_path(c, 2, 1, 1));
    c->dest_x = 3;
    c->dest_y = 2;
    next_waypoint(c); // a destination off the map is headed for directly
    EXPECT_EQ(3, c->waypoint_x);
    EXPECT_EQ(2, c->waypoint_y);
    for (int row = 0; row < PATH_GRID_SIZE; row++)
        for (int column = 0; column < PATH_GRID_SIZE; column++)
            ASSERT_TRUE((row < 2 && column < 3) || memcmp(&bait, &c->path[row][column], sizeof(bait)) == 0)
                << "node (" << column << ", " << row << ") written";
}

} // namespace
