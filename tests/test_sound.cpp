// Sound output, heard through SDL's disk driver: the mixer writes its raw
// 16-bit stereo output to a file, which the tests read back once the device
// is closed. The sounds are tiny waves and modules made here, so the tests
// do not depend on the game's assets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unistd.h>

#include "test_sound_data.h"
#include "test_temp_dir.h"

namespace {

struct Frame {
    short left, right;
};

class SoundOutput : public ::testing::Test {
protected:
    std::string path;

    void SetUp() override { start_recording(); }

    void TearDown() override
    {
        sound_data::stop();
        unsetenv("SDL_DISKAUDIOFILE");
        unlink(path.c_str());
    }

    // A recording into a new file, on a freshly opened device.
    void start_recording()
    {
        char name[] = "/tmp/crimson_sound_XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        sound_data::start("disk");
    }

    // Closes the device, which flushes the file, and returns what was
    // played from the first sound on.
    std::vector<Frame> recorded()
    {
        close_sound();
        std::string bytes = read_whole_file(path.c_str());
        unlink(path.c_str());
        std::vector<Frame> frames(bytes.size() / sizeof(Frame));
        memcpy(frames.data(), bytes.data(), frames.size() * sizeof(Frame));
        auto heard = std::find_if(frames.begin(), frames.end(), [](Frame f) { return f.left || f.right; });
        return std::vector<Frame>(heard, frames.end());
    }
};

TEST_F(SoundOutput, MusicIsMonoAndFollowsTheVolume)
{
    // The same opening twice, in two recordings: at full volume, then at
    // the paused volume, each compared from its first sound on.
    std::vector<Frame> takes[2];
    const float volumes[2] = {MUSIC_VOLUME_FULL, MUSIC_VOLUME_PAUSED};
    for (int take = 0; take < 2; take++) {
        if (take > 0)
            start_recording();
        std::vector<unsigned char> mod = sound_data::note_module(64, 6);
        load_sound_bytes(&modules[MODULE_TITLE], "test.mod", mod.data(), mod.size());
        play_module(MODULE_TITLE, volumes[take]);
        SDL_Delay(300);
        takes[take] = recorded();
    }
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

TEST_F(SoundOutput, SampleRestartsOnItsOwnChannel)
{
    const short level = 8000;
    const size_t length = 17640; // 0.4 s
    std::vector<unsigned char> wave = sound_data::wave(2, length, [=](unsigned) { return level; });
    load_sound_bytes(&samples[SAMPLE_GUN], "test.wav", wave.data(), wave.size());
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 0);
    play_sample(SAMPLE_GUN);
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 1);
    SDL_Delay(150);
    ASSERT_EQ(sample_playing(SAMPLE_GUN), 1);
    play_sample(SAMPLE_GUN);
    for (int waited = 0; sample_playing(SAMPLE_GUN) && waited < 3000; waited += 10)
        SDL_Delay(10);
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 0) << "a finished sample still counts as playing";

    std::vector<Frame> out = recorded();
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
