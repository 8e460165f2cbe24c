#include "util/frame.h"

float frame_factor = 0.0f;
uint32_t last_frame_ticks = 0;

void reset_frame_clock()
{
    frame_factor = 0.0f;
    last_frame_ticks = 0;
}

void measure_frame(uint32_t now)
{
    // The difference is taken in 32 bits, so the clock's wrap after 49 days
    // costs nothing.
    if (last_frame_ticks != 0)
        frame_factor = (float)(uint32_t)(now - last_frame_ticks) / MS_PER_FRAME_UNIT;
    last_frame_ticks = now;
}
