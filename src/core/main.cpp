// Program entry. Start-up order and the frame loop live in core/loop.cpp once
// the subsystems exist; for now the entry reads the command line.
#include <cstdlib>
#include <ctime>
#include <strings.h>

#include "util/errors.h"

int main(int argc, char** argv)
{
    srand((unsigned)time(nullptr));
    for (int i = 1; i < argc; i++) {
        if (strcasecmp(argv[i], "-w") != 0 && strcasecmp(argv[i], "-fps") != 0)
            fatal_error("main()", "Invalid program argument \"%s\"", argv[i]);
    }
    return 0;
}
