#include "fuzz_support.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "util/errors.h"

jmp_buf fuzz_fatal_jump;
int fuzz_fatal_armed = 0;

void fatal_error(const char* tag, const char* format, ...)
{
    char message[ERROR_MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (fuzz_fatal_armed)
        longjmp(fuzz_fatal_jump, 1);
    // A fatal error outside FUZZ_CATCH_FATAL is a harness mistake.
    fprintf(stderr, "unexpected fatal error: %s: %s\n", tag, message);
    abort();
}

const char* date_stamp() { return "010100"; }
const char* time_stamp() { return "000000"; }

static char temp_path[64];

static void remove_temp()
{
    unlink(temp_path);
}

const char* fuzz_write_temp(const uint8_t* data, size_t size)
{
    char* path = temp_path;
    if (!path[0]) {
        // Memory-backed when possible: the file is rewritten for every input.
        snprintf(temp_path, sizeof temp_path, "%s/crimson_fuzz_%d.bin",
                 access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", (int)getpid());
        atexit(remove_temp);
    }
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(data, 1, size, f) != size) {
        perror(path);
        abort();
    }
    fclose(f);
    return path;
}
