// The player's strike, the run's meters and the voice that follows kills.
#include "test_player_support.h"

#include <set>

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

TEST_F(PlayerFight, MissSwingsAndStartsTheCooldownOnly)
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
}

TEST_F(PlayerFight, ReachIsTheBoxMovedAlongTheAimFirstInListOrder)
{
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

    laugh_delay = 0;
    for (int i = 0; i < 5; i++)
        update_laugh();
    EXPECT_EQ(last_laugh, first) << "a laugh cut in over the playing one";
    EXPECT_EQ(laugh_delay, 0) << "the waiting laugh was dropped";

    stop_sample(first);
    play_sample(SAMPLE_LAUGH_STEROIDS + 2); // any laugh blocks, whichever set
    update_laugh();
    EXPECT_EQ(last_laugh, first);
    stop_all_samples();
    update_laugh();
    EXPECT_NE(last_laugh, first);
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

} // namespace
