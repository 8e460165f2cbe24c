// Sound effects of the fight and the warnings, from noise, filters and tones.
#include <cmath>

#include "dsp.h"
#include "sfx.h"

static std::vector<float> silence(float seconds)
{
    return std::vector<float>((size_t)(seconds * SFX_RATE), 0.0f);
}

static float seconds_of(int i)
{
    return (float)i / SFX_RATE;
}

// A blade cutting air: noise through a narrow band-pass whose centre rises
// while the blade speeds up and falls as it passes (the Doppler sweep of a
// whoosh), under a swell that peaks just past the middle.
std::vector<float> make_swing()
{
    const float length = 0.3f;
    std::vector<float> out = silence(length);
    Rng rng;
    rng_seed(&rng, 101);
    Biquad body = {}, edge = {};
    for (size_t i = 0; i < out.size(); i++) {
        float t = seconds_of((int)i);
        float p = t / length;
        float bell = sinf(DSP_PI * powf(p, 0.8f));
        bell *= bell * bell;
        float centre = 260.0f + 1300.0f * sinf(DSP_PI * powf(p, 0.85f));
        biquad_bandpass(&body, SFX_RATE, centre, 5.0f);
        biquad_bandpass(&edge, SFX_RATE, centre * 2.2f, 9.0f);
        float noise = rng_signed(&rng);
        out[i] = bell * (biquad_run(&body, noise) + 0.25f * biquad_run(&edge, noise));
    }
    return out;
}

// A pistol shot: the crack first, a burst of 2-6 kHz noise over the first
// 15 ms, where small speakers and ears are most sensitive, so the shot cuts
// through the music; then a falling low thump for the blast, a band-limited
// roar and a short room tail, all pushed into saturation. The thump is kept
// modest: below 300 Hz a laptop speaker gives back little but distortion.
std::vector<float> make_gun()
{
    std::vector<float> out = silence(0.75f);
    Rng rng;
    rng_seed(&rng, 202);
    Biquad roar = {}, tail = {}, crack_low = {}, crack_high = {};
    biquad_lowpass(&roar, SFX_RATE, 3200.0f, 0.8f);
    biquad_lowpass(&tail, SFX_RATE, 900.0f, 0.7f);
    biquad_highpass(&crack_low, SFX_RATE, 2000.0f, 0.7f);
    biquad_lowpass(&crack_high, SFX_RATE, 6000.0f, 0.7f);
    float thump_phase = 0.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = seconds_of((int)i);
        float noise = rng_signed(&rng);
        float snap = biquad_run(&crack_high, biquad_run(&crack_low, noise));
        float crack = snap * (t < 0.008f ? 1.0f : expf(-(t - 0.008f) / 0.004f));
        float body = biquad_run(&roar, noise) * expf(-t / 0.045f);
        float thump_hz = 45.0f + 130.0f * expf(-t / 0.03f);
        thump_phase += thump_hz / SFX_RATE;
        float thump = sinf(2.0f * DSP_PI * thump_phase) * expf(-t / 0.07f);
        float room = biquad_run(&tail, noise) * 0.5f * expf(-t / 0.18f) * fminf(1.0f, t / 0.01f);
        out[i] = tanhf(2.5f * (6.0f * crack + body + 0.45f * thump + room));
    }
    return out;
}

// A wet hit: a dull body thump, a squelch of low-passed noise chopped into
// grains, and a few droplets (short rising chirps) spattering afterwards.
std::vector<float> make_splat()
{
    std::vector<float> out = silence(0.5f);
    Rng rng;
    rng_seed(&rng, 303);
    Biquad squelch = {};
    float thump_phase = 0.0f, grain = 0.0f, grain_target = 1.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = seconds_of((int)i);
        float cutoff = 350.0f + 2600.0f * expf(-t / 0.05f);
        biquad_lowpass(&squelch, SFX_RATE, cutoff, 3.0f);
        if (i % 90 == 0)
            grain_target = rng_uniform(&rng);
        grain += 0.02f * (grain_target - grain);
        float wet = biquad_run(&squelch, rng_signed(&rng)) * (0.3f + grain) * expf(-t / 0.09f);
        thump_phase += (40.0f + 90.0f * expf(-t / 0.04f)) / SFX_RATE;
        float thump = sinf(2.0f * DSP_PI * thump_phase) * expf(-t / 0.06f);
        out[i] = 1.2f * wet + 0.9f * thump;
    }
    const float drop_times[5] = { 0.11f, 0.16f, 0.23f, 0.29f, 0.37f };
    for (int d = 0; d < 5; d++) {
        int start = (int)(drop_times[d] * SFX_RATE);
        float base = rng_range(&rng, 500.0f, 900.0f);
        float gain = rng_range(&rng, 0.15f, 0.3f) * (1.0f - d * 0.12f);
        float phase = 0.0f;
        for (int k = 0; k < (int)(0.03f * SFX_RATE) && start + k < (int)out.size(); k++) {
            float t = seconds_of(k);
            phase += base * (1.0f + 40.0f * t) / SFX_RATE;
            out[start + k] += gain * sinf(2.0f * DSP_PI * phase) * expf(-t / 0.008f);
        }
    }
    normalize(&out, 1.0f);
    for (float& x : out)
        x = tanhf(1.8f * x);
    return out;
}

// A bullet glancing off stone: a sharp click, then the spinning slug's whine
// gliding down with a wobble, two inharmonic partials for a metallic edge.
// Long enough for the whine to die away on its own rather than be cut.
std::vector<float> make_ricochet()
{
    std::vector<float> out = silence(1.4f);
    Rng rng;
    rng_seed(&rng, 404);
    Biquad click = {};
    biquad_highpass(&click, SFX_RATE, 1500.0f, 0.7f);
    float p1 = 0.0f, p2 = 0.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = seconds_of((int)i);
        float hit = biquad_run(&click, rng_signed(&rng)) * expf(-t / 0.006f);
        float glide = 1250.0f + 1900.0f * expf(-t / 0.28f);
        float wobble = 1.0f + 0.025f * sinf(2.0f * DSP_PI * 26.0f * t);
        p1 += glide * wobble / SFX_RATE;
        p2 += glide * 1.47f * wobble / SFX_RATE;
        float swell = fminf(1.0f, t / 0.012f) * expf(-t / 0.25f);
        float whine = (sinf(2.0f * DSP_PI * p1) + 0.3f * sinf(2.0f * DSP_PI * p2)) * swell;
        out[i] = 1.3f * hit + 0.7f * whine;
    }
    return out;
}

// A plastic pill bottle shaken three times: each shake throws a cloud of hard
// little clicks (short resonant pings) against a hollow body knock.
std::vector<float> make_pills()
{
    std::vector<float> out = silence(0.62f);
    Rng rng;
    rng_seed(&rng, 505);
    const float shakes[3] = { 0.0f, 0.17f, 0.34f };
    for (int s = 0; s < 3; s++) {
        int clicks = 11 + s * 2;
        for (int c = 0; c < clicks; c++) {
            float at = shakes[s] + 0.005f + 0.07f * powf(rng_uniform(&rng), 1.6f);
            int start = (int)(at * SFX_RATE);
            Biquad ping = {};
            biquad_bandpass(&ping, SFX_RATE, rng_range(&rng, 2300.0f, 5200.0f), 7.0f);
            float gain = rng_range(&rng, 0.4f, 1.0f) * (s == 1 ? 0.85f : 1.0f);
            for (int k = 0; k < (int)(0.012f * SFX_RATE) && start + k < (int)out.size(); k++) {
                float x = k < 12 ? rng_signed(&rng) : 0.0f;
                out[start + k] += gain * 3.0f * biquad_run(&ping, x);
            }
        }
        int start = (int)(shakes[s] * SFX_RATE);
        float phase = 0.0f;
        for (int k = 0; k < (int)(0.05f * SFX_RATE) && start + k < (int)out.size(); k++) {
            float t = seconds_of(k);
            phase += 260.0f / SFX_RATE;
            out[start + k] += 0.25f * sinf(2.0f * DSP_PI * phase) * expf(-t / 0.012f);
        }
    }
    // The clicks are sparse; saturation brings their body up to the level
    // of the other effects without raising the peaks.
    normalize(&out, 1.0f);
    for (float& x : out)
        x = tanhf(2.5f * x);
    return out;
}

// Band-limited square: odd harmonics below the Nyquist limit.
static float square_wave(float phase, float freq)
{
    float y = 0.0f;
    for (int h = 1; h * freq < SFX_RATE * 0.45f; h += 2)
        y += sinf(2.0f * DSP_PI * phase * h) / h;
    return y;
}

// The psychosis warning: two hard electronic beeps, short enough to sound
// again within the one-second warning cycle.
std::vector<float> make_alert()
{
    std::vector<float> out = silence(0.36f);
    const float freq = 988.0f;
    const float beep = 0.1f, gap = 0.06f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = seconds_of((int)i);
        float local = fmodf(t, beep + gap);
        if (t >= 2 * (beep + gap) || local >= beep)
            continue;
        float gate = fminf(1.0f, fminf(local, beep - local) / 0.004f);
        out[i] = gate * square_wave(t * freq, freq) * (0.8f + 0.2f * expf(-local / 0.03f));
    }
    return out;
}

// The steroids running out: a falling three-note chime of soft bell tones,
// plainly different in pitch, rhythm and colour from the psychosis beeps.
// The last bell rings out inside the one-second warning cycle.
std::vector<float> make_alert2()
{
    std::vector<float> out = silence(0.9f);
    const float notes[3] = { 1568.0f, 1175.0f, 784.0f };
    for (int n = 0; n < 3; n++) {
        int start = (int)(n * 0.12f * SFX_RATE);
        for (size_t i = start; i < out.size(); i++) {
            float t = seconds_of((int)i - start);
            float f = notes[n];
            float env = fminf(1.0f, t / 0.003f) * expf(-t / 0.13f);
            float tone = sinf(2.0f * DSP_PI * f * t) + 0.4f * sinf(2.0f * DSP_PI * f * 2.0f * t) * expf(-t / 0.05f)
                + 0.2f * sinf(2.0f * DSP_PI * f * 3.01f * t) * expf(-t / 0.03f);
            out[i] += env * tone;
        }
    }
    return out;
}
