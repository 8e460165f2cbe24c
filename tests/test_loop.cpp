// The tick accumulator, frame timing, fades, the frame-rate counter, the
// command line and the input that acts in every state, driven with chosen
// clock readings and frame_factor values instead of a real clock.
#include "test_states_helpers.h"

#include <cmath>
#include <cstring>

#include "render/fps.h"

namespace {

// A drained event queue (handle_input needs SDL's video part, no window)
// and the timing state init_screen leaves.
void start()
{
    state_test::start_events();
    game_state = 0;
    screenshot_requested = 0;
    frame_factor = 0.0f;
    last_frame_ticks = 0;
    tick_accumulator = 0.0f;
}

using state_test::push_key;

// Ends a frame at clock reading `now`, then runs the next frame's ticks.
int frame_ending_at(uint32_t now)
{
    measure_frame(now);
    return run_ticks_for_frame();
}

} // namespace

TEST(FrameTiming, FrameFactorIsTheLastFrameInSixtiethsOfASecond)
{
    start();
    measure_frame(5000); // the first frame has nothing to measure against
    EXPECT_EQ(frame_factor, 0.0f);
    EXPECT_EQ(last_frame_ticks, 5000u);
    measure_frame(5050);
    EXPECT_NEAR(frame_factor, 3.0f, 1e-5);
    measure_frame(5066);
    EXPECT_NEAR(frame_factor, 0.96f, 1e-5);
    // The millisecond counter wrapping round still gives the true length.
    last_frame_ticks = 0xFFFFFFF0u;
    measure_frame(0x20u);
    EXPECT_NEAR(frame_factor, 48.0f / 16.666666f, 1e-5);
}

TEST(FrameLoop, FirstTwoFramesRunNoTickThenTicksFollowTheClock)
{
    start();
    EXPECT_EQ(run_ticks_for_frame(), 0);
    EXPECT_EQ(frame_ending_at(1000), 0);
    EXPECT_EQ(frame_ending_at(1017), 1);

    // 33.3 ms frames: two ticks (two input passes) a frame, 60 a second.
    start();
    int total = 0;
    for (int i = 0; i <= 90; i++) {
        int n = frame_ending_at(2000 + (uint32_t)std::lround(i * 100.0 / 3.0));
        if (i > 0) {
            EXPECT_NEAR(frame_factor, 2.0f, 0.05f);
            EXPECT_GE(n, 1);
            EXPECT_LE(n, 3);
        }
        total += n;
    }
    EXPECT_NEAR(total, 180, 1); // 3 s of frames after the first
    frame_factor = 2.0f;
    tick_accumulator = 0.0f;
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(run_ticks_for_frame(), 2);

    // 8 ms frames: a tick only about every second frame.
    start();
    total = 0;
    int idle = 0;
    for (int i = 0; i <= 125; i++) {
        int n = frame_ending_at(9000 + 8 * (uint32_t)i);
        EXPECT_LE(n, 1);
        total += n;
        idle += n == 0;
    }
    EXPECT_NEAR(total, 60, 1);
    EXPECT_GE(idle, 60);
}

TEST(FrameLoop, StallRunsEveryAccumulatedTickBackToBack)
{
    start();
    frame_ending_at(1000);
    frame_ending_at(1016);
    tick_accumulator = 0.5f;
    EXPECT_EQ(frame_ending_at(2016), 60);
    EXPECT_GE(tick_accumulator, 0.5f - 1e-3f); // the remainder carries over
    EXPECT_LT(tick_accumulator, 1.0f);
}

TEST(FrameLoop, EventsWaitForTheNextTickAndQuitFinishesTheFrame)
{
    start();
    frame_factor = 0.6f;
    push_key(KEY_PRINT);
    EXPECT_EQ(run_ticks_for_frame(), 0);
    EXPECT_EQ(screenshot_requested, 0);
    EXPECT_EQ(run_ticks_for_frame(), 1);
    EXPECT_EQ(screenshot_requested, 1);

    // A quit request ends the loop only after the frame's remaining ticks.
    screenshot_requested = 0;
    tick_accumulator = 0.0f;
    frame_factor = 3.0f;
    state_test::push_quit();
    push_key(KEY_PRINT); // later events of the same pass still count
    EXPECT_EQ(run_ticks_for_frame(), 3);
    EXPECT_EQ(game_state, -1);
    EXPECT_EQ(screenshot_requested, 1);
    game_state = 0;
    screenshot_requested = 0;
}

TEST(Input, OnlyLeftAltWithF4Quits)
{
    game_state = 1;
    uint8_t keys[SDLK_LAST] = {0};
    SDL_Event f4;
    memset(&f4, 0, sizeof f4);
    f4.type = SDL_KEYDOWN;
    f4.key.keysym.sym = (SDLKey)KEY_F4;
    handle_event(&f4, keys);
    EXPECT_EQ(game_state, 1);
    keys[SDLK_RALT] = 1;
    handle_event(&f4, keys);
    EXPECT_EQ(game_state, 1);
    f4.key.keysym.mod = KMOD_RALT;
    handle_event(&f4, keys);
    EXPECT_EQ(game_state, 1);
    keys[KEY_LEFT_ALT] = 1;
    handle_event(&f4, keys);
    EXPECT_EQ(game_state, -1);
    // An Alt already released when the event is handled still counts if the
    // event recorded it.
    game_state = 1;
    keys[KEY_LEFT_ALT] = 0;
    f4.key.keysym.mod = KMOD_LALT;
    handle_event(&f4, keys);
    EXPECT_EQ(game_state, -1);
    // Key releases and other events change nothing.
    game_state = 2;
    f4.type = SDL_KEYUP;
    handle_event(&f4, keys);
    SDL_Event focus;
    memset(&focus, 0, sizeof focus);
    focus.type = SDL_ACTIVEEVENT;
    handle_event(&focus, keys);
    EXPECT_EQ(game_state, 2);
    game_state = 0;
}

TEST(CommandLine, OptionsIgnoreCaseAndMayRepeat)
{
    set_defaults();
    char prog[] = "crimson", w[] = "-W", fps[] = "-FpS", w2[] = "-w";
    char* argv[] = {prog, w, fps, w2};
    parse_arguments(4, argv);
    EXPECT_EQ(settings[FULL_SCREEN], 0);
    EXPECT_EQ(settings[SHOW_FPS], 1);
    EXPECT_EQ(settings[MUSIC_ON], 1);
    set_defaults();
    EXPECT_EQ(settings[FULL_SCREEN], 1);
    EXPECT_EQ(settings[SHOW_FPS], 0);
}

TEST(Fade, ReachesItsEndInOneHundredTwentyEightUnitsAndClamps)
{
    struct Case {
        int direction;
        float factor;
        int frames;
    };
    for (Case c : {Case{-1, 1.0f, 128}, Case{+1, 1.0f, 128}, Case{-1, 2.0f, 64},
                   Case{+1, 2.0f, 64}}) {
        frame_factor = c.factor;
        start_fade(0, 0, 0, c.direction, 1.0f / 128.0f);
        EXPECT_EQ(fade_alpha, c.direction < 0 ? 1.0f : 0.0f);
        int frames = 0;
        while (fade_active() && frames < 1000) {
            advance_fade();
            frames++;
        }
        EXPECT_EQ(frames, c.frames) << c.direction << " at " << c.factor;
        EXPECT_EQ(fade_alpha, c.direction < 0 ? 0.0f : 1.0f);
    }

    // Overshoot ends exactly at the end value.
    frame_factor = 1.0f;
    start_fade(170, 0, 0, +1, 0.02f);
    EXPECT_NEAR(fade_color[0], 170.0f / 255.0f, 1e-6);
    fade_alpha = 0.99f;
    advance_fade();
    EXPECT_EQ(fade_alpha, 1.0f);
    EXPECT_EQ(fade_active(), 0);
    start_fade(0, 0, 0, -1, 0.02f);
    fade_alpha = 0.01f;
    advance_fade();
    EXPECT_EQ(fade_alpha, 0.0f);
    EXPECT_EQ(fade_active(), 0);

    // No direction, no fade, whatever the opacity.
    fade_direction = 0;
    fade_alpha = 0.5f;
    EXPECT_EQ(fade_active(), 0);
    advance_fade();
    EXPECT_EQ(fade_alpha, 0.5f);
}

TEST(FrameRate, PublishesTheFramesOfEachWindowOfJustOverASecond)
{
    reset_fps();
    count_frame_at(10);
    count_frame_at(500);
    count_frame_at(999);
    EXPECT_EQ(fps_shown, 0); // nothing during the first second
    count_frame_at(1000);
    EXPECT_EQ(fps_shown, 4);
    for (uint32_t t = 1010; t < 2000; t += 10)
        count_frame_at(t);
    EXPECT_EQ(fps_shown, 4);
    count_frame_at(2000);
    EXPECT_EQ(fps_shown, 100);
    reset_fps();
    EXPECT_EQ(fps_shown, 0);
}
