// The LZ77 stream codec: both encoders against an independent token walker,
// the exhaustive encoder against a plain scan, and the decoder's bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "util/codec.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// ---- inputs ---------------------------------------------------------------

Bytes random_bytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = (uint8_t)rng();
    return b;
}

Bytes text(size_t n, uint32_t seed)
{
    static const char* words[] = {"the ", "psychosis ", "meter ", "drains ", "while ", "armed ",
                                  "civilians ", "walk ", "over ", "a ", "tile ", "map.\n", "Score ",
                                  "kills ", "and ", "painkillers "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % 16];
        b.insert(b.end(), w, w + strlen(w));
    }
    b.resize(n);
    return b;
}

// Rows of a 24-bit picture: flat areas with a little noise and a gradient.
Bytes picture(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (size_t i = 0; i < n; i++) {
        size_t pixel = i / 3, x = pixel % 200, y = pixel / 200;
        if ((x / 40 + y / 30) % 3 == 0)
            b[i] = (i % 3 == 1) ? 0 : 255; // magenta background
        else
            b[i] = (uint8_t)(x + y * (i % 3) + (rng() % 4));
    }
    return b;
}

Bytes runs(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n)
        b.insert(b.end(), 1 + rng() % 3000, (uint8_t)(rng() % 5));
    b.resize(n);
    return b;
}

Bytes mixed(size_t n, uint32_t seed)
{
    Bytes b;
    std::mt19937 rng(seed);
    while (b.size() < n) {
        size_t part = 20000 + rng() % 200000;
        Bytes p;
        switch (rng() % 4) {
        case 0: p = random_bytes(part, rng()); break;
        case 1: p = text(part, rng()); break;
        case 2: p = picture(part, rng()); break;
        default: p = runs(part, rng()); break;
        }
        b.insert(b.end(), p.begin(), p.end());
    }
    b.resize(n);
    return b;
}

// Every value equally often (here 4 times), each round freshly shuffled so
// nothing repeats long enough to become a copy.
Bytes all_values_evenly()
{
    std::mt19937 rng(14);
    Bytes b;
    for (int r = 0; r < 4; r++) {
        Bytes round(256);
        for (int v = 0; v < 256; v++) round[v] = (uint8_t)v;
        std::shuffle(round.begin(), round.end(), rng);
        b.insert(b.end(), round.begin(), round.end());
    }
    return b;
}

// ---- encoders -------------------------------------------------------------

Bytes encode(const Bytes& in, bool fast)
{
    Bytes out(LZ_ENCODE_BOUND(in.size()));
    uint32_t n;
    if (fast) {
        std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(in.size()));
        n = lz_encode_fast(in.data(), out.data(), (uint32_t)in.size(), work.data());
    } else {
        n = lz_encode(in.data(), out.data(), (uint32_t)in.size());
    }
    EXPECT_LE(n, out.size());
    out.resize(n);
    return out;
}

Bytes decode(const Bytes& stream, size_t capacity, int64_t* result)
{
    Bytes out(capacity + 1, 0xEE); // one guard byte past the capacity
    *result = lz_decode(stream.data(), out.data(), (uint32_t)stream.size(), (uint32_t)capacity);
    EXPECT_EQ(out[capacity], 0xEE) << "decoder wrote past its capacity";
    out.resize(capacity);
    return out;
}

// ---- an independent reading of the format ---------------------------------

// Reads a varint one byte at a time; -1 when cut off.
int64_t walker_varint(const Bytes& s, size_t* i)
{
    uint64_t v = 0;
    for (int k = 0; k < 5; k++) {
        if (*i >= s.size()) return -1;
        uint8_t b = s[(*i)++];
        v = v * 128 + (b & 127);
        if (b < 128) return (int64_t)v;
    }
    return -1;
}

size_t varint_size(uint64_t v)
{
    size_t k = 1;
    while (v >= 128) { v /= 128; k++; }
    return k;
}

// Walks every token of `s`, checks the limits every encoder must keep and
// that the stream decodes to `original`.
void check_stream(const Bytes& s, const Bytes& original, bool exhaustive)
{
    if (original.empty()) {
        EXPECT_TRUE(s.empty());
        return;
    }
    ASSERT_GE(s.size(), 2u);
    size_t count[256] = {0};
    for (uint8_t b : original) count[b]++;
    int rarest = 0;
    for (int v = 0; v < 256; v++)
        if (count[v] < count[rarest]) rarest = v;
    const uint8_t m = s[0];
    ASSERT_EQ(m, rarest) << "marker is not the rarest byte (lowest on ties)";

    Bytes out;
    size_t i = 1;
    while (i < s.size()) {
        uint8_t b = s[i++];
        if (b != m) { out.push_back(b); continue; }
        ASSERT_LT(i, s.size()) << "stream ends on a marker";
        if (s[i] == 0) { out.push_back(m); i++; continue; }
        size_t token = i - 1;
        int64_t length = walker_varint(s, &i);
        int64_t offset = walker_varint(s, &i);
        ASSERT_GE(length, 0) << "cut-off length at " << token;
        ASSERT_GE(offset, 0) << "cut-off offset at " << token;
        ASSERT_GE(length, 4) << "at " << token;
        ASSERT_LE(length, offset) << "overlapping copy at " << token;
        ASSERT_LE(offset, 100000) << "at " << token;
        ASSERT_LE((size_t)offset, out.size()) << "copy from before the start at " << token;
        if (exhaustive) {
            ASSERT_GE(offset, 3) << "at " << token;
        }
        // Only written where shorter than the plain bytes it replaces.
        ASSERT_LT(1 + varint_size(length) + varint_size(offset), (size_t)length) << "at " << token;
        for (int64_t k = 0; k < length; k++)
            out.push_back(out[out.size() - offset]);
    }
    ASSERT_EQ(out.size(), original.size());
    EXPECT_TRUE(out == original) << "stream does not decode to its input";
}

void round_trip(const Bytes& in, const char* what)
{
    for (int fast = 0; fast < 2; fast++) {
        SCOPED_TRACE(std::string(what) + (fast ? " / lz_encode_fast" : " / lz_encode"));
        Bytes s = encode(in, fast);
        check_stream(s, in, !fast);
        int64_t got;
        Bytes out = decode(s, in.size(), &got);
        ASSERT_EQ(got, (int64_t)in.size());
        EXPECT_TRUE(out == in);
    }
}

// The exhaustive search done the plain way: every offset from 3 up.
Bytes plain_exhaustive_encode(const Bytes& in)
{
    size_t n = in.size();
    if (!n) return {};
    size_t count[256] = {0};
    for (uint8_t b : in) count[b]++;
    int m = 0;
    for (int v = 0; v < 256; v++)
        if (count[v] < count[m]) m = v;
    Bytes out{(uint8_t)m};
    auto literal = [&](uint8_t b) { out.push_back(b); if (b == m) out.push_back(0); };
    auto varint = [&](uint32_t v) {
        uint8_t tmp[5]; int k = 0;
        do { tmp[k++] = v & 127; v >>= 7; } while (v);
        while (k > 1) out.push_back(tmp[--k] | 128);
        out.push_back(tmp[0]);
    };
    size_t p = 0, left = n;
    do {
        size_t best = 3, best_d = 0, reach = std::min<size_t>(p, 100000);
        for (size_t d = 3; d <= reach; d++) {
            size_t len = 0, cap = std::min(left, d);
            while (len < cap && in[p - d + len] == in[p + len]) len++;
            if (len > best) { best = len; best_d = d; }
        }
        bool take = best >= 8 || (best == 4 && best_d < 128) || (best == 5 && best_d < 16384) ||
                    (best == 6 && best_d < 2097152) || best == 7;
        if (take) {
            out.push_back((uint8_t)m); varint((uint32_t)best); varint((uint32_t)best_d);
            p += best; left -= best;
        } else {
            literal(in[p]); p++; left--;
        }
    } while (left > 3);
    while (left) { literal(in[p++]); left--; }
    return out;
}

// A decoder that follows the format byte by byte, bounded by the output
// capacity; -1 for a stream it cannot decode.
int64_t plain_decode(const Bytes& s, Bytes* out, size_t capacity)
{
    out->clear();
    if (s.empty()) return 0;
    uint8_t m = s[0];
    size_t i = 1;
    while (i < s.size()) {
        uint8_t b = s[i++];
        if (b != m) {
            if (out->size() == capacity) return -1;
            out->push_back(b);
            continue;
        }
        if (i == s.size()) return -1;
        if (s[i] == 0) {
            if (out->size() == capacity) return -1;
            out->push_back(m); i++;
            continue;
        }
        int64_t len = walker_varint(s, &i), off = walker_varint(s, &i);
        if (len < 0 || off < 0 || len > 0xffffffffLL || off > 0xffffffffLL) return -1;
        if (off == 0 || (size_t)off > out->size() || (size_t)len > capacity - out->size()) return -1;
        for (int64_t k = 0; k < len; k++) out->push_back((*out)[out->size() - off]);
    }
    return (int64_t)out->size();
}

} // namespace

TEST(Codec, BothEncodersRoundTripVariedInputsAndKeepSmallOnesLiteral)
{
    round_trip({}, "empty");
    round_trip({42}, "one byte");
    round_trip({0, 0, 0, 0}, "four equal bytes");
    round_trip(all_values_evenly(), "all values evenly");
    round_trip(Bytes(70000, 'a'), "one long run");
    round_trip(runs(60000, 1), "runs");
    round_trip(text(50000, 2), "text");
    round_trip(random_bytes(50000, 3), "random");
    round_trip(picture(90000, 4), "picture");
}

TEST(Codec, BothEncodersRoundTripMegabytesOfMixedData)
{
    Bytes in = mixed(3 << 20, 5);
    Bytes fast = encode(in, true);
    check_stream(fast, in, false);
    EXPECT_LT(fast.size(), in.size() * 3 / 4) << "mixed data should compress";
    in.resize(1 << 20);
    Bytes best = encode(in, false);
    check_stream(best, in, true);
    // The exhaustive search never loses to the hash-chain one.
    EXPECT_LE(best.size(), encode(in, true).size());
}

TEST(Codec, ExhaustiveEncoderFindsWhatAPlainScanFinds)
{
    // The chained search must pick the same match (longest, nearest on ties)
    // as trying every offset, so the output is byte for byte the same.
    const Bytes inputs[] = {text(6000, 7), picture(6000, 8), runs(5000, 9), random_bytes(3000, 10),
                            Bytes(300, 7), {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4}};
    for (const Bytes& in : inputs)
        EXPECT_TRUE(encode(in, false) == plain_exhaustive_encode(in)) << "input of " << in.size() << " bytes";

    Bytes one = encode({0}, false);
    EXPECT_EQ(one, (Bytes{1, 0})); // marker differs from the only byte
    EXPECT_EQ(encode({7}, true), (Bytes{0, 7}));
    // Four bytes or fewer: literals only, whatever repeats.
    EXPECT_EQ(encode({5, 5, 5, 5}, false), (Bytes{0, 5, 5, 5, 5}));
    EXPECT_EQ(encode({5, 5, 5, 5}, true), (Bytes{0, 5, 5, 5, 5}));
}

TEST(Codec, VarintEdgesBoundedReadsAndMatchLengths)
{
    const struct { uint32_t value; int size; } cases[] = {
        {0, 1}, {127, 1}, {128, 2}, {300, 2}, {16383, 2}, {16384, 3}, {2097151, 3},
        {2097152, 4}, {268435455, 4}, {268435456, 5}, {0xffffffffu, 5}};
    for (auto c : cases) {
        uint8_t b[8] = {0};
        ASSERT_EQ(put_varint(c.value, b), c.size) << c.value;
        uint32_t back = 0;
        EXPECT_EQ(get_varint(&back, b, 8), c.size);
        EXPECT_EQ(back, c.value);
        // One byte short is cut off, not read past.
        EXPECT_EQ(get_varint(&back, b, c.size - 1), 0);
    }
    uint32_t v = 99;
    const uint8_t too_long[] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x01};
    EXPECT_EQ(get_varint(&v, too_long, sizeof too_long), 0);
    const uint8_t over_32_bits[] = {0x90, 0x80, 0x80, 0x80, 0x00};
    EXPECT_EQ(get_varint(&v, over_32_bits, sizeof over_32_bits), 0);
    EXPECT_EQ(v, 99u);

    Bytes a = text(100, 11), b = a;
    b[37] ^= 1;
    EXPECT_EQ(match_length(a.data(), b.data(), 0, 100), 37u);
    EXPECT_EQ(match_length(a.data(), b.data(), 5, 30), 30u);
    EXPECT_EQ(match_length(a.data(), b.data(), 40, 100), 100u);
    EXPECT_EQ(match_length(a.data(), b.data(), 37, 100), 37u);
    EXPECT_EQ(match_length(a.data(), b.data(), 50, 50), 50u);
    EXPECT_EQ(match_length(a.data(), b.data(), 60, 20), 60u);
}

TEST(Codec, DecoderRefusesDamagedStreamsWithinItsBuffers)
{
    int64_t got;
    auto result = [&](const Bytes& stream, size_t capacity) { return decode(stream, capacity, &got), got; };
    // Marker at the very end, cut-off numbers, offset 0, before the start.
    for (const Bytes& s : {Bytes{9, 1, 2, 9}, Bytes{9, 1, 2, 3, 4, 9, 0x84}, Bytes{9, 1, 2, 3, 4, 9, 4},
                           Bytes{9, 1, 2, 3, 4, 9, 4, 0}, Bytes{9, 1, 2, 3, 4, 9, 4, 5}})
        EXPECT_EQ(result(s, 10), LZ_CORRUPT) << s.size();
    // Output longer than the capacity: by literals, by an escaped marker, by a copy.
    EXPECT_EQ(result({9, 1, 2, 3}, 2), LZ_CORRUPT);
    EXPECT_EQ(result({9, 1, 2, 9, 0}, 2), LZ_CORRUPT);
    EXPECT_EQ(result({9, 1, 2, 3, 4, 9, 4, 4}, 7), LZ_CORRUPT);
    // Exactly filling the capacity is fine; shorter output is reported as such.
    EXPECT_EQ(result({9, 1, 2, 3, 4, 9, 4, 4}, 8), 8);
    EXPECT_EQ(result({9, 1, 2, 3, 4, 9, 4, 4}, 100), 8);
    // An empty stream leaves the output untouched.
    uint8_t untouched[4] = {1, 2, 3, 4};
    EXPECT_EQ(lz_decode(untouched, untouched, 0, 4), 0);
    EXPECT_EQ(untouched[0], 1);
}

TEST(Codec, OverlappingCopiesRepeatTheLastBytes)
{
    // Never written by the encoders, but a stream may hold them: each byte
    // is copied from `offset` back, after the bytes before it were written.
    for (uint32_t offset : {1u, 2u, 3u, 5u, 7u, 16u, 33u}) {
        for (uint32_t length : {4u, 9u, 40u, 1000u, 5u, 10u, 41u, 999u}) {
            Bytes s{200};
            for (uint32_t i = 0; i < 40; i++) s.push_back((uint8_t)(i * 7 + 1));
            s.push_back(200);
            uint8_t tmp[5];
            s.insert(s.end(), tmp, tmp + put_varint(length, tmp));
            s.insert(s.end(), tmp, tmp + put_varint(offset, tmp));
            // Enough literals after the copy that it is decoded with room to
            // spare as well as near the end of the stream.
            size_t tail = (length % 2) ? 1 : 64;
            for (size_t i = 0; i < tail; i++) s.push_back((uint8_t)(i + 100));
            Bytes expect;
            ASSERT_EQ(plain_decode(s, &expect, 2000), (int64_t)(40 + length + tail));
            int64_t got;
            Bytes out = decode(s, 2000, &got);
            ASSERT_EQ(got, (int64_t)expect.size()) << offset << "/" << length;
            EXPECT_TRUE(Bytes(out.begin(), out.begin() + got) == expect) << offset << "/" << length;
        }
    }
}

TEST(Codec, DecoderAgreesWithAPlainDecoderOnDamagedStreams)
{
    // Real streams with bytes flipped, cut or inserted: both decoders must
    // accept or refuse alike and agree on every byte they accept.
    std::mt19937 rng(12);
    Bytes in = mixed(200000, 13);
    Bytes clean = encode(in, true);
    for (int round = 0; round < 300; round++) {
        Bytes s(clean.begin(), clean.begin() + 1 + rng() % 3000);
        int edits = 1 + rng() % 4;
        for (int e = 0; e < edits; e++) {
            size_t at = rng() % s.size();
            switch (rng() % 3) {
            case 0: s[at] = (uint8_t)rng(); break;
            case 1: s[at] = s[0]; break;
            default: s.insert(s.begin() + at, (uint8_t)(rng() % 3 ? rng() : 0x80)); break;
            }
        }
        size_t capacity = rng() % 2 ? 1 << 16 : rng() % 5000;
        Bytes expect;
        int64_t want = plain_decode(s, &expect, capacity);
        int64_t got;
        Bytes out = decode(s, capacity, &got);
        ASSERT_EQ(got, want) << "round " << round;
        if (got >= 0) {
            ASSERT_TRUE(Bytes(out.begin(), out.begin() + got) == expect) << "round " << round;
        }
    }
}
