// Recording and playing back runs: the state a run starts from, its frames
// and ticks, the per-second checksums, and the files.
//
// One coder serves whichever direction is active: while recording it
// remembers what the last tokens wrote, while playing what they said.
// Playback is strict: a tick must find a TICK token, a frame a FRAME token,
// and input the recording holds but the run does not read is a divergence,
// so a run that parts from its recording is caught at the first tick where
// its structure differs, or at the next checksum at the latest.
#include "core/replay.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "frontend/overlays.h"
#include "world/tile_anims.h"
#include "core/input.h"
#include "core/loop.h"
#include "core/states.h"
#include "render/screen.h"
#include "util/errors.h"
#include "util/mathutil.h"

int replay_mode = REPLAY_OFF;
const char* replay_watch_file = nullptr;
const char* replay_verify_file = nullptr;

static ReplayCoder coder;
static uint32_t run_ticks, run_frames;

// Recording: the run under way, and the file of a finished run that may
// still enter the high-score table.
static int recording = 0;
static ReplayHeader record_header;
static ReplayBuffer record_stream, record_checksums;
static uint8_t* entered_image = nullptr;
static size_t entered_size = 0;
static int32_t entered_score = 0;

// Playing.
static Replay played;
static size_t play_pos;
static int playing = 0; // the recorded run is under way
static int play_status = REPLAY_PENDING;
static char verdict[256];
static uint8_t play_keys[SDLK_LAST]; // what the recording holds down
static const uint8_t no_keys[SDLK_LAST] = {};

// ---------------------------------------------------- the run's start

static void capture_start(ReplayHeader* h, uint32_t seed)
{
    memset(h, 0, sizeof *h);
    h->game_version = WINDOW_VERSION;
    h->assets_checksum = assets_checksum();
    h->seed = seed;
    for (int i = 0; i < SETTING_COUNT; i++)
        h->settings |= (uint8_t)((settings[i] != 0) << i);
    h->pointer_x = (int16_t)mouse_x;
    h->pointer_y = (int16_t)mouse_y;
    h->prompt_hidden = (uint8_t)prompt_hidden;
    h->prompt_timer = prompt_timer;
    h->jitter_x = (int8_t)banner_jitter[0];
    h->jitter_y = (int8_t)banner_jitter[1];
    h->jitter_timer = jitter_timer;
    h->last_laugh = last_laugh;
    h->tick_accumulator = tick_accumulator;
    h->frame_factor = frame_factor;
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS && h->tile_loops < REPLAY_MAX_TILE_LOOPS; c++)
            if (tile_anims[t][c].count > 0) {
                h->tile_frame[h->tile_loops] = (uint8_t)tile_anims[t][c].frame;
                h->tile_timer[h->tile_loops++] = tile_anims[t][c].timer;
            }
}

// The window mode and the frame counter stay the watcher's own; the sound
// switches are the recording's (a laugh's wait depends on them, and the
// status strip shows them).
static void restore_start(const ReplayHeader* h)
{
    settings[MUSIC_ON] = (h->settings >> MUSIC_ON) & 1;
    settings[SOUND_FX_ON] = (h->settings >> SOUND_FX_ON) & 1;
    mouse_x = h->pointer_x;
    mouse_y = h->pointer_y;
    prompt_hidden = h->prompt_hidden;
    prompt_timer = h->prompt_timer;
    banner_jitter[0] = h->jitter_x;
    banner_jitter[1] = h->jitter_y;
    jitter_timer = h->jitter_timer;
    last_laugh = h->last_laugh;
    tick_accumulator = h->tick_accumulator;
    frame_factor = h->frame_factor;
    int loop = 0;
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS && loop < h->tile_loops; c++)
            if (tile_anims[t][c].count > 0) {
                tile_anims[t][c].frame = h->tile_frame[loop] % tile_anims[t][c].count;
                tile_anims[t][c].timer = h->tile_timer[loop++];
            }
}

static void start_playing()
{
    restore_start(&played.header);
    start_replay_coder(&coder, played.header.pointer_x, played.header.pointer_y);
    memset(play_keys, 0, sizeof play_keys);
    play_pos = 0;
    run_ticks = run_frames = 0;
    playing = 1;
    play_status = REPLAY_PENDING;
}

static void start_recording(uint32_t seed)
{
    free_replay_buffer(&record_stream);
    free_replay_buffer(&record_checksums);
    free(entered_image);
    entered_image = nullptr;
    capture_start(&record_header, seed);
    start_replay_coder(&coder, record_header.pointer_x, record_header.pointer_y);
    run_ticks = run_frames = 0;
    recording = 1;
}

uint32_t start_run_replay()
{
    if (replay_mode == REPLAY_PLAY && played.stream) {
        start_playing();
        return played.header.seed;
    }
    uint32_t seed = (uint32_t)random_range(0, 32767) << 15 | (uint32_t)random_range(0, 32767);
    if (replay_mode == REPLAY_RECORD)
        start_recording(seed);
    return seed;
}

void replay_frame_started()
{
    if (!recording)
        return;
    put_replay_frame(&record_stream, &coder, frame_factor);
    run_frames++;
}

// The run's result as it stood before the event that left the playing
// state: leaving for the title resets the meters at once.
static ReplayResult standing;

static void note_standing()
{
    if (game_state != STATE_PLAYING)
        return;
    standing.end = player_out() ? (player && player->health == 0 ? REPLAY_END_SHOT : REPLAY_END_PSYCHOSIS)
                                : REPLAY_END_LEFT;
    standing.score = score;
    standing.civilian_kills = kills[KIND_CIVILIAN];
    standing.armed_kills = kills[KIND_ARMED];
    standing.seconds = run_seconds;
}

// How the run ended, once it has left the playing state.
static ReplayResult run_result()
{
    ReplayResult r = standing;
    if (r.end == REPLAY_END_LEFT && game_state < 0)
        r.end = REPLAY_END_QUIT;
    r.left_to = (int8_t)game_state;
    r.ticks = run_ticks;
    r.frames = run_frames;
    return r;
}

// ------------------------------------------------------------ recording

static void finish_recording()
{
    recording = 0;
    Replay r = {};
    r.header = record_header;
    r.result = run_result();
    r.checksums = (uint64_t*)record_checksums.bytes;
    r.checksum_count = (uint32_t)(record_checksums.size / sizeof(uint64_t));
    r.stream = record_stream.bytes;
    r.stream_size = (uint32_t)record_stream.size;
    size_t size = 0;
    uint8_t* image = record_stream.full || record_checksums.full ? nullptr : encode_replay(&r, &size);
    free_replay_buffer(&record_stream);
    free_replay_buffer(&record_checksums);
    if (!image)
        return;
    mkdir(REPLAY_FOLDER, 0777); // most often it is there already
    write_file_atomically(REPLAY_LAST_FILE, image, size);
    if (game_state == STATE_NEW_HIGHSCORE) {
        entered_image = image;
        entered_size = size;
        entered_score = r.result.score;
    } else {
        free(image);
    }
}

void save_entered_replay()
{
    if (!entered_image)
        return;
    char path[96];
    snprintf(path, sizeof path, "%s/%s_%s_%d.rpl", REPLAY_FOLDER, date_stamp(), time_stamp(),
             (int)entered_score);
    write_file_atomically(path, entered_image, entered_size);
    free(entered_image);
    entered_image = nullptr;
}

static void record_event(const SDL_Event* e, const uint8_t* key_state)
{
    ReplayEvent r = {};
    switch (e->type) {
    case SDL_QUIT:
        r.kind = REPLAY_EVENT_QUIT;
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (e->button.button != SDL_BUTTON_LEFT)
            return;
        r.kind = REPLAY_EVENT_CLICK;
        break;
    case SDL_KEYDOWN: {
        // Left Alt as handle_input judges it: from the event, or still down.
        int alt = (e->key.keysym.mod & KMOD_LALT) != 0 || (key_state && key_state[KEY_LEFT_ALT]);
        r.kind = alt ? REPLAY_EVENT_KEY_ALT : REPLAY_EVENT_KEY;
        r.sym = (uint16_t)e->key.keysym.sym;
        r.unicode = e->key.keysym.unicode;
        break;
    }
    default:
        return; // handle_input ignores everything else
    }
    put_replay_event(&record_stream, &r);
}

static uint8_t held_mask(const uint8_t* k)
{
    return (uint8_t)((k[KEY_A] ? REPLAY_HELD_A : 0) | (k[KEY_D] ? REPLAY_HELD_D : 0) |
                     (k[KEY_W] ? REPLAY_HELD_W : 0) | (k[KEY_S] ? REPLAY_HELD_S : 0) |
                     (k[KEY_LEFT] ? REPLAY_HELD_LEFT : 0) | (k[KEY_RIGHT] ? REPLAY_HELD_RIGHT : 0) |
                     (k[KEY_UP] ? REPLAY_HELD_UP : 0) | (k[KEY_DOWN] ? REPLAY_HELD_DOWN : 0));
}

// ------------------------------------------------------------- playing

int open_replay(const char* path, char* reason, size_t reason_size)
{
    stop_replay();
    int result = read_replay(path, &played, reason, reason_size);
    if (result == REPLAY_OK && played.header.game_version != WINDOW_VERSION) {
        snprintf(reason, reason_size, "was recorded by version %d of the game",
                 played.header.game_version);
        result = REPLAY_FOREIGN;
    }
    if (result == REPLAY_OK && played.header.assets_checksum != assets_checksum()) {
        snprintf(reason, reason_size, "was recorded with a different \"%s\"", REPLAY_ASSETS);
        result = REPLAY_FOREIGN;
    }
    if (result != REPLAY_OK) {
        free_replay(&played);
        return 0;
    }
    replay_mode = REPLAY_PLAY;
    return 1;
}

void load_replay(const char* path)
{
    char reason[160];
    if (!open_replay(path, reason, sizeof reason))
        fatal_error("load_replay()", "Replay file \"%s\" %s", path, reason);
}

void stop_replay()
{
    free_replay(&played);
    playing = 0;
    play_status = REPLAY_PENDING;
    if (replay_mode == REPLAY_PLAY)
        replay_mode = REPLAY_OFF;
}

static void diverge(uint32_t tick, const char* format, ...) __attribute__((format(printf, 2, 3)));

static void diverge(uint32_t tick, const char* format, ...)
{
    if (play_status != REPLAY_PENDING)
        return;
    play_status = REPLAY_DIVERGED;
    playing = 0;
    int n = snprintf(verdict, sizeof verdict, "replay diverges at tick %u: ", tick);
    va_list args;
    va_start(args, format);
    vsnprintf(verdict + n, sizeof verdict - (size_t)n, format, args);
    va_end(args);
}

// Takes the next token if it is of `type`; otherwise leaves it unread.
static int take(int type, ReplayToken* token)
{
    ReplayCoder ahead = coder;
    size_t pos = play_pos;
    if (get_replay_token(played.stream, played.stream_size, &pos, &ahead, token) != 1 || token->type != type)
        return 0;
    coder = ahead;
    play_pos = pos;
    return 1;
}

int replay_next_frame(float* factor)
{
    ReplayToken t;
    if (!playing)
        return 0;
    if (take(REPLAY_FRAME, &t)) {
        *factor = t.frame_factor;
        run_frames++;
        return 1;
    }
    if (play_pos < played.stream_size)
        diverge(run_ticks + 1, "frame %u ran fewer ticks than recorded", run_frames);
    else
        diverge(run_ticks + 1, "the run goes on after the recording's last frame");
    return 0;
}

static const uint8_t* play_tick_begin(int* x, int* y)
{
    ReplayToken t;
    if (!playing)
        return no_keys;
    if (!take(REPLAY_TICK, &t)) {
        if (play_pos >= played.stream_size)
            diverge(run_ticks + 1, "the run goes on after the recording's last tick");
        else if (take(REPLAY_FRAME, &t))
            diverge(run_ticks + 1, "frame %u runs more ticks than recorded", run_frames);
        else
            diverge(run_ticks + 1, "the recording holds input the run did not read");
        return no_keys;
    }
    *x = t.pointer_x;
    *y = t.pointer_y;
    return play_keys;
}

static int play_next_event(SDL_Event* e)
{
    ReplayToken t;
    if (!playing || !take(REPLAY_EVENT, &t))
        return 0;
    memset(e, 0, sizeof *e);
    switch (t.event.kind) {
    case REPLAY_EVENT_QUIT:
        e->type = SDL_QUIT;
        break;
    case REPLAY_EVENT_CLICK:
        e->type = e->button.type = SDL_MOUSEBUTTONDOWN;
        e->button.button = SDL_BUTTON_LEFT;
        e->button.state = SDL_PRESSED;
        break;
    default:
        e->type = e->key.type = SDL_KEYDOWN;
        e->key.state = SDL_PRESSED;
        e->key.keysym.sym = (SDLKey)t.event.sym;
        e->key.keysym.unicode = t.event.unicode;
        e->key.keysym.mod = t.event.kind == REPLAY_EVENT_KEY_ALT ? KMOD_LALT : KMOD_NONE;
        break;
    }
    return 1;
}

static void play_tick_end()
{
    run_ticks++;
    if (run_ticks % REPLAY_CHECK_TICKS == 0) {
        uint32_t i = run_ticks / REPLAY_CHECK_TICKS - 1;
        if (i < played.checksum_count && world_checksum() != played.checksums[i])
            diverge(run_ticks, "the world differs from the recording after this tick");
    }
    if (!playing)
        return;
    const ReplayResult& want = played.result;
    if (game_state == STATE_PLAYING) {
        if (run_ticks == want.ticks)
            diverge(run_ticks, "the recording's run ended here, this one goes on");
        return;
    }
    playing = 0;
    ReplayResult got = run_result();
    if (got.ticks != want.ticks) {
        diverge(run_ticks, "the run ended, the recording goes on to tick %u", want.ticks);
    } else if (got.end != want.end || got.score != want.score || got.seconds != want.seconds ||
               got.civilian_kills != want.civilian_kills || got.armed_kills != want.armed_kills) {
        diverge(run_ticks, "the run ended with score %d, kills %d + %d, %d sec, end %d; the recording with "
                "score %d, kills %d + %d, %d sec, end %d",
                got.score, got.civilian_kills, got.armed_kills, got.seconds, got.end, want.score,
                want.civilian_kills, want.armed_kills, want.seconds, want.end);
    } else {
        play_status = REPLAY_MATCHED;
        snprintf(verdict, sizeof verdict, "replay ok: score %d, kills %d, %d sec", want.score,
                 want.civilian_kills + want.armed_kills, want.seconds);
    }
}

int replay_status()
{
    return play_status;
}

const char* replay_verdict()
{
    if (play_status == REPLAY_PENDING)
        snprintf(verdict, sizeof verdict, "replay not finished after tick %u", run_ticks);
    return verdict;
}

// --------------------------------------------------------- input source

const uint8_t* input_tick_begin(int* pointer_x, int* pointer_y)
{
    if (replay_mode == REPLAY_PLAY)
        return play_tick_begin(pointer_x, pointer_y);
    const uint8_t* key_state = SDL_GetKeyState(nullptr);
    SDL_GetMouseState(pointer_x, pointer_y);
    if (recording)
        put_replay_tick(&record_stream, &coder, *pointer_x, *pointer_y);
    return key_state;
}

int input_next_event(SDL_Event* event, const uint8_t* key_state)
{
    note_standing();
    if (replay_mode == REPLAY_PLAY)
        return play_next_event(event);
    if (!SDL_PollEvent(event))
        return 0;
    if (recording)
        record_event(event, key_state);
    return 1;
}

const uint8_t* input_held_keys(const uint8_t* key_state)
{
    if (replay_mode != REPLAY_PLAY) {
        if (recording)
            put_replay_held(&record_stream, &coder, held_mask(key_state));
        return key_state;
    }
    ReplayToken t;
    if (playing && take(REPLAY_HELD, &t)) {
        static const int keys[8] = {KEY_A, KEY_D, KEY_W, KEY_S, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN};
        for (int i = 0; i < 8; i++)
            play_keys[keys[i]] = (t.held >> i) & 1;
    }
    return playing ? play_keys : no_keys;
}

void input_tick_end()
{
    if (recording) {
        run_ticks++;
        if (run_ticks % REPLAY_CHECK_TICKS == 0) {
            uint64_t sum = world_checksum();
            put_replay_bytes(&record_checksums, &sum, sizeof sum);
        }
        if (game_state != STATE_PLAYING)
            finish_recording();
    } else if (replay_mode == REPLAY_PLAY && playing) {
        play_tick_end();
    }
}
