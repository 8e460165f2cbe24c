// Game states, transitions, prompt, warnings and banner.
//
// Every entry into a state goes through set_game_state, which resets what
// that state shows, starts its music and its fade-in. Transitions that fade
// out first are completed by update_game_state once the fade-out is full;
// that is also where the playing state's run goes live.
#include "core/states.h"

#include <cstring>

#include "combat/effects.h"
#include "core/loop.h"
#include "frontend/intro.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/screen.h"
#include "render/textures.h"
#include "util/mathutil.h"

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
// The steroid banner blinks through its last ticks.
#define STEROIDS_ENDING 300

#define PROMPT_Y 568
#define PROMPT_BUFFER 64

// The playing state's pause line sits in the middle of the play area.
#define PAUSED_Y (STATUS_HEIGHT + (SCREEN_HEIGHT - STATUS_HEIGHT - LINE_HEIGHT) / 2)

int next_state = STATE_INTRO;
int run_active = 0;
int prompt_hidden = 0;
float prompt_timer = PROMPT_HIDDEN_TIME;
int banner_jitter[2] = {0, 0};
float jitter_timer = JITTER_PERIOD;
char name_buffer[NAME_BUFFER_SIZE];

void reset_overlays()
{
    banner_jitter[0] = 0;
    banner_jitter[1] = 0;
    jitter_timer = JITTER_PERIOD;
    prompt_hidden = 0;
    prompt_timer = PROMPT_HIDDEN_TIME;
}

static void restart_prompt_visible()
{
    prompt_hidden = 0;
    prompt_timer = PROMPT_VISIBLE_TIME;
}

void set_game_state(int state)
{
    switch (state) {
    case STATE_INTRO:
        reset_intro();
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_TITLE:
        reset_title();
        start_fade(255, 255, 255, -1, STATE_FADE_SPEED);
        break;
    case STATE_STORY:
        reset_story();
        restart_prompt_visible();
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_PLAYING:
        // The story's module plays on into the run.
        new_game();
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_NEW_HIGHSCORE:
        memset(name_buffer, 0, sizeof name_buffer);
        // Takes the game-over fade off the screen at once.
        fade_direction = 0;
        break;
    default:
        break;
    }
    game_state = state;
    next_state = state;
}

void new_game()
{
    clear_floating_texts();
    clear_sprite_anims();
    clear_particles();
    paused = 0;
    run_active = 0;
}

void update_game_state()
{
    switch (game_state) {
    case STATE_TITLE:
        if (fade_active()) {
            // The title's fade-in ends the prompt's wait; its fade-out leads on.
        } else if (next_state != STATE_TITLE) {
            set_game_state(next_state);
        } else if (fade_direction != 0) {
            restart_prompt_visible();
            fade_direction = 0;
        }
        break;
    case STATE_STORY:
        if (fade_direction >= 1 && !fade_active())
            set_game_state(STATE_PLAYING);
        break;
    case STATE_PLAYING:
        if (!fade_active() && !run_active)
            run_active = 1;
        break;
    default:
        break;
    }
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
        return "";
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
    if (!prompt_hidden) {
        char line[PROMPT_BUFFER] = {0};
        strncpy(line, prompt_text(), sizeof line - 1);
        int len = (int)strlen(line);
        if (len > 0)
            draw_text((SCREEN_WIDTH - TEXT_ADVANCE * len) / 2, prompt_y(line), line);
    }
    advance_prompt();
}

void play_warnings()
{
    if (game_state != STATE_PLAYING || paused)
        return;
}

int banner_strip()
{
    if (!run_active)
        return BANNER_RUN_STARTING;
    return -1;
}

void advance_jitter()
{
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
    if (paused)
        return;
    advance_jitter();
}
