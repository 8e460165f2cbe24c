// ProTracker "M.K." module in memory and its writer.
//
// File layout: a 1084-byte head (20-byte title, 31 sample heads of 30 bytes,
// song length, restart byte, 128-entry order table, "M.K." at 1080), then
// every pattern (64 rows of 4 channels of 4 bytes), then the sample data as
// signed 8-bit. Lengths and loop points are counted in 16-bit words and all
// numbers are big-endian.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#define MOD_CHANNELS 4
#define MOD_ROWS 64
#define MOD_MAX_PATTERNS 64
#define MOD_MAX_ORDERS 128
#define MOD_SAMPLE_SLOTS 31
#define MOD_NOTE_COUNT 36        // C-1 to B-3
#define MOD_MAX_SAMPLE_BYTES 131070
// Playback rate (Hz) of a sample played at C-2, period 428 on a PAL Amiga;
// every pitched instrument is designed around it.
#define MOD_C2_RATE 8287.0f
// Index of C-2 and C-3 in the 36-note table.
#define MOD_NOTE_C2 12
#define MOD_NOTE_C3 24

// Effect numbers we use.
#define FX_ARPEGGIO 0x0
#define FX_VIBRATO 0x4
#define FX_VOLUME_SLIDE 0xA
#define FX_SET_VOLUME 0xC
#define FX_SET_SPEED 0xF

struct ModCell {
    int note;        // 0..35, -1 for no note
    int sample;      // 1..31, 0 for none
    int effect;
    int param;
};

struct ModPattern {
    ModCell cell[MOD_ROWS][MOD_CHANNELS];
};

struct ModSample {
    std::string name;          // up to 22 characters
    std::vector<int8_t> data;  // even length
    int volume = 0;            // 0..64
    int loop_start = 0;        // bytes, even; loop_length 0 = one-shot
    int loop_length = 0;
};

struct ModSong {
    std::string title;         // up to 20 characters
    ModSample samples[MOD_SAMPLE_SLOTS];  // slot i is sample number i + 1
    std::vector<ModPattern> patterns;
    std::vector<int> order;
};

void mod_clear_pattern(ModPattern* p);
// Converts floats (-1..1) to signed 8-bit, scaled to full range.
std::vector<int8_t> mod_quantize(const std::vector<float>& wave);
// Serialises the song; the generator stops with a message when the song
// breaks a limit of the format.
std::vector<uint8_t> mod_serialise(const ModSong* song);
void mod_write_file(const ModSong* song, const std::string& path);
