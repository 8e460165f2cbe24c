// Game states: every transition driven by real key events and frames, the
// name entry, the prompt line and its blink, the banner's choice of strip
// and its shake; then the states' sounds on SDL's dummy audio driver: music
// per state, the title's F1 and F2 switches, and the warnings tied to the
// prompt's blink.
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "sound/sound.h"
#include "test_sound_data.h"
#include "test_states_helpers.h"

namespace {

using namespace state_test;

using States = StateTest;

TEST_F(States, IntroLeavesForTheTitleAtOnce)
{
    const int triggers[] = {SDLK_SPACE, SDLK_ESCAPE, -1};
    for (int trigger : triggers) {
        set_game_state(STATE_INTRO);
        frames(20);
        // Other buttons and keys do nothing here.
        push_click(SDL_BUTTON_RIGHT);
        push_key(SDLK_RETURN, 13);
        push_key(SDLK_F1);
        handle_input();
        ASSERT_EQ(game_state, STATE_INTRO);
        ASSERT_EQ(settings[MUSIC_ON], 1);
        if (trigger < 0)
            push_click(SDL_BUTTON_LEFT);
        else
            push_key(trigger);
        handle_input();
        EXPECT_EQ(game_state, STATE_TITLE) << "trigger " << trigger;
        EXPECT_EQ(next_state, STATE_TITLE);
        EXPECT_EQ(fade_direction, -1);
        EXPECT_EQ(fade_color[1], 1.0f) << "the title fades in from white";
        EXPECT_EQ(fade_alpha, 1.0f);
    }
}

TEST_F(States, TitleSpaceWaitsForTheFadeInThenLeadsToTheStory)
{
    set_game_state(STATE_TITLE);
    frames(10);
    EXPECT_STREQ(prompt_text(), "") << "no prompt while the title fades in";
    tap(SDLK_SPACE);
    EXPECT_EQ(next_state, STATE_TITLE);
    EXPECT_EQ(fade_direction, -1);

    // The frame that ends the fade-in clears it and restarts the blink.
    frames(118);
    EXPECT_EQ(fade_direction, 0);
    EXPECT_EQ(prompt_hidden, 0);
    EXPECT_STREQ(prompt_text(), "PRESS SPACE BAR TO START");

    tap(SDLK_SPACE);
    EXPECT_EQ(next_state, STATE_STORY);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(fade_direction, 1);
    EXPECT_EQ(fade_color[0], 0.0f);
    frames(64);
    EXPECT_FLOAT_EQ(fade_alpha, 0.5f);
    tap(SDLK_SPACE); // a second Space does not restart the fade-out
    EXPECT_FLOAT_EQ(fade_alpha, 0.5f);
    EXPECT_STREQ(prompt_text(), "");
    frames(63);
    EXPECT_EQ(game_state, STATE_TITLE);
    frames(1); // full: the story begins in this same frame
    EXPECT_EQ(game_state, STATE_STORY);
    EXPECT_EQ(fade_direction, -1);
    EXPECT_EQ(fade_alpha, 1.0f);
    EXPECT_EQ(story_steps, 0);
}

TEST_F(States, EscapeOnTheTitleQuitsAndTheQueueIsStillHandled)
{
    set_game_state(STATE_TITLE);
    frames(130);
    push_key(SDLK_ESCAPE);
    push_key(SDLK_F2); // judged by the new state: nothing happens
    handle_input();
    EXPECT_EQ(game_state, STATE_QUIT);
    EXPECT_EQ(settings[SOUND_FX_ON], 1);

    for (int state = STATE_INTRO; state <= STATE_NEW_HIGHSCORE; state++) {
        set_game_state(state);
        push_quit();
        handle_input();
        EXPECT_EQ(game_state, STATE_QUIT) << "close request in state " << state;
    }
    // Keys after a quit request in the same pass do not bring the game back.
    set_game_state(STATE_STORY);
    push_quit();
    push_key(SDLK_ESCAPE);
    push_key(SDLK_SPACE, ' ');
    push_click(SDL_BUTTON_LEFT);
    handle_input();
    EXPECT_EQ(game_state, STATE_QUIT);
}

TEST_F(States, StorySpaceFadesOutFromClearAndLeadsToTheRun)
{
    set_game_state(STATE_STORY);
    EXPECT_EQ(prompt_hidden, 0);
    EXPECT_EQ(prompt_timer, PROMPT_VISIBLE_TIME);
    frames(20);
    EXPECT_STREQ(prompt_text(), "PRESS SPACE BAR TO CONTINUE");
    // Space during the fade-in: the fade-out starts at once, from clear.
    tap(SDLK_SPACE);
    EXPECT_EQ(next_state, STATE_PLAYING);
    EXPECT_EQ(fade_direction, 1);
    EXPECT_EQ(fade_alpha, 0.0f);
    EXPECT_STREQ(prompt_text(), "");
    frames(32);
    tap(SDLK_SPACE);
    EXPECT_FLOAT_EQ(fade_alpha, 0.25f);
    frames(96);
    EXPECT_EQ(game_state, STATE_PLAYING);
    EXPECT_EQ(run_active, 0);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(fade_direction, -1);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(psychosis, PSYCHOSIS_MAX);
    int civilians = 0;
    for (character* c = character_list; c; c = c->next)
        civilians += c->kind == KIND_CIVILIAN;
    EXPECT_EQ(civilians, 50);

    // The run goes live in the frame its fade-in ends.
    frames(127);
    EXPECT_EQ(run_active, 0);
    EXPECT_EQ(banner_strip(), 0);
    frames(1);
    EXPECT_EQ(run_active, 1);

    set_game_state(STATE_STORY);
    tap(SDLK_ESCAPE);
    EXPECT_EQ(game_state, STATE_TITLE);
}

TEST_F(States, EndOfRunLeadsToTheEntryOnlyForANewHighScore)
{
    // Space and Escape during a live run.
    set_game_state(STATE_PLAYING);
    frames(130);
    tap(SDLK_SPACE);
    EXPECT_EQ(game_state, STATE_PLAYING);
    tap(SDLK_ESCAPE);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(score, 0);

    // A score of 0 never enters the table.
    lost_run(0);
    tap(SDLK_SPACE);
    EXPECT_EQ(game_state, STATE_TITLE);

    lost_run(40);
    start_fade(170, 0, 0, 1, 1.0f / 128);
    frames(200);
    EXPECT_STREQ(prompt_text(), "PRESS SPACE BAR TO CONTINUE");
    tap(SDLK_SPACE);
    EXPECT_EQ(game_state, STATE_NEW_HIGHSCORE);
    EXPECT_EQ(fade_direction, 0) << "the red fade leaves at once";
    EXPECT_FALSE(fade_active());
    EXPECT_EQ(score, 40) << "the finished run is kept for the entry";
}

TEST_F(States, EntryStoresOnReturnAndNothingOnEscape)
{
    lost_run(40);
    tap(SDLK_SPACE);
    tap(SDLK_a, 'A');
    tap(SDLK_ESCAPE);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(highscores[0].score, 0);
    EXPECT_NE(access(HIGHSCORE_FILE, F_OK), 0);
    EXPECT_EQ(score, 0);

    lost_run(60);
    kills[KIND_CIVILIAN] = 2;
    kills[KIND_ARMED] = 1;
    run_seconds = 75;
    tap(SDLK_SPACE);
    tap(SDLK_b, 'B');
    tap(SDLK_o, 'o');
    tap(SDLK_RETURN, 13);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_STREQ(highscore_name(0), "Bo");
    EXPECT_EQ(highscores[0].score, 60);
    EXPECT_EQ(highscores[0].civilian_kills, 2);
    EXPECT_EQ(highscores[0].armed_kills, 1);
    EXPECT_EQ(highscores[0].seconds, 75);
    std::ifstream f(HIGHSCORE_FILE, std::ios::binary | std::ios::ate);
    EXPECT_EQ((int)f.tellg(), HIGHSCORE_FILE_SIZE);

    // The keypad Enter confirms too, also an empty name; equal scores stay
    // below the older entry.
    lost_run(60);
    tap(SDLK_SPACE);
    tap(SDLK_KP_ENTER, 13);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_STREQ(highscore_name(0), "Bo");
    EXPECT_STREQ(highscore_name(1), "");
    EXPECT_EQ(highscores[1].score, 60);
}

TEST_F(States, PromptLinesTheirPlacesAndTheirBlink)
{
    set_game_state(STATE_TITLE);
    frames(128);
    const char* line = prompt_text();
    EXPECT_STREQ(line, "PRESS SPACE BAR TO START");
    EXPECT_EQ(prompt_y(line), 568);

    lost_run(5);
    EXPECT_STREQ(prompt_text(), "PRESS SPACE BAR TO CONTINUE");
    EXPECT_EQ(prompt_y(prompt_text()), 568);

    psychosis = 50;
    EXPECT_STREQ(prompt_text(), "") << "nothing during a live run";
    paused = 1;
    EXPECT_STREQ(prompt_text(), "PAUSED");
    EXPECT_EQ(prompt_y("PAUSED"), 324);
    paused = 0;

    // 40 frame units visible and 20 hidden, each phase plus the frame in
    // which it turns.
    prompt_hidden = 0;
    prompt_timer = PROMPT_VISIBLE_TIME;
    std::string pattern;
    for (int i = 0; i < 124; i++) {
        pattern += prompt_hidden ? 'h' : 'v';
        advance_prompt();
    }
    std::string cycle = std::string(41, 'v') + std::string(21, 'h');
    EXPECT_EQ(pattern, cycle + cycle);

    // A long frame does not carry its overshoot into the next phase.
    prompt_timer = 1.0f;
    frame_factor = 50.0f;
    advance_prompt();
    advance_prompt();
    EXPECT_EQ(prompt_hidden, 1);
    EXPECT_EQ(prompt_timer, PROMPT_HIDDEN_TIME);
}

TEST_F(States, BannerStripFollowsTheRun)
{
    set_game_state(STATE_PLAYING);
    EXPECT_EQ(banner_strip(), 0) << "the run is about to start";
    frames(130);
    EXPECT_EQ(banner_strip(), -1);
    // Steroids show strip 1, blinking with the prompt in their last 299
    // ticks but steady while paused; a dead player shows 2, a drained
    // psychosis meter 3.
    const struct { int steroids, hidden, paused, health, psychosis, strip; } cases[] = {
        {600, 1, 0, 100, 50, 1}, {300, 1, 0, 100, 50, 1}, {299, 1, 0, 100, 50, -1},
        {299, 0, 0, 100, 50, 1}, {299, 1, 1, 100, 50, 1}, {1, 0, 0, 100, 50, 1},
        {0, 0, 0, 100, 50, -1},  {0, 0, 0, 0, 50, 2},     {0, 1, 0, 0, 50, 2},
        {0, 1, 0, 50, 0, 3},
    };
    for (auto c : cases) {
        steroids_timer = c.steroids;
        prompt_hidden = c.hidden;
        paused = c.paused;
        player->health = c.health;
        psychosis = c.psychosis;
        EXPECT_EQ(banner_strip(), c.strip) << "steroids " << c.steroids << " hidden " << c.hidden << " paused "
                                           << c.paused << " health " << c.health << " psychosis " << c.psychosis;
    }
}

TEST_F(States, BannerJitterNeverRepeatsAnOffset)
{
    reset_overlays();
    EXPECT_EQ(banner_jitter[0], 0);
    EXPECT_EQ(banner_jitter[1], 0);
    int px = 0, py = 0, changes = 0;
    std::set<int> seen_x, seen_y;
    for (int i = 0; i < 5000; i++) {
        advance_jitter();
        if (banner_jitter[0] != px || banner_jitter[1] != py) {
            ASSERT_NE(banner_jitter[0], px);
            ASSERT_NE(banner_jitter[1], py);
            changes++;
            px = banner_jitter[0];
            py = banner_jitter[1];
        }
        ASSERT_GE(px, -2);
        ASSERT_LE(px, 2);
        ASSERT_GE(py, -2);
        ASSERT_LE(py, 2);
        seen_x.insert(px);
        seen_y.insert(py);
    }
    // A new offset every 4 frame units plus the frame of the step.
    EXPECT_EQ(changes, 1000);
    EXPECT_EQ(seen_x.size(), 5u);
    EXPECT_EQ(seen_y.size(), 5u);
}

TEST_F(States, EntryTypesPrintableCharactersUpToSixteenButNotTheSpaceThatOpenedIt)
{
    lost_run(10);
    // Both Spaces in one pass: the rest of that pass types nothing.
    push_key(SDLK_SPACE, ' ');
    push_key(SDLK_SPACE, ' ');
    handle_input();
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    EXPECT_STREQ(name_buffer, "");
    tap(SDLK_SPACE, ' ');
    EXPECT_STREQ(name_buffer, " ");
    // p and letters in the case SDL gave them go in like any character.
    tap(SDLK_p, 'p');
    tap(SDLK_x, 'X');
    EXPECT_STREQ(name_buffer, " pX");
    EXPECT_EQ(paused, 0);

    // Sixteen printable characters fit, a fresh entry starts empty.
    set_game_state(STATE_NEW_HIGHSCORE);
    // Backspace on an empty name does nothing.
    tap(SDLK_BACKSPACE, 8);
    EXPECT_STREQ(name_buffer, "");
    for (char c : std::string("~Name with 16 c!"))
        push_key(SDLK_a, (unsigned char)c);
    handle_input();
    EXPECT_STREQ(name_buffer, "~Name with 16 c!");
    tap(SDLK_b, 'b');
    EXPECT_STREQ(name_buffer, "~Name with 16 c!") << "a 17th character is refused";
    EXPECT_EQ(name_buffer[HIGHSCORE_NAME_MAX], '\0');

    tap(SDLK_BACKSPACE, 8);
    tap(SDLK_BACKSPACE, 8);
    EXPECT_STREQ(name_buffer, "~Name with 16 ");
    // Outside 32..126: control codes, DEL, accented letters, no character.
    tap(SDLK_a, 31);
    tap(SDLK_a, 127);
    tap(SDLK_a, 0xe9);
    tap(SDLK_a, 0x416);
    tap(SDLK_LSHIFT, 0);
    tap(SDLK_TAB, 9);
    EXPECT_STREQ(name_buffer, "~Name with 16 ");
    tap(SDLK_a, 126);
    tap(SDLK_SPACE, 32);
    EXPECT_STREQ(name_buffer, "~Name with 16 ~ ");

    // Entering the state again starts an empty name.
    set_game_state(STATE_NEW_HIGHSCORE);
    for (int i = 0; i < (HIGHSCORE_NAME_MAX + 1); i++)
        EXPECT_EQ(name_buffer[i], '\0');

    // Nothing is typed in other states.
    set_game_state(STATE_TITLE);
    tap(SDLK_a, 'a');
    set_game_state(STATE_STORY);
    tap(SDLK_a, 'a');
    EXPECT_STREQ(name_buffer, "");
}

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

TEST_F(StateSound, F1AndF2SwitchOnlyOnTheTitleAndNoModuleStartsWithMusicOff)
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
