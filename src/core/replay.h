// Recording runs and playing them back.
//
// Every run, from new_game until it leaves the playing state, can be
// recorded into a replay file (util/replay_file.h) and played again tick
// for tick. What makes a run repeat:
//  - new_game feeds the random generator a seed of its own, drawn from the
//    generator itself (which start_up seeds from the clock), so each run
//    starts from a fresh seed the player never notices, and a test that
//    seeds the generator still repeats;
//  - what a new game does not reset is kept with the seed: the sound and
//    music switches, the prompt's blink, the banner's shake, the tile
//    loops, the last laugh, the pointer, the tick accumulator and the
//    frame_factor of the frame new_game ran in;
//  - the frame loop reports every frame's frame_factor, and handle_input
//    takes its events, held keys and pointer from the input source below,
//    which reads them from SDL (recording what it read) or from the replay.
// The rules read no clock; a laugh waits for the last one by a count of
// ticks taken from the sample's length, not by asking the mixer. The
// random stream is shared with the visual timers (the banner's shake) and
// with the effect tables (a full table skips its draws), so a playback must
// advance every frame as it was advanced, not only the ticks.
//
// Files go to REPLAY_FOLDER beside the game: the last run always as
// REPLAY_LAST_FILE, a run that enters the high-score table also as
// "<MMDDYY_HHMMSS>_<score>.rpl". Writing is atomic, and a write that fails
// is dropped without a word: it never stops the game or touches the scores.
#pragma once

#include <cstdint>

#include "util/replay_file.h"

union SDL_Event;

#define REPLAY_OFF 0    // nothing recorded or played (tests, tools)
#define REPLAY_RECORD 1 // every run is recorded; the game from start_up on
#define REPLAY_PLAY 2   // the next run comes from the loaded replay

#define REPLAY_FOLDER "replays"
#define REPLAY_LAST_FILE "replays/last.rpl"
#define REPLAY_ASSETS "assets.bin"

// What the playback has found so far (replay_status).
#define REPLAY_PENDING 0  // not started, or still running as recorded
#define REPLAY_MATCHED 1  // ended as recorded: every checksum and the result
#define REPLAY_DIVERGED 2 // parted from the recording (replay_verdict says where)

// REPLAY_OFF until start_up or a test sets it; REPLAY_PLAY after load_replay.
extern int replay_mode;

// The files of "-replay FILE" and "-verify FILE" (argv's own strings), or
// null. Set by parse_arguments.
extern const char* replay_watch_file;
extern const char* replay_verify_file;

// Everything a rule can change: the characters in list order, the bullets
// in firing order, the items, the effect tables, the meters and counters,
// the run flags and the game state.
uint64_t world_checksum();

// replay_hash of REPLAY_ASSETS, read once and kept; 0 when it cannot be read.
uint64_t assets_checksum();

// Called by new_game before anything else: the seed it feeds the random
// generator. Recording: a fresh seed, and the recording of this run starts
// from the state as it stands. Playing: the state the recording started
// from is put back (settings, overlays, tile loops, last laugh, pointer,
// tick_accumulator, frame_factor) and its seed returned.
uint32_t start_run_replay();

// Called by the frame loop before each frame's ticks; a recorded run gets
// the frame's frame_factor.
void replay_frame_started();

// --- Recording

// Called once the run that entered the high-score table is stored: writes
// its copy "<MMDDYY_HHMMSS>_<score>.rpl" beside the last one.
void save_entered_replay();

// --- Playing

// Loads `path` for playback and sets REPLAY_PLAY; the next new_game starts
// the recorded run. A file that cannot be played is fatal ("load_replay()")
// with the file's name and the reason.
void load_replay(const char* path);

// As load_replay, but returns 0 with the reason (to follow the file's name:
// "is cut short ...") instead of ending the program; 1 when loaded.
int open_replay(const char* path, char* reason, size_t reason_size);

// The next frame of the playback: 1 with its frame_factor, or 0 when the
// recording has no more frames (run over, diverged, or not started).
int replay_next_frame(float* frame_factor);

// REPLAY_PENDING, REPLAY_MATCHED or REPLAY_DIVERGED.
int replay_status();

// One line: "replay ok: score S, kills K, T sec" once matched, or "replay
// diverges at tick N: ..." with the first difference found.
const char* replay_verdict();

// Leaves playback (REPLAY_OFF) and releases the loaded replay.
void stop_replay();

// --- The input source handle_input reads, one tick at a time: begin, the
// events, the held keys (only when the player is steered), end.

// The key state array to read held keys from, and the pointer.
const uint8_t* input_tick_begin(int* pointer_x, int* pointer_y);

// The next event of this tick into *event: 1, or 0 when there are no more.
// key_state is the array input_tick_begin gave.
int input_next_event(SDL_Event* event, const uint8_t* key_state);

// The array to read the movement keys from when steering the player.
const uint8_t* input_held_keys(const uint8_t* key_state);

// After the tick's input: counts the tick, takes or compares the second's
// checksum, and notices the run leaving the playing state.
void input_tick_end();
