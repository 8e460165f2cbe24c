// Colour, blending and the raw textured quad, for drawing code outside
// src/render (map blocks, shadows, fading effects) that must not call
// OpenGL itself.
#pragma once

// Sets the current colour, multiplied into every later textured draw.
// Drawing code that tints restores (1, 1, 1, 1) when it is done.
void set_draw_color(float r, float g, float b, float a);

// Sets the colour of a draw that fades: blending is on only while `a` is
// below 1, since at full alpha it would write exactly the source colour
// (every texel is opaque or cut away by the alpha test) yet read back every
// covered pixel first. Callers switch blending off when done.
void set_fading_color(float r, float g, float b, float a);

// Switches writing depth on or off; clear_screen and the 3D projection
// switch it back on. With `plain_drawing` it stays on.
void set_depth_writes(int on);

// Switches alpha blending (source alpha, one minus source alpha) on or off.
// Blending is off outside the translucent draws that ask for it.
void set_blending(int on);

// One triangle strip of four vertices given in scene coordinates (x, y, z),
// with texture coordinates (s, t) each, on whatever texture is bound.
// Used for the faces of the map's boxes, which do not lie at z = 0.
void draw_scene_strip(const float vertices[4][3], const float texcoords[4][2]);
