// The archive side of the sound system: which member holds which sound.
#include "sound/sound.h"

#include <cstdint>
#include <cstdlib>

#include "util/archive.h"
#include "util/errors.h"

static const char* const SAMPLE_MEMBERS[SAMPLE_COUNT] = {
    "sfx/swing.wav", "sfx/gun.wav", "sfx/splat.wav", "sfx/ricochet.wav",
    "sfx/pills.wav", "sfx/alert.wav", "sfx/alert2.wav", "sfx/pant.wav",
    "sfx/sigh.wav", "sfx/growl.wav",
    "sfx/laugh1.wav", "sfx/laugh2.wav", "sfx/laugh3.wav", "sfx/laugh4.wav",
    "sfx/laugh5.wav", "sfx/laugh6.wav", "sfx/laugh7.wav", "sfx/laugh8.wav",
};

static const char* const MODULE_MEMBERS[MODULE_COUNT] = {
    "sfx/small theme.mod", "sfx/analogi'que.mod", "sfx/summerblueskyes.mod",
};

void load_sound(Sound** handle, const char* name)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress(SOUND_ARCHIVE, name, &size);
    if (data == nullptr)
        fatal_error("load_sound()", "File \"%s\" not found in archive \"%s\"", name, SOUND_ARCHIVE);
    load_sound_bytes(handle, name, data, size);
    free(data);
}

void load_modules()
{
    // Without a device there is nothing to play them on.
    if (!sound_initialised())
        return;
    for (int i = 0; i < MODULE_COUNT; i++)
        load_sound(&modules[i], MODULE_MEMBERS[i]);
}

void load_samples()
{
    for (int i = 0; i < SAMPLE_COUNT; i++)
        load_sound(&samples[i], SAMPLE_MEMBERS[i]);
}
