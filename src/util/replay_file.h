// Replay files: one recorded run, from new_game until the run leaves the
// playing state, kept in enough detail to play it again tick for tick.
//
// A run follows from: the seed new_game feeds to the random generator; what
// a new game does not reset (the settings, the prompt's blink, the banner's
// shake, the tile loops, the last laugh, the pointer, the tick accumulator
// and the frame_factor of the frame new_game ran in); the "assets.bin" it
// was played with; then, frame by frame, the frame_factor of the frame and,
// tick by tick, the input handle_input consumed. Everything else is
// computed again. The world's checksum after every 60th tick and the run's
// result come along so that a playback can tell where it parted from the
// recording.
//
// File layout, little-endian, no padding:
//
//   size  field
//   32    signature REPLAY_SIGNATURE and its zero byte
//    2    format version, REPLAY_FORMAT_VERSION; a newer one is refused
//    2    game version that recorded the run
//    8    replay_hash of the "assets.bin" bytes
//    4    seed
//    1    settings, bit i = settings[i]
//    2+2  pointer x, y at the start (int16)
//    1    prompt_hidden
//    4    prompt_timer (float)
//    1+1  banner jitter x, y (int8)
//    4    jitter_timer (float)
//    4    last_laugh (int32)
//    4    tick_accumulator after the ticks of the frame new_game ran in
//    4    frame_factor of that frame (float)
//    1    n, tile loops (at most REPLAY_MAX_TILE_LOOPS)
//    5n   per loop: frame (uint8) and timer (float)
//    4    c, the per-second checksums
//    8c   world checksum after tick 60, 120, ... 60c
//    4    unpacked size of the input stream (at most REPLAY_MAX_STREAM)
//    4    packed size p
//    p    the input stream packed with lz_encode_fast
//    1    how the run ended (REPLAY_END_*)
//    1    the state the run left to (int8: title, new high score, quit)
//   4x4   score, civilian kills, armed kills, seconds (int32)
//    4    ticks
//    4    frames
//    8    replay_hash of every byte before it
//
// The input stream is a sequence of tokens, each opened by one byte:
//
//   00        TICK, the pointer where it was
//   01 b      TICK, the pointer moved by (dx, dy), each -8..7: dx in the low
//             four bits of b, dy in the high four, two's complement
//   02 x y    TICK, the pointer moved by (x, y), zigzag varints
//   40        EVENT the window's close request
//   41        EVENT the left mouse button pressed
//   42 s u    EVENT key s pressed typing character u (varints)
//   43 s u    EVENT the same with Left Alt held
//   80 m      HELD: the movement keys held when the player was steered,
//             one bit per key (REPLAY_HELD_*)
//   C0..FE    FRAME whose frame_factor is slot (byte - C0) of the table of
//             factors met so far
//   FF f      FRAME with a factor not in the table (float); it takes the next
//             slot while one is free
//
// A frame is its FRAME token and then its ticks; a tick is its TICK token,
// the events handled in it in order, then HELD if the held keys were read
// and differ from the last HELD. Ticks before the first frame are allowed
// (a run started outside the frame loop). Frame factors are measured in
// whole milliseconds, so a run meets few of them and most frames take one
// byte; a tick in which nothing changed is one byte too.
#pragma once

#include <cstddef>
#include <cstdint>

#define REPLAY_SIGNATURE "Crimson Lunatic Outbreak Replay"
#define REPLAY_SIGNATURE_SIZE 32 // the 31 characters and their zero byte
#define REPLAY_FORMAT_VERSION 1

#define REPLAY_MAX_TILE_LOOPS 16
// Limits that keep a damaged file from asking for much memory: a file is
// refused above REPLAY_MAX_FILE_SIZE before it is read, and its input
// stream above REPLAY_MAX_STREAM before it is unpacked. A ten-minute run
// needs well under 1 MB of stream.
#define REPLAY_MAX_FILE_SIZE (16u << 20)
#define REPLAY_MAX_STREAM (64u << 20)
// A frame longer than this (in frame units, about three days) is damage.
#define REPLAY_MAX_FRAME_FACTOR 16777216.0f
// Pointer positions stay within 16 bits.
#define REPLAY_POINTER_MIN (-32768)
#define REPLAY_POINTER_MAX 32767
// Ticks between two checksums.
#define REPLAY_CHECK_TICKS 60

#define REPLAY_HASH_START 1469598103934665603ull

// How a run ended.
#define REPLAY_END_PSYCHOSIS 1 // the psychosis meter ran out
#define REPLAY_END_SHOT 2      // the player's health ran out
#define REPLAY_END_LEFT 3      // left with the run still going (Escape)
#define REPLAY_END_QUIT 4      // the program was closed during the run

// Token types.
#define REPLAY_TICK 1
#define REPLAY_EVENT 2
#define REPLAY_HELD 3
#define REPLAY_FRAME 4

// Event kinds, as handle_input acts on them.
#define REPLAY_EVENT_QUIT 0
#define REPLAY_EVENT_CLICK 1   // left button only; others do nothing
#define REPLAY_EVENT_KEY 2
#define REPLAY_EVENT_KEY_ALT 3 // with Left Alt held at that moment

// Bits of the held movement keys.
#define REPLAY_HELD_A 0x01
#define REPLAY_HELD_D 0x02
#define REPLAY_HELD_W 0x04
#define REPLAY_HELD_S 0x08
#define REPLAY_HELD_LEFT 0x10
#define REPLAY_HELD_RIGHT 0x20
#define REPLAY_HELD_UP 0x40
#define REPLAY_HELD_DOWN 0x80

// Frame factor slots of the token byte C0..FE.
#define REPLAY_FACTOR_SLOTS 63

// Results of read_replay and decode_replay; the reason text says more.
#define REPLAY_OK 0
#define REPLAY_MISSING 1    // no such file
#define REPLAY_UNREADABLE 2 // cannot be opened or read, or no memory
#define REPLAY_FOREIGN 3    // not a replay, or a format version we never wrote
#define REPLAY_NEWER 4      // a format version after ours
#define REPLAY_CUT 5        // ends before its last field
#define REPLAY_DAMAGED 6    // checksum, sizes or contents wrong

struct ReplayHeader {
    uint16_t game_version;
    uint64_t assets_checksum;
    uint32_t seed;
    uint8_t settings;
    int16_t pointer_x, pointer_y;
    uint8_t prompt_hidden;
    float prompt_timer;
    int8_t jitter_x, jitter_y;
    float jitter_timer;
    int32_t last_laugh;
    float tick_accumulator;
    float frame_factor;
    int tile_loops;
    uint8_t tile_frame[REPLAY_MAX_TILE_LOOPS];
    float tile_timer[REPLAY_MAX_TILE_LOOPS];
};

struct ReplayResult {
    uint8_t end;    // REPLAY_END_*
    int8_t left_to; // the game state after the run
    int32_t score, civilian_kills, armed_kills, seconds;
    uint32_t ticks, frames;
};

// A whole replay in memory. `checksums` and `stream` are malloc'd and owned;
// free_replay releases them.
struct Replay {
    ReplayHeader header;
    ReplayResult result;
    uint64_t* checksums;
    uint32_t checksum_count;
    uint8_t* stream; // unpacked tokens
    uint32_t stream_size;
};

struct ReplayEvent {
    uint8_t kind;     // REPLAY_EVENT_*
    uint16_t sym;     // key code
    uint16_t unicode; // typed character
};

// What the last tokens said, kept alike by the writer and the reader so that
// a token can say "unchanged": the pointer, the held keys and the table of
// frame factors.
struct ReplayCoder {
    int pointer_x, pointer_y;
    uint8_t held;
    int factor_count;
    float factors[REPLAY_FACTOR_SLOTS];
};

struct ReplayToken {
    int type;              // REPLAY_TICK, REPLAY_EVENT, REPLAY_HELD, REPLAY_FRAME
    float frame_factor;    // FRAME
    int pointer_x, pointer_y; // TICK: where the pointer is now
    ReplayEvent event;     // EVENT
    uint8_t held;          // HELD
};

// A growing byte buffer that stops growing at REPLAY_MAX_STREAM or when
// memory runs out; `full` then says that bytes were lost.
struct ReplayBuffer {
    uint8_t* bytes;
    size_t size, capacity;
    int full;
};

// FNV-1a over n bytes, continuing from h (start with REPLAY_HASH_START).
uint64_t replay_hash(uint64_t h, const void* data, size_t n);

// A coder at the start of a stream: the pointer where the run began, no keys
// held, no factors met.
void start_replay_coder(ReplayCoder* coder, int pointer_x, int pointer_y);

void put_replay_bytes(ReplayBuffer* buffer, const void* data, size_t n);
void free_replay_buffer(ReplayBuffer* buffer);

// Token writers. The pointer of a TICK is clamped into the 16-bit range;
// HELD is written only when the keys differ from the last HELD.
void put_replay_frame(ReplayBuffer* buffer, ReplayCoder* coder, float frame_factor);
void put_replay_tick(ReplayBuffer* buffer, ReplayCoder* coder, int pointer_x, int pointer_y);
void put_replay_event(ReplayBuffer* buffer, const ReplayEvent* event);
void put_replay_held(ReplayBuffer* buffer, ReplayCoder* coder, uint8_t held);

// Reads the token at *pos of the `size`-byte stream: returns 1 with the token
// and *pos past it, 0 at the end of the stream, -1 when the bytes there are
// no valid token (nothing is read past `size`).
int get_replay_token(const uint8_t* stream, size_t size, size_t* pos, ReplayCoder* coder,
                     ReplayToken* token);

// The file image of `replay` in a new malloc'd buffer of *size bytes, or
// null when memory runs out or the file would pass REPLAY_MAX_FILE_SIZE.
uint8_t* encode_replay(const Replay* replay, size_t* size);

// Takes a file image apart into `out` (which the caller frees with
// free_replay, also after a refusal). Checks, in this order, the signature,
// the format version, that every field is there and nothing follows, the
// file's checksum, the sizes against their limits, and that the stream
// unpacks and holds exactly the ticks, frames and checksums the file
// declares. Returns REPLAY_OK or the refusal, with a reason that reads after
// a file name ("is cut short ...") in `reason`.
int decode_replay(const uint8_t* data, size_t size, Replay* out, char* reason, size_t reason_size);

// Reads and decodes the file at `path`; its size is checked before anything
// is allocated for it. Results and reason as decode_replay, plus
// REPLAY_MISSING and REPLAY_UNREADABLE.
int read_replay(const char* path, Replay* out, char* reason, size_t reason_size);

void free_replay(Replay* replay);

// Writes `size` bytes to `path` so that it is either wholly replaced or not
// touched: a temporary file beside it, flushed to disk, then renamed over it.
// Returns 1 on success; on failure the temporary file is removed.
int write_file_atomically(const char* path, const uint8_t* data, size_t size);
