// Text for the generator, through FreeType and the DejaVu faces that the setup
// script installs. The game's bitmap font is hinted to one-bit pixels so it
// stays crisp at its tiny size; large lettering (logo, banners, splash) is
// rendered as a coverage mask that the callers cut at half coverage, so every
// edge stays hard.
#ifndef GFXGEN_FONTS_H
#define GFXGEN_FONTS_H

#include <string>
#include <vector>

#include "raster.h"

// Folder that holds the DejaVu faces; set from the command line.
extern std::string font_dir;

// One glyph cell of the game font: 10 x 18 pixels.
const int FONT_CELL_W = 10;
const int FONT_CELL_H = 18;
// Every glyph, shadow included, stays inside this box of its cell, so glyphs
// drawn 8 pixels apart and lines drawn 16 pixels apart never touch.
const int FONT_INK_W = 8;
const int FONT_INK_H = 16;

struct Mask {
    int w = 0, h = 0;
    std::vector<unsigned char> a; // coverage 0..255
};

bool mask_on(const Mask& m, int x, int y);

// The 160 x 288 sheet: 16 x 16 cells in character-code order.
Image make_font_sheet();

// A line of text rendered with `face` (a file name in font_dir) at the given
// pixel height, widened or narrowed by x_scale, cropped to its ink with `pad`
// empty pixels around.
Mask text_mask(const char* face, int pixel_size, float x_scale, const std::string& text, int pad);

// Grows a mask by r pixels (a round brush), for outlines of large lettering.
Mask dilate(const Mask& m, int r);

// Writes text with the game font sheet into an image (contact-sheet labels,
// small print on pictures); returns the width used.
int draw_small_text(Image& im, const Image& font, int x, int y, const std::string& text, Rgb colour);

#endif
