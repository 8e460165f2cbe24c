// Bullet flight: one unit per step with walls and the player tested after
// every step, ricochets, hits and the list that holds them.
#include "test_player_support.h"

#include <cmath>

using namespace fight_test;

namespace {

const float EAST = (float)(M_PI / 2);
const float WEST = (float)(3 * M_PI / 2);

Bullet* fire(float x, float y, float angle, int speed)
{
    Bullet* b = new_bullet();
    b->x = x;
    b->y = y;
    b->angle = angle;
    b->speed = speed;
    return b;
}

class Bullets : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(3);
        // 20 x 20 cells, solid border, and one solid cell at column 10, row 3.
        load_test_map(20, 20, [](int c, int r) {
            return c > 0 && r > 0 && c < 19 && r < 19 && !(c == 10 && r == 3);
        });
        start_run(320, 320);
    }
    void TearDown() override
    {
        close_sound();
        free_characters();
        free_bullets();
    }
};

TEST_F(Bullets, ListKeepsFiringOrderThroughDeletes)
{
    Bullet* a = fire(0, 0, 0, 1);
    Bullet* b = fire(0, 0, 0, 1);
    Bullet* c = fire(0, 0, 0, 1);
    Bullet* d = fire(0, 0, 0, 1);
    EXPECT_EQ(bullet_list, a);
    EXPECT_EQ(d->next, nullptr);
    delete_bullet(c); // inside
    EXPECT_EQ(b->next, d);
    delete_bullet(a); // head
    EXPECT_EQ(bullet_list, b);
    delete_bullet(d); // tail
    EXPECT_EQ(b->next, nullptr);
    Bullet* e = fire(0, 0, 0, 1);
    EXPECT_EQ(b->next, e);
    free_bullets();
    EXPECT_EQ(bullet_list, nullptr);
}

TEST_F(Bullets, WallsAreTestedAfterEveryUnitStep)
{
    open_test_sound();
    // The solid cell starts at x 320. Heading east at 4 units a tick from
    // 310.5, the box's right edge (x + 7) first reaches it at x 313.5:
    // after the third step, not at the end of the tick.
    fire(310.5f, 100.0f, EAST, BULLET_SPEED_ARMED);
    update_bullets();
    EXPECT_EQ(bullet_list, nullptr);
    ASSERT_EQ(active_anims(), 1);
    const SpriteAnim& anim = sprite_anims[0];
    EXPECT_EQ(anim.x, 313 - 12);
    EXPECT_EQ(anim.y, 100 - 12);
    EXPECT_EQ(anim.size, RICOCHET_SIZE);
    EXPECT_EQ(sample_playing(SAMPLE_RICOCHET), 1);

    // One unit short of the wall it flies on and stays for the next tick.
    Bullet* slow = fire(300.0f, 100.0f, EAST, 1);
    update_bullets();
    ASSERT_EQ(bullet_list, slow);
    EXPECT_NEAR(slow->x, 301.0f, 1e-4);
    EXPECT_NEAR(slow->y, 100.0f, 1e-4);
}

TEST_F(Bullets, LeavingTheMapVanishesSilentlyWhileWallsRicochet)
{
    open_test_sound();
    // A map whose edge cells are floor: the bullet leaves without a wall.
    load_test_map(20, 20, [](int, int) { return true; });
    free_characters();
    player = put_character(KIND_PLAYER, 320, 320);
    fire(2.0f, 200.0f, WEST, BULLET_SPEED_ARMED);
    update_bullets();
    EXPECT_EQ(bullet_list, nullptr);
    EXPECT_EQ(active_anims(), 0);
    EXPECT_EQ(sample_playing(SAMPLE_RICOCHET), 0);

    // Diagonally past a solid cell's corner at 5 units a tick: the box
    // touches the cell only after the 12th unit step (the end of a tick
    // falls on the 10th and 15th), and is caught there.
    load_test_map(20, 20, [](int c, int r) { return !(c == 5 && r == 5); });
    fire(145.0f, 162.0f, (float)(M_PI / 4), 5);
    for (int tick = 0; tick < 3; tick++)
        update_bullets();
    EXPECT_EQ(bullet_list, nullptr);
    ASSERT_EQ(active_anims(), 1);
    EXPECT_EQ(sprite_anims[0].x, 153 - 12);
    EXPECT_EQ(sprite_anims[0].y, 153 - 12);
}

TEST_F(Bullets, HitsCostTenHealthFlashRedAndTheTenthKills)
{
    open_test_sound();
    for (int hit = 1; hit <= 9; hit++) {
        fire(300.0f, 330.0f, EAST, BULLET_SPEED_ARMED);
        for (int tick = 0; tick < 10 && bullet_list != nullptr; tick++)
            update_bullets();
        ASSERT_EQ(bullet_list, nullptr);
        EXPECT_EQ(player->health, CHARACTER_MAX_HEALTH - hit * BULLET_DAMAGE);
    }
    EXPECT_EQ(sample_playing(SAMPLE_SPLAT), 1);
    EXPECT_EQ(fade_direction, -1);
    EXPECT_FLOAT_EQ(fade_speed, HIT_FLASH_SPEED);
    EXPECT_NEAR(fade_color[0], 170.0f / 255.0f, 0.01f);
    EXPECT_GE(active_stains(), 9);
    EXPECT_EQ(player_out(), 0);

    fire(300.0f, 330.0f, EAST, BULLET_SPEED_ARMED);
    for (int tick = 0; tick < 10 && bullet_list != nullptr; tick++)
        update_bullets();
    EXPECT_EQ(player->health, 0);
    EXPECT_EQ(player_out(), 1);
    EXPECT_EQ(fade_direction, 1) << "death starts the slow fade, not the flash";

    // From now on bullets pass through the player's box.
    Bullet* late = fire(300.0f, 330.0f, EAST, BULLET_SPEED_ARMED);
    for (int tick = 0; tick < 10; tick++)
        update_bullets();
    ASSERT_EQ(bullet_list, late);
    EXPECT_GT(late->x, 330.0f);
    EXPECT_EQ(player->health, 0);
}

TEST_F(Bullets, OnlyThePlayerIsEverHit)
{
    character* other = put_character(KIND_CIVILIAN, 100, 330);
    Bullet* b = fire(60.0f, 340.0f, EAST, BULLET_SPEED_OTHER);
    for (int tick = 0; tick < 6; tick++)
        update_bullets();
    ASSERT_EQ(bullet_list, b);
    EXPECT_GT(b->x, 131.0f);
    EXPECT_EQ(other->health, CHARACTER_MAX_HEALTH);
}

} // namespace
