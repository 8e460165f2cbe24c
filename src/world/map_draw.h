// Drawing the map's boxes under the perspective camera.
//
// Each layer's face record of a cell is a box 32 units wide, deep and high;
// its faces are drawn as textured quads in scene coordinates, so raised
// boxes come nearer the camera, look larger and hide what stands behind
// them. Only the 27 x 18 cells around the camera are visited and empty
// records are skipped. draw_map leaves out a side that looks away from the
// camera only where opaque tiles are sure to hide it (map_draw.cpp says
// when); wherever a see-through tile or an open side lets the inside show,
// every face is drawn.
#pragma once

// Cells visited around the camera: 800 / 32 and 536 / 32, plus one spare
// for a partly visible border cell.
#define DRAW_COLUMNS 27
#define DRAW_ROWS 18

// Draws the cells around the camera (camera_x, camera_y of this frame).
void draw_map();

// Draws every non-empty face of one 6-byte face record, in record order,
// whose cell's top-left corner is at play-area pixel (x, y) and whose layer
// starts z world units above the ground. Tile cells pass through
// tile_anim_frame, so water and fire loop.
void draw_block(int x, int y, int z, const unsigned char* record);
