// Movement: every character moves in unit steps, one axis at a time, against
// the walk grid and against the other characters' boxes. Testing the axes
// separately is what lets a diagonal push slide along a wall.
#pragma once

#include "characters/characters.h"

// One step of dx, dy (each -1, 0 or +1). Returns 1 if the character moved;
// a refused step resets the walk animation to the standing pose. The player
// picks up what it steps on.
int move_character(character* c, int dx, int dy);

// Faces the step just attempted, or the player for an armed character that
// sees it. A (0, 0) step leaves the facing alone. Not used for the player,
// whose facing follows the mouse.
void face_character(character* c, int dx, int dy);

// One step of the walk animation; a frame lasts 13 successful steps.
void advance_walk_frame(character* c);
