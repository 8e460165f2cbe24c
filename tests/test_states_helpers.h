// Shared by the state and input tests: real SDL key events, a small open
// map for new runs, a private working folder for "scores.bin", and one
// drawn frame's logic without a window.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "characters/characters.h"
#include "characters/player.h"
#include "core/input.h"
#include "core/loop.h"
#include "core/states.h"
#include "frontend/overlays.h"
#include "frontend/intro.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/fade.h"
#include "scores/highscores.h"
#include "test_temp_dir.h"
#include "world/map.h"

namespace state_test {

// The event queue needs SDL's video part; without a display the dummy
// driver serves.
inline void start_events()
{
    if (!getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    SDL_EnableUNICODE(1);
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}

inline void push_key(int sym, int unicode = 0)
{
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = (SDLKey)sym;
    e.key.keysym.unicode = (Uint16)unicode;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

inline void push_click(int button)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = (Uint8)button;
    e.button.state = SDL_PRESSED;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

inline void push_quit()
{
    SDL_Event e = {};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// A key pressed and handled in its own tick.
inline void tap(int sym, int unicode = 0)
{
    push_key(sym, unicode);
    handle_input();
}

// 16 x 16 floor cells, no visual layers: room for a whole population.
inline void load_open_map()
{
    const int side = 16;
    std::vector<unsigned char> image(map_file_size(side, side, 0), 1);
    image[36] = side;
    image[37] = side;
    image[38] = 0;
    load_map_bytes("test.map", image.data(), image.size());
}

// What a drawn frame does to the state, in the loop's order, minus the
// pictures: the state's screen (whose drawing advances its own timers), the
// fade, the state update, the banner's shake and the prompt's blink.
inline void logic_frame()
{
    switch (game_state) {
    case STATE_INTRO:
        advance_intro();
        break;
    case STATE_TITLE:
        advance_title_background();
        advance_title_logo(100);
        break;
    case STATE_STORY:
        advance_story();
        break;
    default:
        break;
    }
    advance_fade();
    update_game_state();
    if (game_state == STATE_PLAYING && !paused)
        advance_jitter();
    advance_prompt();
}

inline void frames(int n)
{
    for (int i = 0; i < n; i++)
        logic_frame();
}

// Runs "scores.bin" in a fresh folder, with default settings and an empty
// table, and the event queue drained.
class StateTest : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override
    {
        start_events();
        set_defaults();
        clear_highscores();
        load_open_map();
        paused = 0;
        frame_factor = 1.0f;
        reset_overlays();
    }
    void TearDown() override
    {
        free_characters();
        frame_factor = 0.0f;
    }

    // A run that has ended by psychosis, with `points` scored.
    void lost_run(int points)
    {
        set_game_state(STATE_PLAYING);
        frames(130);
        ASSERT_EQ(run_active, 1);
        psychosis = 0;
        score = points;
        ASSERT_TRUE(player_out());
    }
};

}  // namespace state_test
