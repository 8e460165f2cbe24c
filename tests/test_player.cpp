// The fight: the player's strike, the run's meters and the voice that
// follows kills and painkillers; bullets flying one unit per step; the
// items on the map.
#include <cmath>
#include <set>

#include "characters/movement.h"
#include "test_world.h"

namespace {

using Fight = WorldTest;

TEST_F(Fight, StrikesHitTheFirstBoxInReachAndKillsScoreAndRefillByKind)
{
    open_test_sound();
    // Facing north, the probe is the box above: one beside is missed, and a
    // miss only swings.
    character* aside = put_character(KIND_CIVILIAN, 360, 320);
    player_attack();
    EXPECT_EQ(ATTACK_COOLDOWN, player->cooldown);
    EXPECT_EQ(1, sample_playing(SAMPLE_SWING));
    EXPECT_EQ(0, sample_playing(SAMPLE_SPLAT));
    EXPECT_EQ(0, score);
    EXPECT_EQ(DELAY_IDLE, laugh_delay);
    EXPECT_EQ(CHARACTER_MAX_HEALTH, aside->health);
    // Facing east both overlap the probe: the first in the list is hit.
    character* second = put_character(KIND_ARMED, 340, 320);
    player->angle = 90;
    player_attack();
    EXPECT_EQ(60, aside->health);
    EXPECT_EQ(CHARACTER_MAX_HEALTH, second->health);
    EXPECT_EQ(1, sample_playing(SAMPLE_SPLAT));

    // Blows to kill, points for the kill, psychosis before and after it; a
    // hit scores 1. Under steroids one blow kills and a laugh always comes;
    // a laugh already pending is left alone.
    const struct {
        int kind, steroids, blows, points, before, after;
    } kills_by_kind[] = {
        {KIND_CIVILIAN, 0, 3, 10, 90, 100},
        {KIND_ARMED, 0, 5, 25, 50, 75},
        {KIND_ARMED, 1, 1, 25, 50, 75},
        {KIND_CIVILIAN, 1, 1, 10, 50, 75},
    };
    for (const auto& k : kills_by_kind) {
        start_run(320, 320);
        psychosis = k.before;
        steroids_timer = k.steroids ? 100 : 0;
        put_character(k.kind, 320, 288);
        for (int blow = 1; blow < k.blows; blow++)
            player_attack();
        clear_floating_texts();
        laugh_delay = k.steroids ? DELAY_IDLE : 5;
        player_attack();
        EXPECT_EQ(k.blows - 1 + k.points, score) << k.kind << k.steroids;
        EXPECT_EQ(1, kills[k.kind]);
        EXPECT_EQ(k.after, psychosis);
        EXPECT_EQ("+" + std::to_string(k.points), floating_texts[0].text);
        EXPECT_EQ(k.steroids ? LAUGH_DELAY_TICKS : 5, laugh_delay);
        // The victim is replaced, and the armed grow by one.
        EXPECT_EQ(k.kind == KIND_ARMED ? 2 : 1, count_characters(KIND_ARMED));
        EXPECT_EQ(k.kind == KIND_CIVILIAN ? 1 : 0, count_characters(KIND_CIVILIAN));
    }
}

TEST_F(Fight, PsychosisFallsOnePerElevenTicksAndItsEndFadesToDarkRed)
{
    steroids_timer = 3;
    for (int tick = 1; tick <= 1100; tick++) {
        update_meters();
        ASSERT_EQ(100 - tick / 11, psychosis) << tick;
        ASSERT_EQ(tick / 61, run_seconds) << tick;
        ASSERT_EQ(tick == 1100, player_out() != 0) << "the run ends at full health too";
        ASSERT_EQ(tick == 1100, fade_direction == 1) << tick;
    }
    EXPECT_EQ(0, steroids_timer);
    EXPECT_FLOAT_EQ(RUN_END_FADE_SPEED, fade_speed);
    EXPECT_NEAR(170.0f / 255.0f, fade_color[0], 0.01f);
    EXPECT_EQ(0.0f, fade_color[1]);
}

TEST_F(Fight, LaughsComeFromTheRightSetNeverRepeatAndWaitForThePlayingOne)
{
    std::set<int> heard;
    for (int i = 0; i < 400; i++) {
        steroids_timer = i < 200 ? 0 : 50;
        int before = last_laugh;
        laugh_delay = 0;
        update_laugh();
        EXPECT_NE(before, last_laugh);
        int first = i < 200 ? SAMPLE_LAUGH : SAMPLE_LAUGH_STEROIDS;
        EXPECT_GE(last_laugh, first);
        EXPECT_LT(last_laugh, first + LAUGH_VARIANTS);
        EXPECT_EQ(DELAY_IDLE, laugh_delay);
        heard.insert(last_laugh);
    }
    EXPECT_EQ(2u * LAUGH_VARIANTS, heard.size());

    // A laugh comes LAUGH_DELAY_TICKS + 1 ticks after it is scheduled. One
    // due while the last one sounds waits for that laugh's length in ticks,
    // whatever the mixer has got to: neither cut in nor dropped. With the
    // effects off nothing sounds and nothing waits.
    open_test_sound();
    int before = last_laugh;
    laugh_delay = LAUGH_DELAY_TICKS;
    for (int i = 0; i < LAUGH_DELAY_TICKS; i++)
        update_laugh();
    EXPECT_EQ(before, last_laugh);
    update_laugh();
    int first = last_laugh;
    EXPECT_NE(before, first);
    ASSERT_EQ(sample_ticks(first), TICKS_PER_SECOND); // the test samples last a second
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
    EXPECT_EQ(1, sample_playing(last_laugh));
    EXPECT_EQ(DELAY_IDLE, laugh_delay);
    // The sigh after painkillers comes SIGH_DELAY_TICKS + 1 ticks later.
    sigh_delay = SIGH_DELAY_TICKS;
    for (int i = 0; i < SIGH_DELAY_TICKS; i++)
        update_sigh();
    EXPECT_EQ(0, sample_playing(SAMPLE_SIGH));
    update_sigh();
    EXPECT_EQ(1, sample_playing(SAMPLE_SIGH));
    EXPECT_EQ(DELAY_IDLE, sigh_delay);
}

Bullet* fire(float x, float y, float angle, int speed)
{
    Bullet* b = new_bullet();
    *b = Bullet{x, y, angle, speed, nullptr, nullptr}; // new ones are the tail
    return b;
}

// Flies every bullet for `ticks` ticks or until none is left.
void fly(int ticks)
{
    for (int t = 0; t < ticks && bullet_list; t++)
        update_bullets();
}

const float EAST = (float)(M_PI / 2);

TEST_F(Fight, BulletsAreTestedAfterEveryUnitStepAndHitOnlyTheLivePlayer)
{
    open_test_sound();
    // Edge cells of floor, so a bullet can leave the map; two solid cells.
    open_map(20, 20);
    put_character(KIND_PLAYER, 320, 320);
    set_solid(10, 3);
    set_solid(5, 5);
    // The solid cell starts at x 320. Heading east at 4 units a tick from
    // 310.5, the box's right edge (x + 7) first reaches it at x 313.5: after
    // the third step, not at the end of the tick. One unit short of the wall
    // a bullet flies on; one that leaves the map vanishes without a ricochet.
    fire(310.5f, 100.0f, EAST, BULLET_SPEED_ARMED);
    Bullet* slow = fire(300.0f, 100.0f, EAST, 1);
    fire(2.0f, 200.0f, -EAST, BULLET_SPEED_ARMED);
    update_bullets();
    ASSERT_EQ(slow, bullet_list);
    EXPECT_EQ(nullptr, slow->next);
    EXPECT_NEAR(301.0f, slow->x, 1e-4);
    EXPECT_EQ(313 - 12, sprite_anims[0].x);
    EXPECT_EQ(100 - 12, sprite_anims[0].y);
    EXPECT_FALSE(sprite_anims[1].active);
    EXPECT_EQ(1, sample_playing(SAMPLE_RICOCHET));
    // Diagonally past a solid cell's corner at 5 units a tick: the box
    // touches the cell only after the 12th unit step (ticks end on the 10th
    // and 15th), and is caught there.
    free_bullets();
    fire(145.0f, 162.0f, (float)(M_PI / 4), 5);
    fly(3);
    EXPECT_EQ(nullptr, bullet_list);
    EXPECT_EQ(153 - 12, sprite_anims[1].x);
    EXPECT_EQ(153 - 12, sprite_anims[1].y);

    // Hits cost the player 10 and flash the screen red; the tenth kills, and
    // the record stays. Nobody else is ever hit, and once the run is over
    // neither is the player.
    character* other = put_character(KIND_CIVILIAN, 100, 330);
    fire(60.0f, 340.0f, EAST, BULLET_SPEED_OTHER);
    fly(6);
    ASSERT_NE(nullptr, bullet_list);
    EXPECT_GT(bullet_list->x, 131.0f);
    EXPECT_EQ(CHARACTER_MAX_HEALTH, other->health);
    free_bullets();
    for (int hit = 1; hit <= 10; hit++) {
        fire(300.0f, 330.0f, EAST, BULLET_SPEED_ARMED);
        fly(10);
        ASSERT_EQ(nullptr, bullet_list);
        ASSERT_EQ(CHARACTER_MAX_HEALTH - 10 * hit, player->health);
        ASSERT_EQ(hit < 10 ? -1 : 1, fade_direction) << "death fades slowly, not as a flash";
        ASSERT_FLOAT_EQ(hit < 10 ? HIT_FLASH_SPEED : RUN_END_FADE_SPEED, fade_speed);
    }
    EXPECT_EQ(1, sample_playing(SAMPLE_SPLAT));
    EXPECT_NEAR(170.0f / 255.0f, fade_color[0], 0.01f);
    EXPECT_EQ(player, character_list);
    EXPECT_EQ(0, count_characters(KIND_ARMED));
    Bullet* late = fire(300.0f, 330.0f, EAST, BULLET_SPEED_ARMED);
    fly(10);
    ASSERT_EQ(late, bullet_list);
    EXPECT_GT(late->x, 330.0f);
}

// Puts the player on the cell of the item in slot `i` with one unit step.
void step_onto(int i)
{
    player->x = items[i].x - 4 + 1;
    player->y = items[i].y - 4;
    move_character(player, -1, 0);
}

TEST_F(Fight, ItemsAreReplacedAtOnceAndTakeEffectWhenSteppedOn)
{
    open_test_sound();
    load_walled_map(8, 8); // 36 floor cells
    start_run(32, 32);
    for (int kind : {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1})
        spawn_item(kind, 0);
    // A pick-up is replaced at once, in the slot just freed, with a flash.
    clear_sprite_anims();
    step_onto(9);
    EXPECT_EQ(ITEM_STEROIDS, items[9].kind);
    EXPECT_EQ(SPAWN_FLASH_SIZE, sprite_anims[0].size);
    EXPECT_EQ(12, find_free_item());
    // A full table drops a request, flash and all.
    for (Item& it : items)
        it.active = 1;
    clear_sprite_anims();
    spawn_item(ITEM_PAINKILLERS, 1);
    EXPECT_FALSE(sprite_anims[0].active);

    // Painkillers heal 50 up to full; only a hurt player sighs, and a sigh
    // already on its way is not pushed back.
    clear_items();
    spawn_item(ITEM_PAINKILLERS, 0);
    const struct {
        int health, sigh_before, health_after, sigh_after;
    } pills[] = {
        {60, DELAY_IDLE, 100, SIGH_DELAY_TICKS},
        {30, DELAY_IDLE, 80, SIGH_DELAY_TICKS},
        {100, DELAY_IDLE, 100, DELAY_IDLE},
        {10, 5, 60, 5},
    };
    for (const auto& p : pills) {
        stop_all_samples();
        clear_floating_texts();
        player->health = p.health;
        sigh_delay = p.sigh_before;
        step_onto(0);
        EXPECT_EQ(p.health_after, player->health);
        EXPECT_EQ(p.sigh_after, sigh_delay);
        EXPECT_EQ(1, sample_playing(SAMPLE_PILLS));
        EXPECT_STREQ("PAINKILLERS", floating_texts[0].text);
    }

    // Steroids restart at 600 rather than add up, and make the player
    // three steps a tick fast instead of two.
    clear_items();
    spawn_item(ITEM_STEROIDS, 0);
    steroids_timer = 300;
    step_onto(0);
    EXPECT_EQ(STEROIDS_TICKS, steroids_timer);
    EXPECT_EQ(1, sample_playing(SAMPLE_GROWL));
    clear_items();
    player->x = 64;
    steer_player(1, 0, 500.0f, 80.0f);
    EXPECT_EQ(67, player->x);
    steroids_timer = 0;
    steer_player(1, 0, 500.0f, 80.0f);
    EXPECT_EQ(69, player->x);
}

} // namespace
