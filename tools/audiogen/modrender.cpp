// modrender [-s CHANNEL] MODULE [OUT.wav]: a listening aid for composing.
// -s plays one channel alone (0..3), to judge the balance. Loads a module
// with libopenmpt, prints every message the library logs, the duration and
// the peak and RMS level of every ten seconds, and renders it to a 44.1 kHz
// stereo WAV file when asked to. Not part of the build of the game.
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_ext.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define RENDER_RATE 44100
#define REPORT_SECONDS 10

static void log_message(const char* message, void* user)
{
    (void)user;
    printf("libopenmpt: %s\n", message);
}

static void put16(FILE* f, uint16_t v)
{
    fputc(v & 0xFF, f);
    fputc(v >> 8, f);
}

static void put32(FILE* f, uint32_t v)
{
    put16(f, (uint16_t)(v & 0xFFFF));
    put16(f, (uint16_t)(v >> 16));
}

int main(int argc, char** argv)
{
    int solo = -1;
    if (argc > 2 && std::string(argv[1]) == "-s") {
        solo = atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) {
        fprintf(stderr, "usage: modrender [-s CHANNEL] MODULE [OUT.wav]\n");
        return 2;
    }
    FILE* f = fopen(argv[1], "rb");
    if (!f) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<char> data;
    char buf[65536];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + got);
    fclose(f);
    int error = 0;
    openmpt_module_ext* ext = openmpt_module_ext_create_from_memory(data.data(), data.size(), log_message, nullptr,
                                                                    nullptr, nullptr, &error, nullptr, nullptr);
    if (!ext) {
        fprintf(stderr, "libopenmpt refused the module (error %d)\n", error);
        return 1;
    }
    openmpt_module* mod = openmpt_module_ext_get_module(ext);
    // Muting rather than emptying the other channels keeps their tempo and
    // speed commands, so a solo lasts as long as the whole.
    openmpt_module_ext_interface_interactive interactive;
    if (solo >= 0) {
        if (!openmpt_module_ext_get_interface(ext, LIBOPENMPT_EXT_C_INTERFACE_INTERACTIVE, &interactive,
                                              sizeof interactive)) {
            fprintf(stderr, "this libopenmpt cannot mute channels\n");
            return 1;
        }
        for (int ch = 0; ch < openmpt_module_get_num_channels(mod); ch++)
            interactive.set_channel_mute_status(ext, ch, ch != solo);
    }
    const char* warnings = openmpt_module_get_metadata(mod, "warnings");
    if (warnings && warnings[0])
        printf("warnings: %s\n", warnings);
    openmpt_free_string(warnings);
    printf("duration %.1f s, %d channels, %d orders, %d patterns\n", openmpt_module_get_duration_seconds(mod),
           openmpt_module_get_num_channels(mod), openmpt_module_get_num_orders(mod),
           openmpt_module_get_num_patterns(mod));
    std::vector<int16_t> pcm;
    std::vector<int16_t> block(2 * RENDER_RATE);
    int second = 0;
    for (;;) {
        size_t frames = openmpt_module_read_interleaved_stereo(mod, RENDER_RATE, RENDER_RATE, block.data());
        if (frames == 0)
            break;
        pcm.insert(pcm.end(), block.begin(), block.begin() + 2 * frames);
        second++;
    }
    size_t per_report = (size_t)RENDER_RATE * 2 * REPORT_SECONDS;
    for (size_t at = 0; at < pcm.size(); at += per_report) {
        double sum = 0.0;
        int peak = 0;
        size_t end = at + per_report < pcm.size() ? at + per_report : pcm.size();
        for (size_t i = at; i < end; i++) {
            sum += (double)pcm[i] * pcm[i];
            peak = abs(pcm[i]) > peak ? abs(pcm[i]) : peak;
        }
        printf("%4zu s: peak %5.1f dBFS, rms %5.1f dBFS\n", at / (RENDER_RATE * 2),
               20 * log10((peak + 1) / 32768.0), 10 * log10(sum / (end - at) / (32768.0 * 32768.0) + 1e-12));
    }
    if (argc > 2) {
        FILE* out = fopen(argv[2], "wb");
        if (!out)
            return 1;
        uint32_t bytes = (uint32_t)pcm.size() * 2;
        fwrite("RIFF", 1, 4, out);
        put32(out, 36 + bytes);
        fwrite("WAVEfmt ", 1, 8, out);
        put32(out, 16);
        put16(out, 1);
        put16(out, 2);
        put32(out, RENDER_RATE);
        put32(out, RENDER_RATE * 4);
        put16(out, 4);
        put16(out, 16);
        fwrite("data", 1, 4, out);
        put32(out, bytes);
        fwrite(pcm.data(), 2, pcm.size(), out);
        fclose(out);
    }
    openmpt_module_ext_destroy(ext);
    return 0;
}
