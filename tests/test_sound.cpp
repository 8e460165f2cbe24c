// Sound output, heard through SDL's disk driver: the mixer writes its raw
// 16-bit stereo output to a file, which the tests read back once the device
// is closed. The sounds are tiny waves and modules made here, so the tests
// do not depend on the game's assets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <unistd.h>

#include "test_sound_data.h"
#include "test_temp_dir.h"

namespace {

struct Frame {
    short left, right;
};

// What the game's sound plays while `play` runs, on a freshly opened
// device, from the first sound on.
std::vector<Frame> record(const std::function<void()>& play)
{
    char path[] = "/tmp/crimson_sound_XXXXXX";
    close(mkstemp(path));
    setenv("SDL_DISKAUDIOFILE", path, 1);
    sound_data::start("disk");
    play();
    sound_data::stop(); // closing the device flushes the file
    unsetenv("SDL_DISKAUDIOFILE");
    std::string bytes = read_whole_file(path);
    unlink(path);
    std::vector<Frame> frames(bytes.size() / sizeof(Frame));
    memcpy(frames.data(), bytes.data(), frames.size() * sizeof(Frame));
    auto heard = std::find_if(frames.begin(), frames.end(), [](Frame f) { return f.left || f.right; });
    return std::vector<Frame>(heard, frames.end());
}

TEST(SoundOutput, MusicIsMonoAndFollowsTheVolume)
{
    // The same opening twice, in two recordings: at full volume, then at
    // the paused volume, each compared from its first sound on.
    std::vector<Frame> takes[2];
    const float volumes[2] = {MUSIC_VOLUME_FULL, MUSIC_VOLUME_PAUSED};
    for (int take = 0; take < 2; take++)
        takes[take] = record([&] {
            sound_data::load_module(MODULE_TITLE, 64, 6);
            play_module(MODULE_TITLE, volumes[take]);
            SDL_Delay(300);
        });
    const size_t span = 8000;
    long long level[2] = {0, 0};
    int peak = 0;
    for (int take = 0; take < 2; take++) {
        ASSERT_LE(span, takes[take].size()) << "take " << take << " was not heard";
        for (size_t i = 0; i < takes[take].size(); i++)
            ASSERT_EQ(takes[take][i].left, takes[take][i].right) << "music not mono at frame " << i;
        for (size_t i = 0; i < span; i++) {
            level[take] += std::abs(takes[take][i].left);
            peak = std::max(peak, std::abs((int)takes[0][i].left));
        }
    }
    EXPECT_GT(peak, 1000);
    EXPECT_NEAR((double)level[1] / (double)level[0], 0.35, 0.02);
}

TEST(SoundOutput, SampleRestartsOnItsOwnChannel)
{
    const short level = 8000;
    const size_t length = 17640; // 0.4 s
    std::vector<Frame> out = record([&] {
        std::vector<unsigned char> wave = sound_data::wave(2, length, [=](unsigned) { return level; });
        load_sound_bytes(&samples[SAMPLE_GUN], "test.wav", wave.data(), wave.size());
        EXPECT_EQ(sample_playing(SAMPLE_GUN), 0);
        play_sample(SAMPLE_GUN);
        EXPECT_EQ(sample_playing(SAMPLE_GUN), 1);
        SDL_Delay(150);
        EXPECT_EQ(sample_playing(SAMPLE_GUN), 1);
        play_sample(SAMPLE_GUN);
        for (int waited = 0; sample_playing(SAMPLE_GUN) && waited < 3000; waited += 10)
            SDL_Delay(10);
        EXPECT_EQ(sample_playing(SAMPLE_GUN), 0) << "a finished sample still counts as playing";
    });
    ASSERT_FALSE(out.empty());
    size_t end = out.size();
    while (end > 0 && !out[end - 1].left && !out[end - 1].right)
        end--;
    int peak = 0;
    for (size_t i = 0; i < end; i++)
        peak = std::max(peak, (int)out[i].left);
    EXPECT_EQ(peak, level) << "two copies of one sample sounded together";
    // Restarted rather than ignored: it sounds longer than one playing, but
    // not as long as two after another.
    EXPECT_GT(end, length + 1024);
    EXPECT_LT(end, length * 2);
}

} // namespace
