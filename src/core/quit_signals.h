// SIGTERM, SIGINT and SIGHUP: how the game ends when the desktop, the
// terminal or a service manager asks it to.
//
// In the frame loop such a signal is the window's close request: the loop
// takes it once per frame, the frame completes and the game ends as after a
// click on the window's close button, with exit code 0. A score being saved
// at that moment is saved first, and "scores.bin" is never written because
// of the signal. At any other moment (start-up, shut-down, or a second
// signal before the loop took the first, as when the loop is stuck) the
// signal ends the process as if it had never been caught.
#pragma once

// Installs the handlers. Called first thing, before SDL starts: SDL turns
// these signals into quit events only where it finds no handler.
void catch_quit_signals();

// 1 while the frame loop takes the signals, 0 before and after it.
void loop_takes_quit_signals(int takes);

// 1 once for each signal that arrived while the loop took them.
int take_quit_signal();
