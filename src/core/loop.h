// Process-wide settings, the game state and the frame loop.
//
// The loop runs game rules in fixed logic ticks of 1/60 s and draws once per
// frame. The measured length of the previous frame, `frame_factor` (in frame
// units of 1/60 s, measured by end_frame), is added to `tick_accumulator`;
// every whole unit in it runs one tick. So rules advance 60 times a second on
// average whatever the drawing speed, a fast machine draws several frames per
// tick, and after a stall as many ticks run back to back as units piled up.
//
// The pieces are plain functions so that a test can run ticks and frames with
// chosen frame_factor values and no real clock: main only calls start_up,
// then run_ticks_for_frame / draw_frame / finish_frame until game_state is
// negative, then shut_down.
#pragma once

// Indices into `settings`. The order is relied on: F1 and F2 on the title
// screen toggle element (key code - 281), so music is 1 and effects are 2.
enum {
    FULL_SCREEN = 0, // 1 full screen, 0 window ("-w"); Left Alt + Return toggles
    MUSIC_ON = 1,    // F1 on the title screen; read by play_module
    SOUND_FX_ON = 2, // F2 on the title screen; read by play_sample
    SHOW_FPS = 3,    // "-fps"
    SETTING_COUNT = 4
};

// Logic ticks and frame units per second; one unit is 1/60 s.
#define TICKS_PER_SECOND 60

// Written by set_defaults (1, 1, 1, 0), then by the command line and keys.
// Never stored between runs.
extern int settings[SETTING_COUNT];

// 0 intro, 1 title, 2 story, 3 playing, 4 new high score (STATE_* in
// core/states.h); negative ends the frame loop. Changed through
// set_game_state, except a quit request, which writes -1 directly.
extern int game_state;

// Pause flag of the playing state; cleared by new_game, toggled by P.
extern int paused;

// Length of the previous frame in frame units. 0.0 until two frames have
// ended; set by end_frame (measure_frame), reset to 0.0 by init_screen.
extern float frame_factor;

// Frame units not yet consumed by ticks; the remainder below 1.0 carries over.
// Reset to 0.0 by start_up.
extern float tick_accumulator;

// Writes the defaults 1, 1, 1, 0 into `settings`.
void set_defaults();

// Applies the command line: "-w" clears full_screen, "-fps" sets show_fps,
// "-replay FILE" and "-verify FILE" keep the file (core/replay.h); options
// are matched without regard to case and may repeat. Anything else, and
// -replay or -verify without a file after it, is fatal ("main()" /
// "Invalid program argument ...") before a window opens.
void parse_arguments(int argc, char** argv);

// Seeds rand, sets the defaults, reads the command line and brings up every
// subsystem in the fixed start-up order (listed in loop.cpp).
void start_up(int argc, char** argv);

// One logic tick: the world update when playing and not paused, then exactly
// one handle_input. Reads no clock and draws nothing.
void run_tick();

// Adds frame_factor to tick_accumulator and runs one tick per whole unit;
// returns how many ran. game_state is read afresh for every tick.
int run_ticks_for_frame();

// Draws one complete frame (3D pass when playing, then the 2D pass, fade,
// overlays, frame rate, cursor) without presenting it.
void draw_frame();

// Presents the frame and measures it (end_frame), then the per-frame sound
// update and the frame-rate count.
void finish_frame();

// Releases textures and sound after the loop has ended.
void shut_down();
