#include "voice.h"

#include <cmath>

// Rosenberg's glottal pulse: the folds open over RISE of the period, close
// over FALL and stay shut for the rest; its slope is what the lips radiate.
#define GLOTTAL_RISE 0.40f
#define GLOTTAL_FALL 0.16f
// Formant coefficients are refreshed this often (samples): curves move
// slowly compared to the period of any formant.
#define VOICE_CONTROL_STEP 16
#define VOICE_PRE_EMPHASIS 0.6f
// The presence boost spans about an octave and a half around 3 kHz, the
// 2-4 kHz band that makes a voice intelligible.
#define PRESENCE_HZ 2900.0f
#define PRESENCE_Q 1.0f

static float glottal_flow(float phase)
{
    if (phase < GLOTTAL_RISE)
        return 0.5f * (1.0f - cosf(DSP_PI * phase / GLOTTAL_RISE));
    if (phase < GLOTTAL_RISE + GLOTTAL_FALL)
        return cosf(0.5f * DSP_PI * (phase - GLOTTAL_RISE) / GLOTTAL_FALL);
    return 0.0f;
}

void voice_defaults(VoiceScript* v, uint32_t seed)
{
    *v = VoiceScript();
    v->bw1 = 90.0f;
    v->bw2 = 110.0f;
    v->bw3 = 170.0f;
    v->bw4 = 250.0f;
    v->jitter = 0.01f;
    v->shimmer = 0.06f;
    v->breathiness = 0.15f;
    v->seed = seed;
}

void voice_vowel(VoiceScript* v, float t, float f1, float f2, float f3, float f4)
{
    curve_add(&v->f1, t, f1);
    curve_add(&v->f2, t, f2);
    curve_add(&v->f3, t, f3);
    curve_add(&v->f4, t, f4);
}

std::vector<float> voice_render(const VoiceScript* v, float rate, float seconds)
{
    int n = (int)(seconds * rate);
    std::vector<float> out(n);
    Rng rng;
    rng_seed(&rng, v->seed);
    Resonator res[4] = {};
    Biquad dc = {}, air = {};
    biquad_highpass(&dc, rate, 50.0f, 0.7f);
    biquad_highpass(&air, rate, 2500.0f, 0.7f);
    float phase = 0.0f, prev_flow = 0.0f;
    float period_jitter = 0.0f, pulse_gain = 1.0f;
    int pulse_count = 0;
    float prev_out = 0.0f;
    for (int i = 0; i < n; i++) {
        float t = (float)i / rate;
        if (i % VOICE_CONTROL_STEP == 0) {
            resonator_set(&res[0], rate, curve_at(&v->f1, t), v->bw1);
            resonator_set(&res[1], rate, curve_at(&v->f2, t), v->bw2);
            resonator_set(&res[2], rate, curve_at(&v->f3, t), v->bw3);
            resonator_set(&res[3], rate, curve_at(&v->f4, t), v->bw4);
        }
        float f0 = curve_at(&v->f0, t);
        f0 *= 1.0f + period_jitter + v->vibrato_depth * sinf(2.0f * DSP_PI * v->vibrato_hz * t);
        f0 = fmaxf(f0, 20.0f);
        phase += f0 / rate;
        if (phase >= 1.0f) {
            phase -= 1.0f;
            pulse_count++;
            period_jitter = v->jitter * rng_signed(&rng);
            pulse_gain = 1.0f + v->shimmer * rng_signed(&rng);
            if (pulse_count & 1)
                pulse_gain *= 1.0f - v->roughness;
        }
        float flow = glottal_flow(phase);
        // Scaled by the period so low and high voices come out equally loud.
        float slope = (flow - prev_flow) * rate / (f0 * 10.0f);
        prev_flow = flow;
        float voiced = curve_at(&v->voiced, t);
        float source = voiced * pulse_gain * slope;
        source += voiced * v->breathiness * flow * rng_signed(&rng);
        float breath = curve_at(&v->aspirated, t) * rng_signed(&rng);
        source += breath * 0.35f;
        float y = source;
        for (int k = 0; k < 4; k++)
            y = resonator_run(&res[k], y);
        y += v->hiss * biquad_run(&air, breath);
        if (v->tremolo_depth > 0.0f)
            y *= 1.0f - v->tremolo_depth * (0.5f + 0.5f * sinf(2.0f * DSP_PI * v->tremolo_hz * t));
        // Mild pre-emphasis: the cascade alone sounds muffled, as if behind a door.
        float bright = y - VOICE_PRE_EMPHASIS * prev_out;
        prev_out = y;
        out[i] = biquad_run(&dc, bright);
    }
    if (v->drive > 0.0f) {
        normalize(&out, 1.0f);
        for (float& x : out)
            x = tanhf(x * v->drive);
    }
    // After the drive, so the saturation does not flatten the boost again.
    if (v->presence != 0.0f) {
        Biquad presence = {};
        biquad_peak(&presence, rate, PRESENCE_HZ, PRESENCE_Q, v->presence);
        for (float& x : out)
            x = biquad_run(&presence, x);
    }
    return out;
}
