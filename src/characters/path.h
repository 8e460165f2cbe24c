// Path search in a character's own grid.
//
// The search is best-first: each step adds 1 to g while h counts the
// remaining distance in tenths of a cell, so it heads almost straight for
// the target and rarely floods. The open node of smallest f is expanded
// next, the later one in row-major order on ties, and an open node is never
// updated; because of that, a binary heap keyed on (f, row-major index)
// expands exactly the nodes a full scan of the grid would pick, in the same
// order, and the routes are the same.
//
// A grid is restored before every search. Rewriting all 16,384 nodes each
// time would cost more than most searches, so every record lists the cells
// its last search changed and only those are restored; a change of the walk
// grid (another map loaded) is noticed and refills the whole grid.
#pragma once

#include "characters/characters.h"

// Fills all of `c`'s grid from the walk grid: floor cells of the map free,
// everything else closed, no parents. Used when a record is created.
void fill_path_grid(character* c);

// Restores `c`'s grid: floor cells free, solid cells closed, no parents.
// With `mark_others`, the cells under the four corners of every other
// character's box (the player's included) are closed too.
void reset_path_grid(character* c, int mark_others);

// Estimated cost between two cells: 10 per straight cell, 14 per diagonal.
int path_cost(int x0, int y0, int x1, int y1);

// Best-first search from `c`'s centre cell to the cell (target_x, target_y)
// in `c`'s grid; sets repath_timer. Expands the open node of smallest f, the
// later one in row-major order on ties, and opens neighbours row offset
// -1..1, column offset -1..1. Returns 1 when the target was opened, else 0
// (a solid or occupied target, an unreachable one, or the start cell itself).
// Afterwards the parent links lead from every opened cell back to the start.
int find_path(character* c, int target_x, int target_y, int mark_others);

// Sets the waypoint to the cell after `c`'s centre cell on the path that
// leads to its destination (the destination itself when it has no parent).
void next_waypoint(character* c);

// The cell under a character's centre, where its searches start.
int centre_column(const character* c);
int centre_row(const character* c);
