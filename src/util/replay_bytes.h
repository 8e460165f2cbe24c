// Little-endian fields and float bits, shared by the two halves of the
// replay file code (the tokens and the file image). Private to util.
#pragma once

#include <cstdint>
#include <cstring>

static inline uint32_t float_bits(float f)
{
    uint32_t u;
    memcpy(&u, &f, 4);
    return u;
}

static inline float bits_float(uint32_t u)
{
    float f;
    memcpy(&f, &u, 4);
    return f;
}

static inline void put_le(uint8_t* p, uint64_t v, int n)
{
    for (int i = 0; i < n; i++)
        p[i] = (uint8_t)(v >> (8 * i));
}

static inline uint64_t get_le(const uint8_t* p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; i++)
        v |= (uint64_t)p[i] << (8 * i);
    return v;
}

