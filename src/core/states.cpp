// Game states, transitions, prompt, warnings and banner. The calls into the
// other subsystems join here as those subsystems land.
#include "core/states.h"

#include <cstring>

int next_state = 0;
int run_active = 0;
int prompt_hidden = 0;
float prompt_timer = 20.0f;
int banner_jitter[2] = {0, 0};
float jitter_timer = JITTER_PERIOD;
char name_buffer[NAME_BUFFER_SIZE];

void reset_overlays()
{
    banner_jitter[0] = 0;
    banner_jitter[1] = 0;
    jitter_timer = JITTER_PERIOD;
    prompt_hidden = 0;
    prompt_timer = 20.0f;
}

void set_game_state(int state)
{
    if (state == STATE_NEW_HIGHSCORE)
        memset(name_buffer, 0, sizeof name_buffer);
    next_state = state;
}

void new_game()
{
    run_active = 0;
}

void update_game_state() {}

const char* prompt_text() { return ""; }

int prompt_y(const char* text) { return 568; }

void draw_prompt() {}

void play_warnings() {}

int banner_strip() { return -1; }

void draw_banner() {}
