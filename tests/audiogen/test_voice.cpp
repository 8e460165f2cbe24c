// The synthesis kit under the sound effects: curves, resonators and the
// formant voice sing what their script says.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp.h"
#include "voice.h"

namespace {

const float RATE = 22050.0f;

double rms(const std::vector<float>& x, size_t from)
{
    double e = 0.0;
    for (size_t i = from; i < x.size(); i++)
        e += (double)x[i] * x[i];
    return sqrt(e / (x.size() - from));
}

// Lag (in samples) of the strongest normalised autocorrelation in a range,
// and that correlation.
int best_lag(const std::vector<float>& x, size_t from, int lo, int hi, double* strength)
{
    int best = lo;
    double best_r = -2.0;
    for (int lag = lo; lag <= hi; lag++) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (size_t i = from; i + lag < x.size(); i++) {
            xy += (double)x[i] * x[i + lag];
            xx += (double)x[i] * x[i];
            yy += (double)x[i + lag] * x[i + lag];
        }
        double r = xy / sqrt(xx * yy + 1e-30);
        if (r > best_r) {
            best_r = r;
            best = lag;
        }
    }
    *strength = best_r;
    return best;
}

VoiceScript steady_vowel(float f0, float voiced, float aspirated)
{
    VoiceScript v;
    voice_defaults(&v, 99);
    v.jitter = 0.0f;
    v.shimmer = 0.0f;
    v.breathiness = 0.0f;
    curve_add(&v.f0, 0.0f, f0);
    curve_add(&v.voiced, 0.0f, voiced);
    curve_add(&v.aspirated, 0.0f, aspirated);
    voice_vowel(&v, 0.0f, 760, 1180, 2450, 3400);
    return v;
}

TEST(Dsp, CurvesInterpolateAndHoldAtTheirEnds)
{
    Curve c;
    EXPECT_EQ(0.0f, curve_at(&c, 1.0f));
    curve_add(&c, 1.0f, 10.0f);
    curve_add(&c, 3.0f, 30.0f);
    curve_add(&c, 3.0f, 50.0f);  // a jump
    EXPECT_FLOAT_EQ(10.0f, curve_at(&c, 0.0f));
    EXPECT_FLOAT_EQ(20.0f, curve_at(&c, 2.0f));
    EXPECT_FLOAT_EQ(50.0f, curve_at(&c, 3.5f));
}

TEST(Dsp, ResonatorRingsAtItsFrequencyAndPassesDcAtUnity)
{
    auto gain_at = [](float freq) {
        Resonator r = {};
        resonator_set(&r, RATE, 1000.0f, 80.0f);
        double peak = 0.0;
        for (int i = 0; i < 8000; i++) {
            float y = resonator_run(&r, freq > 0 ? sinf(2.0f * DSP_PI * freq * i / RATE) : 1.0f);
            if (i > 4000)
                peak = fmax(peak, fabs(y));
        }
        return peak;
    };
    EXPECT_NEAR(1.0, gain_at(0.0f), 0.01);
    EXPECT_GT(gain_at(1000.0f), 5.0 * gain_at(3000.0f));
    EXPECT_GT(gain_at(1000.0f), 5.0 * gain_at(300.0f));
}

TEST(Voice, SteadyVowelSingsAtItsPitch)
{
    for (float f0 : { 110.0f, 150.0f, 300.0f }) {
        VoiceScript v = steady_vowel(f0, 1.0f, 0.0f);
        std::vector<float> out = voice_render(&v, RATE, 0.4f);
        double strength;
        int lag = best_lag(out, 2000, (int)(RATE / f0 * 0.7f), (int)(RATE / f0 * 1.3f), &strength);
        EXPECT_NEAR(RATE / f0, lag, 1.5) << f0 << " Hz";
        EXPECT_GT(strength, 0.9) << f0 << " Hz";
    }
}

TEST(Voice, SilenceStaysSilentAndBreathHasNoPitch)
{
    VoiceScript quiet = steady_vowel(150.0f, 0.0f, 0.0f);
    EXPECT_EQ(0.0, rms(voice_render(&quiet, RATE, 0.2f), 0));
    VoiceScript breath = steady_vowel(150.0f, 0.0f, 1.0f);
    std::vector<float> out = voice_render(&breath, RATE, 0.4f);
    EXPECT_GT(rms(out, 2000), 0.01);
    double strength;
    best_lag(out, 2000, 100, 200, &strength);
    EXPECT_LT(strength, 0.5);
    // Same seed, same breath; another seed, another.
    VoiceScript again = breath;
    EXPECT_EQ(out, voice_render(&again, RATE, 0.4f));
    again.seed = 100;
    EXPECT_NE(out, voice_render(&again, RATE, 0.4f));
}

}  // namespace
