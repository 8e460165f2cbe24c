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

#include "audiogen/audio_measure.h"
#include "test_bytes.h"
#include "util/archive.h"

namespace {

std::vector<uint8_t> member(const std::string& name)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", name.c_str(), &size);
    std::vector<uint8_t> bytes(data, data + (data ? size : 0));
    free(data);
    return bytes;
}

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

TEST(AudioAssets, SamplesAreCleanMono16BitPcmAndCarry)
{
    // In sample id order: the gunshot is 1, the psychosis beeps 5.
    std::vector<std::string> names = {"swing", "gun", "splat", "ricochet", "pills",
                                      "alert", "alert2", "pant", "sigh", "growl"};
    for (int i = 1; i <= 8; i++)
        names.push_back("laugh" + std::to_string(i));
    std::vector<double> first_50ms;
    for (std::string& name : names) {
        name = "sfx/" + name + ".wav";
        std::vector<uint8_t> b = member(name);
        ASSERT_GE(b.size(), 44u) << name << " missing or cut short";
        uint32_t rate = le(b, 24);
        EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 44), wave_head(1, rate, (uint32_t)b.size() - 44))
            << name << ": not a plain mono 16-bit wave whose sizes agree with the member";
        EXPECT_TRUE(rate == 22050 || rate == 44100) << name << ": " << rate << " Hz";
        std::vector<float> x;
        for (size_t i = 44; i + 1 < b.size(); i += 2)
            x.push_back((int16_t)le(b, i, 2) / 32768.0f);
        ASSERT_GT(x.size(), rate / 10) << name << ": shorter than a tenth of a second";
        EXPECT_LT(x.size(), rate * 3) << name << ": longer than three seconds";
        // In 16-bit steps: loud enough, not next to silent, never clipped
        // for more than two samples, and starting and ending near zero, as
        // anything else clicks.
        float peak = 0.0f;
        double energy = 0.0;
        int clipped_run = 0, longest_clip = 0;
        for (float v : x) {
            peak = std::max(peak, std::fabs(v));
            energy += (double)v * v;
            clipped_run = std::fabs(v) * 32768 >= 32767 ? clipped_run + 1 : 0;
            longest_clip = std::max(longest_clip, clipped_run);
        }
        EXPECT_GT(peak * 32768, 32768 / 4) << name << ": too quiet";
        EXPECT_GT(32768 * sqrt(energy / x.size()), 300.0) << name << ": next to silent";
        EXPECT_LT(longest_clip, 3) << name << ": clipped";
        EXPECT_LT(std::fabs(x.front()) * 32768, 2000) << name;
        EXPECT_LT(std::fabs(x.back()) * 32768, 2000) << name;
        SampleFigures heard = measure_sample(x, (float)rate);
        first_50ms.push_back(heard.first_50ms);
        for (const HeardRule& rule : HEARD)
            if (name.compare(0, strlen(rule.name), rule.name) == 0) {
                EXPECT_GE(heard.*rule.what, rule.lo) << name;
                EXPECT_LE(heard.*rule.what, rule.hi) << name;
            }
    }
    for (size_t i = 0; i < names.size(); i++)
        EXPECT_LE(first_50ms[i], first_50ms[1]) << names[i] << " starts louder than the gunshot";
    EXPECT_LE(first_50ms[5], first_50ms[1] - ALERT_UNDER_GUN_DB);
}

void collect_log(const char* message, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(message);
}

size_t be16(const std::vector<uint8_t>& b, size_t at)
{
    return (size_t)(b[at] << 8 | b[at + 1]);
}

// libopenmpt quietly pads a cut-off file with silence, so the layout is
// checked here: the file is exactly the 1084-byte head, the 1024-byte
// patterns its order list names and the 31 samples' data, and every loop
// lies inside its sample and joins without a click.
void expect_exact_layout(const std::vector<uint8_t>& b, const char* name)
{
    size_t patterns = 1 + *std::max_element(b.begin() + 952, b.begin() + 952 + 128);
    size_t total = 1084 + patterns * 1024, data = total;
    for (size_t s = 0; s < 31; s++)
        total += be16(b, 20 + s * 30 + 22) * 2;
    ASSERT_EQ(total, b.size()) << name << ": size disagrees with its own head";
    for (size_t s = 0; s < 31; s++) {
        size_t head = 20 + s * 30, words = be16(b, head + 22);
        size_t start = data + be16(b, head + 26) * 2, end = start + be16(b, head + 28) * 2;
        EXPECT_LE(b[head + 25], 64) << name << ": sample " << s + 1 << " volume";
        if (end > start + 2) {
            EXPECT_LE(end, data + words * 2) << name << ": sample " << s + 1 << " loops outside itself";
            // Across the joint the wave moves no more than it does within the loop.
            int biggest = 0;
            for (size_t k = start + 1; k < end && end <= data + words * 2; k++)
                biggest = std::max(biggest, abs((int8_t)b[k] - (int8_t)b[k - 1]));
            EXPECT_LE(abs((int8_t)b[start] - (int8_t)b[end - 1]), biggest) << name << ": sample " << s + 1 << " clicks";
        }
        data += words * 2;
    }
}

TEST(AudioAssets, ModulesAreFourChannelAndPlayOnceWithoutWarningsOrDips)
{
    const struct { const char* name; double min_seconds; } modules[] = {
        { "sfx/small theme.mod", 120.0 },
        { "sfx/analogi'que.mod", 600.0 },  // intro, story and a long run, never restarted
        { "sfx/summerblueskyes.mod", 60.0 },
    };
    for (const auto& rule : modules) {
        std::vector<uint8_t> bytes = member(rule.name);
        ASSERT_GT(bytes.size(), 1084u) << rule.name << " missing or cut short";
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
        openmpt_module_destroy(mod);
        for (const std::string& message : log)
            ADD_FAILURE() << rule.name << ": libopenmpt says " << message;

        // The opening must be heard: a module whose samples went missing
        // still loads and lasts, but plays silence. 
        ModuleRender heard;
        ASSERT_TRUE(render_module(bytes, 0, &heard));
        size_t opening = std::min(heard.pcm.size(), (size_t)20 * MEASURE_MODULE_RATE);
        double energy = 0.0;
        for (size_t i = 0; i < opening; i++)
            energy += (double)heard.pcm[i] * heard.pcm[i];
        EXPECT_GT(32768.0 * sqrt(energy / std::max<size_t>(opening, 1)), 500.0) << rule.name << ": opening is silent";
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
