// Shared by the state, loop, input and front-end tests: SDL events through
// the real queue, a small open map for new runs, a private working folder
// for "scores.bin", and frames run as the loop runs them, without a picture.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "characters/characters.h"
#include "characters/player.h"
#include "core/input.h"
#include "core/loop.h"
#include "core/states.h"
#include "frontend/overlays.h"
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

// An event as SDL delivers it: a button press (`code` the button), or a key
// (`code` the key, with the typed character and the modifiers it was
// pressed with); other types carry the key's fields too, to be ignored.
inline SDL_Event event(int type, int code = 0, int unicode = 0, int mod = 0)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = (Uint8)type;
    if (type == SDL_MOUSEBUTTONDOWN) {
        e.button.button = (Uint8)code;
        e.button.state = SDL_PRESSED;
    } else {
        e.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
        e.key.keysym.sym = (SDLKey)code;
        e.key.keysym.unicode = (Uint16)unicode;
        e.key.keysym.mod = (SDLMod)mod;
    }
    return e;
}

inline void push(int type, int code = 0, int unicode = 0)
{
    SDL_Event e = event(type, code, unicode);
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// A key pressed and handled in its own tick.
inline void tap(int sym, int unicode = 0)
{
    push(SDL_KEYDOWN, sym, unicode);
    handle_input();
}

// Each character typed on its key, all handled in one tick.
inline void type(const char* text)
{
    for (const char* p = text; *p; p++)
        push(SDL_KEYDOWN, tolower((unsigned char)*p), (unsigned char)*p);
    handle_input();
}

// 16 x 16 floor cells, no visual layers: room for a whole population.
inline void load_open_map()
{
    const int side = 16;
    std::vector<unsigned char> image(map_file_size(side, side, 0), 1);
    image[MAP_HEADER_SIZE] = side;
    image[MAP_HEADER_SIZE + 1] = side;
    image[MAP_HEADER_SIZE + 2] = 0;
    load_map_bytes("test.map", image.data(), image.size());
}

inline void frames(int n)
{
    for (int i = 0; i < n; i++)
        advance_frame();
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
