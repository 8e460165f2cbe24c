#include "mod_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

static const uint16_t PERIODS[MOD_NOTE_COUNT] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

static void fail(const char* what)
{
    fprintf(stderr, "modgen: %s\n", what);
    exit(1);
}

void mod_clear_pattern(ModPattern* p)
{
    for (int r = 0; r < MOD_ROWS; r++)
        for (int c = 0; c < MOD_CHANNELS; c++)
            p->cell[r][c] = ModCell{ -1, 0, 0, 0 };
}

std::vector<int8_t> mod_quantize(const std::vector<float>& wave)
{
    float peak = 0.0f;
    for (float x : wave)
        peak = fmaxf(peak, fabsf(x));
    float k = peak > 0.0f ? 127.0f / peak : 0.0f;
    std::vector<int8_t> out(wave.size() + (wave.size() & 1), 0);
    for (size_t i = 0; i < wave.size(); i++)
        out[i] = (int8_t)lrintf(wave[i] * k);
    return out;
}

static void put16(std::vector<uint8_t>* out, int v)
{
    out->push_back((uint8_t)((v >> 8) & 0xFF));
    out->push_back((uint8_t)(v & 0xFF));
}

static void put_text(std::vector<uint8_t>* out, const std::string& s, size_t width)
{
    for (size_t i = 0; i < width; i++)
        out->push_back(i < s.size() ? (uint8_t)s[i] : 0);
}

std::vector<uint8_t> mod_serialise(const ModSong* song)
{
    if (song->title.size() > 20)
        fail("title longer than 20 characters");
    if (song->patterns.empty() || song->patterns.size() > MOD_MAX_PATTERNS)
        fail("pattern count out of range");
    if (song->order.empty() || song->order.size() > MOD_MAX_ORDERS)
        fail("order count out of range");
    std::vector<uint8_t> out;
    put_text(&out, song->title, 20);
    for (int s = 0; s < MOD_SAMPLE_SLOTS; s++) {
        const ModSample& smp = song->samples[s];
        if (smp.name.size() > 22 || smp.data.size() > MOD_MAX_SAMPLE_BYTES || (smp.data.size() & 1))
            fail("sample name or length out of range");
        if (smp.loop_length > 0 && (smp.loop_start + smp.loop_length > (int)smp.data.size()
                                    || (smp.loop_start & 1) || (smp.loop_length & 1) || smp.loop_length < 4))
            fail("sample loop outside its data");
        put_text(&out, smp.name, 22);
        put16(&out, (int)smp.data.size() / 2);
        out.push_back(0);  // finetune
        out.push_back((uint8_t)(smp.volume < 0 ? 0 : (smp.volume > 64 ? 64 : smp.volume)));
        put16(&out, smp.loop_length > 0 ? smp.loop_start / 2 : 0);
        put16(&out, smp.loop_length > 0 ? smp.loop_length / 2 : 1);
    }
    out.push_back((uint8_t)song->order.size());
    // Restart position 0: the game plays each module once, so it is never used.
    out.push_back(0);
    int highest = 0;
    for (size_t i = 0; i < MOD_MAX_ORDERS; i++) {
        int p = i < song->order.size() ? song->order[i] : 0;
        if (p < 0 || p >= (int)song->patterns.size())
            fail("order names a missing pattern");
        if (p > highest)
            highest = p;
        out.push_back((uint8_t)p);
    }
    if (highest + 1 != (int)song->patterns.size())
        fail("patterns stored that no order plays");
    out.push_back('M');
    out.push_back('.');
    out.push_back('K');
    out.push_back('.');
    for (const ModPattern& pat : song->patterns) {
        for (int r = 0; r < MOD_ROWS; r++) {
            for (int c = 0; c < MOD_CHANNELS; c++) {
                const ModCell& cell = pat.cell[r][c];
                if (cell.note >= MOD_NOTE_COUNT || cell.sample < 0 || cell.sample > MOD_SAMPLE_SLOTS
                    || cell.effect < 0 || cell.effect > 15 || cell.param < 0 || cell.param > 255)
                    fail("pattern cell out of range");
                int period = cell.note >= 0 ? PERIODS[cell.note] : 0;
                out.push_back((uint8_t)((cell.sample & 0xF0) | (period >> 8)));
                out.push_back((uint8_t)(period & 0xFF));
                out.push_back((uint8_t)(((cell.sample & 0x0F) << 4) | cell.effect));
                out.push_back((uint8_t)cell.param);
            }
        }
    }
    for (int s = 0; s < MOD_SAMPLE_SLOTS; s++)
        for (int8_t v : song->samples[s].data)
            out.push_back((uint8_t)v);
    return out;
}

void mod_write_file(const ModSong* song, const std::string& path)
{
    std::vector<uint8_t> bytes = mod_serialise(song);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        fprintf(stderr, "modgen: cannot write %s\n", path.c_str());
        exit(1);
    }
}
