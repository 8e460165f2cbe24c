// Event handling. Every decision reads game_state at the moment of the
// event, so a key that changes the state changes how the later events of the
// same pass are judged.
#include "core/input.h"

#include <SDL.h>

#include "core/loop.h"
#include "core/states.h"
#include "render/fps.h"
#include "render/screen.h"
#include "render/textures.h"

int mouse_x = 0, mouse_y = 0;

void enable_text_input()
{
    SDL_EnableUNICODE(1);
}

// Only the left Alt key makes the combinations. The key state array alone
// is not enough: it is refreshed when the queue is pumped, so an Alt released
// quickly after the other key already reads as up by the time the key's
// event is handled. The modifiers recorded with the event itself do not lose
// it.
static bool left_alt_held(const SDL_keysym* key, const uint8_t* key_state)
{
    return (key->mod & KMOD_LALT) != 0 || (key_state && key_state[KEY_LEFT_ALT]);
}

// A new video mode brings a new OpenGL context without our textures, so
// they are deleted before and loaded again after. init_screen also restarts
// frame timing and drops any fade and pending screenshot.
static void toggle_full_screen()
{
    settings[FULL_SCREEN] = !settings[FULL_SCREEN];
    free_graphics();
    init_screen(settings[FULL_SCREEN]);
    load_graphics();
}

static void handle_key(const SDL_keysym* key, const uint8_t* key_state)
{
    switch ((int)key->sym) {
    case KEY_RETURN:
        // The Return of this combination does nothing else.
        if (left_alt_held(key, key_state)) {
            toggle_full_screen();
            return;
        }
        break;
    case KEY_F4:
        if (left_alt_held(key, key_state))
            game_state = STATE_QUIT;
        break;
    case KEY_PRINT:
        screenshot_requested = 1;
        break;
    default:
        break;
    }
}

void handle_event(const SDL_Event* event, const uint8_t* key_state)
{
    switch (event->type) {
    case SDL_QUIT:
        // The rest of the queue is still handled in this pass.
        game_state = STATE_QUIT;
        break;
    case SDL_KEYDOWN:
        handle_key(&event->key.keysym, key_state);
        break;
    default:
        // Releases, motion and focus changes: the game never pauses by itself.
        break;
    }
}

void handle_input()
{
    const uint8_t* key_state = SDL_GetKeyState(nullptr);
    SDL_GetMouseState(&mouse_x, &mouse_y);
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handle_event(&event, key_state);
}
