// The front end's screens: the status strip's contents (bar lengths,
// blinking low meters, the third line per state, the time text), then a few
// pictures read back from a real window: the prompt, the banner, the strip's
// fills and the title's tiling.
#include "frontend/status.h"
#include "test_render_support.h"
#include "test_states_helpers.h"
#include "util/mathutil.h"

namespace {

using namespace render_test;
using namespace state_test;

class FrontendPixels : public StateTest {
protected:
    void SetUp() override
    {
        StateTest::SetUp();
        open_window(); // opening the screen zeroes frame_factor
        frame_factor = 1.0f;
        make_cell_font();
    }
};

TEST_F(FrontendPixels, PromptIsCentredAtTheBottomAndBlinks)
{
    set_game_state(STATE_TITLE);
    frames(128);
    ASSERT_EQ(fade_direction, 0);
    clear_screen();
    draw_prompt();
    Frame f = read_frame();
    // "PRESS SPACE BAR TO START": 24 characters from x 304.
    Box p = find_colour(f, cell_colour('P'));
    EXPECT_EQ(p.x, 304);
    EXPECT_EQ(p.y, 568);
    Box t = find_colour(f, cell_colour('T'));
    EXPECT_EQ(t.x + t.w, 304 + 8 * 23 + 10) << "last glyph ends the line";

    prompt_hidden = 1;
    prompt_timer = 10.0f;
    clear_screen();
    draw_prompt();
    EXPECT_EQ(count_not_black(read_frame()), 0);
}

TEST_F(FrontendPixels, BannerStripLandsWithItsJitter)
{
    // Four strips of 424 x 79, each its own colour.
    const Rgb strips[4] = {RED, GREEN, BLUE, WHITE};
    make_texture(TEX_MESSAGES, 424, 316, [&](int, int y) { return strips[y / 79]; });
    set_game_state(STATE_PLAYING);
    banner_jitter[0] = -2;
    banner_jitter[1] = 1;
    jitter_timer = 3.0f;
    clear_screen();
    draw_banner();
    Box b = find_colour(read_frame(), RED);
    EXPECT_EQ(rect(b), (Rect{186, 229, 424, 79}));
    EXPECT_TRUE(b.solid);
    EXPECT_EQ(jitter_timer, 3.0f) << "drawing moves nothing";
    advance_jitter();
    EXPECT_EQ(jitter_timer, 2.0f);

    // Paused, the banner freezes: no shake, no timer.
    paused = 1;
    jitter_timer = 0.0f;
    advance_jitter();
    EXPECT_EQ(jitter_timer, 0.0f);
    EXPECT_EQ(banner_jitter[0], -2);
    paused = 0;
}

TEST_F(FrontendPixels, StatusFillsShowTheMeters)
{
    // The frame transparent, the health column red, the psychosis green.
    make_texture(TEX_BAR2, 156, 28, [](int x, int) {
        return x == 154 ? RED : x == 155 ? GREEN : MAGENTA;
    });
    set_game_state(STATE_PLAYING);
    frames(130);
    player->health = 100;
    psychosis = 1;
    clear_screen();
    draw_status_bar();
    Frame f = read_frame();
    EXPECT_EQ(rect(find_colour(f, RED)), (Rect{10, 20, 150, 24}));
    EXPECT_EQ(rect(find_colour(f, GREEN)), (Rect{172, 20, 1, 24}));
    // "Health: 100%" centred over its bar.
    EXPECT_EQ(rect(find_colour(f, cell_colour('H'))), (Rect{37, 24, 8, 18}));
}

TEST_F(FrontendPixels, TitleTilesCoverTheWindowAndScrollLeft)
{
    // A tile whose first column is blue, so the seams can be found.
    make_texture(TEX_BACKGROUND, 64, 64, [](int x, int) { return x == 0 ? BLUE : GREEN; });
    set_game_state(STATE_TITLE);
    clear_screen();
    draw_title_background();
    Frame f = read_frame();
    EXPECT_EQ(count_not_black(f), 800 * 600);
    EXPECT_TRUE(f.at(0, 300) == BLUE);
    EXPECT_TRUE(f.at(128, 0) == BLUE);
    EXPECT_TRUE(f.at(2, 0) == GREEN);
    title_scroll = 5;
    clear_screen();
    draw_title_background();
    f = read_frame();
    EXPECT_TRUE(f.at(123, 599) == BLUE);
    EXPECT_EQ(count_not_black(f), 800 * 600);
}

TEST(StatusStrip, TimeTextLeavesOutZeroSeconds)
{
    EXPECT_STREQ(format_time(59), "59 sec");
    EXPECT_STREQ(format_time(60), "1 min");
    EXPECT_STREQ(format_time(3661), "61 min 1 sec");
}

using StatusLines = StateTest;

TEST_F(StatusLines, LowMetersBlinkOnlyDuringTheLiveRun)
{
    set_game_state(STATE_PLAYING);
    frames(130);
    StatusLayout s;
    // Health at 30 and psychosis at 40 or below hide their texts with the
    // prompt; once the run is over (psychosis 0) nothing blinks.
    const struct { int health, psychosis, hidden, health_shown, psychosis_shown; } cases[] = {
        {30, 40, 1, 0, 0}, {30, 40, 0, 1, 1}, {31, 41, 1, 1, 1}, {10, 0, 1, 1, 1}};
    for (auto c : cases) {
        player->health = c.health;
        psychosis = c.psychosis;
        prompt_hidden = c.hidden;
        status_layout(&s);
        EXPECT_EQ(s.health_text_shown, c.health_shown) << c.health << " " << c.psychosis << " " << c.hidden;
        EXPECT_EQ(s.psychosis_text_shown, c.psychosis_shown) << c.health << " " << c.psychosis << " " << c.hidden;
    }
    EXPECT_STREQ(s.psychosis_text, "Psychosis: 0%");
    player->health = 30;
    psychosis = 40;
    status_layout(&s);
    EXPECT_EQ(s.health_fill, 45);
    EXPECT_EQ(s.psychosis_fill, 60);
    player->health = 100;
    psychosis = 100;
    status_layout(&s);
    EXPECT_STREQ(s.health_text, "Health: 100%");
    EXPECT_STREQ(s.psychosis_text, "Psychosis: 100%");
    EXPECT_EQ(s.psychosis_x, 187);
}

TEST_F(StatusLines, ThirdLineShowsSwitchesOnTheTitleAndTheRunElsewhere)
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
