// sfxgen OUTDIR: writes the game's eighteen samples as mono 16-bit PCM WAV
// files into OUTDIR (normally the staging folder's "sfx"). Same bytes on
// every run: all noise is seeded and nothing depends on time or locale.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dsp.h"
#include "sfx.h"

// Peak level of a sample: a little headroom so the game's mixer can sum
// several effects and the music without harsh clipping. The square-wave
// beeps are far denser than a voice at the same peak, and they repeat every
// second while a meter is low, so they are set well below the others: still
// heard, never the loudest thing in the game.
#define SFX_PEAK 0.89f
#define SFX_PEAK_BEEPS 0.32f
#define SFX_PEAK_CHIME 0.7f
#define SFX_FADE_SAMPLES 64
#define WAV_HEADER_BYTES 44

static void put16(FILE* f, uint16_t v)
{
    fputc(v & 0xFF, f);
    fputc(v >> 8, f);
}

static void put32(FILE* f, uint32_t v)
{
    put16(f, (uint16_t)(v & 0xFFFF));
    put16(f, (uint16_t)(v >> 16));
}

static void write_wav(const std::string& path, std::vector<float> samples, float peak = SFX_PEAK)
{
    normalize(&samples, peak);
    fade_edges(&samples, 8, SFX_FADE_SAMPLES);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
        exit(1);
    }
    uint32_t data_bytes = (uint32_t)samples.size() * 2;
    fwrite("RIFF", 1, 4, f);
    put32(f, WAV_HEADER_BYTES - 8 + data_bytes);
    fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);           // fmt chunk size
    put16(f, 1);            // PCM
    put16(f, 1);            // mono
    put32(f, SFX_RATE);
    put32(f, SFX_RATE * 2); // bytes per second
    put16(f, 2);            // block align
    put16(f, 16);           // bits per sample
    fwrite("data", 1, 4, f);
    put32(f, data_bytes);
    for (float x : samples) {
        long v = lrintf(clampf(x, -1.0f, 1.0f) * 32767.0f);
        put16(f, (uint16_t)(int16_t)v);
    }
    if (fclose(f) != 0) {
        fprintf(stderr, "sfxgen: cannot finish %s\n", path.c_str());
        exit(1);
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: sfxgen OUTDIR\n");
        return 2;
    }
    std::string dir = argv[1];
    write_wav(dir + "/swing.wav", make_swing());
    write_wav(dir + "/gun.wav", make_gun());
    write_wav(dir + "/splat.wav", make_splat());
    write_wav(dir + "/ricochet.wav", make_ricochet());
    write_wav(dir + "/pills.wav", make_pills());
    write_wav(dir + "/alert.wav", make_alert(), SFX_PEAK_BEEPS);
    write_wav(dir + "/alert2.wav", make_alert2(), SFX_PEAK_CHIME);
    write_wav(dir + "/pant.wav", make_pant());
    write_wav(dir + "/sigh.wav", make_sigh());
    write_wav(dir + "/growl.wav", make_growl());
    for (int i = 0; i < 8; i++)
        write_wav(dir + "/laugh" + std::to_string(i + 1) + ".wav", make_laugh(i));
    return 0;
}
