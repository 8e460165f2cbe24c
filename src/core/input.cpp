// Event handling. Every decision reads game_state at the moment of the
// event, so a key that changes the state changes how the later events of the
// same pass are judged.
#include "core/input.h"

#include <SDL.h>

#include <cstring>

#include "characters/player.h"
#include "core/replay.h"
#include "core/states.h"
#include "frontend/overlays.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/fps.h"
#include "render/screen.h"
#include "render/textures.h"
#include "scores/highscores.h"
#include "sound/sound.h"
#include "world/camera.h"

// The crosshair sheet: two square cells side by side, the second shown
// while a target is in reach.
#define CURSOR_SIZE 29

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
    if (!screen) {
        restart_screen(); // no window (a replay checked without one)
        return;
    }
    free_graphics();
    init_screen(settings[FULL_SCREEN]);
    load_graphics();
}

// Cleared for the rest of a pass by the Space that opens the name entry, so
// that this Space is not also typed into the name.
static int typing = 1;

// The music and sound switches of the title screen: F1 music, F2 effects.
// Music switched on starts the title's module again from its beginning.
static void switch_key(int sym)
{
    if (game_state != STATE_TITLE)
        return;
    if (sym == KEY_F2) {
        settings[SOUND_FX_ON] = !settings[SOUND_FX_ON];
        return;
    }
    settings[MUSIC_ON] = !settings[MUSIC_ON];
    if (module_playing())
        stop_module();
    else
        play_module(MODULE_TITLE, MUSIC_VOLUME_FULL);
}

// The keys that move between states, and the name entry's editing.
static void handle_state_key(const SDL_keysym* key, const uint8_t* key_state)
{
    int sym = (int)key->sym;
    if (state_key(sym, left_alt_held(key, key_state)))
        typing = 0;
    if (sym == KEY_BACKSPACE && game_state == STATE_NEW_HIGHSCORE)
        text_backspace(name_buffer);
    else if (sym == KEY_F1 || sym == KEY_F2)
        switch_key(sym);
}

void text_append(char* buffer, const SDL_keysym* key, int limit)
{
    int c = key->unicode;
    if (c < 32 || c > 126)
        return;
    size_t len = strnlen(buffer, (size_t)limit);
    if ((int)len + 1 <= limit)
        buffer[len] = (char)c;
}

void text_backspace(char* buffer)
{
    size_t len = strlen(buffer);
    if (len > 0)
        buffer[len - 1] = '\0';
}

// P during a live run. Pausing dims the music and restarts the prompt's
// blink visible, so "paused" shows at once.
static void toggle_pause()
{
    if (!run_active || player_out())
        return;
    paused = !paused;
    if (paused) {
        restart_prompt_visible();
        set_music_volume(MUSIC_VOLUME_PAUSED);
    } else {
        set_music_volume(MUSIC_VOLUME_FULL);
    }
}

// A press of the left button skips the intro or strikes; one during the
// cooldown is dropped, not kept for later.
static void handle_click(int button)
{
    if (button != SDL_BUTTON_LEFT)
        return;
    state_click();
    if (game_state == STATE_PLAYING && player_can_act() && player->cooldown == 0)
        player_attack();
}

// The held keys step the player (left wins over right, up over down) and
// the pointer turns it, every tick, moving or not.
static void steer_from_keys(const uint8_t* key_state)
{
    int dx = 0, dy = 0;
    if (key_state[KEY_A] || key_state[KEY_LEFT])
        dx = -1;
    else if (key_state[KEY_D] || key_state[KEY_RIGHT])
        dx = 1;
    if (key_state[KEY_W] || key_state[KEY_UP])
        dy = -1;
    else if (key_state[KEY_S] || key_state[KEY_DOWN])
        dy = 1;
    steer_player(dx, dy, (float)(mouse_x + camera_x),
                 (float)(mouse_y + camera_y - STATUS_HEIGHT));
}

static void handle_key(const SDL_keysym* key, const uint8_t* key_state)
{
    handle_state_key(key, key_state);
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
    case KEY_P:
        if (game_state == STATE_PLAYING)
            toggle_pause();
        break;
    default:
        break;
    }
    // Whatever the key did, a printable character now goes into the name.
    if (game_state == STATE_NEW_HIGHSCORE && typing)
        text_append(name_buffer, key, HIGHSCORE_NAME_MAX);
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
    case SDL_MOUSEBUTTONDOWN:
        handle_click(event->button.button);
        break;
    default:
        // Releases, motion and focus changes: the game never pauses by itself.
        break;
    }
}

// The input comes from the input source (core/replay.h): SDL, recorded as
// it is read during a recorded run, or a replay.
void handle_input()
{
    const uint8_t* key_state = input_tick_begin(&mouse_x, &mouse_y);
    typing = 1;
    SDL_Event event;
    while (input_next_event(&event, key_state))
        handle_event(&event, key_state);
    if (player_can_act())
        steer_from_keys(input_held_keys(key_state));
    input_tick_end();
}

int watch_input()
{
    int asked = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            game_state = STATE_QUIT;
            continue;
        }
        if (event.type != SDL_KEYDOWN)
            continue;
        const SDL_keysym* key = &event.key.keysym;
        int sym = (int)key->sym;
        if (sym == KEY_ESCAPE)
            asked |= WATCH_LEAVE;
        else if (sym == KEY_P)
            asked ^= WATCH_PAUSE;
        else if (sym == KEY_PRINT)
            screenshot_requested = 1;
        else if (sym == KEY_F4 && left_alt_held(key, SDL_GetKeyState(nullptr)))
            game_state = STATE_QUIT;
    }
    return asked;
}

void draw_cursor()
{
    if (screenshot_requested)
        return; // the saved picture has no cursor
    int cell = game_state == STATE_PLAYING && !player_out() && target_in_reach() != nullptr;
    draw_sprite(TEX_CROSSHAIR, CURSOR_SIZE * cell, 0, CURSOR_SIZE, CURSOR_SIZE,
                mouse_x - CURSOR_SIZE / 2, mouse_y - CURSOR_SIZE / 2, CURSOR_SIZE, CURSOR_SIZE, 0);
}
