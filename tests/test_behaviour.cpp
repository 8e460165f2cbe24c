// Behaviour of the other characters: closing in, re-planning and shooting,
// driven tick by tick as the world update drives them.
#include <cmath>

#include "test_world.h"

namespace {

using Behaviour = WorldTest;

TEST_F(Behaviour, ArmedStopThreeCellsShortAndPlanAgainOnlyBeyondTheMargin)
{
    open_map(16, 1);
    character* p = put_character(KIND_PLAYER, 12 * CELL_SIZE, 0);
    character* armed = put_character(KIND_ARMED, 0, 0);
    for (int tick = 0; tick < 600; tick++)
        world_tick();
    EXPECT_EQ(9 * CELL_SIZE, armed->x);
    EXPECT_EQ(0, armed->moving);
    // 95 units between the boxes: inside the 96-unit margin, no new plan
    // however long the timer has run out.
    p->x = 9 * CELL_SIZE + CHARACTER_SIZE + 95;
    for (int tick = 0; tick < 40; tick++)
        world_tick();
    EXPECT_EQ(0, armed->repath_timer);
    EXPECT_EQ(9 * CELL_SIZE, armed->x);
    // 96 apart it plans again, toward the cell three steps short.
    p->x++;
    world_tick();
    EXPECT_EQ(ARMED_REPATH_TICKS, armed->repath_timer);
    EXPECT_EQ(10, armed->dest_x);
}

TEST_F(Behaviour, ArmedShootAfterEachThreeHundredTicksOfSightWithinRange)
{
    drawn_map({"..........", "..........", "..........", "....#.....", ".........."});
    character* p = put_character(KIND_PLAYER, 7 * CELL_SIZE, 3 * CELL_SIZE);
    // Standing still behind the wall, as spawned: 100 hidden ticks do nothing.
    character* armed = put_character(KIND_ARMED, 2 * CELL_SIZE, 3 * CELL_SIZE);
    armed->cooldown = SHOT_COOLDOWN;
    armed->repath_timer = 1000000;
    for (int tick = 0; tick < 100; tick++)
        world_tick();
    EXPECT_EQ(SHOT_COOLDOWN, armed->cooldown);
    armed->y = 0; // in sight from here on
    armed->waypoint_y = 0;
    for (int tick = 1; tick <= 300; tick++) {
        world_tick();
        ASSERT_EQ(tick < 300 ? 0 : 1, count_bullets()) << tick;
    }
    const Bullet* b = bullet_list;
    EXPECT_EQ(armed, b->owner);
    EXPECT_EQ(BULLET_SPEED_ARMED, b->speed);
    // Facing the player, the bullet starts 32 units along the facing.
    float a = (float)armed->angle * DEGREES_TO_RADIANS;
    EXPECT_NEAR(armed->x + 12 + 32 * sinf(a), b->x, 0.01f);
    EXPECT_NEAR(armed->y + 12 - 32 * cosf(a), b->y, 0.01f);
    EXPECT_NEAR(a, b->angle, 1e-6f);
    for (int tick = 1; tick <= 300; tick++)
        world_tick();
    EXPECT_EQ(2, count_bullets());
    // Beyond 256 units around the box no shot, whatever the cooldown.
    armed->cooldown = 0;
    armed->x = 0;
    p->y = 0;
    p->x = CHARACTER_SIZE + 256;
    update_shooting();
    EXPECT_EQ(2, count_bullets());
    p->x--;
    update_shooting();
    EXPECT_EQ(3, count_bullets());
}

TEST_F(Behaviour, CiviliansPlanAroundABlockerAndNeverSpinOverADestination)
{
    open_map(8, 2);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    ASSERT_EQ(1, find_path(c, 7, 0, 1));
    c->dest_x = 7;
    next_waypoint(c);
    c->repath_timer = 100;
    // The player steps into the corridor ahead once the plan is made: the
    // civilian presses against it until its timer lets it plan around.
    put_character(KIND_PLAYER, 3 * CELL_SIZE, 0);
    for (int tick = 0; tick < 90; tick++)
        world_tick();
    EXPECT_EQ(2 * CELL_SIZE, c->x);
    EXPECT_EQ(0, c->y);
    int ticks = 0;
    while (ticks++ < 400 && (c->x != 7 * CELL_SIZE || c->y != 0))
        world_tick();
    EXPECT_LT(ticks, 400);

    // With its own cell the only floor, or the only other one taken, the
    // draw gives up rather than spin, and the destination stays.
    drawn_map({"###", "#.#", "###"});
    c = put_character(KIND_CIVILIAN, CELL_SIZE, CELL_SIZE);
    EXPECT_EQ(0, pick_destination(c));
    walk_grid[1][2] = 1;
    put_character(KIND_ARMED, 2 * CELL_SIZE, CELL_SIZE);
    EXPECT_EQ(0, pick_destination(c));
    EXPECT_EQ(1, c->dest_x);
    EXPECT_EQ(1, c->dest_y);
}

} // namespace
