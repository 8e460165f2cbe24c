// Behaviour of the non-player characters: civilians walk to random
// destinations and run when hurt; armed characters close in on the player,
// stopping three steps short of it, and shoot when they have seen it long
// enough. Routes come from a best-first search in each character's own path
// grid; sight is a ray stepped through the walk grid.
#pragma once

#include "characters/characters.h"

// Ticks between two searches of an armed character.
#define ARMED_REPATH_TICKS 32
// Largest random delay between two searches of a civilian.
#define CIVILIAN_REPATH_MAX 120
// An armed character stops planning within this many cells of the player and
// heads for the cell this many steps short of it.
#define CHASE_KEEP_BACK 3
// Shots are fired only at a player within this margin around the box.
#define SHOT_RANGE 256

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
int find_path(character* c, int target_x, int target_y, int mark_others);

// Sets the waypoint to the cell after `c`'s centre cell on the path that
// leads to its destination.
void next_waypoint(character* c);

// Civilians: a random floor destination other than the own cell, planned
// around the other characters. 1 if a new destination was set.
int pick_destination(character* c);

// Armed characters: plans toward `target` and heads for the cell `keep_back`
// steps short of it. Does nothing (returns 0) when already heading for the
// target's cell, when the target is within `keep_back` cells, or when there
// is no path.
int chase(character* c, const character* target, int keep_back);

// Per-tick behaviour of every non-player character, in list order.
void update_characters();

// Per-tick shooting: an armed character with no cooldown left that sees the
// player within SHOT_RANGE fires. Called only during a live run.
void update_shooting();

// One shot: a bullet 32 units ahead of the shooter's centre, the cooldown
// restarted, a muzzle flash and the gun sound.
void fire_shot(character* c);

// True if a ray from `a`'s centre toward `b`'s centre, sampled every 32
// units, meets `b`'s box before it meets a solid cell or leaves the map.
bool line_of_sight(const character* a, const character* b);
