// Path search in a character's own grid.
//
// The search is best-first: each step adds 1 to g while h counts the
// remaining distance in tenths of a cell, so it heads almost straight for
// the target and rarely floods. The open node of smallest f = g + h is
// expanded next, the later one in row-major order on ties, and an open node
// is never updated; because of that, a binary heap keyed on (f, row-major
// index) expands exactly the nodes a full scan of the grid would pick, in
// the same order, and the routes are the same. f and h live only in the
// heap's keys; a node keeps g and its parent.
//
// A grid is restored before every search. Rewriting all of the map's nodes
// each time would cost more than most searches, so every record lists the
// cells its last search changed and only those are restored; a change of the
// walk grid (another map loaded) is noticed and refills the map's nodes.
//
// Only the loaded map's nodes are used: a cell outside the map counts as
// closed by a bounds check and its node is neither read nor written (the
// start cell of a search aside, which is always initialised before use), so
// on a map smaller than 128 x 128 most of every grid is never touched.
#pragma once

#include <cstdint>

#include "util/frame.h"

struct character;

// Side of every path grid; equals the largest map the grids can hold.
#define PATH_GRID_SIZE 128

#define NODE_FREE 0   // not yet reached
#define NODE_OPEN 1   // reached, waiting to be expanded
#define NODE_CLOSED 2 // expanded, solid or occupied

// Ticks between two searches of an armed character.
#define ARMED_REPATH_TICKS 32
// Largest random delay between two searches of a civilian.
#define CIVILIAN_REPATH_MAX (2 * TICKS_PER_SECOND)

// One cell of a path grid. A search's score f = g + h is not kept: h, the
// estimate towards the target, is path_cost from the cell to the target of
// the search that opened it (0 for its start cell), so f follows from g and
// the target whenever it is wanted. g counts steps along parent links, which
// pass through distinct cells, so it stays below the grid's 16,384 cells and
// fits 14 bits; a parent is a cell index 0..127 or -1 for none.
struct path_node {
    uint16_t state : 2; // NODE_FREE, NODE_OPEN or NODE_CLOSED
    uint16_t g : 14;    // steps from the search's start
    int8_t parent_x;    // cell this node was reached from; -1, -1 for none
    int8_t parent_y;
};
static_assert(sizeof(path_node) == 4, "a path node is kept to 4 bytes");

// Cells a search can change: every cell of the largest map plus the start,
// which may be listed twice (see path.cpp).
#define PATH_TOUCHED_MAX (PATH_GRID_SIZE * PATH_GRID_SIZE + 1)

// A character's path grid and the bookkeeping of its searches (path.cpp):
// the cells the last search changed, so that the next reset restores only
// those instead of the whole grid, and the walk-grid version the map's cells
// were filled from. Only the nodes of the loaded map (rows below map_height,
// columns below map_width) and the listed cells are ever written, and every
// cell outside the map counts as closed without being read, so the rest of
// the grid is address space the system never has to back with memory. The
// grid comes from malloc, so nodes outside the map stay indeterminate.
struct path_grid {
    path_node nodes[PATH_GRID_SIZE][PATH_GRID_SIZE]; // [row][column]
    int touched_count;
    int walk_version;
    int filled_width, filled_height; // the map size the nodes were filled for
    uint16_t touched[PATH_TOUCHED_MAX];
};


// Fills the map's part of `c`'s grid from the walk grid: floor cells free,
// solid cells closed, no parents, g 0. Used when a record is created; the
// nodes outside the map are left as they are.
void fill_path_grid(character* c);

// Restores the map's part of `c`'s grid: floor cells free, solid cells
// closed, no parents. With `mark_others`, the cells under the four corners
// of every other character's box (the player's included) are closed too,
// those outside the map being closed already.
void reset_path_grid(character* c, int mark_others);

// Estimated cost between two cells: 10 per straight cell, 14 per diagonal.
int path_cost(int x0, int y0, int x1, int y1);

// Best-first search from `c`'s centre cell to the cell (target_x, target_y)
// in `c`'s grid; sets repath_timer. Expands the open node of smallest f, the
// later one in row-major order on ties, and opens the neighbours inside the
// map, row offset -1..1, column offset -1..1, each with g one more than the
// expanded node's and h = path_cost to the target. Returns 1 when the target
// was opened, else 0 (a solid or occupied target, one outside the map, an
// unreachable one, or the start cell itself). Afterwards the parent links
// lead from every opened cell back to the start.
int find_path(character* c, int target_x, int target_y, int mark_others);

// Sets the waypoint to the cell after `c`'s centre cell on the path that
// leads to its destination (the destination itself when it has no parent or
// lies outside the map).
void next_waypoint(character* c);

// The cell under a character's centre, where its searches start.
int centre_column(const character* c);
int centre_row(const character* c);
