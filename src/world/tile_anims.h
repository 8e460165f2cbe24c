// The looping cells of the tile sheet (water and the like). One entry per
// cell of every sheet; the map's drawing asks which cell to show in place of
// a cell. Visual only: advanced once per drawn frame, in every state, paused
// or not, by the visual-timer pattern (while above 0 a frame subtracts
// frame_factor; at or below 0 the step is taken and the period added until
// the timer is above 0 again).
#pragma once

#define TILE_ANIM_TEXTURES 17
#define TILE_ANIM_CELLS 256

struct TileAnim {
    int frame;       // offset added to the cell, 0 .. count - 1
    int count;       // cells in the loop; 0 means not animated
    int frame_ticks; // frame units per cell
    float timer;     // frame units left for the current cell
};

// Filled by init_tile_anims, advanced by update_tile_anims.
extern TileAnim tile_anims[TILE_ANIM_TEXTURES][TILE_ANIM_CELLS];

// Once at start-up: the four 8-cell loops of the tile sheet at cells 128,
// 136, 144 and 152, 12 frame units per cell.
void init_tile_anims();

// Once per drawn frame, before any drawing.
void update_tile_anims();

// The cell to draw in place of `cell` of sheet `texture`; cells that are
// not animated, and ids outside the table, map to themselves.
int tile_anim_frame(int texture, int cell);
