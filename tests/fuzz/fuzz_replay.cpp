// The replay reader on arbitrary file images: it must stay inside its input,
// refuse with a reason or accept, and what it accepts must read token by
// token to exactly the declared counts and survive being written again.
// Every input is also tried with its file checksum made right, since
// otherwise almost every mutation would stop at the checksum and the
// checks behind it would never be reached.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/replay_file.h"

// Accepted replays with more unpacked input than this are not written
// again: a few KB of file can legitimately unpack to megabytes.
#define REENCODE_LIMIT (1u << 20)

static void same_replay(const Replay& a, const Replay& b)
{
    if (memcmp(&a.header, &b.header, sizeof a.header) != 0 || memcmp(&a.result, &b.result, sizeof a.result) != 0 ||
        a.checksum_count != b.checksum_count || a.stream_size != b.stream_size ||
        memcmp(a.checksums, b.checksums, 8ull * a.checksum_count) != 0 ||
        memcmp(a.stream, b.stream, a.stream_size) != 0)
        abort();
}

static void check(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so the sanitizer sees any read past the end.
    uint8_t* in = (uint8_t*)malloc(size ? size : 1);
    memcpy(in, data, size);
    Replay r;
    char reason[160] = "";
    int result = decode_replay(in, size, &r, reason, sizeof reason);
    free(in);
    if (result != REPLAY_OK) {
        if (result < REPLAY_UNREADABLE || result > REPLAY_DAMAGED || reason[0] == 0)
            abort();
        free_replay(&r);
        return;
    }

    if (r.header.tile_loops > REPLAY_MAX_TILE_LOOPS || r.checksum_count != r.result.ticks / REPLAY_CHECK_TICKS)
        abort();
    ReplayCoder coder;
    start_replay_coder(&coder, r.header.pointer_x, r.header.pointer_y);
    ReplayToken t;
    size_t pos = 0;
    uint32_t ticks = 0, frames = 0;
    int got;
    while ((got = get_replay_token(r.stream, r.stream_size, &pos, &coder, &t)) == 1) {
        ticks += t.type == REPLAY_TICK;
        frames += t.type == REPLAY_FRAME;
        if (t.type == REPLAY_FRAME && !(std::isfinite(t.frame_factor) && t.frame_factor >= 0.0f &&
                                        t.frame_factor <= REPLAY_MAX_FRAME_FACTOR))
            abort();
        if (t.pointer_x < REPLAY_POINTER_MIN || t.pointer_x > REPLAY_POINTER_MAX ||
            t.pointer_y < REPLAY_POINTER_MIN || t.pointer_y > REPLAY_POINTER_MAX)
            abort();
    }
    if (got != 0 || pos != r.stream_size || ticks != r.result.ticks || frames != r.result.frames)
        abort();

    if (r.stream_size <= REENCODE_LIMIT) {
        size_t again_size = 0;
        uint8_t* again = encode_replay(&r, &again_size);
        Replay back;
        if (!again || decode_replay(again, again_size, &back, reason, sizeof reason) != REPLAY_OK)
            abort();
        same_replay(r, back);
        free_replay(&back);
        free(again);
    }
    free_replay(&r);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check(data, size);
    if (size >= 8) {
        uint8_t* fixed = (uint8_t*)malloc(size);
        memcpy(fixed, data, size);
        uint64_t h = replay_hash(REPLAY_HASH_START, fixed, size - 8);
        for (int i = 0; i < 8; i++)
            fixed[size - 8 + i] = (uint8_t)(h >> (8 * i));
        check(fixed, size);
        free(fixed);
    }
    return 0;
}
