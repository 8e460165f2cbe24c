// The state machine's sounds on SDL's dummy audio driver: music per state,
// the title's F1 and F2 switches, and the warnings tied to the prompt's blink.
#include "test_states_helpers.h"

#include <chrono>
#include <thread>

#include "sound/sound.h"
#include "test_sound_data.h"

namespace {

using namespace state_test;

using sound_data::note_module;

class StateSound : public StateTest {
protected:
    void SetUp() override
    {
        StateTest::SetUp();
        for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_AUDIO); i++)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        init_sound();
        std::vector<unsigned char> title = note_module(64, 31); // about 40 s
        std::vector<unsigned char> brief = note_module(1, 1);   // about 20 ms
        load_sound_bytes(&modules[MODULE_TITLE], "title.mod", title.data(), title.size());
        load_sound_bytes(&modules[MODULE_INTRO], "intro.mod", brief.data(), brief.size());
        load_sound_bytes(&modules[MODULE_HIGHSCORE], "entry.mod", brief.data(), brief.size());
        std::vector<unsigned char> wave = sound_data::wave(1, 44100, sound_data::square);
        for (int id = 0; id < SAMPLE_COUNT; id++)
            load_sound_bytes(&samples[id], "tone.wav", wave.data(), wave.size());
    }
    void TearDown() override
    {
        close_sound();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        StateTest::TearDown();
    }
};

void wait_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST_F(StateSound, F1AndF2SwitchOnlyOnTheTitle)
{
    const int others[] = {STATE_INTRO, STATE_STORY, STATE_PLAYING, STATE_NEW_HIGHSCORE};
    for (int state : others) {
        set_game_state(state);
        tap(SDLK_F1);
        tap(SDLK_F2);
        EXPECT_EQ(settings[MUSIC_ON], 1) << "state " << state;
        EXPECT_EQ(settings[SOUND_FX_ON], 1) << "state " << state;
    }

    set_game_state(STATE_TITLE);
    ASSERT_EQ(module_playing(), 1);
    tap(SDLK_F1);
    EXPECT_EQ(settings[MUSIC_ON], 0);
    EXPECT_EQ(module_playing(), 0) << "music stops at once";

    // Back on: the title's own module starts again and keeps playing past
    // the length of the short ones.
    set_game_state(STATE_TITLE); // with music off nothing starts
    EXPECT_EQ(module_playing(), 0);
    tap(SDLK_F1);
    EXPECT_EQ(settings[MUSIC_ON], 1);
    EXPECT_EQ(module_playing(), 1);
    wait_ms(300);
    EXPECT_EQ(module_playing(), 1);

    tap(SDLK_F2);
    EXPECT_EQ(settings[SOUND_FX_ON], 0);
    EXPECT_EQ(module_playing(), 1) << "F2 leaves the music alone";
    play_sample(SAMPLE_PANT);
    EXPECT_EQ(sample_playing(SAMPLE_PANT), 0);
    tap(SDLK_F2);
    EXPECT_EQ(settings[SOUND_FX_ON], 1);
}

TEST_F(StateSound, NoModuleStartsWithMusicOff)
{
    set_game_state(STATE_TITLE);
    ASSERT_EQ(module_playing(), 1);
    stop_module();
    settings[MUSIC_ON] = 0;
    for (int state = STATE_INTRO; state <= STATE_NEW_HIGHSCORE; state++) {
        set_game_state(state);
        EXPECT_EQ(module_playing(), 0) << "state " << state;
    }
    settings[MUSIC_ON] = 1;
    std::vector<unsigned char> dark = note_module(64, 31);
    load_sound_bytes(&modules[MODULE_INTRO], "story.mod", dark.data(), dark.size());
    set_game_state(STATE_STORY);
    EXPECT_EQ(module_playing(), 1);
    // The run keeps the story's module.
    set_game_state(STATE_PLAYING);
    EXPECT_EQ(module_playing(), 1);
}

// Counts the starts of each warning over `n` frames, stopping every sample
// that started so the next start shows.
void count_warnings(int n, int counts[3])
{
    const int ids[3] = {SAMPLE_PANT, SAMPLE_ALERT, SAMPLE_ALERT2};
    for (int i = 0; i < 3; i++) {
        counts[i] = 0;
        stop_sample(ids[i]);
    }
    for (int f = 0; f < n; f++) {
        logic_frame();
        for (int i = 0; i < 3; i++) {
            if (sample_playing(ids[i])) {
                counts[i]++;
                stop_sample(ids[i]);
            }
        }
    }
}

TEST_F(StateSound, WarningsSoundOncePerBlinkCycleDuringTheLiveRun)
{
    set_game_state(STATE_PLAYING);
    player->health = 30;
    psychosis = 40;
    steroids_timer = 299;
    int counts[3];
    // Not before the run is live: the fade-in lasts 128 frames.
    count_warnings(100, counts);
    EXPECT_EQ(counts[0] + counts[1] + counts[2], 0);
    frames(30);
    ASSERT_EQ(run_active, 1);

    // Each cycle is 62 frames at one unit per frame (40 + 20 and the two
    // frames of the turns); the warnings start each visible phase.
    prompt_hidden = 0;
    prompt_timer = PROMPT_VISIBLE_TIME;
    count_warnings(62 * 5, counts);
    EXPECT_EQ(counts[0], 5);
    EXPECT_EQ(counts[1], 5);
    EXPECT_EQ(counts[2], 5);

    // Above the thresholds, or with steroids not ending, they are silent.
    player->health = 31;
    psychosis = 41;
    steroids_timer = 300;
    count_warnings(62 * 2, counts);
    EXPECT_EQ(counts[0] + counts[1] + counts[2], 0);
    steroids_timer = 0;
    count_warnings(62 * 2, counts);
    EXPECT_EQ(counts[2], 0);

    // Paused, or once the run is over, nothing sounds.
    player->health = 10;
    paused = 1;
    count_warnings(62 * 2, counts);
    EXPECT_EQ(counts[0], 0);
    paused = 0;
    psychosis = 0;
    count_warnings(62 * 2, counts);
    EXPECT_EQ(counts[0] + counts[1], 0);
}

}  // namespace
