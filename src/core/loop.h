// Start-up, the logic tick, the frame and shut-down.
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
// then run_ticks_for_frame / draw_frame / finish_frame (or watch_frame while
// a replay is watched) until game_state is negative, then shut_down; with
// -verify it calls verify_replay instead of the loop.
#pragma once

#include "util/frame.h"
#include "util/settings.h"

// Frame units not yet consumed by ticks; the remainder below 1.0 carries over.
// Reset to 0.0 by start_up.
extern float tick_accumulator;

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
// returns how many ran. game_state is read afresh for every tick. A replay
// that has matched or diverged runs no further tick.
int run_ticks_for_frame();

// One drawn frame: every visual timer of the frame (fade, prompt blink,
// banner shake, intro pages, title layers, story typing, effects, tile
// loops) advanced by frame_factor, the state switches that wait for a fade,
// and the picture (3D pass when playing, then the 2D pass, fade, overlays,
// frame rate, cursor), not yet presented. Each drawing reads its timer just
// before or after the timer's step, as the picture needs.
void draw_frame();

// The same frame without a picture: every step of draw_frame that changes
// state, in the same order, and no OpenGL call, so a run can be replayed
// without a window.
void advance_frame();

// One frame while a replay is watched (replay_mode REPLAY_PLAY), presented
// too: the first starts the recorded run (start_watching) and finishes the
// frame new_game ran in; then each takes the watcher's keys (watch_input),
// waits for the recorded frame's time by the real clock, runs its ticks
// with its frame_factor and draws it. The end of the recording, a
// divergence or Escape leads to the title (stop_watching); P pauses.
void watch_frame();

// "-verify FILE" after start_up: plays the loaded replay as fast as it goes
// with no window (advance_frame), prints replay_verdict() and returns the
// exit code, 0 when the run matched its recording, 1 otherwise.
int verify_replay();

// Presents the frame and measures it (end_frame), then the per-frame sound
// update and the frame-rate count.
void finish_frame();

// Releases textures and sound after the loop has ended.
void shut_down();
