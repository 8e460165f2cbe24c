// hkca: makes and inspects asset archives (layout in util/archive.h).
//
//   hkca pack DIR ARCHIVE [--best]   every file below DIR, named by its path
//                                    relative to DIR with "/", in byte order
//   hkca list ARCHIVE                name, sizes and ratio of every member
//   hkca extract ARCHIVE NAME [OUT]  one member to OUT (default: its file name)
//   hkca verify ARCHIVE              decodes every member and checks its size
//
// The game's reader ends the process on a damaged archive; this tool is for
// people, so it reads the whole file into memory, walks it with every length
// checked, and explains what is wrong instead. Exit code 0 on success, 1 on
// any failure, 2 on a misused command line.
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

#include "util/archive.h"
#include "util/codec.h"

static const int EXIT_USAGE = 2;

// Largest file packed: its sizes and its worst-case stream must fit the
// record's 32-bit fields.
static const size_t MAX_MEMBER_SIZE = 0xfe000000u;

struct Member {
    std::string name;
    uint32_t uncompressed;
    uint32_t compressed;
    size_t data; // offset of the stream in the archive bytes
};

static void usage()
{
    fputs("usage: hkca pack DIR ARCHIVE [--best]\n"
          "       hkca list ARCHIVE\n"
          "       hkca extract ARCHIVE NAME [OUT]\n"
          "       hkca verify ARCHIVE\n"
          "pack stores every file below DIR under its relative path; --best\n"
          "also tries copies from exactly 100,000 bytes back, which the default\n"
          "search stops short of (rarely a byte smaller, somewhat slower).\n",
          stderr);
}

// Says what went wrong on stderr; returns the failure exit code.
static int complain(const char* format, ...) __attribute__((format(printf, 1, 2)));
static int complain(const char* format, ...)
{
    fputs("hkca: ", stderr);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    return 1;
}

static bool read_whole_file(const char* path, std::vector<uint8_t>* bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    bytes->clear();
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, f)) > 0)
        bytes->insert(bytes->end(), block, block + got);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

static uint32_t get_u32(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static void put_u32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out->push_back((uint8_t)(v >> (8 * i)));
}

// Splits archive bytes into members. Returns false with a reason on the first
// fault; unlike the game, a record cut off at the end is a fault here too.
static bool walk_archive(const std::vector<uint8_t>& a, std::vector<Member>* members, std::string* why)
{
    members->clear();
    if (a.size() < HKCA_HEADER_SIZE) {
        *why = "shorter than the archive header";
        return false;
    }
    if (memcmp(a.data(), HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE) != 0) {
        *why = "not an archive (signature differs)";
        return false;
    }
    unsigned version = a[HKCA_SIGNATURE_SIZE] | a[HKCA_SIGNATURE_SIZE + 1] << 8;
    if (version != HKCA_VERSION) {
        *why = "version " + std::to_string(version) + ", expected " + std::to_string(HKCA_VERSION);
        return false;
    }
    size_t p = HKCA_HEADER_SIZE;
    while (p < a.size()) {
        size_t record = p;
        const void* zero = memchr(a.data() + p, 0, std::min(a.size() - p, (size_t)HKCA_MAX_NAME + 1));
        if (!zero) {
            *why = a.size() - p > HKCA_MAX_NAME
                       ? "member name at byte " + std::to_string(record) + " is longer than " +
                             std::to_string(HKCA_MAX_NAME) + " bytes"
                       : "member name at byte " + std::to_string(record) + " is cut off";
            return false;
        }
        Member m;
        size_t name_end = (size_t)((const uint8_t*)zero - a.data());
        m.name.assign((const char*)a.data() + p, name_end - p);
        p = name_end + 1;
        if (a.size() - p < HKCA_RECORD_SIZES) {
            *why = "sizes of member \"" + m.name + "\" are cut off";
            return false;
        }
        m.uncompressed = get_u32(a.data() + p);
        m.compressed = get_u32(a.data() + p + 4);
        p += HKCA_RECORD_SIZES;
        if (m.compressed > a.size() - p) {
            *why = "data of member \"" + m.name + "\" is cut off";
            return false;
        }
        m.data = p;
        p += m.compressed;
        members->push_back(m);
    }
    return true;
}

static bool load_archive(const char* path, std::vector<uint8_t>* bytes, std::vector<Member>* members)
{
    if (!read_whole_file(path, bytes)) {
        complain("cannot read \"%s\": %s", path, strerror(errno));
        return false;
    }
    std::string why;
    if (!walk_archive(*bytes, members, &why)) {
        complain("\"%s\": %s", path, why.c_str());
        return false;
    }
    return true;
}

// Decodes one member; false with a reason when its stream is damaged or its
// size disagrees with the record.
static bool decode_member(const std::vector<uint8_t>& a, const Member& m, std::vector<uint8_t>* out, std::string* why)
{
    if (m.compressed == 0) {
        *why = "has an empty stream, which the game cannot read";
        return false;
    }
    if ((uint64_t)m.uncompressed > (uint64_t)m.compressed * HKCA_MAX_EXPANSION) {
        *why = "claims more bytes than its stream can hold";
        return false;
    }
    out->assign(m.uncompressed, 0);
    int64_t got = lz_decode(a.data() + m.data, out->data(), m.compressed, m.uncompressed);
    if (got == LZ_CORRUPT) {
        *why = "has a damaged stream";
        return false;
    }
    if (got != (int64_t)m.uncompressed) {
        *why = "decodes to " + std::to_string(got) + " bytes, its record says " + std::to_string(m.uncompressed);
        return false;
    }
    return true;
}

// The archive being replaced, when it lies inside the packed folder: it
// must not become a member of its successor.
static struct stat previous_archive;
static bool have_previous_archive = false;

static bool collect_files(const std::string& dir, const std::string& prefix, std::vector<std::string>* names)
{
    DIR* d = opendir(dir.c_str());
    if (!d) {
        complain("cannot open folder \"%s\": %s", dir.c_str(), strerror(errno));
        return false;
    }
    bool ok = true;
    while (struct dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
            continue;
        std::string path = dir + "/" + e->d_name;
        std::string name = prefix.empty() ? e->d_name : prefix + "/" + e->d_name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            complain("cannot read \"%s\": %s", path.c_str(), strerror(errno));
            ok = false;
        } else if (S_ISDIR(st.st_mode)) {
            ok = collect_files(path, name, names) && ok;
        } else if (S_ISREG(st.st_mode)) {
            if (have_previous_archive && st.st_dev == previous_archive.st_dev &&
                st.st_ino == previous_archive.st_ino)
                continue;
            names->push_back(name);
        }
    }
    closedir(d);
    return ok;
}

static int pack(const char* dir, const char* archive_path, bool best)
{
    std::vector<std::string> names;
    have_previous_archive = stat(archive_path, &previous_archive) == 0;
    if (!collect_files(dir, "", &names))
        return 1;
    // Byte order of the names, so the same folder always packs to the same
    // bytes whatever order the file system lists it in.
    std::sort(names.begin(), names.end());

    std::vector<uint8_t> archive(HKCA_SIGNATURE, HKCA_SIGNATURE + HKCA_SIGNATURE_SIZE);
    archive.push_back(HKCA_VERSION & 0xff);
    archive.push_back(HKCA_VERSION >> 8);
    std::vector<uint8_t> data, stream;
    std::vector<uint32_t> work;
    for (const std::string& name : names) {
        std::string path = std::string(dir) + "/" + name;
        if (name.size() > HKCA_MAX_NAME)
            return complain("name \"%s\" is longer than the archive allows (%d bytes)", name.c_str(),
                            HKCA_MAX_NAME);
        if (!read_whole_file(path.c_str(), &data))
            return complain("cannot read \"%s\": %s", path.c_str(), strerror(errno));
        if (data.empty())
            return complain("refusing to pack empty file \"%s\": a member of zero bytes cannot be read back",
                            path.c_str());
        if (data.size() > MAX_MEMBER_SIZE)
            return complain("file \"%s\" is too large for an archive member", path.c_str());
        uint32_t n = (uint32_t)data.size();
        stream.resize(LZ_ENCODE_BOUND(n));
        uint32_t written;
        if (best) {
            written = lz_encode(data.data(), stream.data(), n);
        } else {
            work.resize(LZ_FAST_WORK_ENTRIES(n));
            written = lz_encode_fast(data.data(), stream.data(), n, work.data());
        }
        archive.insert(archive.end(), name.begin(), name.end());
        archive.push_back(0);
        put_u32(&archive, n);
        put_u32(&archive, written);
        archive.insert(archive.end(), stream.begin(), stream.begin() + written);
    }

    // Written beside the target and renamed, so a failed run never leaves a
    // half-written archive where the game or the build would pick it up.
    std::string temp = std::string(archive_path) + ".part";
    FILE* f = fopen(temp.c_str(), "wb");
    if (!f)
        return complain("cannot create \"%s\": %s", temp.c_str(), strerror(errno));
    bool ok = fwrite(archive.data(), 1, archive.size(), f) == archive.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(temp.c_str(), archive_path) != 0) {
        remove(temp.c_str());
        return complain("cannot write \"%s\": %s", archive_path, strerror(errno));
    }
    printf("packed %zu members into %s (%zu bytes)\n", names.size(), archive_path, archive.size());
    return 0;
}

static int list(const char* archive_path)
{
    std::vector<uint8_t> a;
    std::vector<Member> members;
    if (!load_archive(archive_path, &a, &members))
        return 1;
    printf("%-40s %12s %12s %7s\n", "name", "size", "stored", "ratio");
    uint64_t total_in = 0, total_out = 0;
    for (const Member& m : members) {
        double ratio = m.uncompressed ? 100.0 * m.compressed / m.uncompressed : 0.0;
        printf("%-40s %12u %12u %6.1f%%\n", m.name.c_str(), m.uncompressed, m.compressed, ratio);
        total_in += m.uncompressed;
        total_out += m.compressed;
    }
    printf("%zu members, %llu bytes stored as %llu\n", members.size(), (unsigned long long)total_in,
           (unsigned long long)total_out);
    return 0;
}

static int extract(const char* archive_path, const char* name, const char* out_path)
{
    std::vector<uint8_t> a;
    std::vector<Member> members;
    if (!load_archive(archive_path, &a, &members))
        return 1;
    // The first record of a name is the one the game reads.
    for (const Member& m : members) {
        if (m.name != name)
            continue;
        std::vector<uint8_t> data;
        std::string why;
        if (!decode_member(a, m, &data, &why))
            return complain("member \"%s\" %s", name, why.c_str());
        if (!out_path) {
            out_path = strrchr(name, '/') ? strrchr(name, '/') + 1 : name;
            if (!*out_path)
                return complain("member \"%s\" has no file name; give OUT", name);
        }
        FILE* f = fopen(out_path, "wb");
        if (!f)
            return complain("cannot create \"%s\": %s", out_path, strerror(errno));
        bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
        ok = (fclose(f) == 0) && ok;
        if (!ok)
            return complain("cannot write \"%s\": %s", out_path, strerror(errno));
        return 0;
    }
    return complain("no member \"%s\" in \"%s\"", name, archive_path);
}

static int verify(const char* archive_path)
{
    std::vector<uint8_t> a;
    std::vector<Member> members;
    if (!load_archive(archive_path, &a, &members))
        return 1;
    int faults = 0;
    std::vector<uint8_t> data;
    for (size_t i = 0; i < members.size(); i++) {
        const Member& m = members[i];
        std::string why;
        if (!decode_member(a, m, &data, &why)) {
            complain("member \"%s\" %s", m.name.c_str(), why.c_str());
            faults++;
        }
        for (size_t j = 0; j < i; j++) {
            if (members[j].name == m.name) {
                complain("member \"%s\" is stored twice; the second can never be read", m.name.c_str());
                faults++;
                break;
            }
        }
    }
    if (faults) {
        fprintf(stderr, "hkca: %s: %d fault(s) in %zu members\n", archive_path, faults, members.size());
        return 1;
    }
    printf("%s: %zu members ok\n", archive_path, members.size());
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 2 && (!strcmp(argv[1], "-h") || !strcmp(argv[1], "--help") || !strcmp(argv[1], "help"))) {
        usage();
        return 0;
    }
    if (argc >= 4 && argc <= 5 && !strcmp(argv[1], "pack")) {
        bool best = false;
        if (argc == 5) {
            if (strcmp(argv[4], "--best") != 0) {
                usage();
                return EXIT_USAGE;
            }
            best = true;
        }
        return pack(argv[2], argv[3], best);
    }
    if (argc == 3 && !strcmp(argv[1], "list"))
        return list(argv[2]);
    if ((argc == 4 || argc == 5) && !strcmp(argv[1], "extract"))
        return extract(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (argc == 3 && !strcmp(argv[1], "verify"))
        return verify(argv[2]);
    usage();
    return EXIT_USAGE;
}
