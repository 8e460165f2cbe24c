// audiolevels FILE...: how loud our sounds are as a player hears them, to
// judge a mix without trusting one's own speakers. Not part of the game.
//
// A module (.mod) gets one line per section, in the order played: its
// A-weighted level in the full mix, then each channel played alone, and the
// lead against the other three together; then the median section and the
// section furthest below it (written fades left out).
// A mono 16-bit wave gets one line: the A-weighted level of its loudest
// 100 ms and of its first 50 ms, its level per band (kHz), how far the
// presence band (2-4 kHz) sits under the vowel band (0.3-1 kHz), the share of
// energy under 300 Hz, the 2-6 kHz band over the first 20 ms (a gunshot's
// attack) and that against the band under 300 Hz (its crack over its thump),
// and its last 50 ms against its loudest 100 ms (cut off while ringing?).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio_measure.h"

static const float BANDS[6] = { 0, 300, 1000, 2000, 4000, 8000 };

static bool read_file(const char* path, std::vector<uint8_t>* bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    uint8_t buf[65536];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0)
        bytes->insert(bytes->end(), buf, buf + got);
    fclose(f);
    return true;
}

static uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = v << 8 | b[at + i];
    return v;
}

static int report_module(const char* path, const std::vector<uint8_t>& bytes)
{
    ModuleRender mix, alone[4];
    if (!render_module(bytes, 0, &mix)) {
        fprintf(stderr, "%s: libopenmpt refused it\n", path);
        return 1;
    }
    for (int ch = 0; ch < 4; ch++)
        if (!render_module(bytes, 0xF & ~(1u << ch), &alone[ch])) {
            fprintf(stderr, "%s: this libopenmpt cannot mute channels\n", path);
            return 1;
        }
    printf("%s: %zu sections, %.1f s; levels in dB(A)\n", path, mix.section_start.size(),
           (double)mix.pcm.size() / MEASURE_MODULE_RATE);
    printf("sect pat  start    mix  drums   bass chords   lead  lead-rest\n");
    std::vector<double> levels;
    for (size_t s = 0; s < mix.section_start.size(); s++) {
        double level = section_db(mix, s), rest = 0.0, lead = 0.0;
        printf("%4zu %3d %6.1f %6.1f", s, mix.pattern[s], (double)mix.section_start[s] / MEASURE_MODULE_RATE, level);
        for (int ch = 0; ch < 4; ch++) {
            // Muting leaves the timing alone, so the sections line up.
            double p = band_power(alone[ch].pcm, mix.section_start[s], section_end(mix, s), MEASURE_MODULE_RATE,
                                  0, 0, true);
            printf(" %6.1f", power_db(p));
            *(ch == 3 ? &lead : &rest) += p;
        }
        if (lead > 1e-7)
            printf("  %+6.1f", power_db(lead) - power_db(rest));
        printf("%s\n", mix.fade[s] ? "  (fade)" : "");
        if (!mix.fade[s])
            levels.push_back(level);
    }
    std::vector<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty())
        printf("median %.1f dB(A), lowest %.1f (%.1f below)\n\n", sorted[sorted.size() / 2], sorted[0],
               sorted[sorted.size() / 2] - sorted[0]);
    return 0;
}

static int report_wave(const char* path, const std::vector<uint8_t>& b)
{
    if (b.size() < 44 || memcmp(b.data(), "RIFF", 4) || memcmp(b.data() + 8, "WAVEfmt ", 8)
        || le(b, 20, 2) != 1 || le(b, 22, 2) != 1 || le(b, 34, 2) != 16 || memcmp(b.data() + 36, "data", 4)) {
        fprintf(stderr, "%s: not a mono 16-bit PCM wave\n", path);
        return 1;
    }
    float rate = (float)le(b, 24, 4);
    size_t frames = std::min<size_t>(le(b, 40, 4), b.size() - 44) / 2;
    std::vector<float> x(frames);
    for (size_t i = 0; i < frames; i++)
        x[i] = (int16_t)le(b, 44 + 2 * i, 2) / 32768.0f;
    SampleFigures f = measure_sample(x, rate);
    printf("%-13s %5.2f %7.1f %7.1f", strrchr(path, '/') ? strrchr(path, '/') + 1 : path, frames / rate,
           f.loudest_100ms, f.first_50ms);
    for (int k = 0; k < 6; k++)
        printf(" %6.1f", power_db(band_power(x, 0, frames, rate, BANDS[k], k < 5 ? BANDS[k + 1] : 0, false)));
    printf(" %8.1f %5.0f%% %6.1f %6.1f %6.1f\n", f.presence, 100.0 * pow(10.0, f.low_share / 10.0), f.attack, f.crack,
           f.tail);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: audiolevels FILE.mod|FILE.wav...\n");
        return 2;
    }
    bool heading = false;
    int status = 0;
    for (int i = 1; i < argc; i++) {
        std::vector<uint8_t> bytes;
        if (!read_file(argv[i], &bytes)) {
            fprintf(stderr, "cannot open %s\n", argv[i]);
            status = 1;
            continue;
        }
        if (bytes.size() >= 4 && memcmp(bytes.data(), "RIFF", 4) == 0) {
            if (!heading)
                printf("sample         secs loud100 first50   <0.3  0.3-1    1-2    2-4    4-8    >8k"
                       " presence  <0.3k attack  crack   tail\n");
            heading = true;
            status |= report_wave(argv[i], bytes);
        } else {
            status |= report_module(argv[i], bytes);
        }
    }
    return status;
}
