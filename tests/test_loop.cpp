// The tick accumulator, frame timing and the input that acts in every
// state, driven with chosen clock readings and frame_factor values instead
// of a real clock.
#include "test_states_helpers.h"

#include <cmath>

#include "render/fps.h"

namespace {

// A drained event queue (handle_input needs SDL's video part, no window)
// and the timing state init_screen leaves.
void start()
{
    state_test::start_events();
    game_state = 0;
    screenshot_requested = 0;
    reset_frame_clock();
    tick_accumulator = 0.0f;
}

// Ends a frame at clock reading `now`, then runs the next frame's ticks.
int frame_ending_at(uint32_t now)
{
    measure_frame(now);
    return run_ticks_for_frame();
}

} // namespace

TEST(FrameLoop, FrameFactorIsTheLastFrameInSixtiethsOfASecondEvenAcrossTheClockWrap)
{
    start();
    measure_frame(5000); // the first frame has nothing to measure against
    EXPECT_EQ(frame_factor, 0.0f);
    measure_frame(5050);
    EXPECT_NEAR(frame_factor, 3.0f, 1e-5);
    last_frame_ticks = 0xFFFFFFF0u;
    measure_frame(0x20u);
    EXPECT_NEAR(frame_factor, 48.0f / 16.666666f, 1e-5);
}

TEST(FrameLoop, TicksFollowTheClockWhateverTheFrameRateAndCatchUpAfterAStall)
{
    start();
    EXPECT_EQ(run_ticks_for_frame(), 0);
    EXPECT_EQ(frame_ending_at(1000), 0);
    EXPECT_EQ(frame_ending_at(1017), 1);
    // Frames of `ms` after a first one: `least` to `most` ticks each,
    // `ticks` in all (within one).
    const struct { double ms; int frames, least, most, ticks; } cases[] = {{100.0 / 3, 90, 1, 3, 180},
                                                                         {8, 125, 0, 1, 60}};
    for (auto c : cases) {
        start();
        int total = frame_ending_at(2000);
        for (int i = 1; i <= c.frames; i++) {
            int n = frame_ending_at(2000 + (uint32_t)std::lround(i * c.ms));
            EXPECT_GE(n, c.least) << c.ms << " ms frames";
            EXPECT_LE(n, c.most) << c.ms << " ms frames";
            total += n;
        }
        EXPECT_NEAR(total, c.ticks, 1) << c.ms << " ms frames";
    }
    frame_factor = 2.0f;
    tick_accumulator = 0.0f;
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(run_ticks_for_frame(), 2);

    // A stall runs every accumulated tick back to back; the rest carries over.
    start();
    frame_ending_at(1000);
    frame_ending_at(1016);
    tick_accumulator = 0.5f;
    EXPECT_EQ(frame_ending_at(2016), 60);
    EXPECT_GE(tick_accumulator, 0.5f - 1e-3f);
    EXPECT_LT(tick_accumulator, 1.0f);
}

TEST(FrameLoop, EventsWaitForTheNextTickAndQuitFinishesTheFrame)
{
    start();
    frame_factor = 0.6f;
    state_test::push(SDL_KEYDOWN, KEY_PRINT);
    EXPECT_EQ(run_ticks_for_frame(), 0);
    EXPECT_EQ(screenshot_requested, 0);
    EXPECT_EQ(run_ticks_for_frame(), 1);
    EXPECT_EQ(screenshot_requested, 1);

    // A quit request ends the loop only after the frame's remaining ticks,
    // and later events of the same pass still count.
    start();
    frame_factor = 3.0f;
    state_test::push(SDL_QUIT);
    state_test::push(SDL_KEYDOWN, KEY_PRINT);
    EXPECT_EQ(run_ticks_for_frame(), 3);
    EXPECT_EQ(game_state, STATE_QUIT);
    EXPECT_EQ(screenshot_requested, 1);
    start();
}

TEST(Input, OnlyLeftAltWithF4Quits)
{
    // Left Alt counts when it is held now or when the event recorded it
    // (already released by the time the event is handled); key releases,
    // Right Alt and other events change nothing.
    const struct { int type, left_held, right_held, mod, quits; } cases[] = {
        {SDL_KEYDOWN, 0, 0, 0, 0},         {SDL_KEYDOWN, 0, 1, 0, 0},
        {SDL_KEYDOWN, 0, 1, KMOD_RALT, 0}, {SDL_KEYDOWN, 1, 1, KMOD_RALT, 1},
        {SDL_KEYDOWN, 0, 0, KMOD_LALT, 1}, {SDL_KEYUP, 1, 0, KMOD_LALT, 0},
        {SDL_ACTIVEEVENT, 1, 0, KMOD_LALT, 0},
    };
    for (auto c : cases) {
        uint8_t keys[SDLK_LAST] = {0};
        keys[KEY_LEFT_ALT] = (uint8_t)c.left_held;
        keys[SDLK_RALT] = (uint8_t)c.right_held;
        SDL_Event e = state_test::event(c.type, KEY_F4, 0, c.mod);
        game_state = STATE_TITLE;
        handle_event(&e, keys);
        EXPECT_EQ(game_state, c.quits ? STATE_QUIT : STATE_TITLE) << "event " << c.type << " left " << c.left_held << " mod " << c.mod;
    }
    game_state = STATE_INTRO;
}
