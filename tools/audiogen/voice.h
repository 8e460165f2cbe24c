// Cascade formant voice: a glottal pulse train plus breath noise shaped by
// four resonators, every parameter a time curve. Laughs, sighs, panting and
// the growl are all scripts of these curves.
#pragma once
#include <cstdint>
#include <vector>

#include "dsp.h"

struct VoiceScript {
    Curve f0;          // Hz of the glottal pulses
    Curve voiced;      // amplitude of the pulses, 0..1
    Curve aspirated;   // amplitude of the turbulent noise, 0..1
    Curve f1, f2, f3, f4;
    float bw1, bw2, bw3, bw4;   // formant bandwidths in Hz
    float jitter;      // random change of each period, fraction of f0
    float shimmer;     // random change of each pulse's strength, fraction
    float breathiness; // noise riding on the open phase of every pulse
    float roughness;   // 0..1: every second pulse weakened, a creaky subharmonic
    float vibrato_hz, vibrato_depth;  // depth as a fraction of f0
    float tremolo_hz, tremolo_depth;  // amplitude flutter, depth 0..1
    float drive;       // 0 clean, above 0 saturates the result (tanh)
    float hiss;        // share of the breath noise that skips the formants: the
                       // airy top of a whisper or a pant
    float presence;    // dB added around 3 kHz, where a voice carries over noise
                       // and small speakers; the cascade alone sounds muffled
    uint32_t seed;
};

// Standard settings: an adult male voice with typical bandwidths.
void voice_defaults(VoiceScript* v, uint32_t seed);
// Adds a vowel target for all four formants at time t.
void voice_vowel(VoiceScript* v, float t, float f1, float f2, float f3, float f4);

std::vector<float> voice_render(const VoiceScript* v, float rate, float seconds);
