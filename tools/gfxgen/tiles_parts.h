// The tile sheet's shared helpers (tiles_parts.cpp), used by its makers
// (tiles.cpp, tiles_floors.cpp, tiles_blocks.cpp); nothing outside the tile
// sheet includes it.
#ifndef GFXGEN_TILES_PARTS_H
#define GFXGEN_TILES_PARTS_H

#include <cstdint>
#include <functional>

#include "raster.h"

const int T = 32; // a cell's side

// The sheet being drawn; make_tiles() creates it.
extern Image tile_sheet;

// Copies a finished 32 x 32 cell into the sheet at cell `index`.
void put(int index, const Image& t);
// A cell whose every pixel is f(x, y).
Image tile_from(std::function<Rgb(int, int)> f);
// A cell turned a quarter clockwise `turns` times, or mirrored on its diagonal.
Image rotate(const Image& t, int turns);
Image transpose(const Image& t);
// Per-pixel roughness in -0.5..0.5 that repeats with the cell.
float grain(int x, int y, uint32_t s);

// Materials, as colour at (x, y) of a cell; each repeats every 32 pixels.
Rgb asphalt_at(int x, int y);
Rgb slab_at(int x, int y);
Rgb grass_at(int x, int y, uint32_t seed, Rgb lo, Rgb hi);
Rgb dirt_at(int x, int y);
Rgb tiles_at(int x, int y, int size, Rgb a, Rgb b, Rgb grout, bool checker, uint32_t seed);
Rgb brick_at(int x, int y);
Rgb concrete_wall_at(int x, int y);
Rgb plaster_at(int x, int y);
Image wall_from(Rgb (*f)(int, int));

// Features drawn onto a cell.
void crack(Image& t, uint32_t seed, int x, int y, int steps);
void paint(Image& t, int x, int y, int w, int h, Rgb c, uint32_t seed); // scuffed road paint
Image leafy(uint32_t seed, Rgb dark, Rgb light, bool round);
void window(Image& t, bool lit, float flicker = 1.0f);
void door(Image& t, Rgb wood);

extern const Rgb ROAD_YELLOW;
extern const Rgb ROAD_WHITE;

// The groups of cells, each filling its part of the index in tiles.h.
void make_street();
void make_pavement();
void make_nature();
void make_interiors();
void make_water();
void make_fire();
void make_extras();
void make_walls();
void make_roofs();
void make_interior_walls();
void make_neon(const Image& font);
void make_tv_window();
void make_props();

#endif
