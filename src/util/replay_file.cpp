// Replay files: the file image and its checks, reading and atomic writing.
// The input stream's tokens are coded in replay_tokens.cpp.
#include "util/replay_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "util/archive.h"
#include "util/codec.h"
#include "util/replay_bytes.h"

// Fixed part of the header, up to and including the tile loop count, and
// the trailer.
#define HEADER_FIXED_SIZE 77
#define TRAILER_SIZE (1 + 1 + 4 * 4 + 4 + 4)
#define FILE_HASH_SIZE 8

static void put_header(ReplayBuffer* out, const ReplayHeader* h)
{
    uint8_t b[HEADER_FIXED_SIZE];
    memcpy(b, REPLAY_SIGNATURE, REPLAY_SIGNATURE_SIZE);
    put_le(b + 32, REPLAY_FORMAT_VERSION, 2);
    put_le(b + 34, h->game_version, 2);
    put_le(b + 36, h->assets_checksum, 8);
    put_le(b + 44, h->seed, 4);
    b[48] = h->settings;
    put_le(b + 49, (uint16_t)h->pointer_x, 2);
    put_le(b + 51, (uint16_t)h->pointer_y, 2);
    b[53] = h->prompt_hidden;
    put_le(b + 54, float_bits(h->prompt_timer), 4);
    b[58] = (uint8_t)h->jitter_x;
    b[59] = (uint8_t)h->jitter_y;
    put_le(b + 60, float_bits(h->jitter_timer), 4);
    put_le(b + 64, (uint32_t)h->last_laugh, 4);
    put_le(b + 68, float_bits(h->tick_accumulator), 4);
    put_le(b + 72, float_bits(h->frame_factor), 4);
    b[76] = (uint8_t)h->tile_loops;
    put_replay_bytes(out, b, sizeof b);
    for (int i = 0; i < h->tile_loops; i++) {
        uint8_t loop[5] = {h->tile_frame[i]};
        put_le(loop + 1, float_bits(h->tile_timer[i]), 4);
        put_replay_bytes(out, loop, sizeof loop);
    }
}

uint8_t* encode_replay(const Replay* replay, size_t* size)
{
    ReplayBuffer out = {};
    put_header(&out, &replay->header);
    uint8_t b[8];
    put_le(b, replay->checksum_count, 4);
    put_replay_bytes(&out, b, 4);
    for (uint32_t i = 0; i < replay->checksum_count; i++) {
        put_le(b, replay->checksums[i], 8);
        put_replay_bytes(&out, b, 8);
    }

    uint32_t n = replay->stream_size;
    uint8_t* packed = (uint8_t*)malloc(LZ_ENCODE_BOUND(n));
    uint32_t* work = (uint32_t*)malloc(LZ_FAST_WORK_ENTRIES(n) * sizeof(uint32_t));
    uint32_t packed_size = packed && work ? lz_encode_fast(replay->stream, packed, n, work) : 0;
    free(work);
    put_le(b, n, 4);
    put_replay_bytes(&out, b, 4);
    put_le(b, packed_size, 4);
    put_replay_bytes(&out, b, 4);
    if (packed)
        put_replay_bytes(&out, packed, packed_size);
    out.full |= !packed || (n > 0 && packed_size == 0);
    free(packed);

    const ReplayResult* r = &replay->result;
    uint8_t t[TRAILER_SIZE] = {r->end, (uint8_t)r->left_to};
    put_le(t + 2, (uint32_t)r->score, 4);
    put_le(t + 6, (uint32_t)r->civilian_kills, 4);
    put_le(t + 10, (uint32_t)r->armed_kills, 4);
    put_le(t + 14, (uint32_t)r->seconds, 4);
    put_le(t + 18, r->ticks, 4);
    put_le(t + 22, r->frames, 4);
    put_replay_bytes(&out, t, sizeof t);
    put_le(b, out.full ? 0 : replay_hash(REPLAY_HASH_START, out.bytes, out.size), 8);
    put_replay_bytes(&out, b, 8);
    if (out.full || out.size > REPLAY_MAX_FILE_SIZE) {
        free_replay_buffer(&out);
        return nullptr;
    }
    *size = out.size;
    return out.bytes;
}

static int refuse(int code, char* reason, size_t reason_size, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

static int refuse(int code, char* reason, size_t reason_size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(reason, reason_size, format, args);
    va_end(args);
    return code;
}

// Walks the stream once: every token valid, events and keys only inside a
// tick (keys last), and the counts the trailer declares.
static int check_stream(const Replay* r)
{
    ReplayCoder coder;
    start_replay_coder(&coder, r->header.pointer_x, r->header.pointer_y);
    ReplayToken token;
    size_t pos = 0;
    uint32_t ticks = 0, frames = 0;
    int in_tick = 0, held_read = 0, got;
    while ((got = get_replay_token(r->stream, r->stream_size, &pos, &coder, &token)) > 0) {
        switch (token.type) {
        case REPLAY_FRAME:
            frames++;
            in_tick = 0;
            break;
        case REPLAY_TICK:
            ticks++;
            in_tick = 1;
            held_read = 0;
            break;
        default:
            if (!in_tick || held_read)
                return 0;
            held_read = token.type == REPLAY_HELD;
            break;
        }
    }
    return got == 0 && ticks == r->result.ticks && frames == r->result.frames &&
           r->checksum_count == ticks / REPLAY_CHECK_TICKS;
}

int decode_replay(const uint8_t* d, size_t size, Replay* out, char* reason, size_t reason_size)
{
    memset(out, 0, sizeof *out);
    size_t sig = size < REPLAY_SIGNATURE_SIZE ? size : REPLAY_SIGNATURE_SIZE;
    if (memcmp(d, REPLAY_SIGNATURE, sig) != 0)
        return refuse(REPLAY_FOREIGN, reason, reason_size, "is not a replay file");
    if (size < REPLAY_SIGNATURE_SIZE + 2)
        return refuse(REPLAY_CUT, reason, reason_size, "is cut short (%zu bytes)", size);
    unsigned version = (unsigned)get_le(d + REPLAY_SIGNATURE_SIZE, 2);
    if (version > REPLAY_FORMAT_VERSION)
        return refuse(REPLAY_NEWER, reason, reason_size,
                      "was recorded by a newer version of the game (replay format %u)", version);
    if (version != REPLAY_FORMAT_VERSION)
        return refuse(REPLAY_FOREIGN, reason, reason_size, "has an unknown replay format %u", version);

    // Where each part starts, every step checked against the size first.
    uint64_t need = HEADER_FIXED_SIZE;
    int loops = size >= need ? d[HEADER_FIXED_SIZE - 1] : 0;
    uint64_t checksums_at = need + 5ull * (unsigned)loops;
    need = checksums_at + 4;
    uint32_t count = size >= need ? (uint32_t)get_le(d + checksums_at, 4) : 0;
    uint64_t sizes_at = need + 8ull * count;
    need = sizes_at + 8;
    uint32_t unpacked = size >= need ? (uint32_t)get_le(d + sizes_at, 4) : 0;
    uint32_t packed = size >= need ? (uint32_t)get_le(d + sizes_at + 4, 4) : 0;
    uint64_t trailer_at = need + packed;
    need = trailer_at + TRAILER_SIZE + FILE_HASH_SIZE;
    if (size < need)
        return refuse(REPLAY_CUT, reason, reason_size, "is cut short (%zu bytes)", size);
    if (size > need)
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (longer than its contents)");
    if (replay_hash(REPLAY_HASH_START, d, size - FILE_HASH_SIZE) != get_le(d + size - FILE_HASH_SIZE, 8))
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (its checksum does not match)");
    if (loops > REPLAY_MAX_TILE_LOOPS || unpacked > REPLAY_MAX_STREAM ||
        (uint64_t)unpacked > (uint64_t)packed * HKCA_MAX_EXPANSION)
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (a size is out of range)");

    ReplayHeader* h = &out->header;
    h->game_version = (uint16_t)get_le(d + 34, 2);
    h->assets_checksum = get_le(d + 36, 8);
    h->seed = (uint32_t)get_le(d + 44, 4);
    h->settings = d[48];
    h->pointer_x = (int16_t)get_le(d + 49, 2);
    h->pointer_y = (int16_t)get_le(d + 51, 2);
    h->prompt_hidden = d[53];
    h->prompt_timer = bits_float((uint32_t)get_le(d + 54, 4));
    h->jitter_x = (int8_t)d[58];
    h->jitter_y = (int8_t)d[59];
    h->jitter_timer = bits_float((uint32_t)get_le(d + 60, 4));
    h->last_laugh = (int32_t)get_le(d + 64, 4);
    h->tick_accumulator = bits_float((uint32_t)get_le(d + 68, 4));
    h->frame_factor = bits_float((uint32_t)get_le(d + 72, 4));
    h->tile_loops = loops;
    for (int i = 0; i < loops; i++) {
        h->tile_frame[i] = d[HEADER_FIXED_SIZE + 5 * i];
        h->tile_timer[i] = bits_float((uint32_t)get_le(d + HEADER_FIXED_SIZE + 1 + 5 * i, 4));
    }
    const uint8_t* t = d + trailer_at;
    ReplayResult* r = &out->result;
    r->end = t[0];
    r->left_to = (int8_t)t[1];
    r->score = (int32_t)get_le(t + 2, 4);
    r->civilian_kills = (int32_t)get_le(t + 6, 4);
    r->armed_kills = (int32_t)get_le(t + 10, 4);
    r->seconds = (int32_t)get_le(t + 14, 4);
    r->ticks = (uint32_t)get_le(t + 18, 4);
    r->frames = (uint32_t)get_le(t + 22, 4);
    if (r->end < REPLAY_END_PSYCHOSIS || r->end > REPLAY_END_QUIT)
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (unknown end of run %d)", r->end);

    out->checksums = (uint64_t*)malloc(count ? count * sizeof(uint64_t) : 1);
    out->stream = (uint8_t*)malloc(unpacked ? unpacked : 1);
    if (!out->checksums || !out->stream)
        return refuse(REPLAY_UNREADABLE, reason, reason_size, "cannot be loaded (no memory)");
    out->checksum_count = count;
    for (uint32_t i = 0; i < count; i++)
        out->checksums[i] = get_le(d + checksums_at + 4 + 8ull * i, 8);
    out->stream_size = unpacked;
    if (lz_decode(d + sizes_at + 8, out->stream, packed, unpacked) != (int64_t)unpacked)
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (its input does not unpack)");
    if (!check_stream(out))
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is damaged (its input does not read)");
    return REPLAY_OK;
}

int read_replay(const char* path, Replay* out, char* reason, size_t reason_size)
{
    memset(out, 0, sizeof *out);
    FILE* f = fopen(path, "rb");
    if (!f) {
        return errno == ENOENT ? refuse(REPLAY_MISSING, reason, reason_size, "does not exist")
                               : refuse(REPLAY_UNREADABLE, reason, reason_size, "cannot be opened");
    }
    long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    rewind(f);
    if (size < 0 || (unsigned long)size > REPLAY_MAX_FILE_SIZE) {
        fclose(f);
        return refuse(REPLAY_DAMAGED, reason, reason_size, "is too large for a replay");
    }
    uint8_t* data = (uint8_t*)malloc(size ? (size_t)size : 1);
    size_t got = data ? fread(data, 1, (size_t)size, f) : 0;
    int failed = !data || ferror(f);
    fclose(f);
    int result = failed ? refuse(REPLAY_UNREADABLE, reason, reason_size, "cannot be read")
                        : decode_replay(data, got, out, reason, reason_size);
    free(data);
    return result;
}

void free_replay(Replay* replay)
{
    free(replay->checksums);
    free(replay->stream);
    replay->checksums = nullptr;
    replay->stream = nullptr;
}

// Every step is checked: a short write or a failed flush, sync or close may
// leave the temporary file incomplete, and it must never replace the old one.
int write_file_atomically(const char* path, const uint8_t* data, size_t size)
{
    char temp[1024];
    if (snprintf(temp, sizeof temp, "%s.tmp", path) >= (int)sizeof temp)
        return 0;
    FILE* f = fopen(temp, "wb");
    if (!f)
        return 0;
    bool ok = fwrite(data, 1, size, f) == size;
    ok = ok && fflush(f) == 0;
    ok = ok && fsync(fileno(f)) == 0;
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(temp, path) != 0) {
        remove(temp);
        return 0;
    }
    return 1;
}
