// The sound loader's side of the archive: members load, and the game's own
// modules play in mono.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/sound.h"
#include "test_sound_data.h"
#include "test_temp_dir.h"
#include "util/archive.h"
#include "util/codec.h"

namespace {

// An archive holding one encoded member.
void write_archive(const char* name, const std::vector<uint8_t>& data)
{
    std::ofstream file(SOUND_ARCHIVE, std::ios::binary);
    file.write(HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE);
    file.write("\1\0", 2);
    std::vector<uint8_t> stream(LZ_ENCODE_BOUND(data.size()));
    uint32_t sizes[2] = {(uint32_t)data.size(), lz_encode(data.data(), stream.data(), (uint32_t)data.size())};
    file.write(name, (std::streamsize)strlen(name) + 1);
    file.write((const char*)sizes, sizeof sizes); // little-endian host
    file.write((const char*)stream.data(), sizes[1]);
}

TEST(SoundArchive, SampleLoadsFromItsMember)
{
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "dummy", 0); // the script's choice, if any, wins
    write_archive("sfx/swing.wav", sound_data::wave(1, 22050, sound_data::square));
    init_sound();
    load_sound(&samples[SAMPLE_SWING], "sfx/swing.wav");
    play_sample(SAMPLE_SWING);
    EXPECT_EQ(sample_playing(SAMPLE_SWING), 1);
    close_sound();
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
