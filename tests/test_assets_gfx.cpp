// The pictures of the built assets.bin, read back through the game's own
// archive reader: the sizes the drawing code cuts its cells from, the
// transparent key kept unique, and sheets whose cells hold what is drawn
// from them without holes or ink spilling into a neighbour.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "render/textures.h"
#include "test_bytes.h"
#include "util/archive.h"

namespace {

Bitmap picture(const char* name)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", name, &size);
    std::vector<uint8_t> bytes(data, data + (data ? size : 0));
    free(data);
    Bitmap bm = read_bmp(bytes);
    EXPECT_GT(bm.w, 0) << name << " missing, cut short or not a 24-bit bitmap";
    return bm;
}

bool is_key(const uint8_t* p) { return p[0] == 255 && p[1] == 0 && p[2] == 255; }

int ink_in(const Bitmap& bm, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += !is_key(bm.at(x, y));
    return n;
}

bool same_block(const Bitmap& bm, int ax, int ay, int bx, int by, int w, int h)
{
    for (int y = 0; y < h; y++)
        if (memcmp(bm.at(ax, ay + y), bm.at(bx, by + y), (size_t)w * 3) != 0)
            return false;
    return true;
}

// By texture id; 0 for pictures drawn whole in the window's middle.
const int SIZES[TEXTURE_COUNT][2] = {{160, 288}, {0, 0},    {0, 0},   {64, 64},   {58, 29},  {1, 64},
                                     {58, 23},   {156, 28}, {512, 512}, {640, 192}, {48, 24}, {13, 13},
                                     {392, 56},  {48, 16},  {160, 32}, {128, 32},  {424, 316}};

TEST(AssetsGfx, EveryPictureHasItsSizeAndOnlyExactMagentaIsTransparent)
{
    for (int id = 0; id < TEXTURE_COUNT; id++) {
        const char* name = texture_files[id];
        Bitmap bm = picture(name);
        if (SIZES[id][0]) {
            EXPECT_EQ(bm.w, SIZES[id][0]) << name;
            EXPECT_EQ(bm.h, SIZES[id][1]) << name;
        } else {
            EXPECT_TRUE(bm.w >= 200 && bm.w <= 800 && bm.h <= 600) << name << " must fit the window's middle";
        }
        // Red and blue both high with little green reads as the key on screen.
        int near = 0;
        for (size_t i = 0; i < bm.rgb.size(); i += 3) {
            const uint8_t* p = &bm.rgb[i];
            near += p[0] >= 160 && p[2] >= 160 && p[1] <= 96 && !is_key(p);
        }
        EXPECT_EQ(near, 0) << name << " has colours close to the transparent magenta";
        EXPECT_GT(ink_in(bm, 0, 0, bm.w, bm.h), 0) << name << " is empty";
    }
}

// Text advances 8 pixels a glyph and 16 a line over cells of 10 x 18: a
// glyph's ink (shadow included) must stay in the cell's first 8 columns and
// 16 rows, or neighbouring glyphs and lines would overwrite each other.
TEST(AssetsGfx, FontGlyphsArePresentDistinctAndFitTheirAdvance)
{
    Bitmap font = picture("gfx/font.bmp");
    ASSERT_EQ(font.w, 160);
    for (int c = 0; c < 256; c++) {
        int x0 = (c % 16) * 10, y0 = (c / 16) * 18;
        EXPECT_TRUE(c <= 32 || c >= 127 || ink_in(font, x0, y0, 8, 16) > 3) << "glyph " << c << " is blank";
        EXPECT_EQ(ink_in(font, x0 + 8, y0, 2, 18) + ink_in(font, x0, y0 + 16, 8, 2), 0) << "glyph " << c << " spills";
    }
    EXPECT_EQ(ink_in(font, 0, 0, 160, 36), 0) << "control codes must draw nothing";
    for (const char* p : {"O0", "l1", "Il", "S5", "B8"})
        EXPECT_FALSE(same_block(font, p[0] % 16 * 10, p[0] / 16 * 18, p[1] % 16 * 10, p[1] / 16 * 18, 10, 18)) << p;
}

// Sprites are turned about their centre, so a figure touching its cell's
// border would drag a neighbour's edge along.
TEST(AssetsGfx, CharacterCellsKeepClearOfTheirBorder)
{
    Bitmap ch = picture("gfx/characters.bmp");
    ASSERT_EQ(ch.w, 640);
    for (int cell = 0; cell < 30; cell++) {
        int x0 = cell % 10 * 64, y0 = cell / 10 * 64;
        EXPECT_GT(ink_in(ch, x0, y0, 64, 64), 250) << "cell " << cell;
        EXPECT_EQ(ink_in(ch, x0, y0, 64, 64), ink_in(ch, x0 + 1, y0 + 1, 62, 62)) << "cell " << cell;
    }
}

TEST(AssetsGfx, TileLoopsMoveAndNoTileHasHoles)
{
    Bitmap t = picture("gfx/tiles.bmp");
    ASSERT_EQ(t.w, 512);
    auto x = [](int i) { return i % 16 * 32; };
    auto y = [](int i) { return i / 16 * 32; };
    // Four loops of eight frames from cell 128.
    for (int first = 128; first < 160; first += 8) {
        int distinct = 0;
        for (int a = first, f = 0; f < 8; f++, a++) {
            int b = first + (f + 1) % 8;
            distinct += !same_block(t, x(a), y(a), x(b), y(b), 32, 32);
        }
        EXPECT_GE(distinct, 6) << "loop at " << first << " barely moves";
    }
    // Only the tree crown (42) and the chain-link fence (79) are meant to be
    // seen through; cells from 192 on are unused.
    for (int i = 0; i < 192; i++)
        EXPECT_TRUE(i == 42 || i == 79 || ink_in(t, x(i), y(i), 32, 32) == 32 * 32) << "cell " << i << " has holes";
}

// The title's background repeats every tile: its left column must continue
// from its right one and its top row from its bottom one.
TEST(AssetsGfx, TitleBackgroundTilesWithoutSeams)
{
    Bitmap bg = picture("gfx/background.bmp");
    ASSERT_EQ(bg.w, 64);
    auto luma = [&](int x, int y) { return (bg.at(x, y)[0] * 3 + bg.at(x, y)[1] * 6 + bg.at(x, y)[2]) / 10; };
    long wrap = 0, inside = 0;
    for (int i = 0; i < 64; i++) {
        wrap += std::abs(luma(63, i) - luma(0, i)) + std::abs(luma(i, 63) - luma(i, 0));
        inside += std::abs(luma(31, i) - luma(32, i)) + std::abs(luma(i, 31) - luma(i, 32));
    }
    EXPECT_EQ(ink_in(bg, 0, 0, 64, 64), 64 * 64);
    EXPECT_LE(wrap, inside * 2 + 64) << "the background shows a seam where it repeats";
}

} // namespace
