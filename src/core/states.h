// The game's flow: the five states and the switches between them. This is
// the one place that changes game_state (apart from a quit request, which
// writes STATE_QUIT): screens and rules only report what happened (the
// intro's pages are over, the player is out, a name was entered) and the
// functions here decide where that leads.
//
// A faded transition takes two steps: the key sets next_state and starts a
// fade-out; update_game_state, called once per drawn frame after the fade,
// completes the switch in the first frame in which the fade-out is full.
// The new state then starts its own fade-in. The playing state has a second,
// internal start: run_active turns 1 when its opening fade-in has ended.
#pragma once

#include "util/settings.h"

// The state a running fade-out leads to; equal to game_state while no
// transition is pending. Set by set_game_state and by the Space keys.
extern int next_state;

// Enters state 0..4 with everything that state resets, its music and its
// fade; game_state and next_state both become the new state.
void set_game_state(int state);

// Empties and repopulates the world for a new run from the run's own seed
// (start_run_replay): 50 civilians, 8 painkillers, 4 steroids, the player,
// fresh meters; not paused, not live.
void new_game();

// Completes pending transitions once a fade has finished; once per frame
// after the fade has advanced.
void update_game_state();

// One frame of the intro's page sequence; when its pages are over the title
// follows.
void step_intro();

// Space, Escape, Return and R as the current state takes them: skipping the
// intro, leaving the title or the story, going on from a finished run,
// quitting from the title, storing or dropping a typed name, loading
// REPLAY_LAST_FILE to watch (title, picture faded in). A watched run's
// Space after its end never opens the name entry. alt_held says
// Left Alt is down (Alt + Return belongs to the full-screen switch). Returns
// 1 when the key opened the name entry, so that it is not also typed.
int state_key(int sym, int alt_held);

// The left button skips the intro.
void state_click();

// Starts the run of the loaded replay (REPLAY_PLAY) as new_game started it
// when it was recorded, with the story's module; the watcher's sound
// switches are kept aside while the recording's apply.
void start_watching();

// Leaves the replay for the title, recording the runs after it again, with
// the watcher's sound switches back.
void stop_watching();
