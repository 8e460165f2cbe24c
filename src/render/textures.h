// The 17 pictures of the game as OpenGL textures, addressed by fixed ids.
//
// Each bitmap is placed in the top-left corner of a power-of-two texture
// whose other texels are transparent; magenta (255, 0, 255) pixels become
// transparent too. Textures use nearest filtering, so pixel art stays sharp.
// bind_texture is the one path all textured drawing takes.
#pragma once

#include <cstddef>

// Texture ids: the index into `textures` and the load order.
enum {
    TEX_FONT = 0,        // "gfx/font.bmp": 16 x 16 cells of 10 x 18
    TEX_HARROWKILN = 1,  // "gfx/harrowkiln.bmp": studio splash
    TEX_LOGO = 2,        // "gfx/logo.bmp"
    TEX_BACKGROUND = 3,  // "gfx/background.bmp": 64 x 64 cells
    TEX_CROSSHAIR = 4,   // "gfx/crosshair.bmp": two 29 x 29 cells
    TEX_SCOREBOARD = 5,  // "gfx/scoreboard.bmp": 1 x 64 column
    TEX_BAR = 6,         // "gfx/bar.bmp"
    TEX_BAR2 = 7,        // "gfx/bar2.bmp"
    TEX_TILES = 8,       // "gfx/tiles.bmp": 32 x 32 cells, 16 per row
    TEX_CHARACTERS = 9,  // "gfx/characters.bmp": 64 x 64 cells
    TEX_ITEMS = 10,      // "gfx/items.bmp": 24 x 24 cells
    TEX_BULLET = 11,     // "gfx/bullet.bmp"
    TEX_SPAWN = 12,      // "gfx/spawn.bmp": 56 x 56 cells
    TEX_GUNFIRE = 13,    // "gfx/gunfire.bmp": 16 x 16 cells
    TEX_RICOCHET = 14,   // "gfx/ricochet.bmp": 32 x 32 cells
    TEX_BLOOD = 15,      // "gfx/blood.bmp": 32 x 32 cells
    TEX_MESSAGES = 16,   // "gfx/messages.bmp": four 424 x 79 banners
    TEXTURE_COUNT = 17
};

#define GRAPHICS_ARCHIVE "assets.bin"

// Nudge applied to texture coordinates under the perspective camera so that
// nearest sampling never reads the neighbouring cell of a sheet.
#define TEXTURE_INSET (1.0f / 2048.0f)

// The tile sheet's cells: TILE_SIZE square, TILES_PER_ROW to a row.
#define TILE_SIZE 32
#define TILES_PER_ROW 16
#define TILE_CELLS 256

struct Texture {
    unsigned name; // OpenGL texture name; 0 when not loaded
    int width;     // the bitmap's own size, not raised to a power of two
    int height;
    // load_graphics places a few small 2D sheets inside the font's texture:
    // such a guest shares the font's name and starts at (atlas_x, atlas_y)
    // there. Every other texture owns its name and starts at (0, 0).
    int atlas_x;
    int atlas_y;
    int guest;
};

// Filled by load_graphics, emptied (names 0) by free_graphics.
extern Texture textures[TEXTURE_COUNT];

// 1 for each cell of the tile sheet whose every texel is opaque, so that a
// face showing it hides whatever lies behind; 0 for cells with see-through
// texels (a fence, a grate) or outside the picture. Set whenever TEX_TILES
// is loaded, all 0 while it is not.
extern unsigned char tile_opaque[TILE_CELLS];

// Archive member name of each texture id ("gfx/font.bmp" ...).
extern const char* const texture_files[TEXTURE_COUNT];

// Loads all 17 pictures from GRAPHICS_ARCHIVE, the small sheets of the
// status strip, the health bars and the pointer into the font's texture
// unless `plain_drawing` is set. Needs the OpenGL context of init_screen.
// Fatal on any failure ("load_graphics()").
void load_graphics();

// Makes texture `id` from a Windows bitmap held in memory (the bytes of an
// archive member); the record's old texture, if any, is deleted first.
// Fatal on failure ("load_graphics()").
void load_texture_bmp(int id, const void* data, size_t size);

// Deletes every loaded texture and clears its record.
void free_graphics();

// Smallest power of two >= n, counting up from 1 (so 1 for n <= 1).
int next_power_of_two(int n);

// Binds texture `id` and writes the texture coordinates (left, top, right,
// bottom) of the source rectangle (sx, sy, sw, sh) in bitmap pixels, top
// left origin. Under the 3D projection each side moves in by TEXTURE_INSET.
void bind_texture(int id, int sx, int sy, int sw, int sh, float out[4]);
