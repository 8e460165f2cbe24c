// The program-wide colour fade.
//
// One fade at a time: a fade-in (direction -1) clears a colour away, a
// fade-out (+1) covers the picture with it. It advances once per drawn frame
// by frame_factor, not per tick. A finished fade-out stays on screen until
// stop_fade or another fade starts.
#pragma once

// Every faded state change runs at this speed: 128 frame units from clear to
// covered (about 2.13 s).
#define STATE_FADE_SPEED (1.0f / 128.0f)

// -1 fade in, +1 fade out, 0 none. Written only here: start_fade, stop_fade.
extern int fade_direction;
// Colour, 0..1 each.
extern float fade_color[3];
// Current opacity of the colour, 0..1.
extern float fade_alpha;
// Opacity change per frame unit.
extern float fade_speed;

// Starts a fade of colour (r, g, b) in 0..255, replacing any other at once.
void start_fade(int r, int g, int b, int direction, float speed);

// Takes any fade, running or finished, off the screen at once.
void stop_fade();

// 1 while the fade has not reached its end value, else 0 (always 0 with
// direction 0).
int fade_active();

// One frame's progress of a running fade by frame_factor, clamped exactly at
// 0 for a fade-in and 1 for a fade-out. Draws nothing.
void advance_fade();

// Draws the fade colour over the whole screen at the current opacity (2D
// projection). A finished fade-out is drawn too: it keeps the screen covered
// until the state that started it moves on.
void draw_fade();
