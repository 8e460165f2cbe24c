// Sound output, heard through SDL's disk driver: the mixer writes its raw
// 16-bit stereo output to a file, which the tests read back once the device
// is closed. The sounds are tiny waves and modules made here, so the tests
// do not depend on the game's assets.
#include <gtest/gtest.h>

#include <SDL.h>

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

namespace {

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void put32(std::vector<unsigned char>& out, unsigned v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void put16be(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back((v >> 8) & 0xff);
    out.push_back(v & 0xff);
}

// A 44,100 Hz 16-bit stereo wave holding one constant value: mixed at full
// volume without conversion it comes out as exactly that value, and two
// overlapping copies would show as twice it.
std::vector<unsigned char> constant_wave(int frames, short value)
{
    std::vector<unsigned char> out;
    unsigned data_bytes = (unsigned)frames * 4;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + data_bytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);            // PCM
    put16(out, 2);            // stereo
    put32(out, 44100);
    put32(out, 44100 * 4);
    put16(out, 4);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, data_bytes);
    for (int i = 0; i < frames * 2; i++)
        put16(out, (unsigned short)value);
    return out;
}

// A 4-channel "M.K." module: one looping square note on channel 1, which the
// Amiga panning puts hard left, then a pattern break after `rows` rows at
// `speed` ticks per row (20 ms per tick at the default tempo).
std::vector<unsigned char> square_module(int rows, int speed)
{
    const int sample_bytes = 64;
    std::vector<unsigned char> out(20, 0);
    for (int s = 0; s < 31; s++) {
        for (int i = 0; i < 22; i++)
            out.push_back(0);
        put16be(out, s == 0 ? sample_bytes / 2 : 0); // length in words
        out.push_back(0);                            // finetune
        out.push_back(s == 0 ? 64 : 0);              // volume
        put16be(out, 0);                             // loop start
        put16be(out, s == 0 ? sample_bytes / 2 : 1); // loop length
    }
    out.push_back(1);   // song length
    out.push_back(127);
    for (int i = 0; i < 128; i++)
        out.push_back(0);
    out.insert(out.end(), {'M', '.', 'K', '.'});
    size_t pattern = out.size();
    out.resize(pattern + 64 * 4 * 4, 0);
    auto cell = [&](int row, int channel) { return &out[pattern + (row * 4 + channel) * 4]; };
    const int period = 428;
    unsigned char* first = cell(0, 0);
    first[0] = (unsigned char)(period >> 8);
    first[1] = period & 0xff;
    first[2] = (1 << 4) | 0xF; // sample 1, set speed
    first[3] = (unsigned char)speed;
    if (rows < 64) {
        unsigned char* last = cell(rows - 1, 1);
        last[2] = 0xD; // pattern break: the song ends after this row
    }
    for (int i = 0; i < sample_bytes; i++)
        out.push_back(i < sample_bytes / 2 ? 100 : (unsigned char)-100);
    return out;
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
        char name[] = "/tmp/crimson_sound_XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        // The driver is chosen when audio starts: stop any left running by an
        // earlier test of this process.
        for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_AUDIO); i++)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        settings[MUSIC_ON] = 1;
        settings[SOUND_FX_ON] = 1;
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        init_sound();
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

    // A second recording in a new file, on a freshly opened device.
    void reopen()
    {
        close_sound();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        unlink(path.c_str());
        char name[] = "/tmp/crimson_sound_XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        init_sound();
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
        load_module(MODULE_TITLE, square_module(64, 6));
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
    load_module(MODULE_TITLE, square_module(50, 1));
    load_module(MODULE_INTRO, square_module(64, 6));

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
    load_module(MODULE_TITLE, square_module(64, 6));
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

} // namespace
