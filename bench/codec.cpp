// Codec speed and ratio on asset-like data, beside LZ4 and zlib, and the
// fast encoder on its hardest inputs.
//
// The data is every member of assets.bin when the benchmark runs from a build
// folder that has one, else a generated mix of picture-like, sound-like and
// text data of several megabytes. Each member is compressed on its own, as
// the packing tool does. Figures: bytes_per_second counts uncompressed bytes
// (in and out alike), "ratio" is stored size / original size.
//
//   ./bench/bench_codec                       (from the build folder)
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <lz4.h>
#include <zlib.h>

#include "util/archive.h"
#include "util/codec.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::vector<Bytes> corpus;
size_t corpus_bytes = 0;
const char* corpus_source = "generated";

// Members of assets.bin, decoded; false when there is no usable archive.
bool load_archive_members(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    Bytes a;
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, f)) > 0) a.insert(a.end(), block, block + got);
    fclose(f);
    if (a.size() < HKCA_HEADER_SIZE || memcmp(a.data(), HKCA_SIGNATURE, HKCA_SIGNATURE_SIZE) != 0)
        return false;
    size_t p = HKCA_HEADER_SIZE;
    while (p < a.size()) {
        const uint8_t* zero = (const uint8_t*)memchr(a.data() + p, 0, a.size() - p);
        if (!zero) return false;
        p = (size_t)(zero - a.data()) + 1;
        if (a.size() - p < HKCA_RECORD_SIZES) return false;
        uint32_t size, stored;
        memcpy(&size, a.data() + p, 4);
        memcpy(&stored, a.data() + p + 4, 4);
        p += HKCA_RECORD_SIZES;
        if (stored > a.size() - p || (uint64_t)size > (uint64_t)stored * HKCA_MAX_EXPANSION) return false;
        Bytes m(size);
        if (lz_decode(a.data() + p, m.data(), stored, size) != (int64_t)size) return false;
        p += stored;
        corpus.push_back(m);
    }
    return !corpus.empty();
}

// A 24-bit bottom-up bitmap body: a magenta backdrop, flat-shaded boxes and
// a noisy gradient, like the game's sprite sheets and backgrounds.
Bytes picture(int w, int h, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(54, 0);
    b[0] = 'B'; b[1] = 'M';
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint8_t r = 255, g = 0, bl = 255;
            int cell = (x / 32) + (y / 32) * 7;
            if (cell % 3 == 1) { r = (uint8_t)(cell * 40); g = (uint8_t)(cell * 13); bl = 60; }
            if (cell % 3 == 2) {
                r = (uint8_t)(x / 4 + rng() % 6);
                g = (uint8_t)(y / 3 + rng() % 6);
                bl = (uint8_t)((x + y) / 5);
            }
            b.push_back(bl); b.push_back(g); b.push_back(r);
        }
        while ((b.size() - 54) % 4) b.push_back(0);
    }
    return b;
}

// 16-bit mono PCM: decaying tones over noise, with silent gaps.
Bytes sound(int samples, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(44, 0);
    memcpy(b.data(), "RIFF", 4);
    double freq = 200 + rng() % 600;
    for (int i = 0; i < samples; i++) {
        int phase = i % 11025;
        double env = phase < 8000 ? exp(-phase / 2000.0) : 0.0;
        double v = env * (9000 * sin(i * freq * 6.2831853 / 22050) + (double)(rng() % 600) - 300);
        int16_t s = (int16_t)v;
        b.push_back((uint8_t)s);
        b.push_back((uint8_t)(s >> 8));
    }
    return b;
}

Bytes text(size_t n, uint32_t seed)
{
    static const char* words[] = {"the ", "night ", "I ", "walked ", "through ", "streets ", "of ",
                                  "a ", "town ", "that ", "never ", "slept, ", "and ", "voices ",
                                  "told ", "me.\n", "blood ", "moon ", "over ", "Harrow ", "Kiln "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % 21];
        b.insert(b.end(), w, w + strlen(w));
    }
    return b;
}

void generate_corpus()
{
    corpus.push_back(picture(800, 600, 1));
    corpus.push_back(picture(512, 512, 2));
    corpus.push_back(picture(256, 128, 3));
    for (uint32_t i = 0; i < 8; i++) corpus.push_back(sound(30000 + 20000 * i, 10 + i));
    corpus.push_back(text(300000, 4));
    corpus.push_back(text(40000, 5));
}

void prepare()
{
    if (!corpus.empty()) return;
    if (load_archive_members("assets.bin"))
        corpus_source = "assets.bin";
    else {
        corpus.clear();
        generate_corpus();
    }
    for (const Bytes& b : corpus) corpus_bytes += b.size();
    fprintf(stderr, "codec corpus: %zu members, %zu bytes, from %s\n", corpus.size(), corpus_bytes,
            corpus_source);
}

void finish(benchmark::State& state, size_t stored)
{
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)corpus_bytes);
    state.counters["ratio"] = (double)stored / (double)corpus_bytes;
}

// Streams of the whole corpus by one of our encoders, made once.
std::vector<Bytes>& our_streams(bool fast)
{
    static std::vector<Bytes> s[2];
    if (s[fast].empty()) {
        for (const Bytes& b : corpus) {
            Bytes out(LZ_ENCODE_BOUND(b.size()));
            std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(b.size()));
            uint32_t n = fast ? lz_encode_fast(b.data(), out.data(), (uint32_t)b.size(), work.data())
                              : lz_encode(b.data(), out.data(), (uint32_t)b.size());
            out.resize(n);
            s[fast].push_back(out);
        }
    }
    return s[fast];
}

size_t total(const std::vector<Bytes>& v)
{
    size_t t = 0;
    for (const Bytes& b : v) t += b.size();
    return t;
}

void BM_lz_decode(benchmark::State& state)
{
    prepare();
    std::vector<Bytes>& streams = our_streams(true);
    Bytes out(corpus_bytes);
    for (auto _ : state) {
        uint8_t* o = out.data();
        for (size_t i = 0; i < corpus.size(); i++) {
            int64_t got = lz_decode(streams[i].data(), o, (uint32_t)streams[i].size(), (uint32_t)corpus[i].size());
            if (got != (int64_t)corpus[i].size()) state.SkipWithError("decode failed");
            o += corpus[i].size();
        }
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, total(streams));
}

void BM_lz_encode_fast(benchmark::State& state)
{
    prepare();
    Bytes out(LZ_ENCODE_BOUND(corpus_bytes));
    std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(corpus_bytes));
    size_t stored = 0;
    for (auto _ : state) {
        stored = 0;
        for (const Bytes& b : corpus)
            stored += lz_encode_fast(b.data(), out.data(), (uint32_t)b.size(), work.data());
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, stored);
}

// The encoder's hardest inputs, 1 MB each. A run and a flat 24-bit colour
// put every earlier position on one chain; text drawn at random from four or
// two letters gives each position hundreds or thousands of candidates that
// share its first four bytes, all of which an exact search must try.
const char* const WORST_CASES[] = {"run of one byte", "flat 24-bit colour", "four letters", "two letters"};

void BM_lz_encode_fast_worst(benchmark::State& state)
{
    const int kind = (int)state.range(0);
    Bytes in(1 << 20);
    std::mt19937 rng(7);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = kind == 0 ? 'a' : kind == 1 ? "\xff\x00\xff"[i % 3] : kind == 2 ? "ACGT"[rng() % 4] : "ab"[rng() % 2];
    Bytes out(LZ_ENCODE_BOUND(in.size()));
    std::vector<uint32_t> work(LZ_FAST_WORK_ENTRIES(in.size()));
    uint32_t stored = 0;
    for (auto _ : state) {
        stored = lz_encode_fast(in.data(), out.data(), (uint32_t)in.size(), work.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)in.size());
    state.counters["ratio"] = (double)stored / (double)in.size();
    state.SetLabel(WORST_CASES[kind]);
}

void BM_lz_encode(benchmark::State& state)
{
    prepare();
    Bytes out(LZ_ENCODE_BOUND(corpus_bytes));
    size_t stored = 0;
    for (auto _ : state) {
        stored = 0;
        for (const Bytes& b : corpus) stored += lz_encode(b.data(), out.data(), (uint32_t)b.size());
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, stored);
}

std::vector<Bytes>& lz4_streams()
{
    static std::vector<Bytes> s;
    if (s.empty()) {
        for (const Bytes& b : corpus) {
            Bytes out((size_t)LZ4_compressBound((int)b.size()));
            out.resize((size_t)LZ4_compress_default((const char*)b.data(), (char*)out.data(), (int)b.size(),
                                                    (int)out.size()));
            s.push_back(out);
        }
    }
    return s;
}

void BM_lz4_decompress(benchmark::State& state)
{
    prepare();
    std::vector<Bytes>& streams = lz4_streams();
    Bytes out(corpus_bytes);
    for (auto _ : state) {
        char* o = (char*)out.data();
        for (size_t i = 0; i < corpus.size(); i++) {
            int got = LZ4_decompress_safe((const char*)streams[i].data(), o, (int)streams[i].size(),
                                          (int)corpus[i].size());
            if (got != (int)corpus[i].size()) state.SkipWithError("lz4 decode failed");
            o += corpus[i].size();
        }
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, total(streams));
}

void BM_lz4_compress(benchmark::State& state)
{
    prepare();
    Bytes out((size_t)LZ4_compressBound((int)corpus_bytes));
    size_t stored = 0;
    for (auto _ : state) {
        stored = 0;
        for (const Bytes& b : corpus)
            stored += (size_t)LZ4_compress_default((const char*)b.data(), (char*)out.data(), (int)b.size(),
                                                   (int)out.size());
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, stored);
}

std::vector<Bytes>& zlib_streams()
{
    static std::vector<Bytes> s;
    if (s.empty()) {
        for (const Bytes& b : corpus) {
            uLongf n = compressBound(b.size());
            Bytes out(n);
            compress2(out.data(), &n, b.data(), b.size(), Z_DEFAULT_COMPRESSION);
            out.resize(n);
            s.push_back(out);
        }
    }
    return s;
}

void BM_zlib_uncompress(benchmark::State& state)
{
    prepare();
    std::vector<Bytes>& streams = zlib_streams();
    Bytes out(corpus_bytes);
    for (auto _ : state) {
        uint8_t* o = out.data();
        for (size_t i = 0; i < corpus.size(); i++) {
            uLongf n = corpus[i].size();
            if (uncompress(o, &n, streams[i].data(), streams[i].size()) != Z_OK) state.SkipWithError("zlib failed");
            o += corpus[i].size();
        }
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, total(streams));
}

void BM_zlib_compress(benchmark::State& state)
{
    prepare();
    Bytes out(compressBound(corpus_bytes));
    size_t stored = 0;
    for (auto _ : state) {
        stored = 0;
        for (const Bytes& b : corpus) {
            uLongf n = out.size();
            compress2(out.data(), &n, b.data(), b.size(), Z_DEFAULT_COMPRESSION);
            stored += n;
        }
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, stored);
}

} // namespace

BENCHMARK(BM_lz_decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lz4_decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_zlib_uncompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lz_encode_fast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lz_encode_fast_worst)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lz4_compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_zlib_compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lz_encode)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
