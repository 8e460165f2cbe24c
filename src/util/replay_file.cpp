// Replay files: token coding, the file image and its checks, atomic writes.
#include "util/replay_file.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "util/archive.h"
#include "util/codec.h"

// Token bytes.
#define TOKEN_TICK_STILL 0x00
#define TOKEN_TICK_NIBBLES 0x01
#define TOKEN_TICK_MOVED 0x02
#define TOKEN_EVENT 0x40 // + REPLAY_EVENT_*
#define TOKEN_HELD 0x80
#define TOKEN_FRAME 0xC0 // + slot
#define TOKEN_FRAME_NEW 0xFF

// Fixed part of the header, up to and including the tile loop count, and
// the trailer.
#define HEADER_FIXED_SIZE 77
#define TRAILER_SIZE (1 + 1 + 4 * 4 + 4 + 4)
#define FILE_HASH_SIZE 8

uint64_t replay_hash(uint64_t h, const void* data, size_t n)
{
    const uint8_t* p = (const uint8_t*)data;
    for (size_t i = 0; i < n; i++) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

void start_replay_coder(ReplayCoder* coder, int pointer_x, int pointer_y)
{
    memset(coder, 0, sizeof *coder);
    coder->pointer_x = pointer_x;
    coder->pointer_y = pointer_y;
}

// ------------------------------------------------------------------ writing

void put_replay_bytes(ReplayBuffer* buffer, const void* data, size_t n)
{
    if (buffer->full)
        return;
    if (buffer->size + n > buffer->capacity) {
        size_t capacity = buffer->capacity ? buffer->capacity : 4096;
        while (capacity < buffer->size + n)
            capacity *= 2;
        if (capacity > REPLAY_MAX_STREAM)
            capacity = REPLAY_MAX_STREAM;
        uint8_t* grown = buffer->size + n <= capacity ? (uint8_t*)realloc(buffer->bytes, capacity) : nullptr;
        if (!grown) {
            buffer->full = 1;
            return;
        }
        buffer->bytes = grown;
        buffer->capacity = capacity;
    }
    memcpy(buffer->bytes + buffer->size, data, n);
    buffer->size += n;
}

void free_replay_buffer(ReplayBuffer* buffer)
{
    free(buffer->bytes);
    memset(buffer, 0, sizeof *buffer);
}

static void put_byte(ReplayBuffer* buffer, uint8_t b)
{
    put_replay_bytes(buffer, &b, 1);
}

static void put_varint_to(ReplayBuffer* buffer, uint32_t value)
{
    uint8_t bytes[LZ_MAX_VARINT_BYTES];
    put_replay_bytes(buffer, bytes, (size_t)put_varint(value, bytes));
}

static uint32_t zigzag(int v)
{
    return ((uint32_t)v << 1) ^ (uint32_t)(v < 0 ? -1 : 0);
}

static int unzigzag(uint32_t z)
{
    return (z & 1) ? -(int)(z >> 1) - 1 : (int)(z >> 1);
}

static uint32_t float_bits(float f)
{
    uint32_t u;
    memcpy(&u, &f, 4);
    return u;
}

static float bits_float(uint32_t u)
{
    float f;
    memcpy(&f, &u, 4);
    return f;
}

static void put_le(uint8_t* p, uint64_t v, int n)
{
    for (int i = 0; i < n; i++)
        p[i] = (uint8_t)(v >> (8 * i));
}

static uint64_t get_le(const uint8_t* p, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; i++)
        v |= (uint64_t)p[i] << (8 * i);
    return v;
}

// Slot of a factor met before (compared bit for bit), or -1.
static int factor_slot(const ReplayCoder* coder, float f)
{
    for (int i = 0; i < coder->factor_count; i++)
        if (float_bits(coder->factors[i]) == float_bits(f))
            return i;
    return -1;
}

static void remember_factor(ReplayCoder* coder, float f)
{
    if (coder->factor_count < REPLAY_FACTOR_SLOTS)
        coder->factors[coder->factor_count++] = f;
}

void put_replay_frame(ReplayBuffer* buffer, ReplayCoder* coder, float frame_factor)
{
    int slot = factor_slot(coder, frame_factor);
    if (slot >= 0) {
        put_byte(buffer, (uint8_t)(TOKEN_FRAME + slot));
        return;
    }
    uint8_t bytes[5] = {TOKEN_FRAME_NEW};
    put_le(bytes + 1, float_bits(frame_factor), 4);
    put_replay_bytes(buffer, bytes, sizeof bytes);
    remember_factor(coder, frame_factor);
}

static int clamp_pointer(int v)
{
    return v < REPLAY_POINTER_MIN ? REPLAY_POINTER_MIN : v > REPLAY_POINTER_MAX ? REPLAY_POINTER_MAX : v;
}

void put_replay_tick(ReplayBuffer* buffer, ReplayCoder* coder, int pointer_x, int pointer_y)
{
    int x = clamp_pointer(pointer_x), y = clamp_pointer(pointer_y);
    int dx = x - coder->pointer_x, dy = y - coder->pointer_y;
    coder->pointer_x = x;
    coder->pointer_y = y;
    if (dx == 0 && dy == 0) {
        put_byte(buffer, TOKEN_TICK_STILL);
    } else if (dx >= -8 && dx <= 7 && dy >= -8 && dy <= 7) {
        uint8_t bytes[2] = {TOKEN_TICK_NIBBLES, (uint8_t)((dx & 15) | (dy & 15) << 4)};
        put_replay_bytes(buffer, bytes, sizeof bytes);
    } else {
        put_byte(buffer, TOKEN_TICK_MOVED);
        put_varint_to(buffer, zigzag(dx));
        put_varint_to(buffer, zigzag(dy));
    }
}

void put_replay_event(ReplayBuffer* buffer, const ReplayEvent* event)
{
    put_byte(buffer, (uint8_t)(TOKEN_EVENT + event->kind));
    if (event->kind == REPLAY_EVENT_KEY || event->kind == REPLAY_EVENT_KEY_ALT) {
        put_varint_to(buffer, event->sym);
        put_varint_to(buffer, event->unicode);
    }
}

void put_replay_held(ReplayBuffer* buffer, ReplayCoder* coder, uint8_t held)
{
    if (held == coder->held)
        return;
    coder->held = held;
    uint8_t bytes[2] = {TOKEN_HELD, held};
    put_replay_bytes(buffer, bytes, sizeof bytes);
}

// ------------------------------------------------------------------ reading

static int read_varint(const uint8_t* stream, size_t size, size_t* pos, uint32_t* value)
{
    int n = get_varint(value, stream + *pos, size - *pos);
    *pos += (size_t)n;
    return n > 0;
}

static int nibble(int n)
{
    return n >= 8 ? n - 16 : n;
}

static int move_pointer(ReplayCoder* coder, int dx, int dy)
{
    long x = (long)coder->pointer_x + dx, y = (long)coder->pointer_y + dy;
    if (x < REPLAY_POINTER_MIN || x > REPLAY_POINTER_MAX || y < REPLAY_POINTER_MIN || y > REPLAY_POINTER_MAX)
        return 0;
    coder->pointer_x = (int)x;
    coder->pointer_y = (int)y;
    return 1;
}

static int read_tick(uint8_t b, const uint8_t* stream, size_t size, size_t* pos, ReplayCoder* coder)
{
    if (b == TOKEN_TICK_STILL)
        return 1;
    if (b == TOKEN_TICK_NIBBLES) {
        if (*pos >= size)
            return 0;
        uint8_t d = stream[(*pos)++];
        return move_pointer(coder, nibble(d & 15), nibble(d >> 4));
    }
    uint32_t zx, zy;
    if (b != TOKEN_TICK_MOVED || !read_varint(stream, size, pos, &zx) || !read_varint(stream, size, pos, &zy))
        return 0;
    // A delta that moves the pointer out of 16 bits is no pointer's.
    if (zx > 2u * 65536 || zy > 2u * 65536)
        return 0;
    return move_pointer(coder, unzigzag(zx), unzigzag(zy));
}

static int read_event(uint8_t b, const uint8_t* stream, size_t size, size_t* pos, ReplayEvent* event)
{
    memset(event, 0, sizeof *event);
    event->kind = (uint8_t)(b - TOKEN_EVENT);
    if (event->kind == REPLAY_EVENT_QUIT || event->kind == REPLAY_EVENT_CLICK)
        return 1;
    if (event->kind != REPLAY_EVENT_KEY && event->kind != REPLAY_EVENT_KEY_ALT)
        return 0;
    uint32_t sym, unicode;
    if (!read_varint(stream, size, pos, &sym) || !read_varint(stream, size, pos, &unicode) ||
        sym > 0xFFFF || unicode > 0xFFFF)
        return 0;
    event->sym = (uint16_t)sym;
    event->unicode = (uint16_t)unicode;
    return 1;
}

static int read_frame(uint8_t b, const uint8_t* stream, size_t size, size_t* pos, ReplayCoder* coder, float* f)
{
    if (b != TOKEN_FRAME_NEW) {
        int slot = b - TOKEN_FRAME;
        if (slot >= coder->factor_count)
            return 0;
        *f = coder->factors[slot];
        return 1;
    }
    if (size - *pos < 4)
        return 0;
    *f = bits_float((uint32_t)get_le(stream + *pos, 4));
    *pos += 4;
    // No clock measures a frame like these; playing one would stall.
    if (!std::isfinite(*f) || *f < 0.0f || *f > REPLAY_MAX_FRAME_FACTOR || factor_slot(coder, *f) >= 0)
        return 0;
    remember_factor(coder, *f);
    return 1;
}

int get_replay_token(const uint8_t* stream, size_t size, size_t* pos, ReplayCoder* coder,
                     ReplayToken* token)
{
    if (*pos >= size)
        return 0;
    memset(token, 0, sizeof *token);
    uint8_t b = stream[(*pos)++];
    int ok = 0;
    switch (b >> 6) {
    case 0:
        token->type = REPLAY_TICK;
        ok = read_tick(b, stream, size, pos, coder);
        token->pointer_x = coder->pointer_x;
        token->pointer_y = coder->pointer_y;
        break;
    case 1:
        token->type = REPLAY_EVENT;
        ok = read_event(b, stream, size, pos, &token->event);
        break;
    case 2:
        token->type = REPLAY_HELD;
        ok = b == TOKEN_HELD && *pos < size;
        if (ok)
            coder->held = token->held = stream[(*pos)++];
        break;
    default:
        token->type = REPLAY_FRAME;
        ok = read_frame(b, stream, size, pos, coder, &token->frame_factor);
        break;
    }
    return ok ? 1 : -1;
}

// ------------------------------------------------------------- file image

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
