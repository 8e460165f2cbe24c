// The tick accumulator, frame timing, fades, the frame-rate counter, the
// command line and the input that acts in every state, driven with chosen
// clock readings and frame_factor values instead of a real clock.
#include "test_states_helpers.h"

#include <cmath>
#include <cstring>

#include "core/replay.h"
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

TEST(FrameLoop, FirstTwoFramesRunNoTickThenTicksFollowTheClockAndCatchUpAfterAStall)
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

    // A stall runs every accumulated tick back to back.
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
        SDL_Event e;
        memset(&e, 0, sizeof e);
        e.type = (Uint8)c.type;
        e.key.keysym.sym = (SDLKey)KEY_F4;
        e.key.keysym.mod = (SDLMod)c.mod;
        game_state = 1;
        handle_event(&e, keys);
        EXPECT_EQ(game_state, c.quits ? -1 : 1) << "event " << c.type << " left " << c.left_held << " mod " << c.mod;
    }
    game_state = 0;
}

TEST(CommandLine, OptionsIgnoreCaseAndMayRepeat)
{
    set_defaults();
    char prog[] = "crimson", w[] = "-W", fps[] = "-FpS", w2[] = "-w", replay[] = "-Replay",
         verify[] = "-VERIFY", file[] = "-w.rpl";
    char* argv[] = {prog, w, fps, w2, replay, file, verify, file};
    parse_arguments(8, argv);
    EXPECT_STREQ(replay_watch_file, "-w.rpl"); // the word after it is the file, whatever it reads
    EXPECT_STREQ(replay_verify_file, "-w.rpl");
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
