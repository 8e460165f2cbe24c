// The plain path search, kept as the reference the heap search must match:
// every expansion scans the map's nodes row by row for the open node of
// smallest f = g + h, the later one on ties (h is the cost to the target;
// the start, whose h is 0, is expanded first and alone, so its f never
// competes). Costly on large maps, which is why the game does not use it;
// the path tests and the tick benchmark do.
#pragma once

#include "characters/characters.h"
#include "characters/path.h"
#include "util/mathutil.h"
#include "world/map.h"

// Works in the record's grid like find_path but bypasses the record's list
// of changed cells: call fill_path_grid before the record's next find_path.
inline int reference_find_path(character* c, int target_x, int target_y, int mark_others)
{
    reset_path_grid(c, mark_others);
    c->repath_timer = c->kind == KIND_ARMED ? 32 : random_range(0, 120);
    int start_x = centre_column(c);
    int start_y = centre_row(c);
    c->path[start_y][start_x].state = NODE_OPEN;
    for (;;) {
        int best_x = -1;
        int best_y = -1;
        int best_f = 0;
        for (int y = 0; y < map_height; y++)
            for (int x = 0; x < map_width; x++) {
                if (c->path[y][x].state != NODE_OPEN)
                    continue;
                int f = c->path[y][x].g + path_cost(x, y, target_x, target_y);
                if (best_x < 0 || f <= best_f) {
                    best_x = x;
                    best_y = y;
                    best_f = f;
                }
            }
        if (best_x < 0)
            return 0;
        path_node* node = &c->path[best_y][best_x];
        node->state = NODE_CLOSED;
        for (int oy = -1; oy <= 1; oy++)
            for (int ox = -1; ox <= 1; ox++) {
                int nx = best_x + ox;
                int ny = best_y + oy;
                if (nx < 0 || ny < 0 || nx >= map_width || ny >= map_height)
                    continue;
                path_node* next = &c->path[ny][nx];
                if (next->state != NODE_FREE)
                    continue;
                next->state = NODE_OPEN;
                next->parent_x = (int8_t)best_x;
                next->parent_y = (int8_t)best_y;
                next->g = (uint16_t)(node->g + 1);
                if (nx == target_x && ny == target_y)
                    return 1;
            }
    }
}
