#include "util/codec.h"

#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "util/errors.h"

// Chain link meaning "no earlier position".
static const uint32_t EMPTY_LINK = 0xffffffffu;

// lz_encode's chains: positions with the same hash of their first four
// bytes, since only a match of LZ_MIN_MATCH bytes can ever be written.
static const int BEST_HASH_BITS = 16;

// Below these offsets a back-reference of 4, 5, 6 and 7 bytes is shorter than
// the literals it replaces (its offset varint is 1, 2, 3 or 4 bytes long).
static const uint32_t OFFSET_LIMIT_FOR_LENGTH_4 = 128;
static const uint32_t OFFSET_LIMIT_FOR_LENGTH_5 = 16384;
static const uint32_t OFFSET_LIMIT_FOR_LENGTH_6 = 2097152;
static const uint32_t OFFSET_MAX_FOR_LENGTH_7 = 268435455;
static const uint32_t ALWAYS_WORTH_LENGTH = 8;

// Inputs of at most this many bytes left are written as literals.
static const uint32_t LITERAL_TAIL = 3;

int get_varint(uint32_t* value, const uint8_t* bytes, size_t avail)
{
    uint32_t v = 0;
    for (int i = 0; i < LZ_MAX_VARINT_BYTES; i++) {
        if ((size_t)i >= avail)
            return 0;
        // A fifth group may add only the four bits a 32-bit value has left.
        if (v > (0xffffffffu >> 7))
            return 0;
        uint8_t b = bytes[i];
        v = (v << 7) | (b & 0x7f);
        if (!(b & 0x80)) {
            *value = v;
            return i + 1;
        }
    }
    return 0;
}

int put_varint(uint32_t value, uint8_t* bytes)
{
    int count = 1;
    for (uint32_t rest = value >> 7; rest; rest >>= 7)
        count++;
    for (int j = 0; j < count; j++) {
        uint8_t group = (uint8_t)((value >> (7 * (count - 1 - j))) & 0x7f);
        bytes[j] = group | (j < count - 1 ? 0x80 : 0);
    }
    return count;
}

uint32_t match_length(const uint8_t* a, const uint8_t* b, uint32_t min, uint32_t max)
{
    uint32_t i = min;
    // Eight bytes at a time; the first differing byte is found from the
    // lowest set bit of the difference (the machine is little-endian).
    while (i + 8 <= max) {
        uint64_t x, y;
        memcpy(&x, a + i, 8);
        memcpy(&y, b + i, 8);
        uint64_t diff = x ^ y;
        if (diff)
            return i + (uint32_t)(__builtin_ctzll(diff) >> 3);
        i += 8;
    }
    while (i < max && a[i] == b[i])
        i++;
    return i;
}

// The rarest byte value of the input, lowest on ties.
static uint8_t choose_marker(const uint8_t* in, uint32_t n)
{
    uint32_t count[256] = {0};
    for (uint32_t i = 0; i < n; i++)
        count[in[i]]++;
    int best = 0;
    for (int v = 1; v < 256; v++)
        if (count[v] < count[best])
            best = v;
    return (uint8_t)best;
}

static int worth_a_reference(uint32_t length, uint32_t offset)
{
    if (length >= ALWAYS_WORTH_LENGTH) return 1;
    if (length == 4) return offset < OFFSET_LIMIT_FOR_LENGTH_4;
    if (length == 5) return offset < OFFSET_LIMIT_FOR_LENGTH_5;
    if (length == 6) return offset < OFFSET_LIMIT_FOR_LENGTH_6;
    if (length == 7) return offset <= OFFSET_MAX_FOR_LENGTH_7;
    return 0;
}

static uint8_t* put_literal(uint8_t* out, uint8_t b, uint8_t marker)
{
    *out++ = b;
    if (b == marker)
        *out++ = 0;
    return out;
}

// What the shared encoding loop searches: the input and the chain of earlier
// candidate positions for each position, nearest first.
struct Search {
    const uint8_t* in;
    const uint32_t* chain;
    int fast;
};

// The longest match at p with `left` bytes remaining, nearest on ties, as a
// length (below LZ_MIN_MATCH for none) and an offset.
static uint32_t find_match(const Search* s, uint32_t p, uint32_t left, uint32_t* offset)
{
    const uint8_t* in = s->in;
    uint32_t best = LZ_MIN_MATCH - 1;
    uint32_t best_offset = 0;
    if (left <= best)
        return best;
    // A fast search starts two bytes in, since the chain holds only
    // positions whose first byte pair equals p's; the exhaustive one's chain
    // is a hash, so it compares from the start.
    uint32_t known = s->fast ? 2 : 0;
    uint32_t reach = s->fast ? LZ_MAX_OFFSET - 1 : LZ_MAX_OFFSET;
    int budget = s->fast ? LZ_FAST_CHAIN_LIMIT : -1;
    for (uint32_t q = s->chain[p]; q != EMPTY_LINK && p - q <= reach; q = s->chain[q]) {
        if (budget >= 0 && budget-- == 0)
            break;
        uint32_t d = p - q;
        // A copy never overlaps what it produces, so its length is capped
        // by its offset; a candidate that cannot beat the best is skipped.
        uint32_t cap = left < d ? left : d;
        if (cap <= best || in[q + best] != in[p + best])
            continue;
        uint32_t length = match_length(in + q, in + p, known, cap);
        if (length > best) {
            best = length;
            best_offset = d;
            if (best == left || (s->fast && best >= LZ_FAST_GOOD_LENGTH))
                break;
        }
    }
    *offset = best_offset;
    return best;
}

static uint32_t encode_with(const Search* s, const uint8_t* in, uint8_t* out, uint32_t n, uint8_t marker)
{
    uint8_t* o = out;
    *o++ = marker;
    uint32_t p = 0, left = n;
    do {
        uint32_t offset = 0;
        uint32_t length = find_match(s, p, left, &offset);
        if (length >= LZ_MIN_MATCH && worth_a_reference(length, offset)) {
            *o++ = marker;
            o += put_varint(length, o);
            o += put_varint(offset, o);
            p += length;
            left -= length;
        } else {
            o = put_literal(o, in[p], marker);
            p++;
            left--;
        }
    } while (left > LITERAL_TAIL);
    while (left > 0) {
        o = put_literal(o, in[p], marker);
        p++;
        left--;
    }
    return (uint32_t)(o - out);
}

static uint32_t hash4(const uint8_t* p)
{
    uint32_t v;
    memcpy(&v, p, 4);
    return (v * 2654435761u) >> (32 - BEST_HASH_BITS);
}

uint32_t lz_encode(const uint8_t* in, uint8_t* out, uint32_t n)
{
    if (n == 0)
        return 0;
    uint8_t marker = choose_marker(in, n);
    // Every earlier position that shares p's first four bytes is on p's
    // chain, nearest first, so walking it visits exactly the offsets an
    // exhaustive scan would find a match of 4 or more at, in the same order.
    size_t heads = (size_t)1 << BEST_HASH_BITS;
    uint32_t* head = (uint32_t*)malloc(heads * sizeof(uint32_t));
    uint32_t* chain = (uint32_t*)malloc((size_t)n * sizeof(uint32_t));
    if (!head || !chain)
        fatal_error("lz_encode()", "Failed allocating memory for search tables");
    memset(head, 0xff, heads * sizeof(uint32_t));
    for (uint32_t i = 0; i < n; i++) {
        if (i + LZ_MIN_MATCH <= n) {
            uint32_t h = hash4(in + i);
            chain[i] = head[h];
            head[h] = i;
        } else {
            chain[i] = EMPTY_LINK;
        }
    }
    Search s = {in, chain, 0};
    uint32_t written = encode_with(&s, in, out, n, marker);
    free(chain);
    free(head);
    return written;
}

uint32_t lz_encode_fast(const uint8_t* in, uint8_t* out, uint32_t n, uint32_t* work)
{
    if (n == 0)
        return 0;
    uint8_t marker = choose_marker(in, n);
    uint32_t* head = work;
    uint32_t* chain = work + LZ_FAST_HEADS;
    memset(head, 0xff, LZ_FAST_HEADS * sizeof(uint32_t));
    for (uint32_t i = 0; i + 1 < n; i++) {
        uint32_t pair = (uint32_t)in[i] << 8 | in[i + 1];
        chain[i] = head[pair];
        head[pair] = i;
    }
    chain[n - 1] = EMPTY_LINK;
    Search s = {in, chain, 1};
    return encode_with(&s, in, out, n, marker);
}

// Copies `length` bytes to `op` from `offset` bytes back with the meaning of
// a byte-by-byte copy: when the offset is below the length the last `offset`
// bytes repeat. The repeated pattern is copied in blocks that double in size,
// each block reading only bytes already written.
static void copy_back(uint8_t* op, size_t offset, size_t length)
{
    if (offset >= length) {
        memcpy(op, op - offset, length);
        return;
    }
    if (offset == 1) {
        memset(op, op[-1], length);
        return;
    }
    size_t done = 0, distance = offset;
    while (done < length) {
        size_t chunk = length - done < distance ? length - done : distance;
        memcpy(op + done, op + done - distance, chunk);
        done += chunk;
        distance *= 2;
    }
}

// Bytes of input and of output room below which the decoder leaves its
// block loop for the careful one: enough for a 16-byte literal block, a
// token with two 5-byte numbers, and a copy's 16-byte overshoot.
static const size_t DECODE_MARGIN = 32;

// Copies a token whose length fits in the output room less DECODE_MARGIN, in
// whole 8- or 16-byte blocks that may write past the copy's end (the next
// token overwrites them). Each block reads only bytes at least one block
// back, so with offset >= block size the result equals a byte-by-byte copy.
static void copy_back_wide(uint8_t* op, size_t offset, size_t length)
{
    const uint8_t* src = op - offset;
    if (offset >= 16) {
        for (size_t i = 0; i < length; i += 16) {
            uint64_t a, b;
            memcpy(&a, src + i, 8);
            memcpy(&b, src + i + 8, 8);
            memcpy(op + i, &a, 8);
            memcpy(op + i + 8, &b, 8);
        }
    } else if (offset >= 8) {
        for (size_t i = 0; i < length; i += 8) {
            uint64_t a;
            memcpy(&a, src + i, 8);
            memcpy(op + i, &a, 8);
        }
    } else {
        copy_back(op, offset, length);
    }
}

// Finds the first marker among the 16 bytes at p: its index, or 16 if none.
static unsigned marker_in_block(const uint8_t* p, uint8_t marker)
{
#ifdef __SSE2__
    __m128i v = _mm_loadu_si128((const __m128i*)p);
    unsigned mask = (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8((char)marker)));
    return mask ? (unsigned)__builtin_ctz(mask) : 16;
#else
    const void* hit = memchr(p, marker, 16);
    return hit ? (unsigned)((const uint8_t*)hit - p) : 16;
#endif
}

int64_t lz_decode(const uint8_t* in, uint8_t* out, uint32_t n, uint32_t out_capacity)
{
    if (n == 0)
        return 0;
    const uint8_t marker = in[0];
    const uint8_t* ip = in + 1;
    const uint8_t* const end = in + n;
    size_t o = 0;

    // Block loop: while both buffers have DECODE_MARGIN to spare, literals
    // move 16 bytes at a time and copies in blocks, overshooting into room
    // that is known to exist.
    while ((size_t)(end - ip) >= DECODE_MARGIN && out_capacity - o >= DECODE_MARGIN) {
        unsigned k = marker_in_block(ip, marker);
        memcpy(out + o, ip, 16);
        ip += k;
        o += k;
        if (k == 16)
            continue;
        ip++;
        if (*ip == 0) {
            out[o++] = marker;
            ip++;
            continue;
        }
        // Most lengths take one byte and most offsets one or two; longer
        // numbers go through the general reader.
        uint32_t length, offset;
        if (ip[0] < 0x80) {
            length = ip[0];
            ip++;
        } else {
            int a = get_varint(&length, ip, (size_t)(end - ip));
            if (!a)
                return LZ_CORRUPT;
            ip += a;
        }
        if (ip[0] < 0x80) {
            offset = ip[0];
            ip++;
        } else if (ip[1] < 0x80) {
            offset = (uint32_t)(ip[0] & 0x7f) << 7 | ip[1];
            ip += 2;
        } else {
            int b = get_varint(&offset, ip, (size_t)(end - ip));
            if (!b)
                return LZ_CORRUPT;
            ip += b;
        }
        if (offset == 0 || offset > o || length > out_capacity - o)
            return LZ_CORRUPT;
        // The room is measured again: the literals before this token may
        // have used up to 16 bytes of the margin the loop was entered with.
        if ((size_t)length + DECODE_MARGIN <= out_capacity - o)
            copy_back_wide(out + o, offset, length);
        else
            copy_back(out + o, offset, length);
        o += length;
    }

    // Careful loop for the rest: every byte checked against both ends.
    while (ip < end) {
        // Everything up to the next marker is literal: one block copy.
        const uint8_t* next = (const uint8_t*)memchr(ip, marker, (size_t)(end - ip));
        size_t run = (size_t)((next ? next : end) - ip);
        if (run > out_capacity - o)
            return LZ_CORRUPT;
        if (run) {
            memcpy(out + o, ip, run);
            o += run;
            ip += run;
        }
        if (!next)
            break;
        ip++;
        if (ip == end)
            return LZ_CORRUPT;
        if (*ip == 0) {
            if (o == out_capacity)
                return LZ_CORRUPT;
            out[o++] = marker;
            ip++;
            continue;
        }
        uint32_t length, offset;
        int k = get_varint(&length, ip, (size_t)(end - ip));
        if (!k)
            return LZ_CORRUPT;
        ip += k;
        k = get_varint(&offset, ip, (size_t)(end - ip));
        if (!k)
            return LZ_CORRUPT;
        ip += k;
        if (offset == 0 || offset > o || length > out_capacity - o)
            return LZ_CORRUPT;
        copy_back(out + o, offset, length);
        o += length;
    }
    return (int64_t)o;
}
