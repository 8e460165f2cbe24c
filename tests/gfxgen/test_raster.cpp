// The picture generator's raster library: the transparent key stays unique
// and hard-edged, outlines stay inside their cells, tiles made from the
// periodic noise join without seams, and the files it writes decode to the
// pixels it drew.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fonts.h"
#include "raster.h"

namespace {

std::vector<unsigned char> slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

uint32_t be32(const std::vector<unsigned char>& b, size_t at)
{
    return ((uint32_t)b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

int count_ink(const Image& im)
{
    int n = 0;
    for (int y = 0; y < im.h; y++)
        for (int x = 0; x < im.w; x++) n += is_ink(im, x, y);
    return n;
}

TEST(GfxRaster, KeyColourStaysUniqueAndShapesHaveHardEdges)
{
    Image im = make_image(8, 8, MAGENTA);
    put_px(im, 1, 1, {250, 10, 240});
    Rgb nudged = get_px(im, 1, 1);
    EXPECT_FALSE(near_magenta(nudged)) << "a colour close to the key must be pushed away from it";
    EXPECT_FALSE(same_colour(nudged, MAGENTA));
    put_px(im, 2, 2, MAGENTA);
    EXPECT_TRUE(is_key(im, 2, 2)) << "exact magenta is still writable on purpose";
    put_px(im, -1, 3, {1, 2, 3}); // outside: ignored, no crash
    put_px(im, 8, 3, {1, 2, 3});

    // Shapes write exactly their colour: no blended rim between it and the key.
    Image disc = make_image(20, 20, MAGENTA);
    fill_ellipse(disc, 10, 10, 6.3f, 6.3f, {200, 30, 30});
    draw_line(disc, 2, 18, 18, 2, 2.5f, {30, 200, 30});
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            Rgb c = get_px(disc, x, y);
            EXPECT_TRUE(same_colour(c, MAGENTA) || same_colour(c, {200, 30, 30}) || same_colour(c, {30, 200, 30}))
                << x << "," << y;
        }
    Image dot = make_image(5, 5, MAGENTA);
    fill_ellipse(dot, 2.5f, 2.5f, 0.5f, 0.5f, {9, 9, 9});
    EXPECT_EQ(count_ink(dot), 1) << "a half-pixel radius marks its centre pixel only";
}

TEST(GfxRaster, OutlineRingsEachCellWithoutTouchingItsNeighbour)
{
    // Two cells of 6 side by side, a pixel at the right edge of the first.
    Image im = make_image(12, 6, MAGENTA);
    put_px(im, 5, 2, {200, 200, 200});
    outline_rect(im, 0, 0, 6, 6, {1, 1, 1}, false);
    EXPECT_TRUE(same_colour(get_px(im, 4, 2), {1, 1, 1}));
    EXPECT_TRUE(same_colour(get_px(im, 5, 1), {1, 1, 1}));
    EXPECT_TRUE(same_colour(get_px(im, 5, 3), {1, 1, 1}));
    EXPECT_TRUE(is_key(im, 6, 2)) << "the outline must not spill into the next cell";
    EXPECT_TRUE(is_key(im, 4, 1)) << "four-neighbour outline leaves the diagonals";
    EXPECT_EQ(count_ink(im), 4);
    outline_rect(im, 0, 0, 6, 6, {2, 2, 2}, true);
    EXPECT_TRUE(same_colour(get_px(im, 3, 2), {2, 2, 2})) << "a second pass rings the first outline";
    EXPECT_TRUE(same_colour(get_px(im, 4, 1), {2, 2, 2}));
}

TEST(GfxRaster, PeriodicNoiseWrapsAndRandomnessRepeatsFromItsSeed)
{
    for (int i = 0; i < 50; i++) {
        float x = i * 0.37f, y = i * 0.91f;
        // Equal up to the rounding of the shifted coordinate.
        EXPECT_NEAR(value_noise(x, y, 7, 8), value_noise(x + 8, y, 7, 8), 1e-4);
        EXPECT_NEAR(value_noise(x, y, 7, 8), value_noise(x, y - 16, 7, 8), 1e-4);
        float f = fractal_noise(x, y, 9, 4, 3);
        EXPECT_NEAR(f, fractal_noise(x + 4, y + 4, 9, 4, 3), 1e-4);
        EXPECT_GE(f, 0.0f);
        EXPECT_LE(f, 1.0f);
    }
    rng_seed(1234);
    std::vector<uint32_t> first;
    for (int i = 0; i < 8; i++) first.push_back(rng_next());
    rng_seed(1234);
    for (int i = 0; i < 8; i++) EXPECT_EQ(rng_next(), first[i]);
    for (int i = 0; i < 1000; i++) {
        int v = rng_range(-2, 2);
        EXPECT_GE(v, -2);
        EXPECT_LE(v, 2);
    }
}

// A 13-pixel row is 39 bytes and needs one byte of padding: the classic
// place for a BMP writer to go wrong.
TEST(GfxRaster, BmpAndPngFilesHoldThePixelsDrawn)
{
    Image im = make_image(13, 3, MAGENTA);
    for (int x = 0; x < 13; x++) put_px(im, x, 0, {x * 10, 100, 200 - x});
    put_px(im, 12, 2, {1, 2, 3});
    std::string dir = ::testing::TempDir();
    write_bmp(im, dir + "gfx_raster.bmp");
    std::vector<unsigned char> b = slurp(dir + "gfx_raster.bmp");
    ASSERT_EQ(b.size(), 54u + 40u * 3);
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ((int)le32(b, 18), 13);
    EXPECT_EQ((int)le32(b, 22), 3);
    EXPECT_EQ(b[28], 24);
    // Bottom-up: the file's first row is the image's last.
    EXPECT_EQ(b[54 + 12 * 3 + 0], 3); // blue of (12, 2)
    EXPECT_EQ(b[54 + 12 * 3 + 2], 1); // red
    size_t top = 54 + 2 * 40;
    EXPECT_EQ(b[top + 5 * 3 + 2], 50);
    EXPECT_EQ(b[top + 39], 0) << "padding byte";

    write_png(im, dir + "gfx_raster.png", true);
    std::vector<unsigned char> p = slurp(dir + "gfx_raster.png");
    ASSERT_GT(p.size(), 33u);
    EXPECT_EQ(p[1], 'P');
    EXPECT_EQ(be32(p, 16), 13u);
    EXPECT_EQ(be32(p, 20), 3u);
    EXPECT_EQ(p[25], 6) << "RGBA when the key is made transparent";
    size_t at = 33;
    std::vector<unsigned char> z;
    while (at + 8 <= p.size()) {
        uint32_t n = be32(p, at);
        std::string type(p.begin() + at + 4, p.begin() + at + 8);
        ASSERT_LE(at + 12 + n, p.size());
        uint32_t crc = (uint32_t)crc32(0, &p[at + 4], n + 4);
        EXPECT_EQ(crc, be32(p, at + 8 + n)) << type;
        if (type == "IDAT") z.insert(z.end(), p.begin() + at + 8, p.begin() + at + 8 + n);
        at += 12 + n;
    }
    std::vector<unsigned char> raw(3 * (1 + 13 * 4));
    uLongf len = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &len, z.data(), z.size()), Z_OK);
    ASSERT_EQ(len, raw.size());
    const unsigned char* row0 = &raw[1];
    EXPECT_EQ(row0[4 * 5 + 0], 50);
    EXPECT_EQ(row0[4 * 5 + 3], 255);
    const unsigned char* row1 = &raw[(1 + 13 * 4) + 1];
    EXPECT_EQ(row1[3], 0) << "magenta becomes fully transparent";
}

TEST(GfxRaster, LetteringMasksCropToTheirInkAndGrow)
{
    font_dir = DEJAVU_DIR;
    Mask m = text_mask("DejaVuSans-Bold.ttf", 40, 1.0f, "HI", 2);
    ASSERT_GT(m.w, 20);
    ASSERT_GT(m.h, 20);
    int left = 0, inked = 0;
    for (int y = 0; y < m.h; y++) {
        left += mask_on(m, 2, y);
        for (int x = 0; x < m.w; x++) inked += mask_on(m, x, y);
    }
    EXPECT_GT(left, 10) << "the H's stem starts right after the padding";
    for (int y = 0; y < m.h; y++) EXPECT_FALSE(mask_on(m, 1, y)) << "padding column " << y;
    Mask grown = dilate(m, 2);
    int grown_ink = 0;
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            if (mask_on(m, x, y)) {
                EXPECT_TRUE(mask_on(grown, x, y));
            }
            grown_ink += mask_on(grown, x, y);
        }
    EXPECT_GT(grown_ink, inked);
    EXPECT_TRUE(mask_on(grown, 0, m.h / 2)) << "two pixels of growth reach the mask's edge";
}

} // namespace
