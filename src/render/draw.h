// The one sprite primitive and the bitmap font.
//
// Every quad lies at z = 0 and the depth test passes on equal depth, so the
// drawing order is the layering order. Callers that tint or fade set the
// OpenGL colour (and blending) around a call and restore white afterwards.
// The modelview matrix is the identity on entry and on return.
#pragma once

// Glyph cells of the font sheet and the text layout every caller relies on:
// a string of n characters is 8 * n pixels wide, a line 16 pixels high.
#define GLYPH_WIDTH 10
#define GLYPH_HEIGHT 18
#define TEXT_ADVANCE 8
#define LINE_HEIGHT 16

// Draws the source rectangle (sx, sy, sw, sh) of `texture` stretched onto
// the destination (dx, dy, dw, dh), rotated `angle` degrees clockwise on
// screen about the destination's centre. In the 2D projection the
// destination is in screen pixels, in the 3D projection in play-area pixels
// on the ground plane. A destination that does not overlap the 800 x 600
// screen (rotation not considered) binds and draws nothing.
void draw_sprite(int texture, int sx, int sy, int sw, int sh,
                 int dx, int dy, int dw, int dh, int angle);

// Draws cell `index` of a sheet of square cells of side `cell` (numbered row
// by row) as a size x size square at (x, y). 1 <= cell <= sheet width.
void draw_cell(int texture, int index, int cell, int x, int y, int size, int angle);

// Draws `text` with the font, first glyph's top left at (x, y), in the
// current colour. '\n' starts a new line 16 pixels down; blanks advance
// without drawing. For the 2D projection.
void draw_text(int x, int y, const char* text);
