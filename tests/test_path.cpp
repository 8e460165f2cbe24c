// Path search: the heap search must expand exactly what a full scan of the
// grid would, so it is checked against that scan, kept here as reference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "characters/path.h"
#include "util/mathutil.h"
#include "test_characters_world.h"
#include "test_path_reference.h"

namespace {

struct grid_copy {
    path_node nodes[PATH_GRID_SIZE][PATH_GRID_SIZE];
};

::testing::AssertionResult same_grids(const grid_copy& a, const character* b)
{
    for (int y = 0; y < map_height; y++)
        for (int x = 0; x < map_width; x++) {
            const path_node& p = a.nodes[y][x];
            const path_node& q = b->path[y][x];
            if (p.state != q.state || p.g != q.g || p.parent_x != q.parent_x
                || p.parent_y != q.parent_y)
                return ::testing::AssertionFailure() << "node (" << x << ", " << y << ") differs";
        }
    return ::testing::AssertionSuccess();
}

class PathSearch : public ::testing::Test {
protected:
    void TearDown() override { free_characters(); }
};

TEST_F(PathSearch, HeapSearchMatchesFullScanOnRandomGrids)
{
    static grid_copy reference;
    srand(12345);
    int reached = 0;
    int failed = 0;
    // One set of records serves every trial: fresh records would spend the
    // test in page faults. Unused others stand far off the grid.
    const int max_others = 5;
    character* others[max_others];
    for (int i = 0; i < max_others; i++)
        others[i] = put_character(KIND_CIVILIAN, 0, 0);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    for (int trial = 0; trial < 2500; trial++) {
        int width = 1 + rand() % 20;
        int height = 1 + rand() % 20;
        if (trial % 1000 == 0) {
            width = 128;
            height = 128;
        }
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
        int target_x = rand() % width;
        int target_y = rand() % height;
        int mark = rand() % 2;
        unsigned seed = (unsigned)rand();

        srand(seed);
        int expected = reference_find_path(c, target_x, target_y, mark);
        int expected_timer = c->repath_timer;
        memcpy(reference.nodes, c->path, sizeof(reference.nodes));
        c->dest_x = target_x;
        c->dest_y = target_y;
        next_waypoint(c);
        int expected_wx = c->waypoint_x;
        int expected_wy = c->waypoint_y;

        // The reference bypasses the record's list of changed cells, so the
        // grid is refilled; a first search toward another cell then leaves
        // the leftovers that the partial reset must clear.
        fill_path_grid(c);
        find_path(c, rand() % width, rand() % height, 1 - mark);
        srand(seed);
        int result = find_path(c, target_x, target_y, mark);
        ASSERT_EQ(expected, result) << "trial " << trial;
        ASSERT_EQ(expected_timer, c->repath_timer);
        ASSERT_TRUE(same_grids(reference, c)) << "trial " << trial;
        next_waypoint(c);
        ASSERT_EQ(expected_wx, c->waypoint_x) << "trial " << trial;
        ASSERT_EQ(expected_wy, c->waypoint_y) << "trial " << trial;
        (void)(result ? reached++ : failed++);
    }
    // Both outcomes must have been exercised in earnest.
    EXPECT_GT(reached, 500);
    EXPECT_GT(failed, 300);
}

TEST_F(PathSearch, EqualScoresExpandTheLaterCellFirst)
{
    // Start above the wall, target below it. Both cells beside the wall are
    // opened with f = 1 + 14; the later one, east, is expanded first and
    // opens the target, so the route passes east of the wall.
    const char* rows[] = {
        "#....",
        "...#.",
        "#...#",
        ".....",
    };
    drawn_map(rows, 4);
    character* c = put_character(KIND_ARMED, 3 * CELL_SIZE, 0);
    ASSERT_EQ(1, find_path(c, 3, 2, 0));
    EXPECT_EQ(4, c->path[2][3].parent_x);
    EXPECT_EQ(1, c->path[2][3].parent_y);
    c->dest_x = 3;
    c->dest_y = 2;
    next_waypoint(c);
    EXPECT_EQ(4, c->waypoint_x);
    EXPECT_EQ(1, c->waypoint_y);
}

TEST_F(PathSearch, BlockedTargetsAndTheStartCellAreNeverReached)
{
    open_map(8, 8);
    set_solid(6, 6);
    character* c = put_character(KIND_ARMED, 0, 0);
    character* other = put_character(KIND_CIVILIAN, 3 * CELL_SIZE + 8, 3 * CELL_SIZE);

    EXPECT_EQ(0, find_path(c, 6, 6, 0)); // solid
    EXPECT_EQ(NODE_CLOSED, c->path[6][6].state);
    EXPECT_EQ(0, find_path(c, 0, 0, 0)); // the start itself
    EXPECT_EQ(0, find_path(c, 8, 0, 0)); // east of the map
    // The other character's box covers cells 3 and 4 of row 3: occupied
    // cells are closed only when others are marked.
    EXPECT_EQ(0, find_path(c, 4, 3, 1));
    EXPECT_EQ(0, find_path(c, 3, 3, 1));
    EXPECT_EQ(1, find_path(c, 4, 3, 0));
    // The searcher's own cell is opened even when someone overlaps it.
    other->x = 0;
    other->y = 8;
    EXPECT_EQ(1, find_path(c, 5, 5, 1));
    EXPECT_EQ(-1, c->path[0][0].parent_x);
}

TEST_F(PathSearch, WaypointIsTheCellAfterTheOwnCell)
{
    open_map(10, 1);
    character* c = put_character(KIND_ARMED, 2 * CELL_SIZE, 0);
    ASSERT_EQ(1, find_path(c, 7, 0, 0));
    c->dest_x = 7;
    c->dest_y = 0;
    next_waypoint(c);
    EXPECT_EQ(3, c->waypoint_x);
    // Having walked on, the same path gives the following cell.
    c->x = 4 * CELL_SIZE;
    next_waypoint(c);
    EXPECT_EQ(5, c->waypoint_x);
    // A destination the search never reached leads straight to itself.
    c->dest_x = 9;
    next_waypoint(c);
    EXPECT_EQ(9, c->waypoint_x);
    // Off the path altogether: the walk stops at the path's start.
    c->x = 0;
    c->dest_x = 7;
    next_waypoint(c);
    EXPECT_EQ(2, c->waypoint_x);
}

TEST_F(PathSearch, ChangedWalkGridRefillsTheGrid)
{
    open_map(6, 1);
    character* c = put_character(KIND_ARMED, 0, 0);
    ASSERT_EQ(1, find_path(c, 5, 0, 0));
    set_solid(3, 0);
    EXPECT_EQ(0, find_path(c, 5, 0, 0));
    walk_grid[0][3] = 1;
    EXPECT_EQ(1, find_path(c, 5, 0, 0));
}

TEST_F(PathSearch, CellsOutsideTheMapAreClosedWithoutBeingRead)
{
    // A wall splits a 3 x 2 map; the only way round would lead through the
    // column east of it and the row below it, whose nodes are made to look
    // free and linked. They must stay closed and must never be written,
    // which is what keeps the rest of a grid out of memory.
    const char* rows[] = {
        ".#.",
        ".#.",
    };
    drawn_map(rows, 2);
    character* c = put_character(KIND_ARMED, 0, 0);
    put_character(KIND_CIVILIAN, 3 * CELL_SIZE, 2 * CELL_SIZE); // off the map
    path_node bait;
    bait.state = NODE_FREE;
    bait.g = 7;
    bait.parent_x = 2;
    bait.parent_y = 1;
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
        for (int column = 0; column < PATH_GRID_SIZE; column++) {
            if (row < 2 && column < 3)
                continue;
            ASSERT_EQ(0, memcmp(&bait, &c->path[row][column], sizeof(bait)))
                << "node (" << column << ", " << row << ") written";
        }
}

} // namespace
