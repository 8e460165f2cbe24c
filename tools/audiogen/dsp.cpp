#include "dsp.h"

#include <cmath>

void rng_seed(Rng* rng, uint32_t seed)
{
    rng->state = seed ? seed : 0x9E3779B9u;
}

uint32_t rng_next(Rng* rng)
{
    uint32_t x = rng->state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    rng->state = x;
    return x;
}

float rng_uniform(Rng* rng)
{
    return (float)(rng_next(rng) >> 8) / 16777216.0f;
}

float rng_signed(Rng* rng)
{
    return rng_uniform(rng) * 2.0f - 1.0f;
}

float rng_range(Rng* rng, float lo, float hi)
{
    return lo + (hi - lo) * rng_uniform(rng);
}

void biquad_reset(Biquad* f)
{
    f->x1 = f->x2 = f->y1 = f->y2 = 0.0f;
}

// Coefficients after the well-known audio-EQ cookbook formulas.
static void biquad_set(Biquad* f, float b0, float b1, float b2, float a0, float a1, float a2)
{
    f->b0 = b0 / a0;
    f->b1 = b1 / a0;
    f->b2 = b2 / a0;
    f->a1 = a1 / a0;
    f->a2 = a2 / a0;
}

static float limit_freq(float rate, float freq)
{
    return clampf(freq, 10.0f, rate * 0.45f);
}

void biquad_lowpass(Biquad* f, float rate, float freq, float q)
{
    float w = 2.0f * DSP_PI * limit_freq(rate, freq) / rate;
    float alpha = sinf(w) / (2.0f * q);
    float cw = cosf(w);
    biquad_set(f, (1 - cw) / 2, 1 - cw, (1 - cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
}

void biquad_highpass(Biquad* f, float rate, float freq, float q)
{
    float w = 2.0f * DSP_PI * limit_freq(rate, freq) / rate;
    float alpha = sinf(w) / (2.0f * q);
    float cw = cosf(w);
    biquad_set(f, (1 + cw) / 2, -(1 + cw), (1 + cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
}

void biquad_bandpass(Biquad* f, float rate, float freq, float q)
{
    float w = 2.0f * DSP_PI * limit_freq(rate, freq) / rate;
    float alpha = sinf(w) / (2.0f * q);
    float cw = cosf(w);
    biquad_set(f, alpha, 0, -alpha, 1 + alpha, -2 * cw, 1 - alpha);
}

void biquad_peak(Biquad* f, float rate, float freq, float q, float gain_db)
{
    float w = 2.0f * DSP_PI * limit_freq(rate, freq) / rate;
    float alpha = sinf(w) / (2.0f * q);
    float cw = cosf(w);
    float a = powf(10.0f, gain_db / 40.0f);
    biquad_set(f, 1 + alpha * a, -2 * cw, 1 - alpha * a, 1 + alpha / a, -2 * cw, 1 - alpha / a);
}

float biquad_run(Biquad* f, float x)
{
    float y = f->b0 * x + f->b1 * f->x1 + f->b2 * f->x2 - f->a1 * f->y1 - f->a2 * f->y2;
    f->x2 = f->x1;
    f->x1 = x;
    f->y2 = f->y1;
    f->y1 = y;
    return y;
}

void resonator_set(Resonator* r, float rate, float freq, float bandwidth)
{
    freq = limit_freq(rate, freq);
    float c = -expf(-2.0f * DSP_PI * bandwidth / rate);
    float b = 2.0f * expf(-DSP_PI * bandwidth / rate) * cosf(2.0f * DSP_PI * freq / rate);
    r->c = c;
    r->b = b;
    r->a = 1.0f - b - c;
}

float resonator_run(Resonator* r, float x)
{
    float y = r->a * x + r->b * r->y1 + r->c * r->y2;
    r->y2 = r->y1;
    r->y1 = y;
    return y;
}

void onepole_set(OnePole* f, float rate, float freq)
{
    f->k = 1.0f - expf(-2.0f * DSP_PI * freq / rate);
}

float onepole_run(OnePole* f, float x)
{
    f->y += f->k * (x - f->y);
    return f->y;
}

void curve_add(Curve* c, float t, float v)
{
    c->t.push_back(t);
    c->v.push_back(v);
}

float curve_at(const Curve* c, float t)
{
    size_t n = c->t.size();
    if (n == 0)
        return 0.0f;
    if (t <= c->t[0])
        return c->v[0];
    for (size_t i = 1; i < n; i++) {
        if (t < c->t[i]) {
            float span = c->t[i] - c->t[i - 1];
            float k = span > 0 ? (t - c->t[i - 1]) / span : 1.0f;
            return c->v[i - 1] + (c->v[i] - c->v[i - 1]) * k;
        }
    }
    return c->v[n - 1];
}

float clampf(float x, float lo, float hi)
{
    return x < lo ? lo : (x > hi ? hi : x);
}

float db_to_gain(float db)
{
    return powf(10.0f, db / 20.0f);
}

float midi_to_hz(float midi)
{
    return 440.0f * powf(2.0f, (midi - 69.0f) / 12.0f);
}

void normalize(std::vector<float>* buf, float peak)
{
    float m = 0.0f;
    for (float x : *buf)
        m = fmaxf(m, fabsf(x));
    if (m <= 0.0f)
        return;
    float k = peak / m;
    for (float& x : *buf)
        x *= k;
}

void fade_edges(std::vector<float>* buf, int fade_in, int fade_out)
{
    int n = (int)buf->size();
    for (int i = 0; i < fade_in && i < n; i++)
        (*buf)[i] *= (float)i / fade_in;
    for (int i = 0; i < fade_out && i < n; i++)
        (*buf)[n - 1 - i] *= (float)i / fade_out;
}
