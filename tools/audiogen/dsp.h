// Small signal-processing kit shared by the sound-effect and music generators.
//
// Everything here is deterministic: the noise comes from our own generator
// seeded by the caller, never from rand() or the clock, so the same source
// always produces the same bytes.
#pragma once
#include <cstdint>
#include <vector>

#define DSP_PI 3.14159265358979323846f

// Xorshift noise generator; a zero state is replaced by a fixed seed.
struct Rng {
    uint32_t state;
};
void rng_seed(Rng* rng, uint32_t seed);
uint32_t rng_next(Rng* rng);
float rng_uniform(Rng* rng);              // 0..1
float rng_signed(Rng* rng);               // -1..1
float rng_range(Rng* rng, float lo, float hi);

// Direct-form biquad; coefficients may be recomputed every sample for sweeps
// because the state is kept apart from them.
struct Biquad {
    float b0, b1, b2, a1, a2;
    float x1, x2, y1, y2;
};
void biquad_reset(Biquad* f);
void biquad_lowpass(Biquad* f, float rate, float freq, float q);
void biquad_highpass(Biquad* f, float rate, float freq, float q);
void biquad_bandpass(Biquad* f, float rate, float freq, float q);  // 0 dB peak
// Boosts (gain_db above 0) or cuts a band around freq, unity elsewhere.
void biquad_peak(Biquad* f, float rate, float freq, float q, float gain_db);
float biquad_run(Biquad* f, float x);

// Two-pole resonator with unity gain at 0 Hz, the building block of cascade
// formant synthesis: a chain of them shapes a glottal source into a vowel.
struct Resonator {
    float a, b, c;
    float y1, y2;
};
void resonator_set(Resonator* r, float rate, float freq, float bandwidth);
float resonator_run(Resonator* r, float x);

// One-pole smoothing low-pass.
struct OnePole {
    float k, y;
};
void onepole_set(OnePole* f, float rate, float freq);
float onepole_run(OnePole* f, float x);

// Piecewise-linear curve through (time, value) points, held flat outside.
struct Curve {
    std::vector<float> t, v;
};
void curve_add(Curve* c, float t, float v);
float curve_at(const Curve* c, float t);

float clampf(float x, float lo, float hi);
float db_to_gain(float db);
float midi_to_hz(float midi);

// Scales a buffer so its largest magnitude becomes peak (0..1).
void normalize(std::vector<float>* buf, float peak);
// Short linear ramps at both ends so a sound never starts or stops on a click.
void fade_edges(std::vector<float>* buf, int fade_in, int fade_out);
