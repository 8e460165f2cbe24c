// The picture generator keeps the transparent key unique: a colour it draws
// near magenta is pushed away from it, and shapes leave no blended rim
// between their colour and the key. Today's pictures hold no such colour,
// so the asset checks alone would not notice the rule gone.
#include <gtest/gtest.h>

#include "raster.h"

TEST(GfxRaster, OnlyExactMagentaReadsAsTheKey)
{
    Image im = make_image(20, 20, MAGENTA);
    put_px(im, 1, 1, {250, 10, 240});
    EXPECT_FALSE(near_magenta(get_px(im, 1, 1))) << "a colour close to the key must be pushed away from it";
    put_px(im, 1, 1, MAGENTA);
    fill_ellipse(im, 10, 10, 6.3f, 6.3f, {200, 30, 30});
    draw_line(im, 2, 18, 18, 2, 2.5f, {30, 200, 30});
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            Rgb c = get_px(im, x, y);
            EXPECT_TRUE(same_colour(c, MAGENTA) || same_colour(c, {200, 30, 30}) || same_colour(c, {30, 200, 30}))
                << x << "," << y;
        }
}
