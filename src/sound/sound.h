// Sound: 18 samples and 3 tracker modules, loaded from "assets.bin" once at
// start-up and kept until close_sound.
//
// Every sound has a fixed channel. Channel 0 carries the music, channel
// id + 1 carries sample id, so starting a sample again cuts off its previous
// playing and no two copies of one sample ever sound together. The music is
// one module at a time, rendered by libopenmpt at 44,100 Hz without
// interpolation, played once, and mixed to mono (each side hears half of the
// module's left plus half of its right).
//
// settings[MUSIC_ON] and settings[SOUND_FX_ON] (util/settings.h) are read
// here and nowhere changed: with music off play_module starts nothing, with
// effects off play_sample plays nothing; sounds already playing go on.
//
// Every function is a harmless no-op until init_sound has run (queries
// report silence), so rule code that plays sounds can be tested without an
// audio device. After init_sound, every library failure is fatal with the
// function's tag and "Call(): %s" carrying the library's own error text.
#pragma once

#include <cstddef>

#define SOUND_ARCHIVE "assets.bin"

// Channel layout: music first, then one channel per sample.
#define MUSIC_CHANNEL 0
#define SAMPLE_COUNT 18
#define MODULE_COUNT 3
#define SOUND_CHANNELS (1 + SAMPLE_COUNT)

// Output and module rendering rate.
#define SOUND_RATE 44100

// Sample ids (index into the sample table, member in sound.cpp).
#define SAMPLE_SWING 0      // the player attacks
#define SAMPLE_GUN 1        // an armed character fires
#define SAMPLE_SPLAT 2      // a strike or a bullet hits
#define SAMPLE_RICOCHET 3   // a bullet hits a wall
#define SAMPLE_PILLS 4      // an item is picked up
#define SAMPLE_ALERT 5      // psychosis is running low
#define SAMPLE_ALERT2 6     // steroids are running out
#define SAMPLE_PANT 7       // health is low
#define SAMPLE_SIGH 8       // some ticks after painkillers helped
#define SAMPLE_GROWL 9      // steroids are picked up
#define SAMPLE_LAUGH 10     // first of the four plain laughs, 10..13
#define SAMPLE_LAUGH_STEROIDS 14 // first of the four laughs under steroids, 14..17
#define LAUGH_VARIANTS 4

// Module ids.
#define MODULE_TITLE 0      // title screen
#define MODULE_INTRO 1      // intro, credits and story
#define MODULE_HIGHSCORE 2  // new-high-score screen

// Music volumes used by the callers.
#define MUSIC_VOLUME_FULL 1.0f
#define MUSIC_VOLUME_PAUSED 0.35f

// A loaded sound (wave sample or tracker module); contents private.
struct Sound;

// Index = sample id and module id. Filled by load_samples and load_modules,
// emptied by close_sound.
extern Sound* samples[SAMPLE_COUNT];
extern Sound* modules[MODULE_COUNT];

// Opens the audio device (44,100 Hz, 16-bit, stereo) with 19 channels.
// Starts SDL's audio subsystem itself if nobody has. No fallback: without an
// audio device the game does not start (SDL_AUDIODRIVER=dummy runs silent).
void init_sound();

// 1 from init_sound until close_sound.
int sound_initialised();

// Reads member `name` from "assets.bin" and makes a sound of it: RIFF/WAVE
// data becomes a sample, anything else must be a module libopenmpt accepts.
// A missing member is fatal: "File \"%s\" not found in archive \"%s\"".
void load_sound(Sound** handle, const char* name);

// Makes a sound of a member image already in memory, as load_sound does
// with the archive's bytes (tests and tools use it directly); a sound held
// by `handle` before is freed first. `name` only labels error messages.
void load_sound_bytes(Sound** handle, const char* name, const unsigned char* data, size_t size);

// The three modules (nothing without a device), then the 18 samples (without
// a device only their lengths), each in id order.
void load_modules();
void load_samples();

// Stops any module, then starts module `id` (0..2) from its beginning at
// `volume` (0..1). It starts paused and is released only once its volume is
// set, so nothing is heard at the wrong level. Does nothing with music off.
void play_module(int id, float volume);

// 1 while a module is started and has not ended or been stopped, else 0.
int module_playing();

// Stops the music; nothing happens when none plays.
void stop_module();

// Volume (0..1) of the playing module. Without music it has no effect and is
// not remembered: the next play_module sets its own.
void set_music_volume(float volume);

// Starts sample `id` (0..17) on its channel from the beginning, replacing
// whatever still plays there. Does nothing with effects off.
void play_sample(int id);

// 1 while sample `id`'s channel plays, else 0.
int sample_playing(int id);

// Logic ticks that sample `id` sounds once play_sample starts it: its length
// in the archive, rounded up to whole ticks, with or without a device
// (without one, load_samples keeps only the lengths); 0 when the sample is
// not loaded or sound_fx_on is 0. Rules that wait
// for a sound count these ticks instead of asking the mixer, whose progress
// follows the audio device's clock and would make a run unrepeatable.
int sample_ticks(int id);

// Stops sample `id`; nothing happens when it is silent.
void stop_sample(int id);

// Once per drawn frame. Mixing runs on SDL's audio thread, so this never
// waits on anything.
void update_sound();

// Stops everything, frees the 21 sounds and closes the audio device.
void close_sound();
