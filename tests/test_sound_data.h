// Tiny sounds made in memory, so sound tests do not depend on the game's
// assets: a 16-bit PCM wave and a one-note four-channel module.
#pragma once

#include <functional>
#include <vector>

namespace sound_data {

inline void put_le(std::vector<unsigned char>& out, unsigned v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back((unsigned char)(v >> (8 * i)));
}

// A 44,100 Hz 16-bit wave of `frames` frames; every channel of frame i
// holds value(i).
inline std::vector<unsigned char> wave(int channels, unsigned frames,
                                       const std::function<short(unsigned)>& value)
{
    unsigned block = 2u * channels, data = frames * block;
    std::vector<unsigned char> out = {'R', 'I', 'F', 'F'};
    put_le(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put_le(out, 16, 4);
    put_le(out, 1, 2); // PCM
    put_le(out, channels, 2);
    put_le(out, 44100, 4);
    put_le(out, 44100 * block, 4);
    put_le(out, block, 2);
    put_le(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put_le(out, data, 4);
    for (unsigned i = 0; i < frames; i++)
        for (int c = 0; c < channels; c++)
            put_le(out, (unsigned short)value(i), 2);
    return out;
}

inline short square(unsigned i) { return (i / 50) % 2 ? 1000 : -1000; }

// A 4-channel "M.K." module: one looping square note on channel 1 (hard
// left in Amiga panning), then a pattern break after `rows` rows at `speed`
// ticks per row (20 ms a tick at the default tempo).
inline std::vector<unsigned char> note_module(int rows, int speed)
{
    std::vector<unsigned char> out(20, 0);
    for (int s = 0; s < 31; s++) {
        out.insert(out.end(), 22, 0);
        // length 16 words, no finetune, volume 64, loop over the whole sample
        out.insert(out.end(), {0, (unsigned char)(s == 0 ? 16 : 0), 0, (unsigned char)(s == 0 ? 64 : 0),
                               0, 0, 0, (unsigned char)(s == 0 ? 16 : 1)});
    }
    out.push_back(1); // song length
    out.push_back(127);
    out.insert(out.end(), 128, 0);
    out.insert(out.end(), {'M', '.', 'K', '.'});
    size_t pattern = out.size();
    out.resize(pattern + 64 * 16, 0);
    unsigned char* first = &out[pattern];
    first[0] = 428 >> 8; // period
    first[1] = 428 & 0xff;
    first[2] = 0x1F; // sample 1, set speed
    first[3] = (unsigned char)speed;
    if (rows < 64)
        out[pattern + (rows - 1) * 16 + 4 + 2] = 0x0D; // pattern break ends the song
    for (int i = 0; i < 32; i++)
        out.push_back(i < 16 ? 100 : (unsigned char)-100);
    return out;
}

} // namespace sound_data
