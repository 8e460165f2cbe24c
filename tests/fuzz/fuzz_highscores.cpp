// The score file loader on arbitrary bytes: it must stay inside its input,
// accept exactly the images with the right signature and version, and keep
// what it accepted, so that writing the table back gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scores/highscores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so the sanitizer sees any read past the end.
    uint8_t* in = (uint8_t*)malloc(size ? size : 1);
    memcpy(in, data, size);
    int result = parse_highscores(in, size);

    bool signature = size >= HIGHSCORE_SIGNATURE_SIZE &&
                     memcmp(in, HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE) == 0;
    bool version = signature && size >= HIGHSCORE_SIGNATURE_SIZE + 2 &&
                   in[HIGHSCORE_SIGNATURE_SIZE] == 1 && in[HIGHSCORE_SIGNATURE_SIZE + 1] == 0;
    int expected = !signature ? HIGHSCORES_BAD_FORMAT
                   : !version ? HIGHSCORES_BAD_VERSION
                              : HIGHSCORES_OK;
    if (result != expected)
        abort();

    unsigned char image[HIGHSCORE_FILE_SIZE];
    encode_highscores(image);
    if (result == HIGHSCORES_OK) {
        // The bytes that arrived come back unchanged; missing ones are zero.
        size_t kept = size < sizeof image ? size : sizeof image;
        if (memcmp(image, in, kept) != 0)
            abort();
        for (size_t i = kept; i < sizeof image; i++)
            if (image[i] != 0)
                abort();
    } else {
        // A refused file leaves an empty table.
        for (size_t i = HIGHSCORE_SIGNATURE_SIZE + 2; i < sizeof image; i++)
            if (image[i] != 0)
                abort();
    }
    // A shown name never runs past its field.
    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        if (strlen(highscore_name(i)) > HIGHSCORE_NAME_SIZE)
            abort();
    free(in);
    return 0;
}
