// The pictures of the game, one maker per archive member. Each returns the
// finished image at its exact size; main.cpp writes them out, lays out the
// contact sheet and cuts the desktop icons.
#ifndef GFXGEN_PICTURES_H
#define GFXGEN_PICTURES_H

#include "raster.h"

// The dark line around every figure and item: near black with a hint of the
// blood palette, so it never looks like a hole in the picture.
const Rgb INK = {18, 10, 12};

Image make_splash(const Image& font);   // gfx/harrowkiln.bmp
Image make_logo();                      // gfx/logo.bmp
Image make_background();                // gfx/background.bmp, 64 x 64
Image make_crosshair();                 // gfx/crosshair.bmp, 58 x 29
Image make_scoreboard();                // gfx/scoreboard.bmp, 1 x 64
Image make_bar();                       // gfx/bar.bmp, 58 x 23
Image make_bar2();                      // gfx/bar2.bmp, 156 x 28
Image make_messages(const Image& font); // gfx/messages.bmp, 424 x 316

Image make_tiles(const Image& font); // gfx/tiles.bmp, 512 x 512

Image make_characters(); // gfx/characters.bmp, 640 x 192

Image make_items();    // gfx/items.bmp, 48 x 24
Image make_bullet();   // gfx/bullet.bmp, 13 x 13
Image make_spawn();    // gfx/spawn.bmp, 392 x 56
Image make_gunfire();  // gfx/gunfire.bmp, 48 x 16
Image make_ricochet(); // gfx/ricochet.bmp, 160 x 32
Image make_blood();    // gfx/blood.bmp, 128 x 32

// A player's head seen from above on a dark plate, for desktop icons.
Image make_icon(int size);

#endif
