// Game states: every transition driven by real events and frames, with its
// fade and the prompt line it shows; the name entry; the banner's choice of
// strip; then, on SDL's dummy audio driver, the music per state, the title's
// F1 and F2 switches, and the warnings tied to the prompt's blink.
#include <array>
#include <string>
#include <tuple>

#include "frontend/story.h"
#include "sound/sound.h"
#include "test_sound_data.h"
#include "test_states_helpers.h"

namespace {

using namespace state_test;
using States = StateTest;

const int I = STATE_INTRO, T = STATE_TITLE, S = STATE_STORY, P = STATE_PLAYING, N = STATE_NEW_HIGHSCORE;
const char* const START = "PRESS SPACE BAR TO START";
const char* const GO_ON = "PRESS SPACE BAR TO CONTINUE";

// Pushes one pass of events and handles it in one tick: ' ' Space, 'E'
// Escape, 'R' Return, 'K' keypad Enter, '1' and '2' F1 and F2, 'l' and 'r'
// the left and right buttons, 'Q' the window's close request.
void pass(const char* events)
{
    const char* keys = " ERK12";
    const int syms[] = {SDLK_SPACE, SDLK_ESCAPE, SDLK_RETURN, SDLK_KP_ENTER, SDLK_F1, SDLK_F2};
    for (const char* p = events; *p; p++) {
        if (*p == 'Q')
            push(SDL_QUIT);
        else if (*p == 'l' || *p == 'r')
            push(SDL_MOUSEBUTTONDOWN, *p == 'l' ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT);
        else
            push(SDL_KEYDOWN, syms[strchr(keys, *p) - keys], *p == ' ' ? ' ' : 0);
    }
    handle_input();
}

// One step of a walk: a pass of events, then `frames` frames, after which
// the game must stand in `state`, a running fade lead to `next`, the fade
// have its direction and opacity, and the state offer its prompt line.
struct Step {
    const char* events;
    int frames, state, next, fade;
    float alpha;
    const char* prompt;
};

void walk(std::initializer_list<Step> steps)
{
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string("after \"") + s.events + "\" and " + std::to_string(s.frames) + " frames");
        pass(s.events);
        frames(s.frames);
        EXPECT_EQ(std::make_tuple(game_state, next_state, fade_direction, fade_alpha, std::string(prompt_text())),
                  std::make_tuple(s.state, s.next, s.fade, s.alpha, std::string(s.prompt)));
    }
}

TEST_F(States, EveryTransitionWithItsFadeAndPrompt)
{
    // Space, Escape or the left button cut the intro short at once, nothing
    // else does; the title fades in from white.
    for (const char* trigger : {" ", "E", "l"}) {
        set_game_state(STATE_INTRO);
        walk({{"", 20, I, I, -1, 108 / 128.0f, ""}, {"rR1", 0, I, I, -1, 108 / 128.0f, ""},
              {trigger, 0, T, T, -1, 1.0f, ""}});
        EXPECT_EQ(fade_color[1], 1.0f);
    }
    EXPECT_EQ(settings[MUSIC_ON], 1);

    // The title ignores Space while it fades in; the frame that ends the
    // fade shows the prompt. Space then fades out to black, and a second
    // Space does not restart that fade.
    walk({{"", 10, T, T, -1, 118 / 128.0f, ""}, {" ", 118, T, T, 0, 0.0f, START}});
    EXPECT_EQ(prompt_hidden, 0);
    walk({{" ", 64, T, S, 1, 0.5f, ""}});
    EXPECT_EQ(fade_color[0], 0.0f);
    // The story begins in the frame in which the fade-out is full.
    walk({{" ", 63, T, S, 1, 127 / 128.0f, ""}, {"", 1, S, S, -1, 1.0f, GO_ON}});
    EXPECT_EQ(story_steps, 0);

    // Space in the story fades out at once, from clear, and only once; the
    // run starts behind a fade-in and goes live in the frame that ends it.
    walk({{"", 20, S, S, -1, 108 / 128.0f, GO_ON}, {" ", 32, S, P, 1, 0.25f, ""},
          {" ", 95, S, P, 1, 127 / 128.0f, ""}, {"", 1, P, P, -1, 1.0f, ""}, {"", 127, P, P, -1, 1 / 128.0f, ""}});
    EXPECT_EQ(banner_strip(), 0);
    ASSERT_NE(player, nullptr);
    int civilians = 0;
    for (character* c = character_list; c; c = c->next)
        civilians += c->kind == KIND_CIVILIAN;
    EXPECT_EQ(std::make_tuple(civilians, psychosis, run_active), std::make_tuple(50, PSYCHOSIS_MAX, 0));
    walk({{"", 1, P, P, -1, 0.0f, ""}, {" ", 0, P, P, -1, 0.0f, ""}});
    EXPECT_EQ(run_active, 1);
    EXPECT_EQ(paused, 0);
    // Escape leaves a live run, and the story, for the title.
    walk({{"E", 0, T, T, -1, 1.0f, ""}});
    set_game_state(STATE_STORY);
    walk({{"E", 0, T, T, -1, 1.0f, ""}});

    // Escape on the title quits; the rest of that pass is judged by the new
    // state, so F2 switches nothing.
    walk({{"", 130, T, T, 0, 0.0f, START}, {"E2", 0, STATE_QUIT, T, 0, 0.0f, ""}});
    EXPECT_EQ(settings[SOUND_FX_ON], 1);
    // The close request quits every state, and what follows it in the same
    // pass does not bring the game back.
    for (int state = STATE_INTRO; state <= STATE_NEW_HIGHSCORE; state++) {
        set_game_state(state);
        pass("Q");
        EXPECT_EQ(game_state, STATE_QUIT) << "state " << state;
    }
    set_game_state(STATE_STORY);
    pass("QE l");
    EXPECT_EQ(game_state, STATE_QUIT);
}

TEST_F(States, ARunEndsInTheEntryOnlyForANewHighScoreAndOnlyReturnStoresIt)
{
    lost_run(0);
    walk({{" ", 0, T, T, -1, 1.0f, ""}});
    // The end's red fade stays until Space, which takes it off at once.
    lost_run(40);
    start_fade(170, 0, 0, 1, STATE_FADE_SPEED);
    walk({{"", 200, P, P, 1, 1.0f, GO_ON}, {" ", 0, N, N, 0, 1.0f, ""}});
    EXPECT_EQ(score, 40) << "the finished run is kept for the entry";
    type("a");
    walk({{"E", 0, T, T, -1, 1.0f, ""}});
    EXPECT_EQ(highscores[0].score, 0);
    EXPECT_NE(access(HIGHSCORE_FILE, F_OK), 0);
    EXPECT_EQ(score, 0);

    lost_run(60);
    kills[KIND_CIVILIAN] = 2;
    kills[KIND_ARMED] = 1;
    run_seconds = 75;
    pass(" ");
    type("Bo");
    walk({{"R", 0, T, T, -1, 1.0f, ""}});
    EXPECT_STREQ(highscore_name(0), "Bo");
    const HighScoreEntry& h = highscores[0];
    EXPECT_EQ(std::make_tuple(h.score, h.civilian_kills, h.armed_kills, h.seconds), std::make_tuple(60, 2, 1, 75));
    EXPECT_EQ(read_whole_file(HIGHSCORE_FILE).size(), (size_t)HIGHSCORE_FILE_SIZE);
    // The keypad Enter stores too, also an empty name, below an equal score.
    lost_run(60);
    pass(" ");
    walk({{"K", 0, T, T, -1, 1.0f, ""}});
    EXPECT_STREQ(highscore_name(0), "Bo");
    EXPECT_STREQ(highscore_name(1), "");
    EXPECT_EQ(highscores[1].score, 60);
}

TEST_F(States, NameEntryTakesSixteenPrintableCharactersButNotTheSpaceThatOpenedIt)
{
    lost_run(10);
    // Both Spaces in one pass: the rest of the pass that opened it types nothing.
    pass("  ");
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    EXPECT_STREQ(name_buffer, "");
    // Space, P and letters in the case SDL gave them are characters like any.
    type(" pX");
    EXPECT_STREQ(name_buffer, " pX");
    EXPECT_EQ(paused, 0);

    set_game_state(STATE_NEW_HIGHSCORE);
    tap(SDLK_BACKSPACE, 8);
    type("~Name with 16 c!b");
    EXPECT_STREQ(name_buffer, "~Name with 16 c!") << "a 17th character is refused";
    tap(SDLK_BACKSPACE, 8);
    tap(SDLK_BACKSPACE, 8);
    // Outside 32..126: control codes, DEL, accented letters, no character.
    for (int c : {31, 127, 0xe9, 0x416, 0, 9})
        push(SDL_KEYDOWN, SDLK_a, c);
    type("~ ");
    EXPECT_STREQ(name_buffer, "~Name with 16 ~ ");

    set_game_state(STATE_NEW_HIGHSCORE);
    EXPECT_EQ(std::string(name_buffer, HIGHSCORE_NAME_MAX + 1), std::string(HIGHSCORE_NAME_MAX + 1, '\0'));
    set_game_state(STATE_TITLE);
    type("a");
    set_game_state(STATE_STORY);
    type("a");
    EXPECT_STREQ(name_buffer, "") << "typed outside the entry";
}

TEST_F(States, BannerStripFollowsTheRun)
{
    set_game_state(STATE_PLAYING);
    frames(130);
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
    paused = 1;
    EXPECT_STREQ(prompt_text(), "PAUSED");
}

class StateSound : public StateTest {
protected:
    void SetUp() override
    {
        StateTest::SetUp();
        sound_data::start("dummy");
        sound_data::load_module(MODULE_TITLE, 64, 31);    // about 40 s
        sound_data::load_module(MODULE_INTRO, 1, 1);      // about 20 ms
        sound_data::load_module(MODULE_HIGHSCORE, 50, 1); // 1 s
        std::vector<unsigned char> wave = sound_data::wave(1, 44100, sound_data::square);
        for (int id = 0; id < SAMPLE_COUNT; id++)
            load_sound_bytes(&samples[id], "tone.wav", wave.data(), wave.size());
    }
    void TearDown() override
    {
        sound_data::stop();
        StateTest::TearDown();
    }
};

TEST_F(StateSound, F1AndF2SwitchOnlyOnTheTitleAndEachStateStartsItsModule)
{
    for (int state : {STATE_INTRO, STATE_STORY, STATE_PLAYING, STATE_NEW_HIGHSCORE}) {
        set_game_state(state);
        pass("12");
        EXPECT_EQ(settings[MUSIC_ON] + settings[SOUND_FX_ON], 2) << "state " << state;
    }
    set_game_state(STATE_TITLE);
    ASSERT_EQ(module_playing(), 1);
    pass("1");
    EXPECT_EQ(settings[MUSIC_ON], 0);
    EXPECT_EQ(module_playing(), 0) << "music stops at once";
    // Back on: the title's own module starts again and keeps playing past
    // the length of the short ones.
    set_game_state(STATE_TITLE);
    EXPECT_EQ(module_playing(), 0) << "with music off nothing starts";
    pass("1");
    EXPECT_EQ(settings[MUSIC_ON], 1);
    SDL_Delay(300);
    EXPECT_EQ(module_playing(), 1);
    pass("2");
    EXPECT_EQ(settings[SOUND_FX_ON], 0);
    EXPECT_EQ(module_playing(), 1) << "F2 leaves the music alone";
    play_sample(SAMPLE_PANT);
    EXPECT_EQ(sample_playing(SAMPLE_PANT), 0);
    pass("2");
    EXPECT_EQ(settings[SOUND_FX_ON], 1);

    // A module plays once to its end, and entering its state again starts
    // it over from the beginning.
    set_game_state(STATE_NEW_HIGHSCORE);
    for (int ms = 0; module_playing() && ms < 10000; ms += 10)
        SDL_Delay(10);
    EXPECT_EQ(module_playing(), 0) << "a finished module still counts as playing";
    set_game_state(STATE_NEW_HIGHSCORE);
    SDL_Delay(300);
    EXPECT_EQ(module_playing(), 1) << "the module did not start from its beginning";

    stop_module();
    sound_data::load_module(MODULE_INTRO, 64, 31);
    set_game_state(STATE_STORY);
    EXPECT_EQ(module_playing(), 1);
    set_game_state(STATE_PLAYING);
    EXPECT_EQ(module_playing(), 1) << "the run keeps the story's module";
}

// Starts of the low-health, low-psychosis and steroids-ending warnings
// over `n` frames, stopping every sample that started so the next start
// shows.
std::array<int, 3> count_warnings(int n)
{
    const int ids[3] = {SAMPLE_PANT, SAMPLE_ALERT, SAMPLE_ALERT2};
    std::array<int, 3> counts = {0, 0, 0};
    for (int id : ids)
        stop_sample(id);
    for (int f = 0; f < n; f++) {
        advance_frame();
        for (int i = 0; i < 3; i++) {
            counts[i] += sample_playing(ids[i]);
            stop_sample(ids[i]);
        }
    }
    return counts;
}

TEST_F(StateSound, WarningsSoundOncePerBlinkCycleDuringTheLiveRun)
{
    const std::array<int, 3> none = {0, 0, 0};
    set_game_state(STATE_PLAYING);
    player->health = 30;
    psychosis = 40;
    steroids_timer = 299;
    EXPECT_EQ(count_warnings(100), none) << "before the run is live: the fade-in lasts 128 frames";
    frames(30);
    ASSERT_EQ(run_active, 1);
    // Each cycle is 62 frames at one unit per frame (40 + 20 and the two
    // frames of the turns); the warnings start each visible phase.
    restart_prompt_visible();
    EXPECT_EQ(count_warnings(62 * 5), (std::array<int, 3>{5, 5, 5}));
    // Above the thresholds, with steroids not ending or gone, paused, or
    // once the run is over, they are silent.
    player->health = 31;
    psychosis = 41;
    steroids_timer = 300;
    EXPECT_EQ(count_warnings(62 * 2), none);
    steroids_timer = 0;
    EXPECT_EQ(count_warnings(62 * 2), none);
    player->health = 10;
    paused = 1;
    EXPECT_EQ(count_warnings(62 * 2), none);
    paused = 0;
    psychosis = 0;
    EXPECT_EQ(count_warnings(62 * 2), none);
}

}  // namespace
