// The LZ77 stream codec: both encoders against streams written out by hand,
// every stream they write against the format's limits, and the decoder
// against a plain reading of the format (lz_reference.h) on sound and
// damaged streams. Overlapping copies on the decoder's wide path are in the
// lz_decode fuzz target's seeds (overlap_<offset>_<last length>.bin).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lz_reference.h"
#include "util/codec.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Inputs of n bytes. PICTURE is rows of 24-bit pixels: flat magenta areas
// beside noisy gradients; MIXED joins long parts of the first four kinds.
enum Kind { RANDOM, TEXT, PICTURE, RUNS, MIXED };

Bytes sample(Kind kind, size_t n, uint32_t seed)
{
    static const char* const words[] = {"the ", "psychosis ", "meter ", "drains ", "while ", "armed ",
                                        "civilians ", "walk ", "over ", "a ", "tile ", "map.\n"};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        size_t i = b.size(), x = i / 3 % 200, y = i / 600;
        uint32_t r = rng();
        if (kind == RANDOM)
            b.push_back((uint8_t)r);
        else if (kind == TEXT)
            b.insert(b.end(), words[r % 12], words[r % 12] + strlen(words[r % 12]));
        else if (kind == PICTURE)
            b.push_back((x / 40 + y / 30) % 3 == 0 ? (i % 3 == 1 ? 0 : 255) : (uint8_t)(x + y * (i % 3) + r % 4));
        else if (kind == RUNS)
            b.insert(b.end(), 1 + r % 3000, (uint8_t)(rng() % 5));
        else {
            Bytes part = sample(Kind(r % 4), 20000 + rng() % 200000, rng());
            b.insert(b.end(), part.begin(), part.end());
        }
    }
    b.resize(n);
    return b;
}

// Every byte value four times, each round in another order with no four
// bytes repeating (steps of 1, 3, 5 and 7), so none becomes a copy and the
// marker is 0.
Bytes all_values_evenly()
{
    Bytes b;
    for (int i = 0; i < 1024; i++)
        b.push_back((uint8_t)(i % 256 * (2 * (i / 256) + 1)));
    return b;
}

Bytes encode(const Bytes& in, bool fast)
{
    Bytes out(LZ_ENCODE_BOUND(in.size()));
    std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(in.size()));
    uint32_t n = fast ? lz_encode_fast(in.data(), out.data(), (uint32_t)in.size(), work.data())
                      : lz_encode(in.data(), out.data(), (uint32_t)in.size());
    EXPECT_LE(n, out.size());
    out.resize(n);
    return out;
}

// lz_decode's answer and output, with a guard byte past the capacity.
int64_t decode(const Bytes& stream, size_t capacity, Bytes* out)
{
    out->assign(capacity + 1, 0xEE);
    int64_t got = lz_decode(stream.data(), out->data(), (uint32_t)stream.size(), (uint32_t)capacity);
    EXPECT_EQ((*out)[capacity], 0xEE) << "decoder wrote past its capacity";
    out->resize(got > 0 ? (size_t)got : 0);
    return got;
}

uint8_t rarest(const Bytes& in)
{
    size_t count[256] = {0};
    for (uint8_t b : in)
        count[b]++;
    return (uint8_t)(std::min_element(count, count + 256) - count);
}

size_t varint_size(uint64_t v)
{
    return v < 128 ? 1 : 1 + varint_size(v >> 7);
}

// Checks that `s` decodes to `original`, both read plainly and by
// lz_decode, and keeps the limits every encoder must keep.
void check_stream(const Bytes& s, const Bytes& original)
{
    if (original.empty()) {
        EXPECT_TRUE(s.empty());
        return;
    }
    ASSERT_EQ(s[0], rarest(original)) << "marker is not the rarest byte (lowest on ties)";
    Bytes plain, fast;
    std::vector<LzCopy> copies;
    ASSERT_EQ(reference_decode(s.data(), s.size(), original.size(), &plain, &copies), (int64_t)original.size());
    EXPECT_TRUE(plain == original) << "stream does not decode to its input";
    for (const LzCopy& c : copies) {
        ASSERT_GE(c.length, 4u) << "at " << c.at;
        ASSERT_LE(c.length, c.offset) << "overlapping copy at " << c.at;
        ASSERT_LE(c.offset, 100000u) << "at " << c.at;
        // Only written where shorter than the plain bytes it replaces.
        ASSERT_LT(1 + varint_size(c.length) + varint_size(c.offset), c.length) << "at " << c.at;
    }
    ASSERT_EQ(decode(s, original.size(), &fast), (int64_t)original.size());
    EXPECT_TRUE(fast == original);
}

} // namespace

TEST(Codec, BothEncodersRoundTripWithinTheFormatsLimits)
{
    const Bytes inputs[] = {{}, {42}, {0, 0, 0, 0}, all_values_evenly(), Bytes(70000, 'a'), sample(RUNS, 60000, 1),
                            sample(TEXT, 50000, 2), sample(RANDOM, 50000, 3), sample(PICTURE, 90000, 4),
                            sample(MIXED, 3 << 20, 5)};
    for (const Bytes& in : inputs) {
        SCOPED_TRACE("input of " + std::to_string(in.size()) + " bytes");
        Bytes fast = encode(in, true), best = encode(in, false);
        check_stream(fast, in);
        check_stream(best, in);
        // The exhaustive search reaches one byte further, never less far.
        EXPECT_LE(best.size(), fast.size());
        EXPECT_TRUE(in.size() < 1 << 20 || fast.size() < in.size() * 3 / 4) << "mixed data should compress";
    }
}

TEST(Codec, BothEncodersWriteTheStreamsWrittenOutByHand)
{
    Bytes text(1800);
    for (size_t i = 0; i < text.size(); i++)
        text[i] = "Lunatic outbreak "[i % 17];
    // Written out by hand: one byte needs a marker that differs from it;
    // four bytes or fewer stay literal; a run doubles its copies while a copy
    // may not overlap what it produces, then takes the longest the reach
    // allows, then what is left.
    EXPECT_EQ(encode({0}, true), (Bytes{1, 0}));
    EXPECT_EQ(encode({5, 5, 5, 5}, true), (Bytes{0, 5, 5, 5, 5}));
    const Bytes run = {0, 'a', 'a', 'a', 'a', 0, 4, 4, 0, 8, 8, 0, 16, 16, 0, 32, 32, 0, 64, 64,
                       0, 0x81, 0, 0x81, 0, 0, 0x82, 0, 0x82, 0, 0, 0x84, 0, 0x84, 0, 0, 0x88, 0, 0x88, 0,
                       0, 0x83, 0x44, 0x83, 0x44};
    EXPECT_EQ(encode(Bytes(2500, 'a'), true), run);
    EXPECT_EQ(encode(Bytes(2500, 'a'), false), run);
    EXPECT_EQ(encode(text, true).size(), 47u);
    for (bool fast : {false, true}) {
        Bytes long_run = {0, 'a', 'a', 'a', 'a'};
        const uint32_t reach = fast ? 99999 : 100000;
        for (uint32_t length : {4u, 8u, 16u, 32u, 64u, 128u, 256u, 512u, 1024u, 2048u, 4096u, 8192u, 16384u,
                                32768u, 65536u, reach, 300000 - 131072 - reach}) {
            uint8_t tmp[5];
            long_run.push_back(0);
            for (int k = 0; k < 2; k++)
                long_run.insert(long_run.end(), tmp, tmp + put_varint(length, tmp));
        }
        EXPECT_TRUE(encode(Bytes(300000, 'a'), fast) == long_run) << "fast " << fast;
    }
}

TEST(Codec, VarintsTakeTheFewestBytesAndAreReadBackWithinTheirBytes)
{
    const struct { uint32_t value; int size; } cases[] = {
        {0, 1}, {127, 1}, {128, 2}, {16383, 2}, {16384, 3}, {2097151, 3},
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
}

TEST(Codec, DecoderRefusesDamagedStreamsAsAPlainReadingDoes)
{
    Bytes out, plain;
    // By hand, each after 4 literals and again after 40, where the decoder
    // takes its wide path: a marker at the very end, cut-off numbers,
    // offset 0, a copy from one byte before the start, a length past 32
    // bits or of six bytes, and output past the capacity by a literal, an escaped marker
    // and a copy. Forty literals follow a token that is not at the end.
    for (uint8_t lead : {4, 40}) {
        const Bytes pad(40, 'p');
        const struct { Bytes token; size_t capacity; bool padded; } damaged[] = {
            {{9}, 500, false}, {{9, 0x84}, 500, false}, {{9, 4}, 500, false}, {{9, 4, 0}, 500, true},
            {{9, 4, (uint8_t)(lead + 1)}, 500, true}, {{9, 0x90, 0x80, 0x80, 0x80, 0, 1}, 500, true},
            {{9, 0x80, 0x80, 0x80, 0x80, 0x80, 4, 1}, 500, true},
            {{}, (size_t)lead - 1, false}, {{9, 0}, lead, false}, {{9, 100, 4}, (size_t)lead + 50, true}};
        for (const auto& c : damaged) {
            Bytes s(1, 9);
            s.insert(s.end(), lead, 'a');
            s.insert(s.end(), c.token.begin(), c.token.end());
            if (c.padded)
                s.insert(s.end(), pad.begin(), pad.end());
            EXPECT_EQ(decode(s, c.capacity, &out), LZ_CORRUPT) << (int)lead << " + token of " << c.token.size();
            EXPECT_EQ(reference_decode(s.data(), s.size(), c.capacity, &plain), -1);
        }
    }
    // Exactly filling the capacity is fine; shorter output is reported as such.
    EXPECT_EQ(decode({9, 1, 2, 3, 4, 9, 4, 4}, 8, &out), 8);
    EXPECT_EQ(decode({9, 1, 2, 3, 4, 9, 4, 4}, 100, &out), 8);
    // An empty stream leaves the output untouched.
    uint8_t untouched[4] = {1, 2, 3, 4};
    EXPECT_EQ(lz_decode(untouched, untouched, 0, 4), 0);
    EXPECT_EQ(untouched[0], 1);

    // Real streams with bytes flipped, cut or inserted: both readings must
    // accept or refuse alike and agree on every byte they accept.
    std::mt19937 rng(12);
    const Bytes clean = encode(sample(MIXED, 200000, 13), true);
    for (int round = 0; round < 300; round++) {
        Bytes s(clean.begin(), clean.begin() + 1 + rng() % 3000);
        for (int e = 0, edits = 1 + rng() % 4; e < edits; e++) {
            size_t at = rng() % s.size();
            switch (rng() % 3) {
            case 0: s[at] = (uint8_t)rng(); break;
            case 1: s[at] = s[0]; break;
            default: s.insert(s.begin() + at, (uint8_t)(rng() % 3 ? rng() : 0x80)); break;
            }
        }
        size_t capacity = rng() % 2 ? 1 << 16 : rng() % 5000;
        int64_t want = reference_decode(s.data(), s.size(), capacity, &plain);
        ASSERT_EQ(decode(s, capacity, &out), want) << "round " << round;
        ASSERT_TRUE(want < 0 || out == plain) << "round " << round;
    }
}
