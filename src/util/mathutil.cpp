#include "util/mathutil.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

int random_range(int lo, int hi)
{
    // Bounds the wrong way round name the same range. An assertion would
    // vanish from release builds and leave a division by zero (hi = lo - 1);
    // the 64-bit span keeps even the widest range defined.
    if (hi < lo) {
        int t = lo;
        lo = hi;
        hi = t;
    }
    // Keep 15 bits whatever the C library's RAND_MAX, so ranges behave the
    // same on every platform the game was balanced on.
    int r = rand() & 0x7fff;
    return (int)(lo + r % ((int64_t)hi - lo + 1));
}

void seed_random(uint32_t seed)
{
    srand(seed);
}

int center_pos(int a, int b, int w)
{
    return a + (b - a - w) / 2;
}

int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    if (x1 + w1 - 1 < x2) return 0;
    if (x2 + w2 - 1 < x1) return 0;
    if (y1 + h1 - 1 < y2) return 0;
    if (y2 + h2 - 1 < y1) return 0;
    return 1;
}

int angle_to(float x1, float y1, float x2, float y2)
{
    // The factor is the single-precision value of 180/pi the headings were
    // tuned with; it and the float rounding of atan2 decide the truncation.
    const float degrees_per_radian = 57.295776f;
    double dx = (double)x2 - (double)x1;
    double dy = (double)y2 - (double)y1;
    float a = (float)atan2(dy, dx);
    return (int)(a * degrees_per_radian + 90.0f);
}

void clear_memory(void* p, size_t n)
{
    memset(p, 0, n);
}
