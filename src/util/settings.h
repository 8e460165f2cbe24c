// The process-wide switches and flags every layer reads: the four settings,
// the game state and the two run flags. They sit at the bottom so that
// rules and screens can read them without knowing the loop that owns the
// flow; only core writes game_state (through set_game_state, or -1 for a
// quit request).
#pragma once

// Indices into `settings`.
enum {
    FULL_SCREEN = 0, // 1 full screen, 0 window ("-w"); Left Alt + Return toggles
    MUSIC_ON = 1,    // F1 on the title screen; read by play_module
    SOUND_FX_ON = 2, // F2 on the title screen; read by play_sample
    SHOW_FPS = 3,    // "-fps"
    SETTING_COUNT = 4
};

#define STATE_QUIT -1
#define STATE_INTRO 0
#define STATE_TITLE 1
#define STATE_STORY 2
#define STATE_PLAYING 3
#define STATE_NEW_HIGHSCORE 4

// Written by set_defaults (1, 1, 1, 0), then by the command line and keys.
// Never stored between runs.
extern int settings[SETTING_COUNT];

// STATE_*; negative ends the frame loop.
extern int game_state;

// Pause flag of the playing state; cleared by new_game, toggled by P.
extern int paused;

// 0 from new_game until the playing state's fade-in has ended, then 1. While
// 0 nobody shoots, the meters stand still and the player cannot act.
extern int run_active;

// Writes the defaults 1, 1, 1, 0 into `settings`.
void set_defaults();
