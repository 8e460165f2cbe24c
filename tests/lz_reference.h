// A plain reading of the LZ stream format, byte by byte and apart from the
// game's codec (its own varint reader included): the decoder that the codec
// tests and the lz_decode fuzz target hold lz_decode to, and the token list
// the encoder tests check the format's limits on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One back-reference as the stream holds it; `at` is the marker's index.
struct LzCopy {
    size_t at;
    uint64_t length, offset;
};

// Reads a varint of at most five bytes from s[*i], most significant group
// first; -1 when it is cut off, runs longer or does not fit in 32 bits.
inline int64_t reference_varint(const uint8_t* s, size_t n, size_t* i)
{
    uint64_t v = 0;
    for (int k = 0; k < 5 && *i < n; k++) {
        uint8_t b = s[(*i)++];
        v = v * 128 + (b & 127);
        if (b < 128)
            return v > 0xffffffffu ? -1 : (int64_t)v;
    }
    return -1;
}

// Decodes the n-byte stream s into *out, at most `capacity` bytes. Returns
// the decoded size, or -1 for a stream lz_decode must refuse: one ending on
// a marker or inside a number, a copy from before the start (offset 0 too),
// or more output than the capacity. Copies are listed in *copies if given.
inline int64_t reference_decode(const uint8_t* s, size_t n, size_t capacity, std::vector<uint8_t>* out,
                                std::vector<LzCopy>* copies = nullptr)
{
    out->clear();
    if (n == 0)
        return 0;
    const uint8_t m = s[0];
    size_t i = 1;
    while (i < n) {
        size_t at = i;
        uint8_t b = s[i++];
        if (b == m) {
            if (i == n)
                return -1;
            if (s[i] == 0) {
                i++;
            } else {
                int64_t length = reference_varint(s, n, &i), offset = reference_varint(s, n, &i);
                if (length < 0 || offset < 0 || offset == 0 || (size_t)offset > out->size() ||
                    (size_t)length > capacity - out->size())
                    return -1;
                if (copies)
                    copies->push_back({at, (uint64_t)length, (uint64_t)offset});
                for (int64_t k = 0; k < length; k++)
                    out->push_back((*out)[out->size() - offset]);
                continue;
            }
        }
        if (out->size() == capacity)
            return -1;
        out->push_back(b);
    }
    return (int64_t)out->size();
}
