// The three overlays that lie over every state's screen: the blinking
// prompt line, the warning sounds tied to its blink, and the shaking message
// banner of the playing state. Each has a timer advanced once per drawn
// frame by frame_factor and a drawing that only reads it.
#pragma once

// The shared blink of the prompt, the status strip's low meters and the
// steroid banner: 40 frame units visible, then 20 hidden.
#define PROMPT_VISIBLE_TIME 40.0f
#define PROMPT_HIDDEN_TIME 20.0f

// The banner picks a new offset every this many frame units (plus the frame
// of the step).
#define JITTER_PERIOD 4.0f

// The blink phase (1 while hidden) and the time left in the current phase,
// in frame units. Reset by reset_overlays at start-up, restarted visible by
// restart_prompt_visible on entering the story, at the end of the title's
// fade-in and on pausing.
extern int prompt_hidden;
extern float prompt_timer;

// The banner's x and y offsets (-2..2) and the time to the next shake.
// Reset by reset_overlays at start-up only.
extern int banner_jitter[2];
extern float jitter_timer;

// Start-up values: jitter (0, 0) with its timer at 4, prompt visible with
// its timer at 20.
void reset_overlays();

// The prompt shows at once and stays for a whole visible phase.
void restart_prompt_visible();

// The prompt line of the current state (empty when none), as draw_prompt
// shows it in the visible phase, and where it goes.
const char* prompt_text();
int prompt_y(const char* text);

// One frame's step of the blink by frame_factor; entering the visible phase
// sounds the warnings.
void advance_prompt();

// Draws the prompt line when visible; every frame in every state.
void draw_prompt();

// The low-health, low-psychosis and steroids-ending warnings, at the start
// of each visible phase; they sound only during a live, unpaused run.
void play_warnings();

// Which of the four banner strips the playing state shows now, or -1 for
// none.
int banner_strip();

// One frame's step of the shake: a new offset on both axes every period,
// each differing from the one before. Stands still while paused.
void advance_jitter();

// Draws the banner of the playing state.
void draw_banner();
