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

#include "characters/characters.h"

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
