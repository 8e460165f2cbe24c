// Behaviour of the other characters: chasing, re-planning, shooting and the
// sight ray, driven tick by tick as the world update drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "characters/behaviour.h"
#include "characters/movement.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "core/states.h"
#include "test_characters_world.h"

namespace {

class Behaviour : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(3);
        run_active = 1;
        psychosis = 100;
        steroids_timer = 0;
    }
    void TearDown() override
    {
        free_characters();
        free_bullets();
        run_active = 0;
    }
};

int count_bullets()
{
    int count = 0;
    for (const Bullet* b = bullet_list; b; b = b->next)
        count++;
    return count;
}

// The character part of one world tick, in the frame loop's order.
void world_tick()
{
    update_timers();
    regenerate_characters();
    update_characters();
    if (run_active && !player_out())
        update_shooting();
}

TEST_F(Behaviour, ArmedHeadsForTheCellThreeStepsShortOfThePlayer)
{
    open_map(12, 1);
    character* p = put_character(KIND_PLAYER, 5 * CELL_SIZE, 0);
    character* armed = put_character(KIND_ARMED, 0, 0);
    // The path to the player is 5 cells long: the destination is 2 steps
    // from the start, the waypoint the first step.
    ASSERT_EQ(1, chase(armed, p, CHASE_KEEP_BACK));
    EXPECT_EQ(2, armed->dest_x);
    EXPECT_EQ(0, armed->dest_y);
    EXPECT_EQ(32, armed->repath_timer);
    next_waypoint(armed);
    EXPECT_EQ(1, armed->waypoint_x);
    // Already heading for the player's cell: no new plan.
    armed->dest_x = 5;
    armed->repath_timer = 0;
    EXPECT_EQ(0, chase(armed, p, CHASE_KEEP_BACK));
    EXPECT_EQ(0, armed->repath_timer);

    // Walking it through: the armed character stops 3 cells before the
    // player and stays there.
    armed->x = 0;
    armed->waypoint_x = armed->dest_x = 0;
    armed->repath_timer = 0;
    p->x = 11 * CELL_SIZE;
    for (int tick = 0; tick < 600; tick++)
        world_tick();
    EXPECT_EQ(8 * CELL_SIZE, armed->x);
    EXPECT_EQ(0, armed->moving);
}

TEST_F(Behaviour, ArmedDoesNotReplanWithinTheMargin)
{
    open_map(12, 3);
    character* p = put_character(KIND_PLAYER, 6 * CELL_SIZE, CELL_SIZE);
    // 64 units between the boxes: inside the 96-unit margin.
    character* armed = put_character(KIND_ARMED, 3 * CELL_SIZE, CELL_SIZE);
    armed->repath_timer = 0;
    for (int tick = 0; tick < 40; tick++)
        world_tick();
    EXPECT_EQ(0, armed->repath_timer);
    EXPECT_EQ(3 * CELL_SIZE, armed->x);
    EXPECT_EQ(0, armed->moving);
    // 96 units apart it plans again, heading three steps short.
    armed->x = 2 * CELL_SIZE;
    armed->waypoint_x = 2;
    world_tick();
    EXPECT_EQ(ARMED_REPATH_TICKS, armed->repath_timer);
    EXPECT_EQ(3, armed->dest_x);
    (void)p;
}

TEST_F(Behaviour, ArmedFinishesItsWaypointThenWaitsForTheNextPlan)
{
    open_map(20, 1);
    put_character(KIND_PLAYER, 19 * CELL_SIZE, 0);
    character* armed = put_character(KIND_ARMED, 0, 0);
    armed->repath_timer = 0;
    world_tick(); // plans: destination 16, waypoint 1
    EXPECT_EQ(16, armed->dest_x);
    EXPECT_EQ(1, armed->waypoint_x);
    EXPECT_EQ(ARMED_REPATH_TICKS, armed->repath_timer);
    // Held back longer than a cell takes, it waits on cell 1 for the plan.
    armed->repath_timer = 50;
    for (int tick = 0; tick < 49; tick++)
        world_tick();
    EXPECT_EQ(CELL_SIZE, armed->x);
    EXPECT_EQ(1, armed->waypoint_x);
    world_tick();
    EXPECT_EQ(CELL_SIZE, armed->x);
    EXPECT_EQ(2, armed->waypoint_x);
    EXPECT_EQ(ARMED_REPATH_TICKS, armed->repath_timer);
    world_tick();
    EXPECT_EQ(CELL_SIZE + 1, armed->x);
}

TEST_F(Behaviour, ShootsAfterEachThreeHundredTicksOfSightWithinRange)
{
    const char* rows[] = {
        "..........",
        "..........",
        "..........",
        "....#.....",
        "..........",
    };
    drawn_map(rows, 5);
    character* p = put_character(KIND_PLAYER, 7 * CELL_SIZE, 3 * CELL_SIZE);
    // Spawned armed characters wait 300 ticks of sight for the first shot.
    character* armed = put_character(KIND_ARMED, 0, 0);
    armed->cooldown = SHOT_COOLDOWN;
    armed->repath_timer = 1000000; // stands still
    armed->x = 2 * CELL_SIZE;
    armed->y = 3 * CELL_SIZE; // behind the wall: 100 hidden ticks do nothing
    armed->waypoint_x = 2;
    armed->waypoint_y = 3;
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
    EXPECT_EQ(SHOT_COOLDOWN, armed->cooldown);
    // Facing the player, the bullet starts 32 units along the facing.
    float a = (float)armed->angle * DEGREES_TO_RADIANS;
    EXPECT_NEAR(armed->x + 12 + 32 * sinf(a), b->x, 0.01f);
    EXPECT_NEAR(armed->y + 12 - 32 * cosf(a), b->y, 0.01f);
    EXPECT_NEAR(a, b->angle, 1e-6f);
    for (int tick = 1; tick <= 300; tick++)
        world_tick();
    EXPECT_EQ(2, count_bullets());

    // Out of the 256-unit margin no shot, whatever the cooldown.
    armed->cooldown = 0;
    p->x = 9 * CELL_SIZE;
    armed->x = 0;
    p->y = 0;
    armed->y = 0;
    update_shooting();
    EXPECT_EQ(2, count_bullets());
    p->x = 32 + 256 - 1;
    update_shooting();
    EXPECT_EQ(3, count_bullets());
}

TEST_F(Behaviour, NoShotBeforeTheRunIsLiveOrAfterThePlayerIsOut)
{
    open_map(8, 2);
    character* p = put_character(KIND_PLAYER, 4 * CELL_SIZE, 0);
    character* armed = put_character(KIND_ARMED, 0, 0);
    run_active = 0;
    update_shooting();
    EXPECT_EQ(0, count_bullets());
    run_active = 1;
    p->health = 0;
    update_shooting();
    EXPECT_EQ(0, count_bullets());
    p->health = 100;
    psychosis = 0;
    update_shooting();
    EXPECT_EQ(0, count_bullets());
    psychosis = 100;
    update_shooting();
    EXPECT_EQ(1, count_bullets());
    (void)armed;
}

TEST_F(Behaviour, CivilianReplansAroundABlockingPlayerOnceItsTimerRunsOut)
{
    open_map(8, 2);
    character* c = put_character(KIND_CIVILIAN, 0, 0);
    ASSERT_EQ(1, find_path(c, 7, 0, 1));
    c->dest_x = 7;
    c->dest_y = 0;
    next_waypoint(c);
    c->repath_timer = 100;
    // The player steps into the corridor ahead once the plan is made.
    put_character(KIND_PLAYER, 3 * CELL_SIZE, 0);
    for (int tick = 0; tick < 90; tick++)
        world_tick();
    EXPECT_EQ(2 * CELL_SIZE, c->x); // pressed against the player
    EXPECT_EQ(0, c->y);
    EXPECT_EQ(3, c->waypoint_x);
    EXPECT_EQ(0, c->waypoint_y);
    bool arrived = false;
    for (int tick = 0; tick < 400 && !arrived; tick++) {
        world_tick();
        arrived = c->x == 7 * CELL_SIZE && c->y == 0;
    }
    EXPECT_TRUE(arrived);
}

TEST_F(Behaviour, CivilianPicksANewDestinationOnArrival)
{
    open_map(10, 10);
    character* c = put_character(KIND_CIVILIAN, 4 * CELL_SIZE, 4 * CELL_SIZE);
    put_character(KIND_PLAYER, 0, 0);
    c->repath_timer = 0;
    world_tick();
    EXPECT_TRUE(c->dest_x != 4 || c->dest_y != 4);
    EXPECT_NE(0, walk_grid[c->dest_y][c->dest_x]);
    EXPECT_LE(abs(c->waypoint_x - 4), 1);
    EXPECT_LE(abs(c->waypoint_y - 4), 1);
}

TEST_F(Behaviour, NoOtherFloorCellMeansNoNewDestination)
{
    // The civilian's own cell is the only floor: the draw must give up
    // rather than spin, and the destination stays.
    const char* rows[] = {"###", "#.#", "###"};
    drawn_map(rows, 3);
    character* c = put_character(KIND_CIVILIAN, CELL_SIZE, CELL_SIZE);
    EXPECT_EQ(0, pick_destination(c));
    EXPECT_EQ(1, c->dest_x);
    EXPECT_EQ(1, c->dest_y);
    // Two floor cells but the other one walled off by a character standing
    // on it: drawn, searched, not reached.
    walk_grid[1][2] = 1;
    put_character(KIND_ARMED, 2 * CELL_SIZE, CELL_SIZE);
    EXPECT_EQ(0, pick_destination(c));
    EXPECT_EQ(1, c->dest_x);
}

TEST_F(Behaviour, SightRayStopsAtTheFirstSolidSample)
{
    open_map(6, 3);
    character* a = put_character(KIND_ARMED, 0, 0);
    character* b = put_character(KIND_PLAYER, 50, 0);
    EXPECT_TRUE(line_of_sight(a, b));
    // The sample 32 units along the ray lies in a solid cell although the
    // box around it would touch b: the wall wins.
    set_solid(1, 0);
    EXPECT_FALSE(line_of_sight(a, b));
    // Close enough for the first sample, at a's own centre, to touch b.
    b->x = 31;
    EXPECT_TRUE(line_of_sight(a, b));
    // Beyond a wall the ray never arrives; along an open row it does.
    b->x = 4 * CELL_SIZE;
    EXPECT_FALSE(line_of_sight(a, b));
    a->y = b->y = 2 * CELL_SIZE;
    EXPECT_TRUE(line_of_sight(a, b));
    EXPECT_TRUE(line_of_sight(b, a));
}

} // namespace
