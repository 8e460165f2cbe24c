// Shared by the fuzz targets. The game's fatal_error ends the process, which
// libFuzzer would report as a crash; the fuzz builds link fuzz_support.cpp
// instead of util/errors.cpp, whose fatal_error formats the message (so bad
// formats are still caught) and jumps back to the target. Code under fuzzing
// releases what it holds before it calls fatal_error, so the jump leaks
// nothing; the target then simply returns.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>

extern jmp_buf fuzz_fatal_jump;
extern int fuzz_fatal_armed;

// Runs `statement`; a fatal_error inside it ends the statement instead of the
// process. Usage: FUZZ_CATCH_FATAL(hkca_uncompress(...));
#define FUZZ_CATCH_FATAL(statement)              \
    do {                                         \
        fuzz_fatal_armed = 1;                    \
        if (setjmp(fuzz_fatal_jump) == 0) {      \
            statement;                           \
        }                                        \
        fuzz_fatal_armed = 0;                    \
    } while (0)

// Writes the input to this process's temporary file and returns its path,
// for code that reads files by name.
const char* fuzz_write_temp(const uint8_t* data, size_t size);
