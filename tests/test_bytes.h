// Bytes of the file formats the tests build and read: little-endian
// numbers and 24-bit bottom-up Windows bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The unsigned little-endian number of `n` bytes at `at`.
inline uint32_t le(const std::vector<uint8_t>& b, size_t at, int n = 4)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; i--)
        v = v << 8 | b[at + i];
    return v;
}

inline void put_le(std::vector<uint8_t>& out, uint32_t v, int n)
{
    for (int i = 0; i < n; i++)
        out.push_back((uint8_t)(v >> (8 * i)));
}

// The canonical 44-byte head of a 16-bit PCM wave holding `data` bytes.
inline std::vector<uint8_t> wave_head(int channels, uint32_t rate, uint32_t data)
{
    std::vector<uint8_t> h = {'R', 'I', 'F', 'F'};
    put_le(h, 36 + data, 4);
    h.insert(h.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    for (uint32_t v : {16u, 1u | channels << 16, rate, rate * 2 * channels, 2u * channels | 16 << 16, 0x61746164u, data})
        put_le(h, v, 4); // PCM, the rates, the block, "data"
    return h;
}

// A picture as rows of red, green, blue bytes, top row first.
struct Bitmap {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[((size_t)y * w + x) * 3]; }
};

// Decodes a 24-bit bottom-up bitmap whose size is exactly its head and rows;
// anything else gives an empty picture.
inline Bitmap read_bmp(const std::vector<uint8_t>& b)
{
    Bitmap bm;
    if (b.size() < 54 || le(b, 28, 2) != 24)
        return bm;
    int w = (int)le(b, 18), h = (int)le(b, 22);
    size_t offset = le(b, 10), stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    if (w <= 0 || h <= 0 || b.size() != offset + stride * h)
        return bm;
    bm.w = w;
    bm.h = h;
    for (int y = h - 1; y >= 0; y--)
        for (int x = 0; x < w; x++)
            for (int c = 2; c >= 0; c--) // stored blue, green, red
                bm.rgb.push_back(b[offset + (size_t)y * stride + (size_t)x * 3 + c]);
    return bm;
}

// The bytes of a 24-bit bitmap of w x h whose pixel (x, y), top left
// origin, is colour(x, y) as 0xRRGGBB.
template <class Colour> std::vector<uint8_t> make_bmp(int w, int h, Colour colour)
{
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    std::vector<uint8_t> b = {'B', 'M'};
    for (uint32_t v : {54 + (uint32_t)(stride * h), 0u, 54u, 40u, (uint32_t)w, (uint32_t)h})
        put_le(b, v, 4);
    put_le(b, 1, 2);
    put_le(b, 24, 2);
    b.resize(54 + stride * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++)
                b[54 + (size_t)(h - 1 - y) * stride + x * 3 + c] = (uint8_t)(colour(x, y) >> (8 * c));
    return b;
}
