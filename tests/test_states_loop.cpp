// One whole visit through the states with the real frame loop: drawn frames
// in a window, input through run_tick, from the intro to a stored score.
#include "test_render_support.h"
#include "test_states_helpers.h"

#include "render/draw.h"

namespace {

using namespace state_test;

class StatesLoop : public StateTest {
protected:
    void SetUp() override
    {
        StateTest::SetUp();
        render_test::open_window(); // opening the screen zeroes frame_factor
        frame_factor = 1.0f;
    }

    // Draws frames until `done` holds or `limit` frames have passed.
    template <class Done>
    int draw_until(Done done, int limit)
    {
        int n = 0;
        while (!done() && n < limit) {
            draw_frame();
            n++;
        }
        return n;
    }
};

TEST_F(StatesLoop, FromTheIntroThroughARunToTheTable)
{
    set_game_state(STATE_INTRO);
    draw_until([] { return false; }, 10);
    push_key(SDLK_SPACE, ' ');
    run_tick();
    ASSERT_EQ(game_state, STATE_TITLE);

    // The title waits for its fade-in, then Space fades out to the story.
    int n = draw_until([] { return fade_direction == 0; }, 1000);
    EXPECT_EQ(n, 128);
    push_key(SDLK_SPACE, ' ');
    run_tick();
    n = draw_until([] { return game_state == STATE_STORY; }, 1000);
    EXPECT_EQ(n, 128);

    // The story types while it fades in; Space at once leads to the run.
    draw_until([] { return false; }, 40);
    EXPECT_GT(story_steps, 5);
    push_key(SDLK_SPACE, ' ');
    run_tick();
    n = draw_until([] { return game_state == STATE_PLAYING; }, 1000);
    EXPECT_EQ(n, 128);
    n = draw_until([] { return run_active == 1; }, 1000);
    EXPECT_EQ(n, 128);

    // The run ends; its score enters the empty table under the typed name.
    score = 77;
    psychosis = 0;
    draw_frame();
    push_key(SDLK_SPACE, ' ');
    push_key(SDLK_z, 'Z');
    run_tick();
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    EXPECT_STREQ(name_buffer, "") << "nothing typed in the pass that opened the entry";
    draw_frame();
    push_key(SDLK_z, 'Z');
    push_key(SDLK_RETURN, 13);
    run_tick();
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_STREQ(highscore_name(0), "Z");
    EXPECT_EQ(highscores[0].score, 77);
    draw_frame();
    EXPECT_EQ(access(HIGHSCORE_FILE, F_OK), 0);
}

}  // namespace
