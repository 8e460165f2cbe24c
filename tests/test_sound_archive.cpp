// The sound loader's side of the archive: a member the game asks for that
// is not there ends the program with the loader's own tag.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <SDL.h>

#include <algorithm>
#include <iterator>

#include "sound/sound.h"
#include "util/archive.h"
#include "util/codec.h"

namespace {

// The folder a death test's child works in. The child is a fresh run of
// this program that repeats the test up to the death statement, so it must
// find the folder its parent made rather than make its own.
std::string death_test_dir(const char* pattern)
{
    const char* known = getenv("CRIMSON_DEATH_TEST_DIR");
    if (known != nullptr)
        return known;
    std::string dir = pattern;
    if (mkdtemp(&dir[0]) == nullptr)
        return "/tmp";
    setenv("CRIMSON_DEATH_TEST_DIR", dir.c_str(), 1);
    return dir;
}

void put32(std::ofstream& file, uint32_t v)
{
    const char bytes[4] = {(char)(v & 0xff), (char)((v >> 8) & 0xff), (char)((v >> 16) & 0xff),
                           (char)(v >> 24)};
    file.write(bytes, 4);
}

// An archive holding one encoded member (none when `name` is null).
void write_archive(const std::string& path, const char* name, const std::vector<uint8_t>& data)
{
    std::ofstream file(path, std::ios::binary);
    file.write(HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE);
    file.write("\1\0", 2);
    if (name == nullptr)
        return;
    std::vector<uint8_t> stream(LZ_ENCODE_BOUND(data.size()));
    uint32_t length = lz_encode(data.data(), stream.data(), (uint32_t)data.size());
    file.write(name, (std::streamsize)strlen(name) + 1);
    put32(file, (uint32_t)data.size());
    put32(file, length);
    file.write((const char*)stream.data(), length);
}

// A short 8-bit mono wave of a square tone.
std::vector<uint8_t> square_wave()
{
    const uint32_t frames = 22050;
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                0x44, 0xac, 0, 0, 0x44, 0xac, 0, 0, 1, 0, 8, 0,
                                'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; i++)
        out.push_back((uint8_t)(frames >> (8 * i)));
    for (uint32_t i = 0; i < frames; i++)
        out.push_back((i / 50) % 2 ? 200 : 56);
    uint32_t riff = (uint32_t)out.size() - 8;
    for (int i = 0; i < 4; i++)
        out[4 + i] = (uint8_t)(riff >> (8 * i));
    return out;
}

TEST(SoundArchive, SampleLoadsFromItsMember)
{
    char folder[] = "/tmp/crimson_archive_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string dir = folder;
    std::string archive = dir + "/" + SOUND_ARCHIVE;
    write_archive(archive, "sfx/swing.wav", square_wave());
    setenv("SDL_AUDIODRIVER", "dummy", 0); // the script's choice, if any, wins
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(folder), 0);
    init_sound();
    load_sound(&samples[SAMPLE_SWING], "sfx/swing.wav");
    play_sample(SAMPLE_SWING);
    EXPECT_EQ(sample_playing(SAMPLE_SWING), 1);
    close_sound();
    EXPECT_EQ(chdir(cwd), 0);
    free(cwd);
    unlink(archive.c_str());
    rmdir(dir.c_str());
}

TEST(SoundArchive, MissingMemberIsFatal)
{
    // A fresh process: a fork of one that opened a window or audio device
    // could hang on its way out.
    std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string dir = death_test_dir("/tmp/crimson_archive_XXXXXX");
    std::string archive = dir + "/" + SOUND_ARCHIVE;
    write_archive(archive, nullptr, {}); // valid, without a single member
    EXPECT_EXIT(
        {
            if (chdir(dir.c_str()) != 0)
                exit(2);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            init_sound();
            load_modules();
            exit(0);
        },
        ::testing::ExitedWithCode(1), "");
    GTEST_FLAG_SET(death_test_style, style);
    unsetenv("CRIMSON_DEATH_TEST_DIR");
    std::ifstream log(dir + "/errorlog.txt");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, "load_sound(): File \"sfx/small theme.mod\" not found in archive \"assets.bin\"");
    unlink((dir + "/errorlog.txt").c_str());
    unlink(archive.c_str());
    rmdir(dir.c_str());
}

TEST(SoundArchive, TheGamesModulesAreHeardInMono)
{
    uint32_t size = 0;
    if (!file_exists(SOUND_ARCHIVE))
        GTEST_SKIP() << "no assets.bin beside the tests";
    char out_name[] = "/tmp/crimson_music_XXXXXX";
    int fd = mkstemp(out_name);
    ASSERT_GE(fd, 0);
    close(fd);
    for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_AUDIO); i++)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const char* driver = getenv("SDL_AUDIODRIVER");
    std::string old_driver = driver != nullptr ? driver : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out_name, 1);
    init_sound();
    load_modules();
    load_samples();
    for (int id = 0; id < MODULE_COUNT; id++) {
        play_module(id, MUSIC_VOLUME_FULL);
        SDL_Delay(250);
        EXPECT_EQ(module_playing(), 1) << "module " << id << " ended at once";
    }
    close_sound();
    if (driver != nullptr)
        setenv("SDL_AUDIODRIVER", old_driver.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");

    std::ifstream file(out_name, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    unlink(out_name);
    size = (uint32_t)(bytes.size() / 4);
    ASSERT_GT(size, 0u);
    const int16_t* frames = (const int16_t*)bytes.data();
    int peak = 0;
    for (uint32_t i = 0; i < size; i++) {
        ASSERT_EQ(frames[2 * i], frames[2 * i + 1]) << "not mono at frame " << i;
        peak = std::max(peak, std::abs((int)frames[2 * i]));
    }
    EXPECT_GT(peak, 1000) << "the music is silent";
}

} // namespace
