// The score file on arbitrary bytes. First the parser alone, on an
// exact-size heap copy so the sanitizer sees any read past the end: it must
// accept exactly the images with the right signature and version and name
// which was wrong otherwise. Then the way the game meets the file at
// start-up, through the file system with the real fatal errors: a file must
// be refused (bad signature or version, nothing else) or give a table that
// save_highscores writes back as the same bytes (missing ones zero) and that
// a second load reads unchanged. load_highscores itself reads into a fixed
// buffer of one image, which the sanitizer cannot see past.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "fuzz_support.h"
#include "scores/highscores.h"

static char work_dir[64];
static char work_file[96];
static char work_temp[96];

static void remove_work_dir()
{
    unlink(work_file);
    unlink(work_temp);
    rmdir(work_dir);
}

// The loader reads and writes in the working directory, so each fuzzing
// process gets a private one (memory-backed when possible) and steps into
// it only for the duration of one input: paths on libFuzzer's command line
// keep meaning what they meant.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    snprintf(work_dir, sizeof work_dir, "%s/crimson_fuzz_scores_XXXXXX",
             access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    if (!mkdtemp(work_dir)) {
        perror(work_dir);
        abort();
    }
    snprintf(work_file, sizeof work_file, "%s/%s", work_dir, HIGHSCORE_FILE);
    snprintf(work_temp, sizeof work_temp, "%s/%s", work_dir, HIGHSCORE_TEMP_FILE);
    atexit(remove_work_dir);
    return 0;
}

static void write_file(const char* path, const uint8_t* data, size_t size)
{
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) {
        perror(path);
        abort();
    }
}

static void check_file(const uint8_t* data, size_t size)
{
    bool signature = size >= HIGHSCORE_SIGNATURE_SIZE &&
                     memcmp(data, HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE) == 0;
    bool version = size >= HIGHSCORE_SIGNATURE_SIZE + 2 &&
                   data[HIGHSCORE_SIGNATURE_SIZE] == HIGHSCORE_VERSION &&
                   data[HIGHSCORE_SIGNATURE_SIZE + 1] == 0;
    uint8_t* copy = (uint8_t*)malloc(size ? size : 1);
    memcpy(copy, data, size);
    int parsed = parse_highscores(copy, size);
    free(copy);
    if (parsed != (!signature ? HIGHSCORES_BAD_FORMAT : !version ? HIGHSCORES_BAD_VERSION : HIGHSCORES_OK))
        abort();

    write_file(HIGHSCORE_FILE, data, size);
    // Leftovers of the previous input must not mask an unread entry.
    memset(highscores, 0xA5, sizeof highscores);

    volatile int refused = 1;
    FUZZ_CATCH_FATAL(load_highscores(); refused = 0);
    if (refused != !(signature && version))
        abort();
    if (refused)
        return;

    // What arrived is kept byte for byte, what is missing reads empty, and
    // anything past the tenth entry is ignored: the saved file is exactly
    // one image, and no temporary file is left.
    save_highscores();
    unsigned char expect[HIGHSCORE_FILE_SIZE + 1] = {0}, saved[HIGHSCORE_FILE_SIZE + 1];
    memcpy(expect, data, size < HIGHSCORE_FILE_SIZE ? size : HIGHSCORE_FILE_SIZE);
    FILE* f = fopen(HIGHSCORE_FILE, "rb");
    size_t got = f ? fread(saved, 1, sizeof saved, f) : 0;
    if (!f || fclose(f) != 0 || got != HIGHSCORE_FILE_SIZE || memcmp(saved, expect, got) != 0 ||
        access(HIGHSCORE_TEMP_FILE, F_OK) == 0)
        abort();

    // The written file loads back into the same table.
    HighScoreEntry before[HIGHSCORE_COUNT];
    memcpy(before, highscores, sizeof before);
    memset(highscores, 0x5A, sizeof highscores);
    volatile int reloaded = 0;
    FUZZ_CATCH_FATAL(load_highscores(); reloaded = 1);
    if (!reloaded || memcmp(before, highscores, sizeof before) != 0)
        abort();

    // Names from a damaged file are shown cut at their field.
    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        if (strlen(highscore_name(i)) > HIGHSCORE_NAME_SIZE)
            abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char home[4096];
    if (!getcwd(home, sizeof home) || chdir(work_dir) != 0)
        abort();
    check_file(data, size);
    if (chdir(home) != 0)
        abort();
    return 0;
}
