// Tiny sounds made in memory, so sound tests do not depend on the game's
// assets: a 16-bit PCM wave and a one-note four-channel module; and the
// game's sound started afresh on a chosen SDL audio driver.
#pragma once

#include <SDL.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "sound/sound.h"
#include "test_bytes.h"
#include "util/settings.h"

namespace sound_data {

// A 44,100 Hz 16-bit wave of `frames` frames; every channel of frame i
// holds value(i).
inline std::vector<unsigned char> wave(int channels, unsigned frames,
                                       const std::function<short(unsigned)>& value)
{
    std::vector<unsigned char> out = wave_head(channels, 44100, frames * 2 * channels);
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

// Makes module `id` a note_module.
inline void load_module(int id, int rows, int speed)
{
    std::vector<unsigned char> mod = note_module(rows, speed);
    load_sound_bytes(&modules[id], "test.mod", mod.data(), mod.size());
}

// Opens the game's sound on SDL audio driver `driver`. The driver is chosen
// when SDL's audio starts, so audio left running by an earlier test of the
// process is stopped first.
inline void start(const char* driver)
{
    for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_AUDIO); i++)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", driver, 1);
    settings[MUSIC_ON] = 1;
    settings[SOUND_FX_ON] = 1;
    init_sound();
}

// Closes it again and leaves the silent driver for later tests.
inline void stop()
{
    close_sound();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

} // namespace sound_data
