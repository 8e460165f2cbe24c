// The pictures of the built assets.bin, read back through the game's own
// archive reader: sizes and format the loaders rely on, the transparent key
// kept unique, and sheets whose cells hold what the drawing code cuts out.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/archive.h"

namespace {

const char* ARCHIVE = "assets.bin";

struct Bitmap {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb; // top row first
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

// Decodes a 24-bit bottom-up BMP; any other kind (depth, compression, row
// order) fails the size check or leaves an empty picture.
Bitmap load_picture(const std::string& name)
{
    Bitmap bm;
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress(ARCHIVE, name.c_str(), &size);
    EXPECT_NE(data, nullptr) << name << " missing from " << ARCHIVE;
    std::vector<uint8_t> b(data, data + (data ? size : 0));
    free(data);
    if (b.size() < 54) return bm;
    uint32_t offset = le32(b, 10);
    int w = (int)le32(b, 18), h = (int)le32(b, 22);
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    EXPECT_EQ(b.size(), offset + stride * h) << name << ": pixel data cut short or followed by more";
    if (w <= 0 || h <= 0 || b.size() < offset + stride * h) return bm;
    bm.w = w;
    bm.h = h;
    bm.rgb.resize((size_t)w * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++) // stored blue, green, red
                bm.rgb[((size_t)y * w + x) * 3 + c] = b[offset + (size_t)(h - 1 - y) * stride + (size_t)x * 3 + 2 - c];
    return bm;
}

bool is_key(const Bitmap& bm, int x, int y)
{
    const uint8_t* p = &bm.rgb[((size_t)y * bm.w + x) * 3];
    return p[0] == 255 && p[1] == 0 && p[2] == 255;
}

// Red and blue both high with little green reads as the key on screen.
bool near_key(const uint8_t* p) { return p[0] >= 160 && p[2] >= 160 && p[1] <= 96; }

int ink_in(const Bitmap& bm, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) n += !is_key(bm, x, y);
    return n;
}

bool same_block(const Bitmap& bm, int ax, int ay, int bx, int by, int w, int h)
{
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++)
                if (bm.rgb[((size_t)(ay + y) * bm.w + ax + x) * 3 + c] != bm.rgb[((size_t)(by + y) * bm.w + bx + x) * 3 + c])
                    return false;
    return true;
}

struct Expected {
    const char* name;
    int w, h; // 0 for pictures free-sized within the window
};

const Expected PICTURES[17] = {
    {"gfx/font.bmp", 160, 288},      {"gfx/harrowkiln.bmp", 0, 0}, {"gfx/logo.bmp", 0, 0},
    {"gfx/background.bmp", 64, 64},  {"gfx/crosshair.bmp", 58, 29}, {"gfx/scoreboard.bmp", 1, 64},
    {"gfx/bar.bmp", 58, 23},         {"gfx/bar2.bmp", 156, 28},    {"gfx/tiles.bmp", 512, 512},
    {"gfx/characters.bmp", 640, 192}, {"gfx/items.bmp", 48, 24},    {"gfx/bullet.bmp", 13, 13},
    {"gfx/spawn.bmp", 392, 56},      {"gfx/gunfire.bmp", 48, 16},  {"gfx/ricochet.bmp", 160, 32},
    {"gfx/blood.bmp", 128, 32},      {"gfx/messages.bmp", 424, 316},
};

TEST(AssetsGfx, EveryPictureHasItsSizeAndOnlyExactMagentaIsTransparent)
{
    for (const Expected& e : PICTURES) {
        Bitmap bm = load_picture(e.name);
        ASSERT_GT(bm.w, 0) << e.name;
        if (e.w) {
            EXPECT_EQ(bm.w, e.w) << e.name;
            EXPECT_EQ(bm.h, e.h) << e.name;
        } else {
            EXPECT_LE(bm.w, 800) << e.name;
            EXPECT_LE(bm.h, 600) << e.name;
            EXPECT_GE(bm.w, 200) << e.name << " is meant to fill the screen's middle";
        }
        int near = 0;
        for (size_t i = 0; i < bm.rgb.size(); i += 3) {
            const uint8_t* p = &bm.rgb[i];
            if (near_key(p) && !(p[0] == 255 && p[1] == 0 && p[2] == 255)) near++;
        }
        EXPECT_EQ(near, 0) << e.name << " has colours close to the transparent magenta";
        EXPECT_GT(ink_in(bm, 0, 0, bm.w, bm.h), 0) << e.name << " is empty";
    }
}

// Text advances 8 pixels a glyph and 16 a line over cells of 10 x 18: a
// glyph's ink (shadow included) must stay in the cell's first 8 columns and
// 16 rows, or neighbouring glyphs and lines would overwrite each other.
TEST(AssetsGfx, FontGlyphsArePresentAndFitTheirAdvance)
{
    Bitmap font = load_picture("gfx/font.bmp");
    ASSERT_EQ(font.w, 160);
    ASSERT_EQ(font.h, 288);
    for (int c = 0; c < 256; c++) {
        int x0 = (c % 16) * 10, y0 = (c / 16) * 18;
        if (c > 32 && c < 127) {
            EXPECT_GT(ink_in(font, x0, y0, 8, 16), 3) << "glyph " << c << " is blank";
        }
        EXPECT_EQ(ink_in(font, x0 + 8, y0, 2, 18), 0) << "glyph " << c << " spills into the next glyph";
        EXPECT_EQ(ink_in(font, x0, y0 + 16, 8, 2), 0) << "glyph " << c << " spills into the next line";
    }
    EXPECT_EQ(ink_in(font, 0, 0, 160, 36), 0) << "control codes must draw nothing";
    // Letters that are easily confused must differ.
    const char pairs[][2] = {{'O', '0'}, {'l', '1'}, {'I', 'l'}, {'S', '5'}, {'B', '8'}};
    for (const auto& p : pairs)
        EXPECT_FALSE(same_block(font, (p[0] % 16) * 10, (p[0] / 16) * 18, (p[1] % 16) * 10, (p[1] / 16) * 18, 10, 18))
            << p[0] << " and " << p[1];
}

// Sprites are turned about their centre and drawn with a shadow, so each
// figure must keep clear of its cell's border or it would drag a neighbour's
// edge along.
TEST(AssetsGfx, CharacterCellsHoldOneFigureEachClearOfTheBorder)
{
    Bitmap ch = load_picture("gfx/characters.bmp");
    ASSERT_EQ(ch.w, 640);
    for (int kind = 0; kind < 3; kind++)
        for (int pose = 0; pose < 10; pose++) {
            int x0 = pose * 64, y0 = kind * 64;
            EXPECT_GT(ink_in(ch, x0, y0, 64, 64), 250) << "kind " << kind << " pose " << pose;
            int border = ink_in(ch, x0, y0, 64, 1) + ink_in(ch, x0, y0 + 63, 64, 1) + ink_in(ch, x0, y0, 1, 64) +
                         ink_in(ch, x0 + 63, y0, 1, 64);
            EXPECT_EQ(border, 0) << "kind " << kind << " pose " << pose;
        }
    // Walking must move something: the four walking frames differ from the
    // standing pose and from each other's neighbours.
    for (int kind = 0; kind < 3; kind++)
        for (int f = 0; f < 4; f++)
            EXPECT_FALSE(same_block(ch, f * 64, kind * 64, (f + 1) * 64, kind * 64, 64, 64)) << kind << " " << f;
}

TEST(AssetsGfx, TileLoopsAnimateAndFloorsHaveNoHoles)
{
    Bitmap t = load_picture("gfx/tiles.bmp");
    ASSERT_EQ(t.w, 512);
    auto cell_x = [](int i) { return (i % 16) * 32; };
    auto cell_y = [](int i) { return (i / 16) * 32; };
    for (int first : {128, 136, 144, 152}) {
        int distinct = 0;
        for (int f = 0; f < 8; f++) {
            int a = first + f, b = first + (f + 1) % 8;
            EXPECT_EQ(ink_in(t, cell_x(a), cell_y(a), 32, 32), 32 * 32) << "cell " << a;
            distinct += !same_block(t, cell_x(a), cell_y(a), cell_x(b), cell_y(b), 32, 32);
        }
        EXPECT_GE(distinct, 6) << "loop at " << first << " barely moves";
    }
    // Floors, walls and roofs are solid; only the tree crown (42) and the
    // chain-link fence (79) are meant to be seen through. Cells from 192 on
    // are unused.
    for (int i = 0; i < 192; i++) {
        if (i == 42 || i == 79) continue;
        EXPECT_EQ(ink_in(t, cell_x(i), cell_y(i), 32, 32), 32 * 32) << "cell " << i << " has holes";
    }
}

TEST(AssetsGfx, PanelsAndEffectSheetsFillTheRectanglesTheGameCuts)
{
    Bitmap bar = load_picture("gfx/bar.bmp");
    ASSERT_EQ(bar.w, 58);
    EXPECT_EQ(ink_in(bar, 0, 0, 57, 23), 57 * 23) << "the small bar's frame is solid";
    EXPECT_EQ(ink_in(bar, 57, 2, 1, 16), 16) << "the small bar's fill column";
    Bitmap bar2 = load_picture("gfx/bar2.bmp");
    ASSERT_EQ(bar2.w, 156);
    EXPECT_EQ(ink_in(bar2, 0, 0, 154, 28), 154 * 28);
    EXPECT_EQ(ink_in(bar2, 154, 2, 2, 24), 2 * 24) << "health and psychosis fill columns";
    EXPECT_FALSE(same_block(bar2, 154, 2, 155, 2, 1, 24)) << "the two meters need their own colours";
    Bitmap board = load_picture("gfx/scoreboard.bmp");
    EXPECT_EQ(ink_in(board, 0, 0, 1, 64), 64);

    struct Strip {
        const char* name;
        int cell, cells;
    };
    const Strip strips[] = {{"gfx/crosshair.bmp", 29, 2}, {"gfx/items.bmp", 24, 2}, {"gfx/spawn.bmp", 56, 7},
                            {"gfx/gunfire.bmp", 16, 3},   {"gfx/ricochet.bmp", 32, 5}, {"gfx/blood.bmp", 32, 4}};
    for (const Strip& s : strips) {
        Bitmap bm = load_picture(s.name);
        ASSERT_EQ(bm.w, s.cell * s.cells) << s.name;
        for (int i = 0; i < s.cells; i++) {
            EXPECT_GT(ink_in(bm, i * s.cell, 0, s.cell, s.cell), 0) << s.name << " cell " << i;
            if (i > 0) {
                EXPECT_FALSE(same_block(bm, i * s.cell, 0, (i - 1) * s.cell, 0, s.cell, s.cell)) << s.name << " " << i;
            }
        }
    }
    Bitmap msg = load_picture("gfx/messages.bmp");
    ASSERT_EQ(msg.h, 316);
    for (int k = 0; k < 4; k++) {
        EXPECT_GT(ink_in(msg, 0, 79 * k, 424, 79), 424 * 79 / 4) << "banner " << k;
        for (int j = 0; j < k; j++) EXPECT_FALSE(same_block(msg, 0, 79 * k, 0, 79 * j, 424, 79)) << k << " " << j;
    }
}

// The title background is drawn as a 128-pixel tiling: its left column must
// continue from its right one and its top row from its bottom one.
TEST(AssetsGfx, TitleBackgroundTilesWithoutSeams)
{
    Bitmap bg = load_picture("gfx/background.bmp");
    ASSERT_EQ(bg.w, 64);
    auto luma = [&](int x, int y) {
        const uint8_t* p = &bg.rgb[((size_t)y * 64 + x) * 3];
        return (p[0] * 3 + p[1] * 6 + p[2]) / 10;
    };
    // Compare the jump across the wrap with the jumps inside the picture.
    long wrap = 0, inside = 0;
    for (int i = 0; i < 64; i++) {
        wrap += std::abs(luma(63, i) - luma(0, i)) + std::abs(luma(i, 63) - luma(i, 0));
        inside += std::abs(luma(31, i) - luma(32, i)) + std::abs(luma(i, 31) - luma(i, 32));
    }
    EXPECT_EQ(ink_in(bg, 0, 0, 64, 64), 64 * 64);
    EXPECT_LE(wrap, inside * 2 + 64) << "the background shows a seam where it repeats";
}

} // namespace
