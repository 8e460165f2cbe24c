// The player's strike, the run's meters and the voice that follows kills;
// bullet flight: one unit per step with walls and the player tested after
// every step, ricochets, hits and the list that holds them.
#include <cmath>
#include <set>

#include "test_player_support.h"

using namespace fight_test;

namespace {

class PlayerFight : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(7);
        load_walled_map(20, 20);
        start_run(320, 320);
        player->angle = 0; // facing north: the probe is the box above
    }
    void TearDown() override
    {
        close_sound();
        free_characters();
        free_bullets();
    }
};

TEST_F(PlayerFight, ReachIsTheBoxAlongTheAimFirstInListOrderAndAMissOnlySwings)
{
    open_test_sound();
    character* aside = put_character(KIND_CIVILIAN, 360, 320); // beside, not ahead
    player_attack();
    EXPECT_EQ(player->cooldown, ATTACK_COOLDOWN);
    EXPECT_EQ(sample_playing(SAMPLE_SWING), 1);
    EXPECT_EQ(sample_playing(SAMPLE_SPLAT), 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(psychosis, PSYCHOSIS_MAX);
    EXPECT_EQ(laugh_delay, DELAY_IDLE);
    EXPECT_EQ(aside->health, CHARACTER_MAX_HEALTH);
    EXPECT_TRUE(active_texts().empty());

    aside->x = 3000; // out of the way
    EXPECT_EQ(target_in_reach(), nullptr);
    character* first = put_character(KIND_CIVILIAN, 320 + 20, 320); // east, overlapping the probe
    character* second = put_character(KIND_ARMED, 320 + 40, 320);
    player->angle = 90;
    EXPECT_EQ(target_in_reach(), first);
    player->angle = 270; // west: nobody
    EXPECT_EQ(target_in_reach(), nullptr);
    player->angle = 90;
    player_attack();
    EXPECT_EQ(first->health, CHARACTER_MAX_HEALTH - DAMAGE_VS_CIVILIAN);
    EXPECT_EQ(second->health, CHARACTER_MAX_HEALTH);
}

TEST_F(PlayerFight, HitsScoreOneAndKillsScoreByKindCentredOverTheTarget)
{
    open_test_sound();
    psychosis = 90;
    put_character(KIND_CIVILIAN, 320, 288);

    player_attack();
    EXPECT_EQ(score, POINTS_HIT);
    EXPECT_EQ(sample_playing(SAMPLE_SPLAT), 1);
    std::vector<FloatingText> texts = active_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_STREQ(texts[0].text, "+1");
    EXPECT_EQ(texts[0].x, 320 + (32 - 2 * 8) / 2); // two characters, 8 units each
    EXPECT_EQ((int)texts[0].y, 288 + 8);
    EXPECT_EQ(active_stains(), 1);

    player_attack();
    clear_floating_texts();
    int armed_before = count_characters(KIND_ARMED);
    player_attack(); // 100, 60, 20, dead
    EXPECT_EQ(score, 2 * POINTS_HIT + POINTS_CIVILIAN);
    EXPECT_EQ(kills[KIND_CIVILIAN], 1);
    EXPECT_EQ(psychosis, PSYCHOSIS_MAX) << "the refill goes no higher than 100";
    texts = active_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_STREQ(texts[0].text, "+10");
    EXPECT_EQ(texts[0].x, 320 + (32 - 3 * 8) / 2);
    EXPECT_EQ(active_stains(), 3 + KILL_STAINS);
    // The victim is replaced, and the armed grow by one.
    EXPECT_EQ(count_characters(KIND_CIVILIAN), 1);
    EXPECT_EQ(count_characters(KIND_ARMED), armed_before + 1);

    // The armed need five blows and are worth more.
    for (character* c = character_list; c != nullptr; c = c->next)
        if (c != player) c->x = 3000; // out of the way
    psychosis = 50;
    character* armed = put_character(KIND_ARMED, 320, 288);
    int before = score;
    for (int i = 0; i < 4; i++)
        player_attack();
    EXPECT_EQ(armed->health, CHARACTER_MAX_HEALTH - 4 * DAMAGE_VS_ARMED);
    clear_floating_texts();
    player_attack();
    EXPECT_EQ(score, before + 4 * POINTS_HIT + POINTS_ARMED);
    EXPECT_EQ(kills[KIND_ARMED], 1);
    EXPECT_EQ(psychosis, 50 + PSYCHOSIS_PER_KILL);
    texts = active_texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_STREQ(texts[0].text, "+25");
}

TEST_F(PlayerFight, SteroidsKillWithOneBlowAndAlwaysScheduleALaugh)
{
    steroids_timer = 100;
    put_character(KIND_ARMED, 320, 288);
    player_attack();
    EXPECT_EQ(kills[KIND_ARMED], 1);
    EXPECT_EQ(score, POINTS_ARMED);
    EXPECT_EQ(laugh_delay, LAUGH_DELAY_TICKS);

    // Without steroids a coin decides, and a pending laugh is left alone.
    steroids_timer = 0;
    character* dummy = put_character(KIND_CIVILIAN, 320, 288);
    for (character* c = character_list; c != nullptr; c = c->next)
        if (c != player && c != dummy) c->x = 3000;
    laugh_delay = 5;
    player_attack();
    EXPECT_EQ(laugh_delay, 5);
    int laughs = 0;
    for (int i = 0; i < 200; i++) {
        dummy->health = CHARACTER_MAX_HEALTH;
        laugh_delay = DELAY_IDLE;
        player_attack();
        laughs += laugh_delay == LAUGH_DELAY_TICKS;
    }
    EXPECT_GT(laughs, 60);
    EXPECT_LT(laughs, 140);
}

TEST_F(PlayerFight, PsychosisFallsOnePerElevenTicksAndItsEndFadesToDarkRed)
{
    for (int i = 0; i < PSYCHOSIS_DRAIN_TICKS; i++)
        update_meters();
    EXPECT_EQ(psychosis, PSYCHOSIS_MAX);
    update_meters();
    EXPECT_EQ(psychosis, PSYCHOSIS_MAX - 1);
    for (int i = 11; i < 1099; i++)
        update_meters();
    EXPECT_EQ(psychosis, 1);
    EXPECT_EQ(player_out(), 0);
    EXPECT_EQ(fade_direction, 0);
    update_meters();
    EXPECT_EQ(psychosis, 0);
    EXPECT_EQ(player_out(), 1) << "the run ends at full health too";
    EXPECT_EQ(fade_direction, 1);
    EXPECT_FLOAT_EQ(fade_speed, RUN_END_FADE_SPEED);
    EXPECT_NEAR(fade_color[0], 170.0f / 255.0f, 0.01f);
    EXPECT_EQ(fade_color[1], 0.0f);
}

TEST_F(PlayerFight, SecondsCountEvery61TicksAndSteroidsRunOut)
{
    steroids_timer = 3;
    for (int i = 0; i < 60; i++)
        update_meters();
    EXPECT_EQ(run_seconds, 0);
    EXPECT_EQ(steroids_timer, 0);
    update_meters();
    EXPECT_EQ(run_seconds, 1);
    for (int i = 0; i < 61; i++)
        update_meters();
    EXPECT_EQ(run_seconds, 2);
    reset_meters();
    EXPECT_EQ(run_seconds, 0);
}

TEST_F(PlayerFight, LaughsNeverRepeatTheLastOneAndComeFromTheRightSet)
{
    std::set<int> heard;
    for (int i = 0; i < 400; i++) {
        steroids_timer = i < 200 ? 0 : 50;
        int before = last_laugh;
        laugh_delay = 0;
        update_laugh();
        EXPECT_NE(last_laugh, before);
        int first = i < 200 ? SAMPLE_LAUGH : SAMPLE_LAUGH_STEROIDS;
        EXPECT_GE(last_laugh, first);
        EXPECT_LT(last_laugh, first + LAUGH_VARIANTS);
        EXPECT_EQ(laugh_delay, DELAY_IDLE);
        heard.insert(last_laugh);
    }
    EXPECT_EQ(heard.size(), 2u * LAUGH_VARIANTS);

    // A scheduled laugh comes LAUGH_DELAY_TICKS + 1 ticks later.
    int before = last_laugh;
    laugh_delay = LAUGH_DELAY_TICKS;
    for (int i = 0; i < LAUGH_DELAY_TICKS; i++)
        update_laugh();
    EXPECT_EQ(last_laugh, before);
    EXPECT_EQ(laugh_delay, 0);
    update_laugh();
    EXPECT_NE(last_laugh, before);
}

TEST_F(PlayerFight, ALaughWaitsForThePlayingOneAndTheSighFollowsPainkillers)
{
    open_test_sound();
    laugh_delay = 0;
    update_laugh();
    int first = last_laugh;
    EXPECT_EQ(sample_playing(first), 1);
    ASSERT_EQ(sample_ticks(first), TICKS_PER_SECOND); // the test samples last a second

    // The wait is the playing laugh's length in ticks, whatever the mixer
    // has got to; with the effects off nothing sounds and nothing waits.
    laugh_delay = 0;
    stop_all_samples();
    for (int i = 1; i < TICKS_PER_SECOND; i++)
        update_laugh();
    EXPECT_EQ(last_laugh, first) << "a laugh cut in over the playing one";
    EXPECT_EQ(laugh_delay, 0) << "the waiting laugh was dropped";
    update_laugh();
    EXPECT_NE(last_laugh, first);
    settings[SOUND_FX_ON] = 0;
    EXPECT_EQ(sample_ticks(first), 0);
    settings[SOUND_FX_ON] = 1;
    EXPECT_EQ(sample_playing(last_laugh), 1);
    EXPECT_EQ(laugh_delay, DELAY_IDLE);

    sigh_delay = SIGH_DELAY_TICKS;
    for (int i = 0; i < SIGH_DELAY_TICKS; i++)
        update_sigh();
    EXPECT_EQ(sample_playing(SAMPLE_SIGH), 0);
    update_sigh();
    EXPECT_EQ(sample_playing(SAMPLE_SIGH), 1);
    EXPECT_EQ(sigh_delay, DELAY_IDLE);
}

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

TEST_F(Bullets, HitsCostThePlayerTenHealthFlashRedAndTheTenthKillsNobodyElseIsHit)
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

    // Nobody but the player is ever hit.
    free_bullets();
    character* other = put_character(KIND_CIVILIAN, 100, 330);
    Bullet* b = fire(60.0f, 340.0f, EAST, BULLET_SPEED_OTHER);
    for (int tick = 0; tick < 6; tick++)
        update_bullets();
    ASSERT_EQ(bullet_list, b);
    EXPECT_GT(b->x, 131.0f);
    EXPECT_EQ(other->health, CHARACTER_MAX_HEALTH);
}

} // namespace
