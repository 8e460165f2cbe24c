// Random numbers and the small geometry helpers nearly every module uses.
// Their rounding rules decide gameplay details (which pixel a centred text
// starts on, when two boxes touch), so each is exact as documented here.
#pragma once

#include <cstddef>
#include <cstdint>

// Uniform-ish integer in lo..hi, both included, from rand() (15 bits). Spans
// above 32,768 values never reach their top. Bounds the wrong way round
// (hi < lo) are swapped: the result lies in hi..lo, in every build.
int random_range(int lo, int hi);

// Restarts the sequence random_range draws from (srand).
void seed_random(uint32_t seed);

// Start coordinate that centres a span of width w in a..b: a + (b - a - w) / 2,
// the division truncating toward zero.
int center_pos(int a, int b, int w);

// 1 when rectangles (x, y, w, h) share a pixel. Both ends of each side are
// inclusive, so boxes that only meet along an edge do not overlap.
int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);

// Heading in whole degrees from (x1, y1) to (x2, y2) in screen coordinates
// (y down): 0 straight up, growing clockwise, in -90..270. Truncated, so
// anything within a degree either side of up is 0.
int angle_to(float x1, float y1, float x2, float y2);

void clear_memory(void* p, size_t n);
