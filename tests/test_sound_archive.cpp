// The sound loader's side of the archive: a member the game asks for that
// is not there ends the program with the loader's own tag.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "sound/sound.h"
#include "util/archive.h"
#include "util/codec.h"

namespace {

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
    char dir[] = "/tmp/crimson_archive_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string archive = std::string(dir) + "/" + SOUND_ARCHIVE;
    write_archive(archive, "sfx/swing.wav", square_wave());
    setenv("SDL_AUDIODRIVER", "dummy", 0); // the script's choice, if any, wins
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dir), 0);
    init_sound();
    load_sound(&samples[SAMPLE_SWING], "sfx/swing.wav");
    play_sample(SAMPLE_SWING);
    EXPECT_EQ(sample_playing(SAMPLE_SWING), 1);
    close_sound();
    EXPECT_EQ(chdir(cwd), 0);
    free(cwd);
    unlink(archive.c_str());
    rmdir(dir);
}

TEST(SoundArchive, MissingMemberIsFatal)
{
    char dir[] = "/tmp/crimson_archive_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string archive = std::string(dir) + "/" + SOUND_ARCHIVE;
    write_archive(archive, nullptr, {}); // valid, without a single member
    EXPECT_EXIT(
        {
            if (chdir(dir) != 0)
                exit(2);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            init_sound();
            load_modules();
            exit(0);
        },
        ::testing::ExitedWithCode(1), "");
    std::ifstream log(std::string(dir) + "/errorlog.txt");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, "load_sound(): File \"sfx/small theme.mod\" not found in archive \"assets.bin\"");
    unlink((std::string(dir) + "/errorlog.txt").c_str());
    unlink(archive.c_str());
    rmdir(dir);
}

} // namespace
