#include "util/codec.h"

#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "util/errors.h"

// Chain link meaning "no earlier position".
static const uint32_t EMPTY_LINK = 0xffffffffu;

// A segment link (see build_chains): this bit, the period less one in the
// next two bits, and the lowest position of the segment below them. Inputs
// too long for such positions keep plain links.
static const uint32_t SEGMENT = 0x80000000u;
static const int PERIOD_SHIFT = 29;
static const uint32_t POSITION_MASK = (1u << PERIOD_SHIFT) - 1;

// Both encoders chain positions by a hash of their first four bytes, one
// head per hash value.
static const int HASH_BITS = 16;
static_assert(LZ_FAST_HEADS == 1 << HASH_BITS, "the work area holds one head per hash value");

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

// What the encoding loop searches: the input, and for every position the
// chain of earlier positions whose first four bytes hash alike, nearest first.
// Only a match of LZ_MIN_MATCH bytes can ever beat the starting best of 3, so
// such a chain holds every candidate that could win, in the order a scan by
// increasing offset meets them. `reach` is the farthest offset tried;
// `segments` is SEGMENT where the chains hold segment links, else 0.
struct Search {
    const uint8_t* in;
    const uint32_t* chain;
    uint32_t reach, segments;
};

// What a search learns when a match runs into the position itself: the bytes
// from `start` to p + `length` repeat every `period` bytes, and `length` is
// the match at offset `period` (capped where no match could be longer). A
// candidate at a multiple of the period that starts inside that stretch then
// matches exactly `length` bytes too: up to there it reads the same bytes,
// and where the match at `period` ends it meets the same differing byte. So
// repeated rows cost one lookup per candidate instead of a comparison as long
// as the match.
struct Repeat {
    uint32_t period, length, start;
    int start_is_final; // the byte before `start` breaks the pattern
};

// The shortest period of the d bytes from `from`, which repeat at least once
// more after them. Any period of such a stretch divides d, so only divisors
// are tried, smallest first.
static uint32_t shortest_period(const uint8_t* from, uint32_t d)
{
    uint32_t root = 1;
    while ((root + 1) * (root + 1) <= d)
        root++;
    for (uint32_t g = 1; g <= root; g++)
        if (d % g == 0 && match_length(from, from + g, 0, d) == d)
            return g;
    for (uint32_t g = root; g >= 1; g--)
        if (d % g == 0 && d / g > root && d / g < d && match_length(from, from + d / g, 0, d) == d)
            return d / g;
    return d;
}

// Whether the repeating stretch reaches back to q, stretching it a byte at
// a time as far as needed.
static int repeat_reaches(Repeat* r, const uint8_t* in, uint32_t q)
{
    while (r->start > q && !r->start_is_final) {
        if (in[r->start - 1] == in[r->start - 1 + r->period])
            r->start--;
        else
            r->start_is_final = 1;
    }
    return r->start <= q;
}

// A search at one position: the best match so far and what it has learned.
struct Walk {
    const Search* s;
    uint32_t p, longest, best, best_offset;
    Repeat repeat;
    // The last period a stretch was weighed with, and how many bytes from p
    // follow that period (at most `longest`).
    uint32_t p_period, p_extent;
};

// v / g for a period g of 1 to 4, without a division.
static uint32_t periods(uint32_t v, uint32_t g)
{
    return g == 3 ? v / 3 : v >> (g >> 1);
}

static uint64_t smallest(uint64_t a, uint64_t b, uint64_t c)
{
    uint64_t m = a < b ? a : b;
    return m < c ? m : c;
}

// Weighs at once the candidates x - g, x - 2g, ... x - count * g of a
// segment (see build_chains): x is p or a candidate already weighed, and
// every one of them lies in one stretch that repeats every g bytes. A
// candidate k periods back follows the pattern for extent(k) = lx + k * g
// bytes, where lx is x's, so against p, which follows it for lp bytes, it
// matches min(extent(k), lp) bytes, except where extent(k) == lp: then both
// leave the pattern at the same byte and may match on. Apart from that one
// candidate the lengths, capped by offsets that grow with k, never shrink,
// so each run of them is settled by its last length and the first k that
// reaches it.
static void weigh_segment(Walk* w, uint32_t x, uint32_t g, uint32_t count)
{
    const uint8_t* in = w->s->in;
    const uint32_t p = w->p;
    if (count == 0 || (x != p && memcmp(in + x, in + p, LZ_MIN_MATCH) != 0))
        return; // another pattern altogether: not one of them matches 4 bytes
    if (w->p_period != g) {
        w->p_period = g;
        w->p_extent = g + match_length(in + p + g, in + p, 0, w->longest - g);
    }
    const uint64_t lp = w->p_extent, dx = p - x;
    const int open = lp == w->longest; // p may follow the pattern further
    uint64_t lx = lp;
    if (x != p) {
        uint32_t limit = open ? (uint32_t)lp : (uint32_t)lp + 1;
        lx = g + match_length(in + x + g, in + x, 0, limit - g);
    }
    // (lp is at most `longest`, so it caps these lengths as well.)
    auto length_at = [&](uint64_t k) { return smallest(lx + k * g, lp, dx + k * g); };
    auto first_reaching = [&](uint64_t v, uint64_t k) {
        if (v > lx && (v - lx + g - 1) / g > k) k = (v - lx + g - 1) / g;
        if (v > dx && (v - dx + g - 1) / g > k) k = (v - dx + g - 1) / g;
        return k;
    };
    auto offer = [&](uint64_t length, uint64_t k) {
        if (length > w->best) {
            w->best = (uint32_t)length;
            w->best_offset = (uint32_t)(dx + k * g);
        }
    };
    uint64_t star = 0;
    if (!open && lx <= lp && (lp - lx) % g == 0 && (lp - lx) / g >= 1 && (lp - lx) / g <= count)
        star = (lp - lx) / g;
    uint64_t last_before = star ? star - 1 : count;
    if (last_before >= 1) {
        uint64_t v = length_at(last_before);
        if (v > w->best)
            offer(v, first_reaching(v, 1));
    }
    if (star) {
        uint64_t d = dx + star * g, cap = d < w->longest ? d : w->longest;
        uint32_t q = (uint32_t)(p - d);
        offer(cap <= lp ? cap : match_length(in + q, in + p, (uint32_t)lp, (uint32_t)cap), star);
        if (star < count) {
            uint64_t v = length_at(count);
            if (v > w->best)
                offer(v, first_reaching(v, star + 1));
        }
    }
}

// The longest match at p with `left` bytes remaining, nearest on ties, as a
// length (below LZ_MIN_MATCH for none) and an offset. Every shortcut here
// leaves that answer unchanged; only a strictly longer match replaces the
// best.
static uint32_t find_match(const Search* s, uint32_t p, uint32_t left, uint32_t* offset)
{
    const uint8_t* in = s->in;
    // A copy never overlaps what it produces, so no match is longer than
    // the reach; once the best is that long, or takes every byte left,
    // nothing further can beat it.
    Walk w = {s, p, left < s->reach ? left : s->reach, LZ_MIN_MATCH - 1, 0, {0, 0, 0, 0}, 0, 0};
    // Once the best covers the whole stretch of p's pattern, a winner also
    // agrees on the four bytes where that stretch ends, and the chain of
    // those (candidates `shift` bytes on) is far shorter than the stretch's
    // own. Candidates no farther than `passed` were settled before.
    uint32_t shift = 0, passed = 0;
    // The chain entry whose link is followed next.
    uint32_t x = p;
    while (w.best < w.longest) {
        if (!shift && w.p_period && w.p_extent < w.longest && w.best >= w.p_extent) {
            shift = w.p_extent - (LZ_MIN_MATCH - 1);
            x = p + shift;
        }
        uint32_t link = s->chain[x];
        if (link == EMPTY_LINK)
            break;
        if (link & s->segments) {
            uint32_t g = ((link >> PERIOD_SHIFT) & 3) + 1, low = link & POSITION_MASK;
            if (!shift) {
                // Candidates beyond the reach are never weighed, and end the walk.
                uint32_t farthest = p - low <= s->reach ? low : p - s->reach;
                weigh_segment(&w, x, g, periods(x - farthest, g));
                if (farthest != low)
                    break;
                passed = p - low;
                x = low;
                continue;
            }
            if (p + shift - low <= passed) {
                x = low;
                continue;
            }
            link = x - g; // on a shifted chain, one by one
        }
        x = link;
        if (x < shift)
            break;
        uint32_t q = x - shift, d = p - q;
        if (d > s->reach)
            break;
        if (d <= passed)
            continue;
        passed = d;
        uint32_t cap = w.longest < d ? w.longest : d;
        if (cap <= w.best || in[q + w.best] != in[p + w.best])
            continue;
        uint32_t length;
        if (w.repeat.period && d % w.repeat.period == 0 && repeat_reaches(&w.repeat, in, q)) {
            length = w.repeat.length < cap ? w.repeat.length : cap;
        } else {
            length = match_length(in + q, in + p, 0, cap);
            if (length == d && d < w.longest) {
                uint32_t whole = match_length(in + q, in + p, d, w.longest);
                w.repeat = {shortest_period(in + q, d), whole, q, 0};
            }
        }
        if (length > w.best) {
            w.best = length;
            w.best_offset = d;
        }
    }
    *offset = w.best_offset;
    return w.best;
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
    return (v * 2654435761u) >> (32 - HASH_BITS);
}

// The shortest period of 1 to 4 bytes with which the bytes from i - period
// to i + 4 repeat, or 0 for none.
static uint32_t short_period(const uint8_t* in, uint32_t i)
{
    for (uint32_t g = 1; g <= LZ_MIN_MATCH && g <= i; g++)
        if (memcmp(in + i - g, in + i, LZ_MIN_MATCH) == 0)
            return g;
    return 0;
}

// Fills `head` (1 << HASH_BITS entries) and `chain` (n entries). A plain
// link is the previous position whose first four bytes hash alike. Where
// that previous position is i - g because the bytes repeat every g = 1 to 4
// bytes (a run, a flat 16-, 24- or 32-bit colour) the link is a segment
// link instead: the chain goes on i - g, i - 2g, ... down to the lowest
// position it names, then follows that position's link. It lists the very
// same positions, but lets a search weigh a whole stretch at once.
static void build_chains(const uint8_t* in, uint32_t n, uint32_t* head, uint32_t* chain)
{
    memset(head, 0xff, ((size_t)1 << HASH_BITS) * sizeof(uint32_t));
    // The period of the segment links of the last four positions (0: plain).
    uint32_t period[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < n; i++) {
        if (i + LZ_MIN_MATCH > n) {
            chain[i] = EMPTY_LINK;
            continue;
        }
        uint32_t h = hash4(in + i);
        uint32_t g = n <= POSITION_MASK ? short_period(in, i) : 0;
        if (g && head[h] == i - g) {
            uint32_t low = period[(i - g) & 3] == g ? chain[i - g] & POSITION_MASK : i - g;
            chain[i] = SEGMENT | (g - 1) << PERIOD_SHIFT | low;
        } else {
            g = 0;
            chain[i] = head[h];
        }
        period[i & 3] = g;
        head[h] = i;
    }
}

uint32_t lz_encode(const uint8_t* in, uint8_t* out, uint32_t n)
{
    if (n == 0)
        return 0;
    uint8_t marker = choose_marker(in, n);
    uint32_t* work = (uint32_t*)malloc(LZ_FAST_WORK_ENTRIES(n) * sizeof(uint32_t));
    if (!work)
        fatal_error("lz_encode()", "Failed allocating memory for search tables");
    build_chains(in, n, work, work + LZ_FAST_HEADS);
    Search s = {in, work + LZ_FAST_HEADS, LZ_MAX_OFFSET, n <= POSITION_MASK ? SEGMENT : 0};
    uint32_t written = encode_with(&s, in, out, n, marker);
    free(work);
    return written;
}

uint32_t lz_encode_fast(const uint8_t* in, uint8_t* out, uint32_t n, uint32_t* work)
{
    if (n == 0)
        return 0;
    uint8_t marker = choose_marker(in, n);
    build_chains(in, n, work, work + LZ_FAST_HEADS);
    Search s = {in, work + LZ_FAST_HEADS, LZ_MAX_OFFSET - 1, n <= POSITION_MASK ? SEGMENT : 0};
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
