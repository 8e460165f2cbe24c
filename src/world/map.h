// The one tile map of the game and the grids it is read into.
//
// Every cell carries two unrelated things. A stack of visual layers, each a
// box with up to six textured faces, is only ever drawn (world/map_draw.h).
// One walk byte alone decides where characters stand, where things spawn,
// how far sight reaches and where bullets stop; it is never drawn.
//
// Map file (all fields single bytes):
//   0..35   free header, not read
//   36      width in columns
//   37      height in rows
//   38      number of layers
//   39..    rows north to south, cells west to east; per cell the 6-byte face
//           record of layer 0, 1, ... then the walk byte.
// So a map of W x H cells and L layers is 39 + W * H * (6L + 1) bytes long.
// A map that does not fit the fixed grids, or is shorter than its dimensions
// announce, is refused through fatal_error rather than read past its end.
//
// The grids keep their full 128 x 128 size; everything outside the loaded
// width, height and layer count is zero: an empty face record and a solid
// cell. The map is loaded once at start-up and never changes afterwards.
#pragma once

#include <cstddef>

#define MAP_MAX_SIZE 128   // columns and rows of the grids
#define MAP_MAX_LAYERS 16
#define CELL_SIZE 32       // world units per cell edge and per layer height
#define FACE_COUNT 6
#define MAP_HEADER_SIZE 36
#define MAP_DATA_OFFSET 39 // header plus the three dimension bytes

#define MAP_ARCHIVE "assets.bin"

// Face order inside a 6-byte record. A byte n > 0 is cell n - 1 of the tile
// sheet; 0 is no face.
#define FACE_BOTTOM 0
#define FACE_TOP 1
#define FACE_WEST 2
#define FACE_EAST 3
#define FACE_NORTH 4
#define FACE_SOUTH 5

// Loaded dimensions; set by load_map / load_map_bytes.
extern int map_width;
extern int map_height;
extern int map_layers;

// [layer][row][column][face]; filled by load_map / load_map_bytes.
extern unsigned char map_cells[MAP_MAX_LAYERS][MAP_MAX_SIZE][MAP_MAX_SIZE][FACE_COUNT];
// [row][column]: 0 solid, anything else floor; filled by load_map / load_map_bytes.
extern unsigned char walk_grid[MAP_MAX_SIZE][MAP_MAX_SIZE];

// Reads member `name` of "assets.bin" into the grids. A missing member ends
// the program with "load_map()" / "File \"%s\" not found in archive \"%s\"".
void load_map(const char* name);

// Fills the grids from a map image already in memory (`name` only labels
// error messages). Clears both grids first, so cells outside the map read
// solid and empty. Ends through fatal_error with tag "load_map()" when the
// image is shorter than its header, wider or higher than 128, has more than
// 16 layers, or is shorter than its cell data; bytes after the cell data
// are ignored.
void load_map_bytes(const char* name, const unsigned char* data, size_t size);

// Byte count a map of these dimensions needs, header included.
size_t map_file_size(int width, int height, int layers);

// 1 when the w x h rectangle at (x, y) lies inside the map and its four
// corner points stand on floor cells; only the corners are tested, which is
// exact for rectangles up to one cell. An empty or inverted rectangle is
// never walkable.
int area_walkable(int x, int y, int w, int h);

// 1 when (column, row) is inside the map and its walk byte is floor.
int cell_is_floor(int column, int row);
