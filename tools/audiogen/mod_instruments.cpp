#include "mod_instruments.h"

#include <cmath>

#include "dsp.h"

// Drums are synthesised at the C-3 rate and always struck at C-3.
#define DRUM_RATE (MOD_C2_RATE * 2.0f)

struct InstrumentInfo {
    const char* name;
    int volume;
    int cycle;      // samples per period at the C-2 rate; 0 for drums
};

// Cycle 128 puts C-2 on MIDI 36, 64 on 48, 32 on 60 and 16 on 72.
// Volumes balance the parts as heard (A-weighted): a lead sits within about
// 3 dB of drums, bass and chords together, so a section without one does not
// drop away, and the basses are at full volume because small speakers lose
// most of them.
static const InstrumentInfo INFO[INST_END - 1] = {
    { "kick", 60, 0 },
    { "snare", 56, 0 },
    { "closed hat", 30, 0 },
    { "open hat", 30, 0 },
    { "crash", 48, 0 },
    { "tom", 54, 0 },
    { "clap", 48, 0 },
    { "pluck bass", 64, 128 },
    { "sub bass", 64, 128 },
    { "pad major", 34, 64 },
    { "pad minor", 34, 64 },
    { "saw lead", 40, 32 },
    { "square lead", 36, 32 },
    { "bell", 54, 32 },
    { "choir", 40, 32 },
    { "pluck", 40, 32 },
    { "high lead", 34, 16 },
};

static const int CYCLE_BASE_MIDI_128 = 36;

int instrument_base_midi(int inst)
{
    int cycle = INFO[inst - 1].cycle;
    if (cycle == 0)
        return -1;
    int midi = CYCLE_BASE_MIDI_128;
    for (int c = 128; c > cycle; c /= 2)
        midi += 12;
    return midi;
}

static std::vector<float> buffer(float seconds, float rate)
{
    return std::vector<float>((size_t)(seconds * rate), 0.0f);
}

static std::vector<float> make_kick(Rng* rng)
{
    std::vector<float> out = buffer(0.36f, DRUM_RATE);
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = i / DRUM_RATE;
        phase += (44.0f + 120.0f * expf(-t / 0.035f)) / DRUM_RATE;
        float body = sinf(2.0f * DSP_PI * phase) * expf(-t / 0.16f);
        float click = t < 0.003f ? rng_signed(rng) * 0.5f : 0.0f;
        out[i] = tanhf(1.8f * (body + click));
    }
    return out;
}

static std::vector<float> make_snare(Rng* rng)
{
    std::vector<float> out = buffer(0.26f, DRUM_RATE);
    Biquad hp = {};
    biquad_highpass(&hp, DRUM_RATE, 1200.0f, 0.7f);
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = i / DRUM_RATE;
        phase += (175.0f + 60.0f * expf(-t / 0.02f)) / DRUM_RATE;
        float tone = sinf(2.0f * DSP_PI * phase) * expf(-t / 0.045f);
        float rattle = biquad_run(&hp, rng_signed(rng)) * expf(-t / 0.075f);
        out[i] = tanhf(1.5f * (0.8f * tone + 1.1f * rattle));
    }
    return out;
}

static std::vector<float> make_hat(Rng* rng, float seconds, float decay)
{
    std::vector<float> out = buffer(seconds, DRUM_RATE);
    Biquad hp = {}, hp2 = {};
    biquad_highpass(&hp, DRUM_RATE, 5500.0f, 0.8f);
    biquad_highpass(&hp2, DRUM_RATE, 5500.0f, 0.8f);
    for (size_t i = 0; i < out.size(); i++) {
        float t = i / DRUM_RATE;
        // Square waves at odd ratios give the metallic ring of real cymbals.
        float metal = 0.0f;
        const float partials[4] = { 2120.0f, 3010.0f, 3870.0f, 5430.0f };
        for (float f : partials)
            metal += fmodf(t * f, 1.0f) < 0.5f ? 0.25f : -0.25f;
        float x = 0.6f * rng_signed(rng) + 0.4f * metal;
        out[i] = biquad_run(&hp2, biquad_run(&hp, x)) * expf(-t / decay);
    }
    return out;
}

static std::vector<float> make_crash(Rng* rng)
{
    std::vector<float> out = make_hat(rng, 1.3f, 0.45f);
    std::vector<float> kick = make_kick(rng);
    for (size_t i = 0; i < out.size(); i++)
        out[i] = out[i] * 1.4f + (i < kick.size() ? 0.8f * kick[i] : 0.0f);
    return out;
}

static std::vector<float> make_tom(Rng* rng)
{
    std::vector<float> out = buffer(0.45f, DRUM_RATE);
    Biquad lp = {};
    biquad_lowpass(&lp, DRUM_RATE, 1500.0f, 0.7f);
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); i++) {
        float t = i / DRUM_RATE;
        phase += (150.0f + 70.0f * expf(-t / 0.06f)) / DRUM_RATE;
        float body = sinf(2.0f * DSP_PI * phase) * expf(-t / 0.2f);
        float skin = biquad_run(&lp, rng_signed(rng)) * expf(-t / 0.03f);
        out[i] = tanhf(1.4f * (body + 0.5f * skin));
    }
    return out;
}

static std::vector<float> make_clap(Rng* rng)
{
    std::vector<float> out = buffer(0.25f, DRUM_RATE);
    Biquad bp = {};
    biquad_bandpass(&bp, DRUM_RATE, 1300.0f, 1.2f);
    for (size_t i = 0; i < out.size(); i++) {
        float t = i / DRUM_RATE;
        // Three hands slightly apart, then the room.
        float env = 0.0f;
        for (int k = 0; k < 3; k++) {
            float local = t - k * 0.011f;
            if (local >= 0.0f && local < 0.011f)
                env = fmaxf(env, expf(-local / 0.004f));
        }
        float tail = t >= 0.022f ? expf(-(t - 0.022f) / 0.06f) : 0.0f;
        out[i] = biquad_run(&bp, rng_signed(rng)) * fmaxf(env, tail);
    }
    return out;
}

// Sum of sine partials, each a whole number of cycles over the loop, so the
// loop is seamless. Harmonic h of a voice gets weight(h, voice frequency).
struct Partial {
    float cycles;    // cycles over the span being rendered
    float amp;
    float phase;
};

static void add_partials(std::vector<float>* out, size_t from, size_t count, float span,
                         const std::vector<Partial>& parts, float gain)
{
    for (const Partial& p : parts) {
        for (size_t i = 0; i < count; i++) {
            // Keep the angle small before sinf so long loops stay exact.
            double cycles_done = fmod((double)p.cycles * (double)(from + i) / span, 1.0);
            (*out)[from + i] += gain * p.amp * sinf(2.0f * DSP_PI * (float)cycles_done + p.phase);
        }
    }
}

// A saw's partials up to the loop's Nyquist limit, rolled off above cutoff
// (multiples of the fundamental) with a 4th-order slope.
static void saw_partials(std::vector<Partial>* parts, float cycles, float span, float cutoff,
                         float amp, Rng* rng, bool odd_only)
{
    for (int h = 1; cycles * h < span * 0.45f; h++) {
        if (odd_only && (h % 2) == 0)
            continue;
        float r = h / cutoff;
        float w = amp / h / (1.0f + r * r * r * r);
        parts->push_back(Partial{ cycles * h, w, rng_range(rng, 0.0f, 2.0f * DSP_PI) });
    }
}

// Sample with a one-loop-long prefix faded in, then the loop itself.
static void set_looped(ModSample* smp, std::vector<float> wave, int loop_length, float attack_share)
{
    int attack = (int)(loop_length * attack_share);
    for (int i = 0; i < attack && i < (int)wave.size(); i++) {
        float k = (float)i / attack;
        wave[i] *= k * k * (3.0f - 2.0f * k);
    }
    smp->data = mod_quantize(wave);
    smp->loop_start = (int)wave.size() - loop_length;
    smp->loop_length = loop_length;
}

// Pads: a triad at 80 root cycles over the loop, the other notes at the
// whole number of cycles nearest equal temperament (a few cents off at
// most, so the pad agrees with the leads), every note doubled one cycle
// sharp for a slow chorus beat, and the root an octave down for body.
static void make_pad(ModSample* smp, const int semitones[3], Rng* rng)
{
    const int cycle = 64, root_cycles = 80;
    const int loop = cycle * root_cycles;
    std::vector<Partial> parts;
    for (int n = 0; n < 3; n++) {
        int c = (int)lrintf(root_cycles * powf(2.0f, semitones[n] / 12.0f));
        saw_partials(&parts, (float)c, (float)loop, 5.0f, 1.0f, rng, false);
        saw_partials(&parts, (float)(c + 1), (float)loop, 5.0f, 0.8f, rng, false);
    }
    saw_partials(&parts, root_cycles / 2.0f, (float)loop, 3.0f, 0.6f, rng, false);
    std::vector<float> wave(2 * loop, 0.0f);
    add_partials(&wave, 0, wave.size(), (float)loop, parts, 1.0f);
    set_looped(smp, wave, loop, 0.9f);
}

// Choir: harmonics of a glottal-like source weighted by the response of
// the vowel's formants, three singers a cycle apart.
// The vowel is placed for the octave above C-2, where the choir mostly sings,
// so its formants are given at half their frequency.
static float formant_response(float freq, float rate)
{
    const float formants[4][2] = { { 350, 60 }, { 560, 65 }, { 1300, 90 }, { 1650, 120 } };
    float g = 1.0f;
    for (const auto& f : formants) {
        Resonator r;
        resonator_set(&r, rate, f[0], f[1]);
        float w = 2.0f * DSP_PI * freq / rate;
        // |A / (1 - B e^-jw - C e^-2jw)|
        float re = 1.0f - r.b * cosf(w) - r.c * cosf(2 * w);
        float im = r.b * sinf(w) + r.c * sinf(2 * w);
        g *= fabsf(r.a) / sqrtf(re * re + im * im);
    }
    return g;
}

static void make_choir(ModSample* smp, Rng* rng)
{
    const int cycle = 32, root_cycles = 80;
    const int loop = cycle * root_cycles;
    const float f0 = MOD_C2_RATE / cycle;
    std::vector<Partial> parts;
    const int singers[3] = { root_cycles, root_cycles + 1, root_cycles - 1 };
    for (int c : singers) {
        for (int h = 1; c * h < loop * 0.45f; h++) {
            float amp = formant_response(f0 * h, MOD_C2_RATE) / (h * 1.2f);
            parts.push_back(Partial{ (float)(c * h), amp, rng_range(rng, 0.0f, 2.0f * DSP_PI) });
        }
    }
    std::vector<float> wave(2 * loop, 0.0f);
    add_partials(&wave, 0, wave.size(), (float)loop, parts, 1.0f);
    set_looped(smp, wave, loop, 0.7f);
}

// Harmonic weights of the sub bass (index 1 is the fundamental). Its fundamental
// lies between 41 and 78 Hz, which laptop speakers do not reproduce; the
// harmonics up to the sixth carry its line there, and the ear fills in the
// missing fundamental.
static const float SUB_HARMONICS[8] = { 0.0f, 1.0f, 0.7f, 0.5f, 0.35f, 0.2f, 0.1f, 0.04f };

// Bass: a few bright cycles dying into the steady loop; the extra brightness
// ends exactly where the loop begins so the joint is clean.
static void make_bass(ModSample* smp, bool sub, Rng* rng)
{
    const int cycle = 128, attack_cycles = sub ? 2 : 8, loop_cycles = 2;
    const int attack = cycle * attack_cycles, loop = cycle * loop_cycles;
    std::vector<float> wave(attack + loop, 0.0f);
    for (int h = 1; h < cycle / 2 - 8; h++) {
        float base = sub ? SUB_HARMONICS[h < 8 ? h : 0]
                         : (1.0f / h) / (1.0f + powf(h / 6.0f, 4.0f)) + ((h & 1) ? 0.4f / h : 0.0f) / (1.0f + powf(h / 4.0f, 4.0f));
        float extra = sub ? (h < 6 ? 0.15f / h : 0.0f) : (1.0f / h) / (1.0f + powf(h / 22.0f, 4.0f));
        float phase = rng_range(rng, 0.0f, 0.3f);
        for (int i = 0; i < attack + loop; i++) {
            float fade = i < attack ? (1.0f - (float)i / attack) : 0.0f;
            float amp = base + extra * fade * fade;
            wave[i] += amp * sinf(2.0f * DSP_PI * h * (float)(i % cycle) / cycle + phase);
        }
    }
    for (int i = 0; i < 16; i++)
        wave[i] *= i / 16.0f;
    smp->data = mod_quantize(wave);
    smp->loop_start = attack;
    smp->loop_length = loop;
}

static void make_lead(ModSample* smp, int cycle, bool square, Rng* rng)
{
    const int cycles = 64;
    const int loop = cycle * cycles;
    std::vector<Partial> parts;
    saw_partials(&parts, (float)cycles, (float)loop, square ? 9.0f : 7.0f, 1.0f, rng, square);
    saw_partials(&parts, (float)(cycles + 1), (float)loop, square ? 9.0f : 7.0f, 0.7f, rng, false);
    std::vector<float> wave(loop, 0.0f);
    add_partials(&wave, 0, loop, (float)loop, parts, 1.0f);
    smp->data = mod_quantize(wave);
    smp->loop_start = 0;
    smp->loop_length = loop;
}

// One-shot pitched sounds: a two-operator FM bell and a decaying pluck.
static void make_bell(ModSample* smp)
{
    const float f = MOD_C2_RATE / 32.0f;
    std::vector<float> wave = buffer(1.4f, MOD_C2_RATE);
    for (size_t i = 0; i < wave.size(); i++) {
        float t = i / MOD_C2_RATE;
        float index = 2.2f * expf(-t / 0.25f);
        float mod = sinf(2.0f * DSP_PI * f * 3.5f * t);
        wave[i] = sinf(2.0f * DSP_PI * f * t + index * mod) * expf(-t / 0.45f) * fminf(1.0f, t / 0.002f);
    }
    smp->data = mod_quantize(wave);
    smp->loop_length = 0;
}

static void make_pluck(ModSample* smp)
{
    const float f = MOD_C2_RATE / 32.0f;
    std::vector<float> wave = buffer(0.7f, MOD_C2_RATE);
    for (size_t i = 0; i < wave.size(); i++) {
        float t = i / MOD_C2_RATE;
        float y = 0.0f;
        for (int h = 1; h <= 15; h++)
            y += sinf(2.0f * DSP_PI * f * h * t) / h * expf(-t * (3.0f + 2.2f * h));
        wave[i] = y * fminf(1.0f, t / 0.002f);
    }
    smp->data = mod_quantize(wave);
    smp->loop_length = 0;
}

static void set_one_shot(ModSample* smp, const std::vector<float>& wave)
{
    smp->data = mod_quantize(wave);
    smp->loop_length = 0;
}

void fill_instruments(ModSong* song)
{
    Rng rng;
    rng_seed(&rng, 424242);
    const int major[3] = { 0, 4, 7 };
    const int minor[3] = { 0, 3, 7 };
    for (int i = 1; i < INST_END; i++) {
        ModSample* smp = &song->samples[i - 1];
        smp->name = INFO[i - 1].name;
        smp->volume = INFO[i - 1].volume;
        smp->loop_start = 0;
        switch (i) {
        case INST_KICK: set_one_shot(smp, make_kick(&rng)); break;
        case INST_SNARE: set_one_shot(smp, make_snare(&rng)); break;
        case INST_HAT: set_one_shot(smp, make_hat(&rng, 0.08f, 0.025f)); break;
        case INST_OPEN_HAT: set_one_shot(smp, make_hat(&rng, 0.4f, 0.14f)); break;
        case INST_CRASH: set_one_shot(smp, make_crash(&rng)); break;
        case INST_TOM: set_one_shot(smp, make_tom(&rng)); break;
        case INST_CLAP: set_one_shot(smp, make_clap(&rng)); break;
        case INST_BASS: make_bass(smp, false, &rng); break;
        case INST_SUB_BASS: make_bass(smp, true, &rng); break;
        case INST_PAD_MAJOR: make_pad(smp, major, &rng); break;
        case INST_PAD_MINOR: make_pad(smp, minor, &rng); break;
        case INST_LEAD_SAW: make_lead(smp, 32, false, &rng); break;
        case INST_LEAD_SQUARE: make_lead(smp, 32, true, &rng); break;
        case INST_BELL: make_bell(smp); break;
        case INST_CHOIR: make_choir(smp, &rng); break;
        case INST_PLUCK: make_pluck(smp); break;
        case INST_LEAD_HIGH: make_lead(smp, 16, true, &rng); break;
        }
    }
}
