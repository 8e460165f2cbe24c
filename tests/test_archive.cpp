// The archive reader on crafted archives: what it finds, what it refuses, and
// that every refusal is one line in errorlog.txt and exit code 1.
#include <gtest/gtest.h>

#include "test_temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "render/textures.h"
#include "sound/sound.h"
#include "util/archive.h"
#include "util/codec.h"
#include "util/errors.h"
#include "world/map.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::string read_log()
{
    return read_whole_file(ERROR_LOG_FILE);
}

void put_u32(Bytes* b, uint32_t v)
{
    for (int i = 0; i < 4; i++) b->push_back((uint8_t)(v >> (8 * i)));
}

Bytes header(uint16_t version = 1)
{
    Bytes b(HKCA_SIGNATURE, HKCA_SIGNATURE + 31);
    b.push_back((uint8_t)version);
    b.push_back((uint8_t)(version >> 8));
    return b;
}

Bytes stream_of(const std::string& text)
{
    Bytes s(LZ_ENCODE_BOUND(text.size()));
    std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(text.size()));
    s.resize(lz_encode_fast((const uint8_t*)text.data(), s.data(), (uint32_t)text.size(), work.data()));
    return s;
}

// A record with explicit sizes, so tests can lie in them.
void add_raw(Bytes* a, const std::string& name, uint32_t size, const Bytes& stream)
{
    a->insert(a->end(), name.begin(), name.end());
    a->push_back(0);
    put_u32(a, size);
    put_u32(a, (uint32_t)stream.size());
    a->insert(a->end(), stream.begin(), stream.end());
}

void add(Bytes* a, const std::string& name, const std::string& text)
{
    add_raw(a, name, (uint32_t)text.size(), stream_of(text));
}

void write_file(const char* path, const Bytes& b)
{
    FILE* f = fopen(path, "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(fwrite(b.data(), 1, b.size(), f), b.size());
    fclose(f);
}

// The member as text, or "<null>" when the reader found none.
std::string member(const char* archive, const char* name)
{
    uint32_t size = 0xdeadbeef;
    uint8_t* data = hkca_uncompress(archive, name, &size);
    if (!data) return "<null>";
    std::string s((const char*)data, size);
    free(data);
    return s;
}

const std::string LONG_TEXT = [] {
    std::string s;
    for (int i = 0; i < 400; i++) s += "sfx/laugh" + std::to_string(i % 8 + 1) + ".wav ";
    return s;
}();

} // namespace

TEST(Archive, FindsFirstOfEqualNamesCaseSensitivelyAndNullWhenMissing)
{
    TempDir dir;
    Bytes a = header();
    write_file("empty.bin", a);
    EXPECT_EQ(member("empty.bin", "gfx/font.bmp"), "<null>");

    add(&a, "gfx/font.bmp", "first font");
    add(&a, "sfx/analogi'que.mod", LONG_TEXT);
    add(&a, "gfx/font.bmp", "second font");
    add(&a, "x", "y"); // a last record that ends exactly at the end of the file
    write_file("assets.bin", a);
    EXPECT_EQ(member("assets.bin", "gfx/font.bmp"), "first font");
    EXPECT_EQ(member("assets.bin", "sfx/analogi'que.mod"), LONG_TEXT);
    EXPECT_EQ(member("assets.bin", "x"), "y");
    EXPECT_EQ(member("assets.bin", "GFX/font.bmp"), "<null>");
    EXPECT_EQ(member("assets.bin", "gfx/font"), "<null>");
    EXPECT_EQ(member("assets.bin", ""), "<null>");
}

TEST(Archive, OnlyTheWantedMemberMustBeWhole)
{
    TempDir dir;
    Bytes a = header();
    add(&a, "sfx/gun.wav", "bang");
    add_raw(&a, "default.map", (uint32_t)LONG_TEXT.size(), stream_of(LONG_TEXT));
    a.resize(a.size() - 10); // the last record's data runs past the end
    write_file("cut.bin", a);
    EXPECT_EQ(member("cut.bin", "missing"), "<null>");
    EXPECT_EQ(member("cut.bin", "sfx/gun.wav"), "bang");

    // A record stored with an empty stream is skipped by the walk; asking
    // for it is fatal (see the death test), the members after it load.
    Bytes b = header();
    add_raw(&b, "gfx/bar.bmp", 0, {});
    add(&b, "gfx/bar2.bmp", "after the empty one");
    write_file("zero.bin", b);
    EXPECT_EQ(member("zero.bin", "gfx/bar2.bmp"), "after the empty one");

    // A stream that decodes to nothing gives an empty, non-null member.
    Bytes c = header();
    add_raw(&c, "nothing", 0, {7});
    write_file("nothing.bin", c);
    EXPECT_EQ(member("nothing.bin", "nothing"), "");
}

TEST(ArchiveDeathTest, EveryFailureIsOneLoggedLineAndExitCodeOne)
{
    TempDir dir;
    std::vector<std::string> expect;
    auto dies = [&](const char* archive, const char* name, const std::string& message) {
        uint32_t size;
        EXPECT_EXIT(hkca_uncompress(archive, name, &size), ::testing::ExitedWithCode(1), "")
            << message;
        expect.push_back("hkca_uncompress(): " + message + "\n");
    };
    auto bad = [&](const char* file, const Bytes& bytes, const char* name, const char* format) {
        write_file(file, bytes);
        char message[512];
        snprintf(message, sizeof message, format, file);
        dies(file, name, message);
    };
    const char* CUT = "Unexpected end of file \"%s\"";
    const char* INVALID = "Invalid format of file \"%s\"";

    dies("nowhere.bin", "x", "File \"nowhere.bin\" not found");

    Bytes h = header();
    bad("short.bin", Bytes(h.begin(), h.begin() + 30), "x", CUT);
    bad("noversion.bin", Bytes(h.begin(), h.begin() + 32), "x", CUT);
    Bytes sig = h;
    sig[30] = ' '; // 30 characters right, the zero byte missing
    bad("sig.bin", sig, "x", INVALID);
    bad("v2.bin", header(2), "x", "Version mismatch in file \"%s\"");
    bad("v256.bin", header(256), "x", "Version mismatch in file \"%s\"");

    Bytes name_cut = header();
    const char partial[] = "gfx/fo";
    name_cut.insert(name_cut.end(), partial, partial + 6);
    bad("name.bin", name_cut, "x", CUT);
    Bytes sizes_cut = header();
    add(&sizes_cut, "a", "b");
    sizes_cut.insert(sizes_cut.end(), {'c', 0, 1, 0, 0, 0, 2, 0});
    bad("sizes.bin", sizes_cut, "x", CUT);
    Bytes long_name = header();
    add(&long_name, std::string(HKCA_MAX_NAME, 'n'), "fits");
    add(&long_name, std::string(HKCA_MAX_NAME + 1, 'n'), "too long");
    write_file("long.bin", long_name);
    EXPECT_EQ(member("long.bin", std::string(HKCA_MAX_NAME, 'n').c_str()), "fits");
    bad("long.bin", long_name, "x", INVALID);

    Bytes wanted_cut = header();
    add(&wanted_cut, "default.map", LONG_TEXT);
    wanted_cut.pop_back();
    bad("wanted.bin", wanted_cut, "default.map", CUT);
    Bytes empty_stream = header();
    add_raw(&empty_stream, "gfx/bar.bmp", 0, {});
    add(&empty_stream, "gfx/bar2.bmp", "z");
    bad("zero.bin", empty_stream, "gfx/bar.bmp", CUT);

    // Damaged streams: each is refused before anything is written outside
    // the member's buffer (the sanitizer build checks that).
    const uint8_t M = 0xF0;
    const Bytes damaged[] = {
        {M, 'a', 'b', M},                        // marker at the very end
        {M, 'a', 'b', 'c', 'd', M, 4},           // cut-off offset
        {M, 'a', 'b', 'c', 'd', M, 0x84},        // cut-off length
        {M, 'a', 'b', 'c', 'd', M, 4, 0},        // offset 0
        {M, 'a', 'b', 'c', 'd', M, 4, 9},        // reaching before the start
        {M, 'a', 'b', 'c', 'd', 'e', 'f', 'g'},  // longer than stored
        {M, 'a', 'b'},                           // shorter than stored
        {M, 'a', 'b', 'c', 'd', M, 0x81, 0, 4},  // a copy running past the end
    };
    int i = 0;
    for (const Bytes& s : damaged) {
        Bytes a = header();
        add_raw(&a, "m", 6, s);
        std::string file = "damaged" + std::to_string(i++) + ".bin";
        bad(file.c_str(), a, "m", INVALID);
    }
    // A stored size no stream of this length could reach.
    Bytes huge = header();
    add_raw(&huge, "m", 0xfffffff0u, {M, 'a', M, 0x84, 0x80, 0x80, 0x7f, 1});
    bad("huge.bin", huge, "m", INVALID);

    EXPECT_EQ(read_log(), [&] { std::string s; for (auto& l : expect) s += l; return s; }());
}

// Each loader asking for a member the archive lacks ends the program,
// naming the member and the archive under its own tag.
TEST(ArchiveDeathTest, LoadersNameTheMissingMember)
{
    TempDir dir;
    write_file("assets.bin", header()); // valid, without a single member
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    EXPECT_EXIT(load_graphics(), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT((init_sound(), load_modules()), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(load_map("default.map"), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_log(),
              "load_graphics(): File \"gfx/font.bmp\" not found in archive \"assets.bin\"\n"
              "load_sound(): File \"sfx/small theme.mod\" not found in archive \"assets.bin\"\n"
              "load_map(): File \"default.map\" not found in archive \"assets.bin\"\n");
}

// Allocation failures are forced with an address-space limit in the dying
// child; the sanitizers reserve far more address space than any limit
// leaves, so there these two cases cannot be staged.
#if defined(__SANITIZE_ADDRESS__)
#define CRIMSON_NO_ADDRESS_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CRIMSON_NO_ADDRESS_LIMIT 1
#endif
#endif

#ifndef CRIMSON_NO_ADDRESS_LIMIT
static void limit_address_space_to(size_t extra)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    size_t kb = 0;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) kb = strtoul(line.c_str() + 7, nullptr, 10);
    struct rlimit rl;
    rl.rlim_cur = rl.rlim_max = kb * 1024 + extra;
    setrlimit(RLIMIT_AS, &rl);
}
#endif

TEST(ArchiveDeathTest, AllocationFailuresAreReported)
{
#ifdef CRIMSON_NO_ADDRESS_LIMIT
    GTEST_SKIP() << "address-space limits cannot be staged under the address sanitizer";
#else
    TempDir dir;
    const size_t SLACK = 16 << 20;
    // A whole 40 MB stream cannot be held in 16 MB of slack.
    Bytes big = header();
    Bytes stream(40 << 20, 'a');
    stream[0] = 'z';
    add_raw(&big, "big", 40 << 20, stream);
    write_file("big.bin", big);
    uint32_t size;
    EXPECT_EXIT((limit_address_space_to(SLACK), hkca_uncompress("big.bin", "big", &size)),
                ::testing::ExitedWithCode(1), "");
    // A small stream that claims 1 GB: the stream fits, the result does not.
    Bytes claims = header();
    add_raw(&claims, "claims", 1u << 30, Bytes(1 << 17, 'a'));
    write_file("claims.bin", claims);
    EXPECT_EXIT((limit_address_space_to(SLACK), hkca_uncompress("claims.bin", "claims", &size)),
                ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_log(), "hkca_uncompress(): Failed allocating memory for compressed data\n"
                          "hkca_uncompress(): Failed allocating memory for uncompressed data\n");
#endif
}

TEST(Archive, FileHelpers)
{
    TempDir dir;
    EXPECT_EQ(file_exists("absent"), 0);
    write_file("twelve", Bytes(12, 1));
    EXPECT_EQ(file_exists("twelve"), 1);
    FILE* f = fopen("twelve", "rb");
    ASSERT_TRUE(f);
    fseek(f, 5, SEEK_SET);
    EXPECT_EQ(file_size(f), 12);
    EXPECT_EQ(ftell(f), 5); // the position is kept
    fclose(f);
}
