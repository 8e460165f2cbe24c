#include "util/archive.h"

#include <cstdlib>
#include <cstring>

#include "util/codec.h"
#include "util/errors.h"

static const char* const TAG = "hkca_uncompress()";

// What one call holds; released before every fatal_error so that a
// replaced fatal_error that does not end the process (the fuzzer's) leaks
// nothing.
struct Reading {
    FILE* file;
    uint8_t* stream;
    uint8_t* result;
};

static void release(Reading* r)
{
    if (r->file) fclose(r->file);
    free(r->stream);
    free(r->result);
    r->file = nullptr;
    r->stream = r->result = nullptr;
}

[[noreturn]] static void fail(Reading* r, const char* format, const char* path)
{
    release(r);
    fatal_error(TAG, format, path);
}

static const char* const CUT_OFF = "Unexpected end of file \"%s\"";
static const char* const INVALID = "Invalid format of file \"%s\"";

static uint32_t read_u32(Reading* r, const char* path)
{
    uint8_t b[4];
    if (fread(b, 1, 4, r->file) != 4)
        fail(r, CUT_OFF, path);
    return (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
}

int file_exists(const char* path)
{
    FILE* f = fopen(path, "r");
    if (!f)
        return 0;
    fclose(f);
    return 1;
}

int32_t file_size(FILE* stream)
{
    long here = ftell(stream);
    fseek(stream, 0, SEEK_END);
    long size = ftell(stream);
    fseek(stream, here, SEEK_SET);
    return (int32_t)size;
}

uint8_t* hkca_uncompress(const char* archive_path, const char* member_name, uint32_t* out_size)
{
    Reading r = {nullptr, nullptr, nullptr};
    if (!file_exists(archive_path))
        fatal_error(TAG, "File \"%s\" not found", archive_path);
    r.file = fopen(archive_path, "rb");
    if (!r.file)
        fatal_error(TAG, "Unable to access file \"%s\"", archive_path);

    uint8_t signature[HKCA_SIGNATURE_SIZE];
    if (fread(signature, 1, sizeof signature, r.file) != sizeof signature)
        fail(&r, CUT_OFF, archive_path);
    if (memcmp(signature, HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE) != 0)
        fail(&r, INVALID, archive_path);
    uint8_t version[2];
    if (fread(version, 1, 2, r.file) != 2)
        fail(&r, CUT_OFF, archive_path);
    if ((version[0] | version[1] << 8) != HKCA_VERSION)
        fail(&r, "Version mismatch in file \"%s\"", archive_path);

    int64_t size = file_size(r.file);
    int64_t position = HKCA_HEADER_SIZE;
    uint32_t compressed = 0;
    for (;;) {
        if (position >= size) {
            release(&r);
            return nullptr;
        }
        char name[HKCA_MAX_NAME + 1];
        size_t length = 0;
        for (;;) {
            int c = fgetc(r.file);
            if (c == EOF)
                fail(&r, CUT_OFF, archive_path);
            if (length == HKCA_MAX_NAME && c != 0)
                fail(&r, INVALID, archive_path);
            name[length++] = (char)c;
            if (c == 0)
                break;
        }
        *out_size = read_u32(&r, archive_path);
        compressed = read_u32(&r, archive_path);
        position += (int64_t)length + HKCA_RECORD_SIZES;
        if (strcmp(name, member_name) == 0)
            break;
        // A record whose data runs past the end is taken as the end of the
        // archive: only the member actually wanted must be complete.
        position += compressed;
        if (position >= size) {
            release(&r);
            return nullptr;
        }
        if (fseek(r.file, (long)position, SEEK_SET) != 0)
            fail(&r, CUT_OFF, archive_path);
    }

    // An empty stream cannot be read back, so it counts as cut off.
    if (compressed == 0 || (int64_t)compressed > size - position)
        fail(&r, CUT_OFF, archive_path);
    if ((uint64_t)*out_size > (uint64_t)compressed * HKCA_MAX_EXPANSION)
        fail(&r, INVALID, archive_path);
    r.stream = (uint8_t*)malloc(compressed);
    if (!r.stream) {
        release(&r);
        fatal_error(TAG, "Failed allocating memory for compressed data");
    }
    if (fread(r.stream, compressed, 1, r.file) != 1)
        fail(&r, CUT_OFF, archive_path);
    // One spare byte keeps malloc from answering null for an empty member.
    r.result = (uint8_t*)malloc((size_t)*out_size + 1);
    if (!r.result) {
        release(&r);
        fatal_error(TAG, "Failed allocating memory for uncompressed data");
    }
    if (lz_decode(r.stream, r.result, compressed, *out_size) != (int64_t)*out_size)
        fail(&r, INVALID, archive_path);

    uint8_t* result = r.result;
    r.result = nullptr;
    release(&r);
    return result;
}
