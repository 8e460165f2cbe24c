// The ten best runs and their file "scores.bin".
//
// The file is 399 bytes, little-endian: the 37-byte signature (the text below
// and its zero byte), a 16-bit version that must be 1, then the ten entries
// in table order, 36 bytes each, laid out exactly as HighScoreEntry. Only the
// signature and the version are checked; a file cut short leaves the missing
// entries empty. A damaged signature or version stops the game at start-up
// until the file is removed, so the player never loses a table silently.
//
// Saving never leaves a half-written file: the image goes to a temporary
// file beside it, is flushed to disk, and is renamed over "scores.bin" in one
// step. If any step fails the old file stays as it was and play goes on; the
// table in memory keeps the new entry either way.
#pragma once

#include <cstddef>
#include <cstdint>

#define HIGHSCORE_COUNT 10
#define HIGHSCORE_NAME_SIZE 20
#define HIGHSCORE_NAME_MAX 16  // characters a player can type
#define HIGHSCORE_FILE "scores.bin"
#define HIGHSCORE_TEMP_FILE "scores.bin.tmp"
#define HIGHSCORE_SIGNATURE "Crimson Lunatic Outbreak High Scores"
#define HIGHSCORE_SIGNATURE_SIZE 37
#define HIGHSCORE_VERSION 1
#define HIGHSCORE_ENTRY_SIZE 36
#define HIGHSCORE_FILE_SIZE \
    (HIGHSCORE_SIGNATURE_SIZE + 2 + HIGHSCORE_COUNT * HIGHSCORE_ENTRY_SIZE)

// One table entry, the same 36 bytes in memory and in the file. The name is
// zero-terminated text of at most 16 printable characters; bytes after the
// terminator are kept as they stand. A name read from a file may lack a
// terminator: read it through highscore_name, never as a C string.
struct HighScoreEntry {
    char name[HIGHSCORE_NAME_SIZE];
    int32_t score;
    int32_t civilian_kills;
    int32_t armed_kills;
    int32_t seconds;
};
static_assert(sizeof(HighScoreEntry) == HIGHSCORE_ENTRY_SIZE, "entry must match its file layout");

// Index 0 is the best; equal scores keep the order they entered in. Filled by
// load_highscores at start-up, changed only by insert_highscore.
extern HighScoreEntry highscores[HIGHSCORE_COUNT];

// Every entry empty: empty name, all numbers 0.
void clear_highscores();

// Results of parse_highscores.
#define HIGHSCORES_OK 0
#define HIGHSCORES_BAD_FORMAT 1   // signature wrong or file shorter than it
#define HIGHSCORES_BAD_VERSION 2  // version missing or not 1

// Fills the table from a file image of any length without reading past it.
// The table is cleared first; entries, even partly present ones, take the
// bytes that are there and nothing more. Bytes past the tenth entry are
// ignored. On a bad signature or version the table is left empty.
int parse_highscores(const unsigned char* data, size_t size);

// Reads "scores.bin" from the working directory. A missing file gives an
// empty table and no message; a file that cannot be read, a bad signature or
// a bad version is fatal ("load_highscores()").
void load_highscores();

// Writes the table to "scores.bin" as described above; failures are silent.
void save_highscores();

// The 399-byte file image of the current table.
void encode_highscores(unsigned char out[HIGHSCORE_FILE_SIZE]);

// For tests only: when set, called after the temporary file is complete and
// before it is renamed over the real one (the place a crash would hurt).
extern void (*highscore_before_rename)();

// 1 when a run with this score enters the table: it beats some entry.
int highscore_qualifies(int32_t score);

// Puts a run below every entry with a score at least as high, dropping the
// old last entry. The name is copied up to its terminator or 16 characters.
// Returns the position, or -1 (nothing changed) when the score does not
// qualify. Does not save.
int add_highscore(const char* name, int32_t score, int32_t civilian_kills, int32_t armed_kills,
                  int32_t seconds);

// The name of entry i as text, cut at its 20-byte field; the buffer is
// static and overwritten by the next call.
const char* highscore_name(int i);

// The name being typed on the new-high-score screen; zeroed entirely on
// entering that state, so the text is always terminated.
extern char name_buffer[HIGHSCORE_NAME_MAX + 1];

// 1 if the finished run's score (the player's meters) enters the table.
int is_new_highscore();

// Stores the finished run under the typed name and saves the file.
void insert_highscore();
