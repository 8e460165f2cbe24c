// Levels as a player hears them, for the sound tools and the asset checks.
//
// Every level is read off the power spectrum of the stretch being measured
// (zero-padded FFT, Parseval-scaled), so bands split the energy exactly, the
// A-weighting is the analytic curve at any sample rate, and no filter has to
// settle at the start of a short sound. Levels are in dB relative to a
// full-scale square wave (a full-scale sine is -3 dB).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#define LEVEL_SILENT_DB (-200.0)

// Mean power of x[from, to) between lo and hi Hz (hi 0: up to the Nyquist
// limit), A-weighted when asked; 0 for an empty stretch.
double band_power(const std::vector<float>& x, size_t from, size_t to, float rate, float lo, float hi,
                  bool a_weighted);
double power_db(double power);
// The A-weighted level of the loudest `window` seconds, in steps of a tenth
// of the window.
double loudest_db(const std::vector<float>& x, float rate, float window);

// What decides how a sound effect carries through small speakers, in dB.
struct SampleFigures {
    double loudest_100ms;  // A-weighted
    double first_50ms;     // A-weighted: how present it is when it starts
    double presence;       // 2-4 kHz against the 0.3-1 kHz vowel band
    double attack;         // 2-6 kHz over the first 20 ms
    double crack;          // the same against below 300 Hz over those 20 ms
    double low_share;      // below 300 Hz against everything
    double tail;           // last 50 ms against the loudest 100 ms, A-weighted
};
SampleFigures measure_sample(const std::vector<float>& x, float rate);

// A module played the way the game plays it: 44.1 kHz without interpolation,
// mixed to mono (half left plus half right), once. Channels whose bit is set
// in `muted` are silent, but their effects (tempo, speed) still act. One
// section per entry of the order list; a written fade is a section whose
// pattern slides the volume down.
#define MEASURE_MODULE_RATE 44100
struct ModuleRender {
    std::vector<float> pcm;
    std::vector<size_t> section_start;  // first frame of each section played
    std::vector<int> pattern;           // the pattern each section plays
    std::vector<bool> fade;
};
// False when libopenmpt refuses the bytes.
bool render_module(const std::vector<uint8_t>& bytes, unsigned muted, ModuleRender* out);
// Frames of section s, and its A-weighted level.
size_t section_end(const ModuleRender& m, size_t s);
double section_db(const ModuleRender& m, size_t s);
