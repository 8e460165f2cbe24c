// The status strip's contents: bar lengths, blinking low meters, the third
// line per state, and the shared time text.
#include "test_states_helpers.h"

#include "frontend/status.h"
#include "util/mathutil.h"

namespace {

using namespace state_test;

TEST(StatusStrip, TimeTextLeavesOutZeroSeconds)
{
    EXPECT_STREQ(format_time(59), "59 sec");
    EXPECT_STREQ(format_time(60), "1 min");
    EXPECT_STREQ(format_time(3661), "61 min 1 sec");
}

using StatusLayoutTest = StateTest;

TEST_F(StatusLayoutTest, LowMetersBlinkOnlyDuringTheLiveRun)
{
    set_game_state(STATE_PLAYING);
    frames(130);
    StatusLayout s;
    player->health = 30;
    psychosis = 40;
    prompt_hidden = 1;
    status_layout(&s);
    EXPECT_EQ(s.health_fill, 45);
    EXPECT_EQ(s.psychosis_fill, 60);
    EXPECT_FALSE(s.health_text_shown);
    EXPECT_FALSE(s.psychosis_text_shown);
    prompt_hidden = 0;
    status_layout(&s);
    EXPECT_TRUE(s.health_text_shown);
    EXPECT_TRUE(s.psychosis_text_shown);

    prompt_hidden = 1;
    player->health = 31;
    psychosis = 41;
    status_layout(&s);
    EXPECT_TRUE(s.health_text_shown);
    EXPECT_TRUE(s.psychosis_text_shown);

    // Once the run is over nothing blinks, whatever the values.
    player->health = 10;
    psychosis = 0;
    status_layout(&s);
    EXPECT_TRUE(s.health_text_shown);
    EXPECT_TRUE(s.psychosis_text_shown);
    EXPECT_STREQ(s.psychosis_text, "Psychosis: 0%");

    player->health = 100;
    psychosis = 100;
    status_layout(&s);
    EXPECT_EQ(s.health_fill, 150);
    EXPECT_STREQ(s.health_text, "Health: 100%");
    EXPECT_EQ(s.health_x, center_pos(8, 162, 12 * 8));
    EXPECT_STREQ(s.psychosis_text, "Psychosis: 100%");
    EXPECT_EQ(s.psychosis_x, center_pos(170, 324, 15 * 8));
}

TEST_F(StatusLayoutTest, ThirdLineShowsSwitchesOnTheTitleAndTheRunElsewhere)
{
    set_game_state(STATE_TITLE);
    frames(130);
    StatusLayout s;
    status_layout(&s);
    EXPECT_STREQ(s.info_text, "F1 - Music: ON    F2 - Sound FX: ON ");
    EXPECT_EQ(s.info_x, center_pos(332, 792, 36 * 8));
    // Outside the run both meters read 0 and nothing blinks.
    EXPECT_EQ(s.health, 0);
    EXPECT_EQ(s.psychosis, 0);
    EXPECT_EQ(s.health_fill, 0);
    prompt_hidden = 1;
    status_layout(&s);
    EXPECT_TRUE(s.health_text_shown);
    EXPECT_TRUE(s.psychosis_text_shown);

    tap(SDLK_F1);
    status_layout(&s);
    EXPECT_STREQ(s.info_text, "F1 - Music: OFF   F2 - Sound FX: ON ");
    tap(SDLK_F2);
    status_layout(&s);
    EXPECT_STREQ(s.info_text, "F1 - Music: OFF   F2 - Sound FX: OFF");
    EXPECT_EQ(s.info_x, center_pos(332, 792, 36 * 8)) << "fixed widths keep the line still";

    // The new-high-score screen still shows the finished run.
    lost_run(1234);
    kills[KIND_CIVILIAN] = 7;
    kills[KIND_ARMED] = 5;
    run_seconds = 61;
    tap(SDLK_SPACE);
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    status_layout(&s);
    EXPECT_STREQ(s.info_text, "Score: 1234    Kills: 12      Time: 1 min 1 sec  ");
    EXPECT_EQ(s.info_x, center_pos(332, 792, 49 * 8));
    EXPECT_EQ(s.psychosis, 0);

    // The title's reset leaves zeros for the story.
    set_game_state(STATE_TITLE);
    set_game_state(STATE_STORY);
    status_layout(&s);
    EXPECT_STREQ(s.info_text, "Score: 0       Kills: 0       Time: 0 sec        ");
}

}  // namespace
