// Small worlds for the character tests: maps filled straight into the grids
// and characters put where a test wants them.
#pragma once

#include <cstring>

#include "characters/characters.h"
#include "world/map.h"

// A w x h map of floor, no layers, and no characters.
inline void open_map(int width, int height)
{
    free_characters();
    memset(walk_grid, 0, sizeof(walk_grid));
    map_width = width;
    map_height = height;
    map_layers = 0;
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++)
            walk_grid[row][column] = 1;
}

// A map drawn row by row: '#' solid, anything else floor.
inline void drawn_map(const char* const* rows, int height)
{
    int width = (int)strlen(rows[0]);
    open_map(width, height);
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++)
            walk_grid[row][column] = rows[row][column] == '#' ? 0 : 1;
}

inline void set_solid(int column, int row)
{
    walk_grid[row][column] = 0;
}

// A character of `kind` with its box at (x, y), waypoint and destination on
// its own cell, appended to the list like a spawn but without randomness.
inline character* put_character(int kind, int x, int y)
{
    character* c = new_character();
    c->kind = kind;
    c->x = x;
    c->y = y;
    c->waypoint_x = c->dest_x = x / CELL_SIZE;
    c->waypoint_y = c->dest_y = y / CELL_SIZE;
    if (kind == KIND_PLAYER)
        player = c;
    return c;
}

inline int count_characters(int kind)
{
    int count = 0;
    for (const character* c = character_list; c; c = c->next)
        if (c->kind == kind)
            count++;
    return count;
}
