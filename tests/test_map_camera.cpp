// The camera: centred over small maps, following the player, stopping at
// the map's edges.
#include <gtest/gtest.h>

#include <vector>

#include "world/camera.h"
#include "world/map.h"

namespace {

void load_empty_map(int w, int h)
{
    std::vector<unsigned char> m(map_file_size(w, h, 0), 1);
    m[MAP_HEADER_SIZE] = (unsigned char)w;
    m[MAP_HEADER_SIZE + 1] = (unsigned char)h;
    m[MAP_HEADER_SIZE + 2] = 0;
    load_map_bytes("camera.map", m.data(), m.size());
}

} // namespace

TEST(Camera, CentresSmallMapsFollowsThePlayerAndStopsAtTheEdges)
{
    const struct { int w, h, px, py, x, y; } cases[] = {
        // 640 x 320 units: centred whatever the player does.
        {20, 10, 0, 0, -80, -108}, {20, 10, 300, 300, -80, -108}, {20, 10, 5000, 5000, -80, -108},
        // Odd leftovers truncate toward zero: 800 - 32 * 25 is no border at
        // all, 536 - 32 * 15 = 56 gives 28.
        {25, 15, 100, 100, 0, -28},
        // 3200 x 3200 units: follows, stopping at 0 and at 3200 - 800, 3200 - 536.
        {100, 100, 384, 252, 0, 0}, {100, 100, 385, 253, 1, 1}, {100, 100, -50, -50, 0, 0},
        {100, 100, 3000, 3000, 2400, 2664}, {100, 100, 2784, 2916, 2400, 2664},
        {100, 100, 2785, 2917, 2400, 2664}, {100, 100, 2783, 2915, 2399, 2663},
    };
    for (auto c : cases) {
        load_empty_map(c.w, c.h);
        place_camera(c.px, c.py);
        EXPECT_EQ(camera_x, c.x) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
        EXPECT_EQ(camera_y, c.y) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
    }
}
