#include "util/settings.h"

int settings[SETTING_COUNT] = {1, 1, 1, 0};
int game_state = STATE_INTRO;
int paused = 0;
int run_active = 0;

void set_defaults()
{
    settings[FULL_SCREEN] = 1;
    settings[MUSIC_ON] = 1;
    settings[SOUND_FX_ON] = 1;
    settings[SHOW_FPS] = 0;
}
