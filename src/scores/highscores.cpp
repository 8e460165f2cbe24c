// The high-score table, its file image and its atomic save.
#include "scores/highscores.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "util/errors.h"

HighScoreEntry highscores[HIGHSCORE_COUNT];
void (*highscore_before_rename)() = nullptr;

static const char* const LOAD_TAG = "load_highscores()";

void clear_highscores()
{
    memset(highscores, 0, sizeof highscores);
}

static int32_t get_le32(const unsigned char* p)
{
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 |
                     (uint32_t)p[3] << 24);
}

static void put_le32(unsigned char* p, int32_t value)
{
    uint32_t v = (uint32_t)value;
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

// An entry as the file holds it: name bytes, then four little-endian ints.
// A partial record (the file cut inside it) takes just the bytes present.
static void decode_entry(const unsigned char* p, size_t available, HighScoreEntry* e)
{
    unsigned char record[HIGHSCORE_ENTRY_SIZE] = {0};
    memcpy(record, p, available < sizeof record ? available : sizeof record);
    memcpy(e->name, record, HIGHSCORE_NAME_SIZE);
    e->score = get_le32(record + 20);
    e->civilian_kills = get_le32(record + 24);
    e->armed_kills = get_le32(record + 28);
    e->seconds = get_le32(record + 32);
}

int parse_highscores(const unsigned char* data, size_t size)
{
    clear_highscores();
    if (size < HIGHSCORE_SIGNATURE_SIZE ||
        memcmp(data, HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE) != 0)
        return HIGHSCORES_BAD_FORMAT;
    size_t pos = HIGHSCORE_SIGNATURE_SIZE;
    if (size - pos < 2 || (data[pos] | data[pos + 1] << 8) != HIGHSCORE_VERSION)
        return HIGHSCORES_BAD_VERSION;
    pos += 2;
    for (int i = 0; i < HIGHSCORE_COUNT && pos < size; i++) {
        decode_entry(data + pos, size - pos, &highscores[i]);
        pos += HIGHSCORE_ENTRY_SIZE;
    }
    return HIGHSCORES_OK;
}

void load_highscores()
{
    FILE* f = fopen(HIGHSCORE_FILE, "rb");
    if (!f) {
        if (errno == ENOENT) {
            clear_highscores();
            return;
        }
        fatal_error(LOAD_TAG, "Unable to access file \"%s\"", HIGHSCORE_FILE);
    }
    // Anything past the last entry is ignored, so one image's worth is all
    // that is ever read.
    unsigned char image[HIGHSCORE_FILE_SIZE];
    size_t size = fread(image, 1, sizeof image, f);
    int read_failed = ferror(f);
    fclose(f);
    if (read_failed)
        fatal_error(LOAD_TAG, "Unable to access file \"%s\"", HIGHSCORE_FILE);
    switch (parse_highscores(image, size)) {
    case HIGHSCORES_BAD_FORMAT:
        fatal_error(LOAD_TAG, "Invalid format of file \"%s\"", HIGHSCORE_FILE);
    case HIGHSCORES_BAD_VERSION:
        fatal_error(LOAD_TAG, "Version mismatch in file \"%s\"", HIGHSCORE_FILE);
    default:
        break;
    }
}

void encode_highscores(unsigned char out[HIGHSCORE_FILE_SIZE])
{
    memcpy(out, HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE);
    unsigned char* p = out + HIGHSCORE_SIGNATURE_SIZE;
    p[0] = HIGHSCORE_VERSION & 0xff;
    p[1] = HIGHSCORE_VERSION >> 8;
    p += 2;
    for (const HighScoreEntry& e : highscores) {
        memcpy(p, e.name, HIGHSCORE_NAME_SIZE);
        put_le32(p + 20, e.score);
        put_le32(p + 24, e.civilian_kills);
        put_le32(p + 28, e.armed_kills);
        put_le32(p + 32, e.seconds);
        p += HIGHSCORE_ENTRY_SIZE;
    }
}

// Every step is checked: a short write, a failed flush or sync, or a failed
// close means the temporary file may be incomplete, and it must never replace
// a good table.
void save_highscores()
{
    unsigned char image[HIGHSCORE_FILE_SIZE];
    encode_highscores(image);
    FILE* f = fopen(HIGHSCORE_TEMP_FILE, "wb");
    if (!f)
        return;
    bool ok = fwrite(image, 1, sizeof image, f) == sizeof image;
    ok = ok && fflush(f) == 0;
    ok = ok && fsync(fileno(f)) == 0;
    ok = (fclose(f) == 0) && ok;
    if (ok && highscore_before_rename)
        highscore_before_rename();
    if (!ok || rename(HIGHSCORE_TEMP_FILE, HIGHSCORE_FILE) != 0)
        remove(HIGHSCORE_TEMP_FILE);
}

int highscore_qualifies(int32_t score)
{
    for (const HighScoreEntry& e : highscores) {
        if (score > e.score)
            return 1;
    }
    return 0;
}

int add_highscore(const char* name, int32_t score, int32_t civilian_kills, int32_t armed_kills,
                  int32_t seconds)
{
    int pos = 0;
    while (pos < HIGHSCORE_COUNT && highscores[pos].score >= score)
        pos++;
    if (pos == HIGHSCORE_COUNT)
        return -1;
    for (int i = HIGHSCORE_COUNT - 1; i > pos; i--)
        highscores[i] = highscores[i - 1];
    HighScoreEntry& e = highscores[pos];
    // Only the text and its terminator are replaced; the rest of the field
    // keeps what stood there, as the file format allows.
    size_t len = strnlen(name, HIGHSCORE_NAME_MAX);
    memcpy(e.name, name, len);
    e.name[len] = '\0';
    e.score = score;
    e.civilian_kills = civilian_kills;
    e.armed_kills = armed_kills;
    e.seconds = seconds;
    return pos;
}

const char* highscore_name(int i)
{
    static char text[HIGHSCORE_NAME_SIZE + 1];
    memcpy(text, highscores[i].name, HIGHSCORE_NAME_SIZE);
    text[HIGHSCORE_NAME_SIZE] = '\0';
    return text;
}
