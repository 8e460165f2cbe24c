// A small software raster for the picture generator: 24-bit images with pure
// magenta as the only transparent colour, hard-edged shapes (no coverage
// blending, so nothing ever bleeds into the transparent key), seeded noise and
// the outline pass that gives every sprite its one-pixel dark border.
//
// Everything here is deterministic: the only randomness is rng_next() with a
// seed the caller chooses, and noise is hashed from integer lattice points.
#ifndef GFXGEN_RASTER_H
#define GFXGEN_RASTER_H

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px; // r, g, b per pixel, rows top to bottom
};

extern const Rgb MAGENTA;

// Colour helpers; channels are clamped to 0..255 when stored.
Rgb rgb(int r, int g, int b);
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float f);
Rgb add(Rgb c, int d);
bool same_colour(Rgb a, Rgb b);
// True for colours a player could mistake for the transparent key.
bool near_magenta(Rgb c);

Image make_image(int w, int h, Rgb fill);
bool in_image(const Image& im, int x, int y);
Rgb get_px(const Image& im, int x, int y);
// Writes a pixel; outside the image is ignored. Colours close to magenta are
// pushed away from it so the key stays unique.
void put_px(Image& im, int x, int y, Rgb c);
bool is_key(const Image& im, int x, int y);
// Opaque pixel test: inside the image and not magenta.
bool is_ink(const Image& im, int x, int y);

void fill_rect(Image& im, int x, int y, int w, int h, Rgb c);
void fill_ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c);
// Ellipse turned by angle degrees (clockwise, 0 = axes aligned).
void fill_ellipse_rot(Image& im, float cx, float cy, float rx, float ry, float deg, Rgb c);
void fill_polygon(Image& im, const float* xy, int n, Rgb c);
void draw_line(Image& im, float x0, float y0, float x1, float y1, float width, Rgb c);
void draw_pixel_line(Image& im, int x0, int y0, int x1, int y1, Rgb c);

// Copies src onto dst at (x, y), skipping magenta.
void blit(Image& dst, const Image& src, int x, int y);
void blit_rect(Image& dst, int dx, int dy, const Image& src, int sx, int sy, int w, int h);
Image crop(const Image& src, int x, int y, int w, int h);
// Nearest-neighbour scale by an integer factor, or to a given size.
Image scale_nearest(const Image& src, int w, int h);

// Adds a one-pixel border of colour c around every opaque pixel (4-neighbour,
// or 8-neighbour when diagonal is set), within the rectangle given.
void outline(Image& im, Rgb c, bool diagonal);
void outline_rect(Image& im, int x, int y, int w, int h, Rgb c, bool diagonal);

// Multiplies opaque pixels by a light factor: lighter toward the top left.
void shade_sphere(Image& im, int x, int y, int w, int h, float cx, float cy, float r, float strength);

// Deterministic random numbers.
void rng_seed(uint32_t seed);
uint32_t rng_next();
int rng_range(int lo, int hi); // inclusive
float rng_float();             // 0..1

// Value noise in 0..1. The periodic form wraps every `period` units so a tile
// made from it is seamless.
float hash01(int x, int y, uint32_t seed);
float value_noise(float x, float y, uint32_t seed, int period);
float fractal_noise(float x, float y, uint32_t seed, int period, int octaves);

void write_bmp(const Image& im, const std::string& path);
void write_png(const Image& im, const std::string& path, bool key_transparent);

#endif
