// The frame clock. Game rules count logic ticks, 60 a second; everything
// visual that moves by itself advances once per drawn frame by
// `frame_factor`, the length of the previous frame in frame units of 1/60 s.
// The clock is read by the screen code when a frame is presented; every
// other reader takes frame_factor as given, so a test can choose it.
#pragma once

#include <cstdint>

// Logic ticks and frame units per second; one unit is 1/60 s.
#define TICKS_PER_SECOND 60

// Milliseconds per frame unit, single precision as measured.
#define MS_PER_FRAME_UNIT 16.666666f

// Length of the previous frame in frame units. 0.0 until two frames have
// ended; written only by measure_frame and reset_frame_clock.
extern float frame_factor;

// Clock reading (SDL ticks, ms) at the end of the previous frame; 0 means
// none yet.
extern uint32_t last_frame_ticks;

// Starts timing afresh: the next frame runs no tick.
void reset_frame_clock();

// The frame measurement with the clock reading `now`: unless this is the
// first frame (last_frame_ticks 0), frame_factor becomes
// (now - last_frame_ticks) / 16.666666; then last_frame_ticks = now.
void measure_frame(uint32_t now);
