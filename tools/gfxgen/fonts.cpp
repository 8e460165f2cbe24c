#include "fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string font_dir = "/usr/share/fonts/truetype/dejavu";

static const char* FONT_FACE = "DejaVuSansMono-Bold.ttf";
static const int FONT_PIXELS = 12;
// Baseline row inside a cell: capitals reach up to row 3, descenders down
// to row 14 and their shadow to row 15.
static const int FONT_BASELINE = 12;
static const Rgb GLYPH_COLOUR = {255, 255, 255};
static const Rgb GLYPH_SHADOW = {24, 16, 16};

static FT_Library library;
static bool library_ready = false;

static FT_Face open_face(const char* face)
{
    if (!library_ready) {
        if (FT_Init_FreeType(&library)) {
            std::fprintf(stderr, "gfxgen: FT_Init_FreeType failed\n");
            std::exit(1);
        }
        library_ready = true;
    }
    std::string path = font_dir + "/" + face;
    FT_Face f;
    if (FT_New_Face(library, path.c_str(), 0, &f)) {
        std::fprintf(stderr, "gfxgen: cannot open font %s\n", path.c_str());
        std::exit(1);
    }
    return f;
}

bool mask_on(const Mask& m, int x, int y)
{
    return x >= 0 && y >= 0 && x < m.w && y < m.h && m.a[(size_t)y * m.w + x] >= 128;
}

Image make_font_sheet()
{
    Image sheet = make_image(16 * FONT_CELL_W, 16 * FONT_CELL_H, MAGENTA);
    FT_Face f = open_face(FONT_FACE);
    FT_Set_Pixel_Sizes(f, 0, FONT_PIXELS);
    for (int code = 33; code < 256; code++) {
        if (code >= 127 && code < 161) continue; // control codes stay empty
        FT_UInt gi = FT_Get_Char_Index(f, (FT_ULong)code);
        if (gi == 0) continue;
        if (FT_Load_Glyph(f, gi, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)) continue;
        FT_Bitmap& bm = f->glyph->bitmap;
        int bw = (int)bm.width, bh = (int)bm.rows;
        // Keep the glyph's own bearing, but shift it into the 7 columns left
        // for the body (the eighth holds the shadow).
        int gx = f->glyph->bitmap_left;
        if (gx + bw > FONT_INK_W - 1) gx = FONT_INK_W - 1 - bw;
        if (gx < 0) gx = 0;
        int gy = FONT_BASELINE - f->glyph->bitmap_top;
        if (gy + bh > FONT_INK_H - 1) gy = FONT_INK_H - 1 - bh;
        if (gy < 0) gy = 0;
        Image cell = make_image(FONT_CELL_W, FONT_CELL_H, MAGENTA);
        for (int y = 0; y < bh; y++)
            for (int x = 0; x < bw; x++) {
                bool on = (bm.buffer[y * bm.pitch + (x >> 3)] >> (7 - (x & 7))) & 1;
                int cx = gx + x, cy = gy + y;
                if (on && cx < FONT_INK_W - 1 && cy < FONT_INK_H - 1) put_px(cell, cx, cy, GLYPH_COLOUR);
            }
        // Drop shadow one pixel right and down: reads on bright and dark
        // ground alike and keeps the glyph's shape.
        for (int y = FONT_INK_H - 1; y >= 1; y--)
            for (int x = FONT_INK_W - 1; x >= 1; x--)
                if (!is_ink(cell, x, y) && same_colour(get_px(cell, x - 1, y - 1), GLYPH_COLOUR))
                    put_px(cell, x, y, GLYPH_SHADOW);
        blit(sheet, cell, (code % 16) * FONT_CELL_W, (code / 16) * FONT_CELL_H);
    }
    FT_Done_Face(f);
    return sheet;
}

Mask text_mask(const char* face, int pixel_size, float x_scale, const std::string& text, int pad)
{
    FT_Face f = open_face(face);
    FT_Set_Pixel_Sizes(f, 0, (FT_UInt)pixel_size);
    FT_Matrix m;
    m.xx = (FT_Fixed)std::lround(x_scale * 65536.0);
    m.xy = 0;
    m.yx = 0;
    m.yy = 0x10000;
    FT_Set_Transform(f, &m, nullptr);
    int asc = (int)(f->size->metrics.ascender >> 6), desc = (int)(-f->size->metrics.descender >> 6);
    int line_h = asc + desc;
    int width = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f, ch, FT_LOAD_DEFAULT)) continue;
        width += (int)(f->glyph->advance.x >> 6);
    }
    Mask full;
    full.w = width + pixel_size;
    full.h = line_h + 4;
    full.a.assign((size_t)full.w * full.h, 0);
    int pen = pixel_size / 4;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f, ch, FT_LOAD_RENDER)) continue;
        FT_Bitmap& bm = f->glyph->bitmap;
        int ox = pen + f->glyph->bitmap_left, oy = asc - f->glyph->bitmap_top + 2;
        for (int y = 0; y < (int)bm.rows; y++)
            for (int x = 0; x < (int)bm.width; x++) {
                int tx = ox + x, ty = oy + y;
                if (tx < 0 || ty < 0 || tx >= full.w || ty >= full.h) continue;
                unsigned char v = bm.buffer[y * bm.pitch + x];
                unsigned char& d = full.a[(size_t)ty * full.w + tx];
                d = std::max(d, v);
            }
        pen += (int)(f->glyph->advance.x >> 6);
    }
    FT_Done_Face(f);
    int minx = full.w, miny = full.h, maxx = -1, maxy = -1;
    for (int y = 0; y < full.h; y++)
        for (int x = 0; x < full.w; x++)
            if (mask_on(full, x, y)) {
                minx = std::min(minx, x);
                maxx = std::max(maxx, x);
                miny = std::min(miny, y);
                maxy = std::max(maxy, y);
            }
    Mask out;
    if (maxx < 0) return out;
    out.w = maxx - minx + 1 + 2 * pad;
    out.h = maxy - miny + 1 + 2 * pad;
    out.a.assign((size_t)out.w * out.h, 0);
    for (int y = miny; y <= maxy; y++)
        for (int x = minx; x <= maxx; x++)
            out.a[(size_t)(y - miny + pad) * out.w + (x - minx + pad)] = full.a[(size_t)y * full.w + x];
    return out;
}

Mask dilate(const Mask& m, int r)
{
    Mask out = m;
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            if (mask_on(m, x, y)) continue;
            bool hit = false;
            for (int j = -r; j <= r && !hit; j++)
                for (int i = -r; i <= r && !hit; i++)
                    if (i * i + j * j <= r * r + r / 2 && mask_on(m, x + i, y + j)) hit = true;
            if (hit) out.a[(size_t)y * m.w + x] = 255;
        }
    return out;
}

int draw_small_text(Image& im, const Image& font, int x, int y, const std::string& text, Rgb colour)
{
    int col = 0;
    for (unsigned char c : text) {
        if (c != ' ') {
            int sx = (c % 16) * FONT_CELL_W, sy = (c / 16) * FONT_CELL_H;
            for (int j = 0; j < FONT_CELL_H; j++)
                for (int i = 0; i < FONT_CELL_W; i++) {
                    if (!is_ink(font, sx + i, sy + j)) continue;
                    Rgb g = get_px(font, sx + i, sy + j);
                    // White ink takes the colour, the shadow stays dark.
                    Rgb out = g.r > 128 ? colour : g;
                    put_px(im, x + col * 8 + i, y + j, out);
                }
        }
        col++;
    }
    return col * 8;
}
