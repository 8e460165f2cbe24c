// Game states and the switches between them, and the three overlays that
// depend on the state: the blinking prompt line, the warning sounds tied to
// its blink, and the shaking message banner of the playing state.
//
// A faded transition takes two steps: the key sets next_state and starts a
// fade-out; update_game_state, called once per drawn frame after the fade,
// completes the switch in the first frame in which the fade-out is full.
// The new state then starts its own fade-in. The playing state has a second,
// internal start: run_active turns 1 when its opening fade-in has ended.
//
// The game_state variable itself belongs to the frame loop (core/loop.h).
#pragma once

#define STATE_QUIT -1
#define STATE_INTRO 0
#define STATE_TITLE 1
#define STATE_STORY 2
#define STATE_PLAYING 3
#define STATE_NEW_HIGHSCORE 4

// Every faded state change runs at this speed: 128 frame units from clear to
// covered (about 2.13 s).
#define STATE_FADE_SPEED (1.0f / 128.0f)

// The shared blink of the prompt, the status strip's low meters and the
// steroid banner: 40 frame units visible, then 20 hidden.
#define PROMPT_VISIBLE_TIME 40.0f
#define PROMPT_HIDDEN_TIME 20.0f

// The banner picks a new offset every this many frame units (plus the frame
// of the step).
#define JITTER_PERIOD 4.0f

// The high-score name: at most 16 characters, the 17th byte always 0.
#define NAME_MAX_LENGTH 16
#define NAME_BUFFER_SIZE (NAME_MAX_LENGTH + 1)

// The state a running fade-out leads to; equal to game_state while no
// transition is pending. Set by set_game_state and by the Space keys.
extern int next_state;

// 0 from new_game until the playing state's fade-in has ended, then 1. While
// 0 nobody shoots, the meters stand still and the player cannot act.
extern int run_active;

// The blink phase (1 while hidden) and the time left in the current phase,
// in frame units. Reset by reset_overlays at start-up, restarted visible on
// entering the story, at the end of the title's fade-in and on pausing.
extern int prompt_hidden;
extern float prompt_timer;

// The banner's x and y offsets (-2..2) and the time to the next shake.
// Reset by reset_overlays at start-up only.
extern int banner_jitter[2];
extern float jitter_timer;

// The name being typed on the new-high-score screen; zeroed entirely on
// entering that state, so the text is always terminated.
extern char name_buffer[NAME_BUFFER_SIZE];

// Start-up values of the overlays: jitter (0, 0) with its timer at 4,
// prompt visible with its timer at 20.
void reset_overlays();

// Enters state 0..4 with everything that state resets, its music and its
// fade; game_state and next_state both become the new state.
void set_game_state(int state);

// Empties and repopulates the world for a new run from the run's own seed
// (start_run_replay): 50 civilians, 8 painkillers, 4 steroids, the player,
// fresh meters; not paused, not live.
void new_game();

// Completes pending transitions once a fade has finished; once per frame
// after draw_fade.
void update_game_state();

// The prompt line of the current state (empty when none), as draw_prompt
// would show it in the visible phase, and where it goes.
const char* prompt_text();
int prompt_y(const char* text);

// One frame's step of the blink by frame_factor; entering the visible phase
// sounds the warnings.
void advance_prompt();

// Draws the prompt line when visible, then advances the blink; every frame
// in every state.
void draw_prompt();

// The low-health, low-psychosis and steroids-ending warnings; called by
// draw_prompt at the start of each visible phase, acts only during a live,
// unpaused run.
void play_warnings();

// Which of the four banner strips the playing state shows now, or -1 for
// none.
int banner_strip();

// One frame's step of the shake: a new offset on both axes every period,
// each differing from the one before.
void advance_jitter();

// Draws the banner of the playing state and shakes it unless paused.
void draw_banner();
