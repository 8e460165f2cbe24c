// The sight ray: see sight.h.
#include "characters/sight.h"

#include <cmath>

#include "characters/player.h"
#include "util/mathutil.h"
#include "world/map.h"

// The ray samples the walk grid once per cell length.
#define SIGHT_STEP 32.0f

bool line_of_sight(const character* a, const character* b)
{
    const float half = CHARACTER_SIZE / 2;
    float x = (float)a->x + half;
    float y = (float)a->y + half;
    float heading = (float)angle_to(x, y, (float)b->x + half, (float)b->y + half) * DEGREES_TO_RADIANS;
    float step_x = SIGHT_STEP * sinf(heading);
    float step_y = SIGHT_STEP * cosf(heading);
    // The map is at most 128 cells across, so the ray leaves it (and ends)
    // within a few hundred samples whatever the heading.
    for (;;) {
        int px = (int)x;
        int py = (int)y;
        if (!cell_is_floor(px / CELL_SIZE, py / CELL_SIZE))
            return false;
        if (rects_overlap(px - CHARACTER_SIZE / 2, py - CHARACTER_SIZE / 2, CHARACTER_SIZE,
                          CHARACTER_SIZE, b->x, b->y, CHARACTER_SIZE, CHARACTER_SIZE))
            return true;
        x += step_x;
        y -= step_y;
    }
}
