// Prompt, warnings and banner.
#include "frontend/overlays.h"

#include <cstring>

#include "characters/player.h"
#include "frontend/status.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/screen.h"
#include "render/textures.h"
#include "sound/sound.h"
#include "util/frame.h"
#include "util/mathutil.h"
#include "util/settings.h"

// The banner: four 424 x 79 strips stacked in the messages sheet, drawn in
// the middle of the window before its shake.
#define BANNER_W 424
#define BANNER_H 79
#define BANNER_X 188
#define BANNER_Y 228
#define BANNER_JITTER 2
#define BANNER_RUN_STARTING 0
#define BANNER_STEROIDS 1
#define BANNER_DEAD 2
#define BANNER_PSYCHOSIS 3
// The steroid banner blinks, and its warning sounds, through its last five
// seconds.
#define STEROIDS_ENDING (5 * TICKS_PER_SECOND)

#define PROMPT_Y 568
#define PROMPT_BUFFER 64

// The playing state's pause line sits in the middle of the play area.
#define PAUSED_Y (STATUS_HEIGHT + (SCREEN_HEIGHT - STATUS_HEIGHT - LINE_HEIGHT) / 2)

int prompt_hidden = 0;
float prompt_timer = PROMPT_HIDDEN_TIME;
int banner_jitter[2] = {0, 0};
float jitter_timer = JITTER_PERIOD;

void reset_overlays()
{
    banner_jitter[0] = 0;
    banner_jitter[1] = 0;
    jitter_timer = JITTER_PERIOD;
    prompt_hidden = 0;
    prompt_timer = PROMPT_HIDDEN_TIME;
}

void restart_prompt_visible()
{
    prompt_hidden = 0;
    prompt_timer = PROMPT_VISIBLE_TIME;
}

const char* prompt_text()
{
    switch (game_state) {
    case STATE_TITLE:
        return fade_active() ? "" : "PRESS SPACE BAR TO START";
    case STATE_STORY:
        return fade_direction <= 0 ? "PRESS SPACE BAR TO CONTINUE" : "";
    case STATE_PLAYING:
        if (paused)
            return "PAUSED";
        return player_out() ? "PRESS SPACE BAR TO CONTINUE" : "";
    default:
        return "";
    }
}

int prompt_y(const char* text)
{
    return strcmp(text, "PAUSED") == 0 ? PAUSED_Y : PROMPT_Y;
}

void advance_prompt()
{
    if (prompt_timer > 0.0f) {
        prompt_timer -= frame_factor;
        return;
    }
    // The overshoot is dropped: each phase starts whole.
    prompt_hidden = !prompt_hidden;
    if (!prompt_hidden) {
        play_warnings();
        prompt_timer = PROMPT_VISIBLE_TIME;
    } else {
        prompt_timer = PROMPT_HIDDEN_TIME;
    }
}

void draw_prompt()
{
    if (prompt_hidden)
        return;
    char line[PROMPT_BUFFER] = {0};
    strncpy(line, prompt_text(), sizeof line - 1);
    int len = (int)strlen(line);
    if (len > 0)
        draw_text((SCREEN_WIDTH - TEXT_ADVANCE * len) / 2, prompt_y(line), line);
}

void play_warnings()
{
    // Only a live run warns; before it starts the meters are full anyway.
    if (game_state != STATE_PLAYING || paused || !run_active || player_out())
        return;
    if (player->health <= LOW_HEALTH)
        play_sample(SAMPLE_PANT);
    if (psychosis <= LOW_PSYCHOSIS)
        play_sample(SAMPLE_ALERT);
    if (steroids_timer > 0 && steroids_timer < STEROIDS_ENDING)
        play_sample(SAMPLE_ALERT2);
}

int banner_strip()
{
    if (player_out())
        return player && player->health == 0 ? BANNER_DEAD : BANNER_PSYCHOSIS;
    if (!run_active)
        return BANNER_RUN_STARTING;
    if (steroids_timer <= 0)
        return -1;
    // Running out, the steroid banner blinks with the prompt, but a paused
    // game shows it steadily.
    if (steroids_timer < STEROIDS_ENDING && prompt_hidden && !paused)
        return -1;
    return BANNER_STEROIDS;
}

void advance_jitter()
{
    if (paused)
        return;
    if (jitter_timer > 0.0f) {
        jitter_timer -= frame_factor;
        return;
    }
    // Every shake moves the banner on both axes, so it never seems to stall.
    int x, y;
    do {
        x = random_range(-BANNER_JITTER, BANNER_JITTER);
        y = random_range(-BANNER_JITTER, BANNER_JITTER);
    } while (x == banner_jitter[0] || y == banner_jitter[1]);
    banner_jitter[0] = x;
    banner_jitter[1] = y;
    jitter_timer = JITTER_PERIOD;
}

void draw_banner()
{
    int strip = banner_strip();
    if (strip >= 0)
        draw_sprite(TEX_MESSAGES, 0, BANNER_H * strip, BANNER_W, BANNER_H,
                    BANNER_X + banner_jitter[0], BANNER_Y + banner_jitter[1], BANNER_W, BANNER_H,
                    0);
}
