// The player's voice: panting, a sigh of relief, the steroid growl and eight
// laughs, all scripted on the formant voice of voice.h.
#include <cmath>

#include "sfx.h"
#include "voice.h"

// Formant targets (Hz) of the vowels the voice uses, a grown man's tract.
struct Vowel {
    float f1, f2, f3, f4;
};
static const Vowel VOWEL_A = { 760, 1180, 2450, 3400 };   // "ha"
static const Vowel VOWEL_E = { 560, 1750, 2500, 3500 };   // "heh"
static const Vowel VOWEL_I = { 330, 2200, 2950, 3600 };   // "hee"
static const Vowel VOWEL_O = { 540, 880, 2400, 3300 };    // "ho"
static const Vowel VOWEL_UH = { 620, 1250, 2500, 3400 };  // relaxed "huh"
static const Vowel VOWEL_M = { 260, 1000, 2300, 3300 };   // lips closed

static void set_vowel(VoiceScript* v, float t, const Vowel& w, float scale)
{
    voice_vowel(v, t, w.f1 * scale, w.f2 * scale, w.f3 * scale, w.f4 * scale);
}

// Short breaths: each is a loud voiceless "hah" out and a thinner, higher
// hiss in, with a touch of voice on the way out.
std::vector<float> make_pant()
{
    VoiceScript v;
    voice_defaults(&v, 7001);
    v.hiss = 0.07f;
    v.bw1 = 160;
    v.bw2 = 200;
    const float period = 0.29f;
    curve_add(&v.f0, 0.0f, 130.0f);
    for (int b = 0; b < 3; b++) {
        float t = 0.01f + b * period;
        float loud = b == 1 ? 0.9f : 1.0f;
        curve_add(&v.aspirated, t, 0.0f);
        curve_add(&v.aspirated, t + 0.025f, loud);
        curve_add(&v.aspirated, t + 0.10f, loud * 0.7f);
        curve_add(&v.aspirated, t + 0.15f, 0.0f);
        curve_add(&v.voiced, t, 0.0f);
        curve_add(&v.voiced, t + 0.03f, 0.12f);
        curve_add(&v.voiced, t + 0.09f, 0.0f);
        set_vowel(&v, t, VOWEL_A, 1.0f);
        set_vowel(&v, t + 0.14f, VOWEL_UH, 1.0f);
        // The in-breath through a narrower mouth.
        curve_add(&v.aspirated, t + 0.17f, 0.0f);
        curve_add(&v.aspirated, t + 0.20f, 0.45f * loud);
        curve_add(&v.aspirated, t + 0.26f, 0.0f);
        set_vowel(&v, t + 0.17f, VOWEL_E, 1.1f);
        set_vowel(&v, t + 0.26f, VOWEL_E, 1.1f);
    }
    return voice_render(&v, SFX_RATE, 0.9f);
}

// Relief after the painkillers: a quick breath in, then a long voiced
// "haaah" whose pitch sinks while the mouth relaxes.
std::vector<float> make_sigh()
{
    VoiceScript v;
    voice_defaults(&v, 7002);
    v.hiss = 0.05f;
    v.breathiness = 0.45f;
    v.jitter = 0.015f;
    curve_add(&v.aspirated, 0.0f, 0.0f);
    curve_add(&v.aspirated, 0.05f, 0.35f);
    curve_add(&v.aspirated, 0.22f, 0.25f);
    curve_add(&v.aspirated, 0.28f, 0.0f);
    set_vowel(&v, 0.0f, VOWEL_E, 1.1f);
    set_vowel(&v, 0.28f, VOWEL_E, 1.1f);
    curve_add(&v.aspirated, 0.36f, 0.0f);
    curve_add(&v.aspirated, 0.42f, 1.0f);
    curve_add(&v.aspirated, 0.7f, 0.55f);
    curve_add(&v.aspirated, 1.25f, 0.35f);
    curve_add(&v.aspirated, 1.55f, 0.0f);
    set_vowel(&v, 0.36f, VOWEL_A, 1.0f);
    set_vowel(&v, 0.9f, VOWEL_A, 0.97f);
    set_vowel(&v, 1.5f, VOWEL_UH, 0.95f);
    curve_add(&v.voiced, 0.0f, 0.0f);
    curve_add(&v.voiced, 0.45f, 0.0f);
    curve_add(&v.voiced, 0.55f, 0.55f);
    curve_add(&v.voiced, 0.9f, 0.45f);
    curve_add(&v.voiced, 1.35f, 0.12f);
    curve_add(&v.voiced, 1.5f, 0.0f);
    curve_add(&v.f0, 0.45f, 190.0f);
    curve_add(&v.f0, 0.7f, 160.0f);
    curve_add(&v.f0, 1.5f, 98.0f);
    v.presence = 9.0f;
    return voice_render(&v, SFX_RATE, 1.6f);
}

// Steroids kick in: a low closed-mouth rumble that tears open into a rough
// roar, creaky and rattling, with a long tract for a bigger-than-life throat.
std::vector<float> make_growl()
{
    VoiceScript v;
    voice_defaults(&v, 7003);
    v.roughness = 0.55f;
    v.jitter = 0.06f;
    v.shimmer = 0.3f;
    v.breathiness = 0.5f;
    v.tremolo_hz = 23.0f;
    v.tremolo_depth = 0.45f;
    v.drive = 2.2f;
    v.bw1 = 120;
    v.bw2 = 150;
    curve_add(&v.f0, 0.0f, 68.0f);
    curve_add(&v.f0, 0.35f, 78.0f);
    curve_add(&v.f0, 0.6f, 112.0f);
    curve_add(&v.f0, 0.95f, 96.0f);
    curve_add(&v.f0, 1.2f, 70.0f);
    curve_add(&v.voiced, 0.0f, 0.0f);
    curve_add(&v.voiced, 0.08f, 0.6f);
    curve_add(&v.voiced, 0.4f, 0.7f);
    curve_add(&v.voiced, 0.55f, 1.0f);
    curve_add(&v.voiced, 0.95f, 0.9f);
    curve_add(&v.voiced, 1.22f, 0.0f);
    curve_add(&v.aspirated, 0.0f, 0.2f);
    curve_add(&v.aspirated, 0.6f, 0.5f);
    curve_add(&v.aspirated, 1.22f, 0.0f);
    set_vowel(&v, 0.0f, VOWEL_M, 0.85f);
    set_vowel(&v, 0.35f, VOWEL_O, 0.8f);
    set_vowel(&v, 0.6f, VOWEL_A, 0.85f);
    set_vowel(&v, 1.0f, VOWEL_A, 0.8f);
    set_vowel(&v, 1.2f, VOWEL_O, 0.8f);
    v.presence = 16.0f;
    return voice_render(&v, SFX_RATE, 1.3f);
}

// One laugh as a row of "h" + vowel syllables. Pitch starts at pitch_start
// and ends at pitch_end (a peak in the middle when pitch_peak is above both);
// the last syllable may be drawn out into a howl.
struct Laugh {
    int syllables;
    float rate;            // syllables per second at the start
    float speedup;         // rate multiplier reached at the end
    float pitch_start, pitch_peak, pitch_end;
    float fall;            // pitch drop inside each syllable, fraction
    float open;            // share of a syllable that is voiced
    float last_length;     // seconds of the final syllable
    Vowel vowel, last_vowel;
    float tract;           // formant scale (smaller = higher, thinner voice)
    float breath, rough, vibrato;
    bool hum_onset;        // starts with a closed-mouth "mw"
    bool gasp;             // ends on a squeaky breath in, out of air
    float presence;        // dB around 3 kHz: each laugh is set so its 2-4 kHz
                           // band sits 13-14 dB under its 0.3-1 kHz vowel band
    uint32_t seed;
};

static std::vector<float> render_laugh(const Laugh& l)
{
    VoiceScript v;
    voice_defaults(&v, l.seed);
    v.hiss = 0.03f;
    v.breathiness = l.breath;
    v.roughness = l.rough;
    v.jitter = 0.02f;
    v.shimmer = 0.1f;
    v.vibrato_hz = 6.0f;
    v.vibrato_depth = l.vibrato;
    v.presence = l.presence;
    Rng rng;
    rng_seed(&rng, l.seed * 31u + 7u);
    float t = 0.02f, sound_end = t;
    if (l.hum_onset) {
        curve_add(&v.voiced, 0.0f, 0.0f);
        curve_add(&v.voiced, 0.05f, 0.5f);
        curve_add(&v.f0, 0.0f, l.pitch_start * 0.9f);
        set_vowel(&v, 0.0f, VOWEL_M, l.tract);
        set_vowel(&v, 0.16f, VOWEL_M, l.tract);
        set_vowel(&v, 0.24f, l.vowel, l.tract);
        curve_add(&v.voiced, 0.2f, 0.9f);
        curve_add(&v.f0, 0.24f, l.pitch_start);
        curve_add(&v.voiced, 0.32f, 0.9f);
        curve_add(&v.voiced, 0.37f, 0.0f);
        t = 0.42f;
    }
    for (int s = 0; s < l.syllables; s++) {
        float k = l.syllables > 1 ? (float)s / (l.syllables - 1) : 0.0f;
        bool last = s == l.syllables - 1;
        float span = 1.0f / (l.rate * (1.0f + (l.speedup - 1.0f) * k));
        float length = last ? l.last_length : span;
        // Rises to the peak over the first half, falls to the end after it.
        float pitch = k < 0.5f ? l.pitch_start + (l.pitch_peak - l.pitch_start) * k * 2.0f
                               : l.pitch_peak + (l.pitch_end - l.pitch_peak) * (k - 0.5f) * 2.0f;
        pitch *= 1.0f + 0.04f * rng_signed(&rng);
        float loud = (0.75f + 0.25f * rng_uniform(&rng)) * (last ? 1.0f : 1.0f - 0.25f * k * k);
        float h = fminf(0.05f, length * 0.3f);
        float voiced = length * l.open;
        const Vowel& w = last ? l.last_vowel : l.vowel;
        float wobble = 1.0f + 0.05f * rng_signed(&rng);
        curve_add(&v.aspirated, t, 0.0f);
        curve_add(&v.aspirated, t + 0.012f, 0.7f * loud);
        curve_add(&v.aspirated, t + h, 0.5f * loud);
        curve_add(&v.aspirated, t + h + 0.03f, 0.08f * loud);
        curve_add(&v.aspirated, t + h + voiced, 0.0f);
        curve_add(&v.voiced, t + h * 0.6f, 0.0f);
        curve_add(&v.voiced, t + h + 0.015f, loud);
        curve_add(&v.voiced, t + h + voiced * 0.6f, loud * 0.8f);
        curve_add(&v.voiced, t + h + voiced, 0.0f);
        curve_add(&v.f0, t + h, pitch * (1.0f + l.fall * 0.3f));
        curve_add(&v.f0, t + h + voiced, pitch * (1.0f - l.fall * (last ? 2.5f : 1.0f)));
        set_vowel(&v, t, w, l.tract * wobble);
        set_vowel(&v, t + h + voiced, w, l.tract * wobble * 0.97f);
        sound_end = t + h + voiced;
        t += length;
    }
    t = sound_end;
    if (l.gasp) {
        t += 0.08f;
        curve_add(&v.aspirated, t, 0.0f);
        curve_add(&v.aspirated, t + 0.05f, 0.45f);
        curve_add(&v.aspirated, t + 0.22f, 0.3f);
        curve_add(&v.aspirated, t + 0.28f, 0.0f);
        curve_add(&v.voiced, t, 0.0f);
        curve_add(&v.voiced, t + 0.06f, 0.12f);
        curve_add(&v.voiced, t + 0.24f, 0.0f);
        curve_add(&v.f0, t, l.pitch_peak * 1.3f);
        curve_add(&v.f0, t + 0.24f, l.pitch_peak * 1.45f);
        set_vowel(&v, t, VOWEL_I, l.tract * 1.1f);
        set_vowel(&v, t + 0.28f, VOWEL_I, l.tract * 1.1f);
        t += 0.28f;
    }
    return voice_render(&v, SFX_RATE, t + 0.08f);
}

std::vector<float> make_laugh(int which)
{
    Laugh l = {};
    l.speedup = 1.0f;
    l.open = 0.42f;
    l.tract = 1.0f;
    l.breath = 0.25f;
    l.fall = 0.12f;
    l.vowel = l.last_vowel = VOWEL_A;
    l.seed = 8000u + (uint32_t)which;
    switch (which) {
    case 0:  // a low, satisfied "ha ha ha haa"
        l.syllables = 4;
        l.rate = 5.0f;
        l.pitch_start = 150;
        l.pitch_peak = 150;
        l.pitch_end = 118;
        l.last_length = 0.3f;
        l.presence = 16.0f;
        break;
    case 1:  // a nasty snicker, "heh heh heh"
        l.syllables = 4;
        l.rate = 6.0f;
        l.pitch_start = 165;
        l.pitch_peak = 160;
        l.pitch_end = 140;
        l.open = 0.32f;
        l.breath = 0.5f;
        l.last_length = 0.2f;
        l.vowel = l.last_vowel = VOWEL_E;
        break;
    case 2:  // a round, mocking "ho ho ho hah"
        l.syllables = 4;
        l.rate = 4.2f;
        l.pitch_start = 128;
        l.pitch_peak = 132;
        l.pitch_end = 108;
        l.last_length = 0.35f;
        l.vowel = VOWEL_O;
        l.last_vowel = VOWEL_A;
        l.presence = 21.0f;
        break;
    case 3:  // a quick giggle that runs down
        l.syllables = 6;
        l.rate = 7.0f;
        l.speedup = 0.8f;
        l.pitch_start = 185;
        l.pitch_peak = 180;
        l.pitch_end = 135;
        l.last_length = 0.22f;
        l.vowel = l.last_vowel = VOWEL_UH;
        l.presence = 15.0f;
        break;
    case 4:  // shrill cackle climbing into a scream of a "heee"
        l.syllables = 10;
        l.rate = 8.5f;
        l.speedup = 1.2f;
        l.pitch_start = 300;
        l.pitch_peak = 420;
        l.pitch_end = 360;
        l.last_length = 0.55f;
        l.tract = 0.92f;
        l.vowel = VOWEL_E;
        l.last_vowel = VOWEL_I;
        l.vibrato = 0.03f;
        l.gasp = true;
        l.presence = 3.0f;
        break;
    case 5:  // maniac "HA HA HA HAAAA" growing louder and higher, then a howl
        l.syllables = 8;
        l.rate = 6.0f;
        l.speedup = 1.3f;
        l.pitch_start = 190;
        l.pitch_peak = 330;
        l.pitch_end = 300;
        l.last_length = 0.7f;
        l.rough = 0.2f;
        l.vibrato = 0.04f;
        l.open = 0.5f;
        l.gasp = true;
        l.presence = 16.0f;
        break;
    case 6:  // the deep villain's "mwa-ha-ha-ha-haaa"
        l.syllables = 6;
        l.rate = 4.5f;
        l.pitch_start = 112;
        l.pitch_peak = 118;
        l.pitch_end = 88;
        l.last_length = 0.65f;
        l.rough = 0.35f;
        l.tract = 0.92f;
        l.vibrato = 0.02f;
        l.open = 0.5f;
        l.hum_onset = true;
        l.presence = 20.0f;
        break;
    default:  // hysterical, breathless, falling over itself
        l.syllables = 12;
        l.rate = 9.0f;
        l.speedup = 1.15f;
        l.pitch_start = 260;
        l.pitch_peak = 380;
        l.pitch_end = 230;
        l.fall = 0.2f;
        l.last_length = 0.5f;
        l.breath = 0.6f;
        l.rough = 0.15f;
        l.vibrato = 0.05f;
        l.open = 0.4f;
        l.vowel = VOWEL_A;
        l.last_vowel = VOWEL_UH;
        l.gasp = true;
        l.presence = 15.0f;
        break;
    }
    return render_laugh(l);
}
