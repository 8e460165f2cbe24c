// Sound output, heard through SDL's disk driver: the mixer writes its raw
// 16-bit stereo output to a file, which the tests read back once the device
// is closed. The sounds are tiny waves and modules made here, so the tests
// do not depend on the game's assets.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/loop.h"
#include "sound/sound.h"
#include "test_sound_data.h"
#include "test_temp_dir.h"
#include "util/archive.h"
#include "util/codec.h"

namespace {

using sound_data::note_module;

std::vector<unsigned char> constant_wave(int frames, short value)
{
    return sound_data::wave(2, (unsigned)frames, [=](unsigned) { return value; });
}

struct Frame {
    short left, right;
};

class SoundOutput : public ::testing::Test {
protected:
    std::string path;
    std::string old_driver;
    bool had_driver = false;

    void SetUp() override
    {
        const char* driver = getenv("SDL_AUDIODRIVER");
        had_driver = driver != nullptr;
        old_driver = had_driver ? driver : "";
        // The driver is chosen when audio starts: stop any left running by an
        // earlier test of this process.
        for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_AUDIO); i++)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        settings[MUSIC_ON] = 1;
        settings[SOUND_FX_ON] = 1;
        start_recording();
    }

    void TearDown() override
    {
        close_sound();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (had_driver)
            setenv("SDL_AUDIODRIVER", old_driver.c_str(), 1);
        else
            unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unlink(path.c_str());
        settings[MUSIC_ON] = 1;
        settings[SOUND_FX_ON] = 1;
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
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        init_sound();
    }

    void reopen()
    {
        close_sound();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        unlink(path.c_str());
        start_recording();
    }

    void load_module(int id, const std::vector<unsigned char>& bytes)
    {
        load_sound_bytes(&modules[id], "test.mod", bytes.data(), bytes.size());
    }

    void load_sample(int id, const std::vector<unsigned char>& bytes)
    {
        load_sound_bytes(&samples[id], "test.wav", bytes.data(), bytes.size());
    }

    // Closes the device, which flushes the file, and reads what was played.
    std::vector<Frame> recorded()
    {
        close_sound();
        std::ifstream file(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::vector<Frame> frames(bytes.size() / sizeof(Frame));
        memcpy(frames.data(), bytes.data(), frames.size() * sizeof(Frame));
        return frames;
    }
};

bool silent(const Frame& f)
{
    return f.left == 0 && f.right == 0;
}

size_t first_sound(const std::vector<Frame>& frames, size_t from)
{
    while (from < frames.size() && silent(frames[from]))
        from++;
    return from;
}

// Polls for up to `ms` milliseconds; the disk driver plays in real time.
bool becomes_silent(int ms)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (!module_playing())
            return true;
        SDL_Delay(10);
    }
    return false;
}

TEST(SoundBeforeInit, EverythingIsASilentNoOp)
{
    play_module(0, 1.0f);
    play_sample(3);
    set_music_volume(0.35f);
    stop_module();
    stop_sample(3);
    update_sound();
    EXPECT_EQ(module_playing(), 0);
    EXPECT_EQ(sample_playing(3), 0);
    close_sound();
}

TEST_F(SoundOutput, MusicIsMonoAndFollowsTheVolume)
{
    // The same opening twice, in two recordings: at full volume, then at
    // the paused volume. Each is compared from its first sound on.
    std::vector<Frame> takes[2];
    const float volumes[2] = {MUSIC_VOLUME_FULL, MUSIC_VOLUME_PAUSED};
    for (int take = 0; take < 2; take++) {
        if (take > 0)
            reopen();
        load_module(MODULE_TITLE, note_module(64, 6));
        play_module(MODULE_TITLE, volumes[take]);
        EXPECT_EQ(module_playing(), 1);
        SDL_Delay(300);
        takes[take] = recorded();
    }

    const size_t span = 8000;
    size_t start[2];
    for (int take = 0; take < 2; take++) {
        const std::vector<Frame>& out = takes[take];
        start[take] = first_sound(out, 0);
        ASSERT_LE(start[take] + span, out.size()) << "take " << take << " was not heard";
        for (size_t i = 0; i < out.size(); i++)
            ASSERT_EQ(out[i].left, out[i].right) << "music not mono at frame " << i;
    }
    long long level[2] = {0, 0};
    int peak = 0;
    for (size_t i = 0; i < span; i++) {
        for (int take = 0; take < 2; take++)
            level[take] += std::abs(takes[take][start[take] + i].left);
        peak = std::max(peak, std::abs((int)takes[0][start[0] + i].left));
    }
    EXPECT_GT(peak, 1000);
    EXPECT_NEAR((double)level[1] / (double)level[0], 0.35, 0.02);
}

TEST_F(SoundOutput, ModulesStartFromTheBeginningAndEnd)
{
    // 50 rows of 20 ms: 1 s, then the song is over.
    load_module(MODULE_TITLE, note_module(50, 1));
    load_module(MODULE_INTRO, note_module(64, 6));

    play_module(MODULE_INTRO, 1.0f);
    SDL_Delay(200);
    play_module(MODULE_TITLE, 1.0f);
    SDL_Delay(700);
    play_module(MODULE_TITLE, 1.0f); // again, from its first row
    SDL_Delay(500);
    EXPECT_EQ(module_playing(), 1) << "restart did not go back to the beginning";
    EXPECT_TRUE(becomes_silent(3000)) << "a finished module still counts as playing";

    // On silence these change nothing and report nothing.
    set_music_volume(0.5f);
    stop_module();
    EXPECT_EQ(module_playing(), 0);
}

TEST_F(SoundOutput, SampleRestartsOnItsOwnChannel)
{
    const short level = 8000;
    const int length = 17640; // 0.4 s
    load_sample(SAMPLE_GUN, constant_wave(length, level));
    stop_sample(SAMPLE_GUN);
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 0);

    play_sample(SAMPLE_GUN);
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 1);
    SDL_Delay(150);
    ASSERT_EQ(sample_playing(SAMPLE_GUN), 1);
    play_sample(SAMPLE_GUN);
    int waited = 0;
    while (sample_playing(SAMPLE_GUN) && waited < 3000) {
        SDL_Delay(10);
        waited += 10;
    }
    EXPECT_EQ(sample_playing(SAMPLE_GUN), 0) << "a finished sample still counts as playing";
    stop_sample(SAMPLE_GUN);

    std::vector<Frame> out = recorded();
    size_t start = first_sound(out, 0);
    ASSERT_LT(start, out.size());
    size_t end = out.size();
    while (end > start && silent(out[end - 1]))
        end--;
    int peak = 0;
    for (size_t i = start; i < end; i++)
        peak = std::max(peak, (int)out[i].left);
    EXPECT_EQ(peak, level) << "two copies of one sample sounded together";
    // Restarted rather than ignored: it sounds longer than one playing, but
    // not as long as two after another.
    EXPECT_GT(end - start, (size_t)length + 1024);
    EXPECT_LT(end - start, (size_t)length * 2);
}

TEST_F(SoundOutput, SwitchedOffSettingsPlayNothing)
{
    load_module(MODULE_TITLE, note_module(64, 6));
    load_sample(SAMPLE_SPLAT, constant_wave(4410, 4000));
    settings[MUSIC_ON] = 0;
    settings[SOUND_FX_ON] = 0;
    play_module(MODULE_TITLE, 1.0f);
    play_sample(SAMPLE_SPLAT);
    EXPECT_EQ(module_playing(), 0);
    EXPECT_EQ(sample_playing(SAMPLE_SPLAT), 0);
    SDL_Delay(200);

    std::vector<Frame> out = recorded();
    EXPECT_GT(out.size(), 0u);
    EXPECT_EQ(first_sound(out, 0), out.size()) << "something was heard";
}

// The game's own modules, from the archive beside the tests, play in mono.
TEST_F(SoundOutput, TheGamesModulesAreHeardInMono)
{
    if (!file_exists(SOUND_ARCHIVE))
        GTEST_SKIP() << "no assets.bin beside the tests";
    load_modules();
    load_samples();
    for (int id = 0; id < MODULE_COUNT; id++) {
        play_module(id, MUSIC_VOLUME_FULL);
        SDL_Delay(250);
        EXPECT_EQ(module_playing(), 1) << "module " << id << " ended at once";
    }
    std::vector<Frame> out = recorded();
    ASSERT_GT(out.size(), 0u);
    int peak = 0;
    for (size_t i = 0; i < out.size(); i++) {
        ASSERT_EQ(out[i].left, out[i].right) << "not mono at frame " << i;
        peak = std::max(peak, std::abs((int)out[i].left));
    }
    EXPECT_GT(peak, 1000) << "the music is silent";
}

// A sample loads from its member of a crafted archive.
TEST(SoundArchive, SampleLoadsFromItsMember)
{
    TempDir dir;
    std::vector<unsigned char> wave = sound_data::wave(1, 22050, sound_data::square);
    std::vector<uint8_t> stream(LZ_ENCODE_BOUND(wave.size()));
    uint32_t sizes[2] = {(uint32_t)wave.size(), lz_encode(wave.data(), stream.data(), (uint32_t)wave.size())};
    {
        std::ofstream file(SOUND_ARCHIVE, std::ios::binary);
        file.write(HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE);
        file.write("\1\0" "sfx/swing.wav", 2 + 14); // version 1, the name and its zero
        file.write((const char*)sizes, sizeof sizes); // little-endian host
        file.write((const char*)stream.data(), sizes[1]);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0); // the script's choice, if any, wins
    init_sound();
    load_sound(&samples[SAMPLE_SWING], "sfx/swing.wav");
    play_sample(SAMPLE_SWING);
    EXPECT_EQ(sample_playing(SAMPLE_SWING), 1);
    close_sound();
}

} // namespace
