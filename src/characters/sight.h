// Sight between two characters: a ray stepped through the walk grid.
//
// The ray samples a point every 32 units from the first character's centre
// toward the second's. At each sample the cell is tested before the box, so
// a sample inside a wall fails even where its box would reach the target;
// between samples the ray can slip past the corner of a solid cell. It has
// no length limit other than the first solid cell or the map's edge. Used by
// the shot cooldown, the armed characters' facing and shooting, and the
// drawing of armed characters.
#pragma once

#include "characters/characters.h"

// True if a ray from `a`'s centre toward `b`'s centre, sampled every 32
// units, meets `b`'s box before it meets a solid cell or leaves the map.
bool line_of_sight(const character* a, const character* b);
