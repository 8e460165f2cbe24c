// The program's one way of failing, and the clock stamps of screenshot names.
//
// A function that cannot go on calls fatal_error with its own name written
// like a call ("load_map()") as the tag. The report is one line appended to
// "errorlog.txt" in the working directory: tag, ": ", message, line feed. The
// process then ends with exit code 1 through exit(), so handlers registered
// with atexit (SDL_Quit) still give the display back.
#pragma once

#define ERROR_LOG_FILE "errorlog.txt"

// Longest message kept, terminator included; a longer one is cut, not overflowed.
#define ERROR_MESSAGE_SIZE 1024

[[noreturn]] void fatal_error(const char* tag, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// As fatal_error, but the process ends through _exit: no exit handler runs.
// For the one failure in which they would do harm: the display connection
// is gone, and SDL_Quit would wait on it forever.
[[noreturn]] void fatal_error_now(const char* tag, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// "%m%d%y" and "%H%M%S" of the current local time. Each returns its own
// static 16-byte buffer, overwritten by the next call of the same function.
const char* date_stamp();
const char* time_stamp();
