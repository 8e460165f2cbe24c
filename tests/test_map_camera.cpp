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

TEST(Camera, SmallMapIsCentredWhateverThePlayerDoes)
{
    load_empty_map(20, 10); // 640 x 320 units
    for (int px : {0, 300, 608, 5000}) {
        place_camera(px, px);
        EXPECT_EQ(camera_x, -80);
        EXPECT_EQ(camera_y, -108); // (536 - 320) / 2
    }
    // Odd leftovers truncate toward zero: 800 - 32 * 25 = 0 is no border at all,
    // 536 - 32 * 15 = 56 gives 28.
    load_empty_map(25, 15);
    place_camera(100, 100);
    EXPECT_EQ(camera_x, 0);
    EXPECT_EQ(camera_y, -28);
}

TEST(Camera, FollowsThePlayerAndStopsAtTheEdges)
{
    load_empty_map(100, 100); // 3200 x 3200 units
    place_camera(384, 252);
    EXPECT_EQ(camera_x, 0);
    EXPECT_EQ(camera_y, 0);
    place_camera(385, 253);
    EXPECT_EQ(camera_x, 1);
    EXPECT_EQ(camera_y, 1);
    place_camera(3000, 3000);
    EXPECT_EQ(camera_x, 2400); // 3200 - 800
    EXPECT_EQ(camera_y, 2664); // 3200 - 536
    place_camera(-50, -50);
    EXPECT_EQ(camera_x, 0);
    EXPECT_EQ(camera_y, 0);
    // The last positions that still follow, and the first that stop.
    place_camera(2784, 2916);
    EXPECT_EQ(camera_x, 2400);
    EXPECT_EQ(camera_y, 2664);
    place_camera(2785, 2917);
    EXPECT_EQ(camera_x, 2400);
    EXPECT_EQ(camera_y, 2664);
    place_camera(2783, 2915);
    EXPECT_EQ(camera_x, 2399);
    EXPECT_EQ(camera_y, 2663);
}
