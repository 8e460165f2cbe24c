// The samples and modules in the built assets.bin, read through the game's
// own archive reader: every sample a clean 16-bit PCM wave, every module a
// four-channel ProTracker file that libopenmpt plays once to its end without
// a complaint, for at least as long as the screen it accompanies. Both are
// also measured as heard through small speakers, the way audiolevels does.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audiogen/audio_measure.h"
#include "util/archive.h"

namespace {

const char* const ARCHIVE = "assets.bin";

const char* const SAMPLE_NAMES[18] = {
    "sfx/swing.wav", "sfx/gun.wav", "sfx/splat.wav", "sfx/ricochet.wav", "sfx/pills.wav",
    "sfx/alert.wav", "sfx/alert2.wav", "sfx/pant.wav", "sfx/sigh.wav", "sfx/growl.wav",
    "sfx/laugh1.wav", "sfx/laugh2.wav", "sfx/laugh3.wav", "sfx/laugh4.wav",
    "sfx/laugh5.wav", "sfx/laugh6.wav", "sfx/laugh7.wav", "sfx/laugh8.wav",
};
const int GUN = 1, ALERT = 5;  // in SAMPLE_NAMES

// The warnings sound at the start of every visible phase of the prompt's
// blink, once a second; a longer sample would be cut off by itself.
const char* const WARNING_NAMES[3] = { "sfx/alert.wav", "sfx/alert2.wav", "sfx/pant.wav" };
const double WARNING_CYCLE_SECONDS = 1.0;

// Figures (dB) a sample must keep; "sfx/laugh" stands for all eight laughs.
struct HeardRule {
    const char* name;
    double SampleFigures::*what;
    double lo, hi;
};
const HeardRule HEARD[] = {
    { "sfx/gun.wav", &SampleFigures::crack, 0.0, 99.0 },        // a crack over the thump
    { "sfx/gun.wav", &SampleFigures::low_share, -99.0, -2.0 },  // under 63% below 300 Hz
    { "sfx/alert2.wav", &SampleFigures::tail, -99.0, -35.0 },   // rings out, never cut
    { "sfx/ricochet.wav", &SampleFigures::tail, -99.0, -35.0 },
    { "sfx/laugh", &SampleFigures::presence, -16.0, -11.0 },    // voices that are not muffled
    { "sfx/sigh.wav", &SampleFigures::presence, -16.0, -11.0 },
    { "sfx/growl.wav", &SampleFigures::presence, -16.0, -11.0 },
};
// The gunshot is the most present sound as it starts; the psychosis beeps,
// repeated every second, stay at least this far under it.
const double ALERT_UNDER_GUN_DB = 3.0;
// No section of a module more than this far under its median one, written
// fades apart, so the music never drops away when the lead rests.
const double SECTION_FLOOR_DB = 4.0;

struct ModuleRule {
    const char* name;
    double min_seconds;
};
const ModuleRule MODULES[3] = {
    { "sfx/small theme.mod", 120.0 },
    { "sfx/analogi'que.mod", 600.0 },  // intro, story and a long run, never restarted
    { "sfx/summerblueskyes.mod", 60.0 },
};

std::vector<uint8_t> read_member(const char* name)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress(ARCHIVE, name, &size);
    std::vector<uint8_t> bytes;
    if (data) {
        bytes.assign(data, data + size);
        free(data);
    }
    return bytes;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

struct Wave {
    uint32_t rate = 0;
    std::vector<int16_t> samples;
};

// The canonical 44-byte head of a mono 16-bit PCM wave, with every size
// agreeing with the member; a failed check is a test failure naming it.
Wave parse_wave(const std::vector<uint8_t>& b, const char* name)
{
    Wave w;
    EXPECT_GE(b.size(), 44u) << name;
    if (b.size() < 44)
        return w;
    const uint8_t head[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16, 0, 0, 0, 1, 0, 1, 0}; // PCM, mono
    for (size_t i = 0; i < sizeof head; i++)
        EXPECT_TRUE(b[i] == head[i] || (i >= 4 && i < 8)) << name << " byte " << i;
    EXPECT_EQ(le32(b, 4), b.size() - 8) << name;
    w.rate = le32(b, 24);
    EXPECT_EQ(le32(b, 28), w.rate * 2) << name;
    EXPECT_EQ(le32(b, 32), 0x100002u) << name << ": 2-byte blocks of 16 bits";
    EXPECT_EQ(0, memcmp(b.data() + 36, "data", 4)) << name;
    EXPECT_EQ(le32(b, 40), b.size() - 44) << name << ": data size disagrees with the member";
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        w.samples.push_back((int16_t)(b[i] | b[i + 1] << 8));
    return w;
}

TEST(AudioAssets, SamplesAreCleanMono16BitPcmAndCarry)
{
    double first_50ms[18];
    for (const char* const& name : SAMPLE_NAMES) {
        std::vector<uint8_t> bytes = read_member(name);
        ASSERT_FALSE(bytes.empty()) << name << " missing from " << ARCHIVE;
        Wave w = parse_wave(bytes, name);
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << name << ": " << w.rate << " Hz";
        ASSERT_GT(w.samples.size(), w.rate / 10) << name << ": shorter than a tenth of a second";
        EXPECT_LT(w.samples.size(), w.rate * 3) << name << ": longer than three seconds";

        int peak = 0, clipped_run = 0, longest_clip = 0;
        double energy = 0.0;
        for (int16_t s : w.samples) {
            int mag = abs((int)s);
            peak = mag > peak ? mag : peak;
            energy += (double)s * s;
            clipped_run = mag >= 32767 ? clipped_run + 1 : 0;
            longest_clip = clipped_run > longest_clip ? clipped_run : longest_clip;
        }
        double rms = sqrt(energy / w.samples.size());
        EXPECT_GT(peak, 32768 / 4) << name << ": too quiet";
        EXPECT_GT(rms, 300.0) << name << ": next to silent";
        EXPECT_LT(longest_clip, 3) << name << ": clipped";
        // Starting or stopping far from zero clicks.
        EXPECT_LT(abs((int)w.samples.front()), 2000) << name;
        EXPECT_LT(abs((int)w.samples.back()), 2000) << name;

        std::vector<float> x(w.samples.begin(), w.samples.end());
        for (float& v : x)
            v /= 32768.0f;
        SampleFigures heard = measure_sample(x, (float)w.rate);
        first_50ms[&name - SAMPLE_NAMES] = heard.first_50ms;
        for (const HeardRule& rule : HEARD)
            if (strncmp(name, rule.name, strlen(rule.name)) == 0) {
                EXPECT_GE(heard.*rule.what, rule.lo) << name;
                EXPECT_LE(heard.*rule.what, rule.hi) << name;
            }
    }
    for (int i = 0; i < 18; i++)
        EXPECT_LE(first_50ms[i], first_50ms[GUN]) << SAMPLE_NAMES[i] << " starts louder than the gunshot";
    EXPECT_LE(first_50ms[ALERT], first_50ms[GUN] - ALERT_UNDER_GUN_DB);
}

TEST(AudioAssets, WarningsFitTheirOneSecondCycleAndEverySampleIsItsOwn)
{
    for (const char* name : WARNING_NAMES) {
        Wave w = parse_wave(read_member(name), name);
        ASSERT_GT(w.rate, 0u) << name;
        EXPECT_LT((double)w.samples.size() / w.rate, WARNING_CYCLE_SECONDS) << name;
    }
    // The laughs are picked never to repeat the last one; a copied sample
    // would make that rule inaudible.
    std::vector<std::vector<uint8_t>> all;
    for (const char* name : SAMPLE_NAMES)
        all.push_back(read_member(name));
    for (size_t i = 0; i < all.size(); i++)
        for (size_t j = i + 1; j < all.size(); j++)
            EXPECT_TRUE(all[i] != all[j]) << SAMPLE_NAMES[i] << " and " << SAMPLE_NAMES[j] << " are the same";
}

void collect_log(const char* message, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(message);
}

const int RENDER_RATE = 11025;
const int RENDER_SECONDS = 20;

// ProTracker layout facts the checks below rely on.
const size_t MOD_HEADER = 1084;
const size_t MOD_ORDERS_AT = 952;
const size_t MOD_ORDER_SLOTS = 128;
const size_t MOD_PATTERN_BYTES = 64 * 4 * 4;

const size_t MOD_SAMPLE_HEADS_AT = 20;
const size_t MOD_SAMPLE_HEAD_BYTES = 30;
const size_t MOD_SAMPLE_SLOTS = 31;

size_t be16(const std::vector<uint8_t>& b, size_t at)
{
    return (size_t)(b[at] << 8 | b[at + 1]);
}

// libopenmpt quietly pads a cut-off file with silence, so the layout is
// checked here: the file is exactly head, patterns and sample data, and
// every loop lies inside its sample.
void expect_exact_layout(const std::vector<uint8_t>& b, const char* name)
{
    size_t patterns = 0;
    for (size_t i = 0; i < MOD_ORDER_SLOTS; i++)
        patterns = std::max(patterns, b[MOD_ORDERS_AT + i] + (size_t)1);
    size_t total = MOD_HEADER + patterns * MOD_PATTERN_BYTES;
    for (size_t s = 0; s < MOD_SAMPLE_SLOTS; s++) {
        size_t head = MOD_SAMPLE_HEADS_AT + s * MOD_SAMPLE_HEAD_BYTES;
        size_t words = be16(b, head + 22), loop_start = be16(b, head + 26), loop_words = be16(b, head + 28);
        EXPECT_LE(b[head + 25], 64) << name << ": sample " << s + 1 << " volume";
        if (loop_words > 1) {
            EXPECT_LE(loop_start + loop_words, words) << name << ": sample " << s + 1 << " loops outside itself";
        }
        total += words * 2;
    }
    EXPECT_EQ(total, b.size()) << name << ": size disagrees with its own head";
}

TEST(AudioAssets, ModulesAreFourChannelAndPlayOnceWithoutWarnings)
{
    for (const ModuleRule& rule : MODULES) {
        std::vector<uint8_t> bytes = read_member(rule.name);
        ASSERT_GT(bytes.size(), MOD_HEADER) << rule.name << " missing or cut short";
        EXPECT_EQ(0, memcmp(bytes.data() + 1080, "M.K.", 4)) << rule.name;
        expect_exact_layout(bytes, rule.name);

        std::vector<std::string> log;
        int error = 0;
        openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), collect_log, &log,
                                                                 nullptr, nullptr, &error, nullptr, nullptr);
        ASSERT_NE(nullptr, mod) << rule.name << ": libopenmpt error " << error;
        const char* warnings = openmpt_module_get_metadata(mod, "warnings");
        EXPECT_STREQ("", warnings ? warnings : "") << rule.name;
        openmpt_free_string(warnings);
        EXPECT_EQ(4, openmpt_module_get_num_channels(mod)) << rule.name;
        EXPECT_GE(openmpt_module_get_duration_seconds(mod), rule.min_seconds) << rule.name;

        // The opening must be heard: a module whose samples went missing
        // still loads and lasts, but plays silence.
        std::vector<int16_t> pcm(RENDER_RATE * RENDER_SECONDS);
        size_t got = openmpt_module_read_mono(mod, RENDER_RATE, pcm.size(), pcm.data());
        EXPECT_EQ(pcm.size(), got) << rule.name;
        double energy = 0.0;
        for (size_t i = 0; i < got; i++)
            energy += (double)pcm[i] * pcm[i];
        EXPECT_GT(sqrt(energy / (got ? got : 1)), 500.0) << rule.name << ": opening is silent";
        for (const std::string& message : log)
            ADD_FAILURE() << rule.name << ": libopenmpt says " << message;
        openmpt_module_destroy(mod);

        ModuleRender heard;
        ASSERT_TRUE(render_module(bytes, 0, &heard));
        std::vector<double> levels;
        for (size_t s = 0; s < heard.section_start.size(); s++)
            if (!heard.fade[s])
                levels.push_back(section_db(heard, s));
        std::vector<double> sorted = levels;
        std::sort(sorted.begin(), sorted.end());
        for (size_t s = 0; s < levels.size(); s++)
            EXPECT_GE(levels[s], sorted[sorted.size() / 2] - SECTION_FLOOR_DB) << rule.name << " section " << s;
    }
}

}  // namespace
