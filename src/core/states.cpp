// Game states, transitions, prompt, warnings and banner.
//
// Every entry into a state goes through set_game_state, which resets what
// that state shows, starts its music and its fade-in. Transitions that fade
// out first are completed by update_game_state once the fade-out is full;
// that is also where the playing state's run goes live.
#include "core/states.h"

#include <cstring>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "core/loop.h"
#include "core/replay.h"
#include "frontend/intro.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/screen.h"
#include "render/textures.h"
#include "sound/sound.h"
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
// The steroid banner blinks, and its warning sounds, through its last ticks.
#define STEROIDS_ENDING 300

// A new run's population, placed without spawn effects.
#define RUN_CIVILIANS 50
#define RUN_PAINKILLERS 8
#define RUN_STEROIDS 4

// Below these the warnings sound once per blink cycle.
#define WARN_HEALTH 30
#define WARN_PSYCHOSIS 40

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
        play_module(MODULE_INTRO, MUSIC_VOLUME_FULL);
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_TITLE:
        reset_meters();
        reset_title();
        play_module(MODULE_TITLE, MUSIC_VOLUME_FULL);
        start_fade(255, 255, 255, -1, STATE_FADE_SPEED);
        break;
    case STATE_STORY:
        reset_story();
        restart_prompt_visible();
        play_module(MODULE_INTRO, MUSIC_VOLUME_FULL);
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_PLAYING:
        // The story's module plays on into the run.
        new_game();
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
        break;
    case STATE_NEW_HIGHSCORE:
        memset(name_buffer, 0, sizeof name_buffer);
        play_module(MODULE_HIGHSCORE, MUSIC_VOLUME_FULL);
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
    // Every run starts from a seed of its own, so that it can be replayed.
    seed_random(start_run_replay());
    free_characters();
    clear_items();
    free_bullets();
    clear_floating_texts();
    clear_sprite_anims();
    clear_particles();
    for (int i = 0; i < RUN_CIVILIANS; i++)
        spawn_character(KIND_CIVILIAN, 0);
    for (int i = 0; i < RUN_PAINKILLERS; i++)
        spawn_item(ITEM_PAINKILLERS, 0);
    for (int i = 0; i < RUN_STEROIDS; i++)
        spawn_item(ITEM_STEROIDS, 0);
    new_player();
    reset_meters();
    paused = 0;
    run_active = 0;
}

void update_game_state()
{
    switch (game_state) {
    case STATE_TITLE:
        if (fade_active()) {
            // The music dies away with the picture.
            if (fade_direction > 0)
                set_music_volume(1.0f - fade_alpha);
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
    // Only a live run warns; before it starts the meters are full anyway.
    if (game_state != STATE_PLAYING || paused || !run_active || player_out())
        return;
    if (player->health <= WARN_HEALTH)
        play_sample(SAMPLE_PANT);
    if (psychosis <= WARN_PSYCHOSIS)
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
