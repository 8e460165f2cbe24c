// The program-wide colour fade and the end of every frame.
//
// One fade at a time: a fade-in (direction -1) clears a colour away, a
// fade-out (+1) covers the picture with it. It advances once per drawn frame
// by frame_factor, not per tick. A finished fade-out stays on screen until
// fade_direction is set to 0 or another fade starts.
//
// end_frame presents the frame and measures it: frame_factor becomes the
// time since the previous end_frame in units of 1/60 s.
#pragma once

#include <cstdint>

// Milliseconds per frame unit, single precision as measured.
#define MS_PER_FRAME_UNIT 16.666666f

// -1 fade in, +1 fade out, 0 none. Set by start_fade; 0 after init_screen.
extern int fade_direction;
// Colour, 0..1 each.
extern float fade_color[3];
// Current opacity of the colour, 0..1.
extern float fade_alpha;
// Opacity change per frame unit.
extern float fade_speed;

// SDL tick count at the end of the previous frame; 0 means none yet.
// Reset (with frame_factor) by init_screen.
extern uint32_t last_frame_ticks;

// Starts a fade of colour (r, g, b) in 0..255, replacing any other at once.
void start_fade(int r, int g, int b, int direction, float speed);

// 1 while the fade has not reached its end value, else 0 (always 0 with
// direction 0).
int fade_active();

// Draws the fade colour over the whole screen at the current opacity (2D
// projection), then advances the fade (advance_fade).
void draw_fade();

// One frame's progress of a running fade by frame_factor, clamped exactly at
// 0 for a fade-in and 1 for a fade-out. Draws nothing.
void advance_fade();

// Reads the frame buffer for a requested screenshot, presents the frame,
// sleeps 1 ms and measures the frame.
void end_frame();

// The frame measurement of end_frame with the clock reading `now`: unless
// this is the first frame (last_frame_ticks 0), frame_factor becomes
// (now - last_frame_ticks) / 16.666666; then last_frame_ticks = now.
void measure_frame(uint32_t now);
