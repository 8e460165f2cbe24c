// Movement: unit steps one axis at a time against walls and other boxes,
// the walk animation and the facing of the other characters.
#include <gtest/gtest.h>

#include "characters/movement.h"
#include "characters/player.h"
#include "test_characters_world.h"

namespace {

class Movement : public ::testing::Test {
protected:
    void SetUp() override { steroids_timer = 0; }
    void TearDown() override { free_characters(); }
};

TEST_F(Movement, OverlappingCharactersCannotWalkApart)
{
    open_map(6, 6);
    character* a = put_character(KIND_PLAYER, 64, 64);
    character* b = put_character(KIND_CIVILIAN, 64, 64);
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            EXPECT_EQ(0, move_character(a, dx, dy));
            EXPECT_EQ(0, move_character(b, dx, dy));
        }
    EXPECT_EQ(64, a->x);
    EXPECT_EQ(64, b->y);
    // Boxes that merely touch move apart freely but cannot close in.
    b->x = 96;
    EXPECT_EQ(0, move_character(b, -1, 0));
    EXPECT_EQ(1, move_character(b, 1, 0));
    EXPECT_EQ(97, b->x);
}

TEST_F(Movement, DiagonalPushSlidesAlongWalls)
{
    const char* rows[] = {
        "..#",
        "...",
        "...",
    };
    drawn_map(rows, 3);
    // Against the wall to the east: only the southward half of the step.
    character* c = put_character(KIND_CIVILIAN, 32, 0);
    EXPECT_EQ(1, move_character(c, 1, 1));
    EXPECT_EQ(32, c->x);
    EXPECT_EQ(1, c->y);
    EXPECT_EQ(1, c->moving);
    // At the east border of the map nothing lets the box out.
    c->x = 64;
    c->y = 32;
    EXPECT_EQ(0, move_character(c, 1, 0));
    EXPECT_EQ(64, c->x);
    EXPECT_EQ(0, c->moving);
    // Below 0 neither.
    c->x = 0;
    c->y = 0;
    EXPECT_EQ(1, move_character(c, -1, 1));
    EXPECT_EQ(0, c->x);
    EXPECT_EQ(1, c->y);
    // A box straddling a solid cell's corner is refused on that axis.
    c->x = 32;
    c->y = 1;
    EXPECT_EQ(1, move_character(c, 1, -1));
    EXPECT_EQ(32, c->x);
    EXPECT_EQ(0, c->y);
}

TEST_F(Movement, ThirteenStepsAdvanceTheWalkFrame)
{
    open_map(4, 4);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    for (int step = 1; step <= 13; step++) {
        ASSERT_EQ(1, move_character(c, step % 2 ? 1 : -1, 0));
        EXPECT_EQ(step == 13 ? 1 : 0, c->frame) << step;
    }
    EXPECT_EQ(12, c->frame_timer);
    for (int step = 0; step < 3 * 13; step++)
        move_character(c, step % 2 ? -1 : 1, 0);
    EXPECT_EQ(0, c->frame); // 3 wraps to 0
    move_character(c, 1, 0);
    // A (0, 0) step is refused and resets to the standing pose.
    EXPECT_EQ(0, move_character(c, 0, 0));
    EXPECT_EQ(0, c->frame);
    EXPECT_EQ(12, c->frame_timer);
    EXPECT_EQ(0, c->moving);
}

TEST_F(Movement, FacingFollowsTheStepOrThePlayerInSight)
{
    const char* rows[] = {
        ".....",
        ".....",
        "..#..",
        ".....",
    };
    drawn_map(rows, 4);
    character* p = put_character(KIND_PLAYER, 4 * CELL_SIZE, 0);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    const int expected[3][3] = {{315, 0, 45}, {270, -1, 90}, {225, 180, 135}};
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            c->angle = 77;
            face_character(c, dx, dy);
            EXPECT_EQ(dx || dy ? expected[dy + 1][dx + 1] : 77, c->angle) << dx << "," << dy;
        }
    // An armed character that sees the player faces it whatever the step;
    // hidden behind the wall it faces its step.
    character* armed = put_character(KIND_ARMED, 0, 0);
    face_character(armed, 0, 1);
    EXPECT_EQ(90, armed->angle);
    p->x = 4 * CELL_SIZE;
    p->y = 3 * CELL_SIZE;
    armed->x = 0;
    armed->y = CELL_SIZE;
    face_character(armed, 0, 1);
    EXPECT_EQ(180, armed->angle);
}

} // namespace
