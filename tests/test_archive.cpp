// The archive reader on crafted archives: what it finds, what it refuses, and
// that every refusal is one line in errorlog.txt and exit code 1.
#include <gtest/gtest.h>

#include "test_temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "render/textures.h"
#include "sound/sound.h"
#include "util/archive.h"
#include "util/codec.h"
#include "util/errors.h"
#include "world/map.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes header(uint16_t version = 1)
{
    Bytes b(HKCA_SIGNATURE, HKCA_SIGNATURE + 31);
    b.push_back((uint8_t)version);
    b.push_back((uint8_t)(version >> 8));
    return b;
}

// A record with explicit sizes, so tests can lie in them.
void add_raw(Bytes* a, const std::string& name, uint32_t size, const Bytes& stream)
{
    a->insert(a->end(), name.c_str(), name.c_str() + name.size() + 1);
    for (uint32_t v : {size, (uint32_t)stream.size()})
        for (int i = 0; i < 4; i++)
            a->push_back((uint8_t)(v >> (8 * i)));
    a->insert(a->end(), stream.begin(), stream.end());
}

void add(Bytes* a, const std::string& name, const std::string& text)
{
    Bytes s(LZ_ENCODE_BOUND(text.size()));
    std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(text.size()));
    s.resize(lz_encode_fast((const uint8_t*)text.data(), s.data(), (uint32_t)text.size(), work.data()));
    add_raw(a, name, (uint32_t)text.size(), s);
}

void write_file(const char* path, const Bytes& b)
{
    std::ofstream(path, std::ios::binary).write((const char*)b.data(), (std::streamsize)b.size());
}

// The member as text, or "<null>" when the reader found none.
std::string member(const char* archive, const std::string& name)
{
    uint32_t size = 0xdeadbeef;
    uint8_t* data = hkca_uncompress(archive, name.c_str(), &size);
    if (!data)
        return "<null>";
    std::string s((const char*)data, size);
    free(data);
    return s;
}

const std::string LONG_TEXT = [] {
    std::string s;
    for (int i = 0; i < 400; i++)
        s += "sfx/laugh" + std::to_string(i % 8 + 1) + ".wav ";
    return s;
}();

} // namespace

TEST(Archive, FindsTheFirstOfEqualNamesAndNeedsOnlyTheWantedMemberWhole)
{
    TempDir dir;
    Bytes a = header();
    write_file("empty.bin", a);
    EXPECT_EQ(member("empty.bin", "gfx/font.bmp"), "<null>");

    add(&a, "gfx/font.bmp", "first font");
    add(&a, "sfx/analogi'que.mod", LONG_TEXT);
    add(&a, "gfx/font.bmp", "second font");
    // Skipped by the walk: a record with an empty stream (fatal only when
    // asked for, see below) and one whose stream decodes to nothing.
    add_raw(&a, "gfx/bar.bmp", 0, {});
    add_raw(&a, "nothing", 0, {7});
    add(&a, "x", "y"); // a last record that ends exactly at the end of the file
    write_file("assets.bin", a);
    const struct { const char* name; std::string expect; } cases[] = {
        {"gfx/font.bmp", "first font"}, {"sfx/analogi'que.mod", LONG_TEXT}, {"nothing", ""}, {"x", "y"},
        {"GFX/font.bmp", "<null>"}, {"gfx/font", "<null>"}, {"", "<null>"}};
    for (const auto& c : cases)
        EXPECT_EQ(member("assets.bin", c.name), c.expect) << c.name;

    // The last record's data runs past the end: the end of the archive.
    add(&a, "default.map", LONG_TEXT);
    a.resize(a.size() - 10);
    write_file("cut.bin", a);
    EXPECT_EQ(member("cut.bin", "missing"), "<null>");
    EXPECT_EQ(member("cut.bin", "x"), "y");
}

TEST(ArchiveDeathTest, EveryFailureIsOneLoggedLineAndExitCodeOne)
{
    TempDir dir;
    const char* CUT = "Unexpected end of file \"%s\"";
    const char* INVALID = "Invalid format of file \"%s\"";
    const char* VERSION = "Version mismatch in file \"%s\"";
    const Bytes h = header();
    Bytes sig = h, name_cut = h, sizes_cut = h, long_name = h, wanted_cut = h, empty_stream = h;
    sig[30] = ' '; // 30 characters right, the zero byte missing
    name_cut.insert(name_cut.end(), {'g', 'f', 'x', '/', 'f', 'o'});
    add(&sizes_cut, "a", "b");
    sizes_cut.insert(sizes_cut.end(), {'c', 0, 1, 0, 0, 0, 2, 0});
    add(&long_name, std::string(HKCA_MAX_NAME, 'n'), "fits");
    add(&long_name, std::string(HKCA_MAX_NAME + 1, 'n'), "too long");
    add(&wanted_cut, "default.map", LONG_TEXT);
    wanted_cut.pop_back();
    add_raw(&empty_stream, "m", 0, {});
    add(&empty_stream, "after", "z");
    // Streams that cannot give the stored 6 bytes (each refused before
    // anything is written outside the member's buffer; the sanitizer build
    // checks that), and a stored size no stream of this length could reach.
    const uint8_t M = 0xF0;
    Bytes longer = h, shorter = h, damaged = h, huge = h;
    add_raw(&longer, "m", 6, {M, 'a', 'b', 'c', 'd', 'e', 'f', 'g'});
    add_raw(&shorter, "m", 6, {M, 'a', 'b'});
    add_raw(&damaged, "m", 6, {M, 'a', 'b', 'c', 'd', M, 4, 9});
    add_raw(&huge, "m", 0xfffffff0u, {M, 'a', M, 0x84, 0x80, 0x80, 0x7f, 1});
    const struct { const char* file; Bytes bytes; const char* name; const char* format; } cases[] = {
        {"short.bin", Bytes(h.begin(), h.begin() + 30), "x", CUT}, {"noversion.bin", Bytes(h.begin(), h.begin() + 32), "x", CUT},
        {"sig.bin", sig, "x", INVALID}, {"v2.bin", header(2), "x", VERSION}, {"v257.bin", header(257), "x", VERSION},
        {"name.bin", name_cut, "x", CUT}, {"sizes.bin", sizes_cut, "x", CUT}, {"long.bin", long_name, "x", INVALID},
        {"wanted.bin", wanted_cut, "default.map", CUT}, {"zero.bin", empty_stream, "m", CUT},
        {"longer.bin", longer, "m", INVALID}, {"shorter.bin", shorter, "m", INVALID},
        {"damaged.bin", damaged, "m", INVALID}, {"huge.bin", huge, "m", INVALID}};
    std::string expect = "hkca_uncompress(): File \"nowhere.bin\" not found\n";
    uint32_t size;
    EXPECT_EXIT(hkca_uncompress("nowhere.bin", "x", &size), ::testing::ExitedWithCode(1), "");
    for (const auto& c : cases) {
        write_file(c.file, c.bytes);
        EXPECT_EXIT(hkca_uncompress(c.file, c.name, &size), ::testing::ExitedWithCode(1), "") << c.file;
        char message[512];
        snprintf(message, sizeof message, c.format, c.file);
        expect += "hkca_uncompress(): " + std::string(message) + "\n";
    }
    EXPECT_EQ(read_whole_file(ERROR_LOG_FILE), expect);
    // Members before the fault still load.
    EXPECT_EQ(member("long.bin", std::string(HKCA_MAX_NAME, 'n')), "fits");
    EXPECT_EQ(member("zero.bin", "after"), "z");
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
    EXPECT_EQ(read_whole_file(ERROR_LOG_FILE),
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

TEST(ArchiveDeathTest, AllocationFailuresAreReported)
{
#ifdef CRIMSON_NO_ADDRESS_LIMIT
    GTEST_SKIP() << "address-space limits cannot be staged under the address sanitizer";
#else
    TempDir dir;
    // 16 MB above what the process holds now: a whole 40 MB stream does not
    // fit; a small stream that claims 1 GB does, its result does not.
    auto limited = [](const char* archive, const char* name) {
        std::ifstream status("/proc/self/status");
        std::string line;
        size_t kb = 0;
        while (std::getline(status, line))
            if (line.rfind("VmSize:", 0) == 0)
                kb = strtoul(line.c_str() + 7, nullptr, 10);
        struct rlimit rl;
        rl.rlim_cur = rl.rlim_max = kb * 1024 + (16 << 20);
        setrlimit(RLIMIT_AS, &rl);
        uint32_t size;
        hkca_uncompress(archive, name, &size);
    };
    Bytes big = header(), stream(40 << 20, 'a'), claims = header();
    stream[0] = 'z';
    add_raw(&big, "big", 40 << 20, stream);
    write_file("big.bin", big);
    add_raw(&claims, "claims", 1u << 30, Bytes(1 << 17, 'a'));
    write_file("claims.bin", claims);
    EXPECT_EXIT(limited("big.bin", "big"), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(limited("claims.bin", "claims"), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_whole_file(ERROR_LOG_FILE), "hkca_uncompress(): Failed allocating memory for compressed data\n"
                                               "hkca_uncompress(): Failed allocating memory for uncompressed data\n");
#endif
}
