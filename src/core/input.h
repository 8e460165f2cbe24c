// The program's only reader of events, the high-score text entry and the
// game's own mouse cursor.
//
// handle_input runs once per logic tick (never per frame): with more frames
// than ticks, events wait in the queue for the next tick. Keys that act in
// every state: the window's close request and Left Alt + F4 quit, Left Alt +
// Return toggles full screen (the textures are reloaded into the new
// context), Print Screen requests a screenshot of the frame being drawn.
#pragma once

#include <cstdint>

struct SDL_keysym;
union SDL_Event;

// SDL 1.2 key codes the game reacts to (SDLKey values).
enum {
    KEY_BACKSPACE = 8,
    KEY_RETURN = 13,
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_A = 97,
    KEY_D = 100,
    KEY_P = 112,
    KEY_R = 114,
    KEY_S = 115,
    KEY_W = 119,
    KEY_KP_ENTER = 271,
    KEY_UP = 273,
    KEY_DOWN = 274,
    KEY_RIGHT = 275,
    KEY_LEFT = 276,
    KEY_F1 = 282,
    KEY_F2 = 283,
    KEY_F4 = 285,
    KEY_LEFT_ALT = 308,
    KEY_PRINT = 316
};

// Pointer in window pixels (0..799, 0..599, origin top left), refreshed at
// the start of every handle_input call. 0 until the first call.
extern int mouse_x, mouse_y;

// Switches on SDL's Unicode translation, so key events carry the typed
// character the name entry needs. Once, after init_screen.
void enable_text_input();

// Drains the tick's events from the input source (SDL, recorded during a
// recorded run, or a replay: core/replay.h), acting on each by the current
// game_state, then (during a live run) moves and aims the player from the
// held keys.
void handle_input();

// Acts on one event as handle_input does; key_state is SDL's key state array
// (SDL_GetKeyState), used for the Left Alt combinations.
void handle_event(const SDL_Event* event, const uint8_t* key_state);

// Appends the typed character (the key's Unicode value) when it is printable
// ASCII (32..126) and the text stays within `limit` characters. Relies on
// the rest of the buffer being zero for termination.
void text_append(char* buffer, const SDL_keysym* key, int limit);

// Removes the last character of a non-empty buffer.
void text_backspace(char* buffer);

// What the watcher of a replay asked for (watch_input).
#define WATCH_LEAVE 1 // Escape: back to the title
#define WATCH_PAUSE 2 // P, pressed an odd number of times: pause or go on

// The watcher's own keys while a replay plays (handle_input then reads the
// recording, not SDL): drains SDL's queue and returns WATCH_* bits. Print
// Screen requests a screenshot, the window's close request and Left Alt +
// F4 quit; nothing else acts, so the watcher cannot change the run (not
// even by switching the window mode, which stops a fade).
int watch_input();

// Draws the crosshair cell centred on the pointer; nothing while a
// screenshot is requested, so saved pictures have no cursor.
void draw_cursor();
