#include "util/errors.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

// The log is reopened for every report so that a crash later cannot lose
// it; a log that cannot be opened loses the report, never the exit code.
static void write_report(const char* tag, const char* format, va_list args)
{
    char message[ERROR_MESSAGE_SIZE];
    vsnprintf(message, sizeof message, format, args);
    FILE* log = fopen(ERROR_LOG_FILE, "a");
    if (log) {
        fputs(tag, log);
        fputs(": ", log);
        fputs(message, log);
        fputc('\n', log);
        fclose(log);
    }
}

void fatal_error(const char* tag, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    write_report(tag, format, args);
    va_end(args);
    exit(1);
}

void fatal_error_now(const char* tag, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    write_report(tag, format, args);
    va_end(args);
    _exit(1);
}

static const char* stamp(char* buffer, size_t size, const char* format)
{
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    if (strftime(buffer, size, format, &local) == 0)
        buffer[0] = '\0';
    return buffer;
}

const char* date_stamp()
{
    static char buffer[16];
    return stamp(buffer, sizeof buffer, "%m%d%y");
}

const char* time_stamp()
{
    static char buffer[16];
    return stamp(buffer, sizeof buffer, "%H%M%S");
}
