// Sound on SDL_mixer (samples, output) and libopenmpt (modules).
//
// SDL_mixer mixes on SDL's audio thread. Samples are Mix_Chunks played on
// mixer channels 1..18; channel 0 is reserved for the music and never given
// a chunk. The music does not go through SDL_mixer's own music player:
// music_hook, installed with Mix_HookMusic, renders the current module with
// libopenmpt straight into the output buffer before the channels are added
// on top. Everything the hook reads (current module, paused flag, volume,
// end flag) is changed only with the audio thread locked out, so a module
// is never swapped or destroyed while it is being rendered.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/frame.h"
#include "util/settings.h"
#include "util/errors.h"

struct Sound {
    Mix_Chunk* chunk;         // a wave sample, or
    openmpt_module* module;   // a tracker module
    int ticks;                // a sample's length in logic ticks, rounded up
};

// Output buffer length in sample frames: about 23 ms at 44,100 Hz, short
// enough that a sample starts without a noticeable lag.
#define OUTPUT_BUFFER_FRAMES 1024

// The hook renders in pieces of this many frames into a fixed buffer, so
// it never allocates on the audio thread.
#define RENDER_FRAMES 512

// A two-point (linear) filter is the shortest libopenmpt offers besides
// 1, which means none: the nearest source sample is taken.
#define NO_INTERPOLATION 1

static int sound_ready = 0;            // init_sound has run, close_sound not yet
static int started_audio_subsystem = 0;
static int output_channels = 2;
static int output_rate = SOUND_RATE;

Sound* samples[SAMPLE_COUNT];
Sound* modules[MODULE_COUNT];

// Music state shared with the audio thread; see the note at the top.
static openmpt_module* music_module = nullptr; // null: no module started
static int music_paused = 0;
static int music_ended = 0;
static float music_volume = 1.0f;

static float render_buffer[RENDER_FRAMES * 2];

static short clip_sample(float value)
{
    float scaled = value * 32767.0f;
    if (scaled > 32767.0f)
        return 32767;
    if (scaled < -32768.0f)
        return -32768;
    return (short)scaled;
}

// Audio thread. Writes the whole buffer: music or silence. The mixer adds
// the sample channels afterwards.
static void music_hook(void* udata, Uint8* stream, int length)
{
    short* out = (short*)stream;
    int frames = length / (int)(sizeof(short) * output_channels);
    memset(stream, 0, (size_t)length);
    if (music_module == nullptr || music_paused || music_ended)
        return;

    while (frames > 0) {
        int want = frames < RENDER_FRAMES ? frames : RENDER_FRAMES;
        int got = (int)openmpt_module_read_interleaved_float_stereo(
            music_module, output_rate, (size_t)want, render_buffer);
        for (int i = 0; i < got; i++) {
            // Mono: both sides carry half the left plus half the right.
            float mono = 0.5f * render_buffer[2 * i] + 0.5f * render_buffer[2 * i + 1];
            short value = clip_sample(mono * music_volume);
            for (int c = 0; c < output_channels; c++)
                *out++ = value;
        }
        if (got < want) {
            music_ended = 1; // played once: the rest stays silent
            return;
        }
        frames -= got;
    }
}

// A fatal error exits with the device open. The mixer thread must be
// stopped before the libraries it runs in are torn down, or the process
// would crash on its way out instead of ending with the error's exit code.
static void close_audio_at_exit()
{
    if (!sound_ready)
        return;
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    sound_ready = 0;
}

void init_sound()
{
    static int exit_handler_registered = 0;
    if (sound_ready)
        return;
    if (!exit_handler_registered) {
        atexit(close_audio_at_exit);
        exit_handler_registered = 1;
    }
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
            fatal_error("init_sound()", "SDL_InitSubSystem(): %s", SDL_GetError());
        started_audio_subsystem = 1;
    }
    if (Mix_OpenAudio(SOUND_RATE, AUDIO_S16SYS, 2, OUTPUT_BUFFER_FRAMES) < 0)
        fatal_error("init_sound()", "Mix_OpenAudio(): %s", Mix_GetError());

    Uint16 format = 0;
    if (Mix_QuerySpec(&output_rate, &format, &output_channels) == 0)
        fatal_error("init_sound()", "Mix_QuerySpec(): %s", Mix_GetError());
    if (format != AUDIO_S16SYS || output_channels < 1 || output_channels > 2)
        fatal_error("init_sound()",
                    "Mix_OpenAudio(): output format 0x%x with %d channels is not 16-bit",
                    format, output_channels);

    if (Mix_AllocateChannels(SOUND_CHANNELS) != SOUND_CHANNELS)
        fatal_error("init_sound()", "Mix_AllocateChannels(): %s", Mix_GetError());
    // Keeps "any free channel" requests off the fixed channels.
    Mix_ReserveChannels(SOUND_CHANNELS);

    music_module = nullptr;
    music_paused = 0;
    music_ended = 0;
    music_volume = MUSIC_VOLUME_FULL;
    Mix_HookMusic(music_hook, nullptr);
    sound_ready = 1;
}

static void free_sound(Sound** handle)
{
    Sound* sound = *handle;
    if (sound == nullptr)
        return;
    if (sound->chunk != nullptr)
        Mix_FreeChunk(sound->chunk);
    if (sound->module != nullptr)
        openmpt_module_destroy(sound->module);
    free(sound);
    *handle = nullptr;
}

// A wave's length in logic ticks, rounded up, from its own rate and size
// rather than the converted chunk's: the device's format must not change it.
static int wave_ticks(const char* name, const unsigned char* data, size_t size)
{
    SDL_RWops* stream = SDL_RWFromConstMem(data, (int)size);
    if (stream == nullptr)
        fatal_error("load_sound()", "SDL_RWFromConstMem(): %s", SDL_GetError());
    SDL_AudioSpec wave_format;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(stream, 1, &wave_format, &samples, &length) == nullptr)
        fatal_error("load_sound()", "SDL_LoadWAV_RW(): %s", SDL_GetError());
    SDL_FreeWAV(samples);
    uint64_t bytes_per_second = (uint64_t)wave_format.freq * wave_format.channels * ((wave_format.format & 0xFF) / 8);
    if (bytes_per_second == 0)
        fatal_error("load_sound()", "Sample \"%s\" has no rate", name);
    return (int)(((uint64_t)length * TICKS_PER_SECOND + bytes_per_second - 1) / bytes_per_second);
}

static int is_wave(const unsigned char* data, size_t size)
{
    return size >= 12 && memcmp(data, "RIFF", 4) == 0 && memcmp(data + 8, "WAVE", 4) == 0;
}

// Makes a sound of a member's bytes; the caller keeps the buffer.
static void make_sound(Sound** handle, const char* name, const unsigned char* data, size_t size)
{
    Sound* sound = (Sound*)calloc(1, sizeof(Sound));
    if (sound == nullptr)
        fatal_error("load_sound()", "Failed allocating memory for sound \"%s\"", name);

    if (is_wave(data, size)) {
        // Without a device a sample is only its length: the rules that wait
        // for it must wait alike with and without sound.
        sound->ticks = wave_ticks(name, data, size);
        if (!sound_ready) {
            *handle = sound;
            return;
        }
        SDL_RWops* stream = SDL_RWFromConstMem(data, (int)size);
        if (stream == nullptr)
            fatal_error("load_sound()", "SDL_RWFromConstMem(): %s", SDL_GetError());
        sound->chunk = Mix_LoadWAV_RW(stream, 1); // copies and converts the data
        if (sound->chunk == nullptr)
            fatal_error("load_sound()", "Mix_LoadWAV_RW(): %s", Mix_GetError());
    } else {
        int error = 0;
        const char* message = nullptr;
        sound->module = openmpt_module_create_from_memory2(
            data, size, openmpt_log_func_silent, nullptr, nullptr, nullptr,
            &error, &message, nullptr);
        if (sound->module == nullptr) {
            char text[256];
            snprintf(text, sizeof text, "%s", message != nullptr ? message : openmpt_error_string(error));
            if (message != nullptr)
                openmpt_free_string(message);
            fatal_error("load_sound()", "openmpt_module_create_from_memory2(): %s", text);
        }
        if (!openmpt_module_set_render_param(sound->module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH,
                                             NO_INTERPOLATION))
            fatal_error("load_sound()", "openmpt_module_set_render_param(): %s",
                        openmpt_error_string(openmpt_module_error_get_last(sound->module)));
        openmpt_module_set_repeat_count(sound->module, 0); // play once
    }
    *handle = sound;
}

int sound_initialised()
{
    return sound_ready;
}

void load_sound_bytes(Sound** handle, const char* name, const unsigned char* data, size_t size)
{
    if (!sound_ready && !is_wave(data, size))
        return;
    free_sound(handle);
    make_sound(handle, name, data, size);
}

int module_playing()
{
    if (!sound_ready)
        return 0;
    SDL_LockAudio();
    int playing = music_module != nullptr && !music_ended;
    SDL_UnlockAudio();
    return playing;
}

void stop_module()
{
    if (!module_playing())
        return;
    SDL_LockAudio();
    music_module = nullptr;
    SDL_UnlockAudio();
}

void set_music_volume(float volume)
{
    if (!module_playing())
        return;
    SDL_LockAudio();
    music_volume = volume;
    SDL_UnlockAudio();
}

void play_module(int id, float volume)
{
    if (!sound_ready || !settings[MUSIC_ON])
        return;
    if (id < 0 || id >= MODULE_COUNT || modules[id] == nullptr || modules[id]->module == nullptr)
        fatal_error("play_module()", "Module %d is not loaded", id);
    if (module_playing())
        stop_module();

    openmpt_module* module = modules[id]->module;
    SDL_LockAudio();
    // From the beginning, even if this module played before; paused until
    // its volume is in place.
    openmpt_module_set_position_order_row(module, 0, 0);
    music_module = module;
    music_paused = 1;
    music_ended = 0;
    SDL_UnlockAudio();

    set_music_volume(volume);

    SDL_LockAudio();
    music_paused = 0;
    SDL_UnlockAudio();
}

void play_sample(int id)
{
    if (!sound_ready || !settings[SOUND_FX_ON])
        return;
    if (id < 0 || id >= SAMPLE_COUNT || samples[id] == nullptr || samples[id]->chunk == nullptr)
        fatal_error("play_sample()", "Sample %d is not loaded", id);
    // A fixed channel: the mixer cuts off whatever still plays there.
    if (Mix_PlayChannel(id + 1, samples[id]->chunk, 0) < 0)
        fatal_error("play_sample()", "Mix_PlayChannel(): %s", Mix_GetError());
}

int sample_playing(int id)
{
    if (!sound_ready || id < 0 || id >= SAMPLE_COUNT)
        return 0;
    return Mix_Playing(id + 1) ? 1 : 0;
}

int sample_ticks(int id)
{
    if (!settings[SOUND_FX_ON] || id < 0 || id >= SAMPLE_COUNT || samples[id] == nullptr)
        return 0;
    return samples[id]->ticks;
}

void stop_sample(int id)
{
    if (!sample_playing(id))
        return;
    Mix_HaltChannel(id + 1);
}

void update_sound()
{
    // Nothing to pump: SDL_mixer mixes on its own thread and the hook
    // notices a module's end itself.
}

void close_sound()
{
    if (!sound_ready) {
        for (int i = 0; i < SAMPLE_COUNT; i++)
            free_sound(&samples[i]); // lengths only
        return;
    }
    // Unhook first: after this the audio thread no longer touches modules.
    Mix_HookMusic(nullptr, nullptr);
    music_module = nullptr;
    Mix_HaltChannel(-1);
    for (int i = 0; i < MODULE_COUNT; i++)
        free_sound(&modules[i]);
    for (int i = 0; i < SAMPLE_COUNT; i++)
        free_sound(&samples[i]);
    Mix_CloseAudio();
    if (started_audio_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        started_audio_subsystem = 0;
    }
    sound_ready = 0;
}
