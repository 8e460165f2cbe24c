// Behaviour of the non-player characters: civilians walk to random
// destinations and run when hurt; armed characters close in on the player,
// stopping three steps short of it, and shoot when they have seen it long
// enough. Routes come from a best-first search in each character's own path
// grid; sight is a ray stepped through the walk grid.
#pragma once

#include "characters/characters.h"
#include "characters/path.h"
#include "characters/sight.h"

// An armed character stops planning within this many cells of the player and
// heads for the cell this many steps short of it.
#define CHASE_KEEP_BACK 3
// Shots are fired only at a player within this margin around the box.
#define SHOT_RANGE 256

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
