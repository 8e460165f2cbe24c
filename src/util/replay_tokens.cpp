// Replay files, the input stream: token coding in both directions.
#include "util/replay_file.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "util/codec.h"
#include "util/replay_bytes.h"

// Token bytes.
#define TOKEN_TICK_STILL 0x00
#define TOKEN_TICK_NIBBLES 0x01
#define TOKEN_TICK_MOVED 0x02
#define TOKEN_EVENT 0x40 // + REPLAY_EVENT_*
#define TOKEN_HELD 0x80
#define TOKEN_FRAME 0xC0 // + slot
#define TOKEN_FRAME_NEW 0xFF

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
