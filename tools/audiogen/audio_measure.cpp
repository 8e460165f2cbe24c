#include "audio_measure.h"

#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_ext.h>

#include <algorithm>
#include <cmath>
#include <complex>

// Rendering in small blocks places each section's start within 1.5 ms.
#define RENDER_BLOCK_FRAMES 64
#define MOD_HEAD_BYTES 1084
#define MOD_PATTERN_BYTES 1024
#define FX_VOLUME_SLIDE 0xA
// A sound up to FFT_WHOLE samples (three seconds at 44.1 kHz) is measured in
// one piece. A longer stretch is cut into pieces of FFT_CHUNK samples whose
// energies add up to the whole; each cut leaks about -55 dB into other bands,
// far below anything worth measuring in a mix, and keeps a five-minute
// module quick to measure.
#define FFT_WHOLE 131072
#define FFT_CHUNK 16384

typedef std::complex<double> Complex;

static void fft(std::vector<Complex>* data)
{
    std::vector<Complex>& a = *data;
    size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    std::vector<Complex> twiddle(n / 2);
    for (size_t k = 0; k < n / 2; k++)
        twiddle[k] = std::polar(1.0, -2.0 * M_PI * (double)k / (double)n);
    for (size_t len = 2; len <= n; len <<= 1)
        for (size_t i = 0; i < n; i += len)
            for (size_t k = 0; k < len / 2; k++) {
                Complex u = a[i + k], v = a[i + k + len / 2] * twiddle[k * (n / len)];
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
}

// The IEC 61672 A-weighting curve as a power gain, unity at 1 kHz.
static double a_weight(double f)
{
    const double f1 = 20.598997, f2 = 107.65265, f3 = 737.86223, f4 = 12194.217;
    double ff = f * f;
    double ra = f4 * f4 * ff * ff / ((ff + f1 * f1) * sqrt((ff + f2 * f2) * (ff + f3 * f3)) * (ff + f4 * f4));
    ra *= 1.2589254;  // +2.0 dB
    return ra * ra;
}

// Energy of one piece within the band.
static double chunk_energy(const float* x, size_t count, float rate, float lo, float hi, bool a_weighted)
{
    size_t n = 1;
    while (n < count)
        n <<= 1;
    std::vector<Complex> spectrum(n);
    for (size_t i = 0; i < count; i++)
        spectrum[i] = x[i];
    fft(&spectrum);
    double top = hi > 0.0f ? hi : rate;
    double sum = 0.0;
    // A real signal's bins k and n - k carry the same power.
    for (size_t k = 0; k <= n / 2; k++) {
        double f = (double)k * rate / (double)n;
        if (f >= lo && f < top)
            sum += std::norm(spectrum[k]) * (a_weighted ? a_weight(f) : 1.0) * (k == 0 || k == n / 2 ? 1 : 2);
    }
    // Parseval: the bins' energy is n times the signal's.
    return sum / (double)n;
}

double band_power(const std::vector<float>& x, size_t from, size_t to, float rate, float lo, float hi,
                  bool a_weighted)
{
    to = to < x.size() ? to : x.size();
    if (from >= to)
        return 0.0;
    double energy = 0.0;
    size_t piece = to - from <= FFT_WHOLE ? FFT_WHOLE : FFT_CHUNK;
    for (size_t at = from; at < to; at += piece)
        energy += chunk_energy(x.data() + at, std::min<size_t>(piece, to - at), rate, lo, hi, a_weighted);
    return energy / (double)(to - from);
}

double power_db(double power)
{
    return power > 0.0 ? 10.0 * log10(power) : LEVEL_SILENT_DB;
}

double loudest_db(const std::vector<float>& x, float rate, float window)
{
    size_t width = (size_t)(window * rate), step = width / 10 ? width / 10 : 1;
    double best = 0.0;
    for (size_t at = 0; at == 0 || at + width <= x.size(); at += step)
        best = fmax(best, band_power(x, at, at + width, rate, 0.0f, 0.0f, true));
    return power_db(best);
}

SampleFigures measure_sample(const std::vector<float>& x, float rate)
{
    auto at = [rate](double seconds) { return (size_t)(seconds * rate); };
    auto db = [&](size_t from, size_t to, float lo, float hi) {
        return power_db(band_power(x, from, to, rate, lo, hi, false));
    };
    size_t n = x.size();
    SampleFigures f;
    f.loudest_100ms = loudest_db(x, rate, 0.1f);
    f.first_50ms = power_db(band_power(x, 0, at(0.05), rate, 0, 0, true));
    f.presence = db(0, n, 2000, 4000) - db(0, n, 300, 1000);
    f.attack = db(0, at(0.02), 2000, 6000);
    f.crack = f.attack - db(0, at(0.02), 0, 300);
    f.low_share = db(0, n, 0, 300) - db(0, n, 0, 0);
    f.tail = power_db(band_power(x, n > at(0.05) ? n - at(0.05) : 0, n, rate, 0, 0, true)) - f.loudest_100ms;
    return f;
}

static bool pattern_fades(const std::vector<uint8_t>& bytes, int pattern)
{
    size_t at = MOD_HEAD_BYTES + (size_t)pattern * MOD_PATTERN_BYTES;
    if (at + MOD_PATTERN_BYTES > bytes.size())
        return false;
    for (size_t cell = at; cell < at + MOD_PATTERN_BYTES; cell += 4)
        if ((bytes[cell + 2] & 0x0F) == FX_VOLUME_SLIDE && bytes[cell + 3] > 0 && bytes[cell + 3] < 0x10)
            return true;
    return false;
}

bool render_module(const std::vector<uint8_t>& bytes, unsigned muted, ModuleRender* out)
{
    *out = ModuleRender();
    openmpt_module_ext* ext = openmpt_module_ext_create_from_memory(bytes.data(), bytes.size(),
        openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    if (!ext)
        return false;
    openmpt_module* mod = openmpt_module_ext_get_module(ext);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    openmpt_module_set_repeat_count(mod, 0);
    openmpt_module_ext_interface_interactive interactive;
    if (muted) {
        if (!openmpt_module_ext_get_interface(ext, LIBOPENMPT_EXT_C_INTERFACE_INTERACTIVE, &interactive,
                                              sizeof interactive)) {
            openmpt_module_ext_destroy(ext);
            return false;
        }
        for (int ch = 0; ch < openmpt_module_get_num_channels(mod); ch++)
            interactive.set_channel_mute_status(ext, ch, (muted >> ch) & 1);
    }
    float block[2 * RENDER_BLOCK_FRAMES];
    int order = -1;
    for (;;) {
        int now = openmpt_module_get_current_order(mod);
        if (now != order) {
            order = now;
            out->section_start.push_back(out->pcm.size());
            out->pattern.push_back(openmpt_module_get_current_pattern(mod));
            out->fade.push_back(pattern_fades(bytes, out->pattern.back()));
        }
        size_t got = openmpt_module_read_interleaved_float_stereo(mod, MEASURE_MODULE_RATE, RENDER_BLOCK_FRAMES,
                                                                  block);
        if (got == 0)
            break;
        for (size_t i = 0; i < got; i++)
            out->pcm.push_back(0.5f * block[2 * i] + 0.5f * block[2 * i + 1]);
    }
    // Once the song has ended libopenmpt reports the first order again while
    // it renders a last tick of silence; that is no section.
    if (!out->section_start.empty()
        && std::all_of(out->pcm.begin() + out->section_start.back(), out->pcm.end(), [](float x) { return x == 0; })) {
        out->section_start.pop_back();
        out->pattern.pop_back();
        out->fade.pop_back();
    }
    openmpt_module_ext_destroy(ext);
    return true;
}

size_t section_end(const ModuleRender& m, size_t s)
{
    return s + 1 < m.section_start.size() ? m.section_start[s + 1] : m.pcm.size();
}

double section_db(const ModuleRender& m, size_t s)
{
    return power_db(band_power(m.pcm, m.section_start[s], section_end(m, s), MEASURE_MODULE_RATE, 0, 0, true));
}
