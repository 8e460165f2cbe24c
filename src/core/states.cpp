// Game states and the switches between them.
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
#include "core/input.h"
#include "core/replay.h"
#include "frontend/intro.h"
#include "frontend/overlays.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/fade.h"
#include "scores/highscores.h"
#include "sound/sound.h"
#include "util/mathutil.h"

int next_state = STATE_INTRO;

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
        stop_fade();
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
    // The run's population, placed without spawn effects.
    for (int i = 0; i < CIVILIAN_COUNT; i++)
        spawn_character(KIND_CIVILIAN, 0);
    for (int i = 0; i < PAINKILLER_COUNT; i++)
        spawn_item(ITEM_PAINKILLERS, 0);
    for (int i = 0; i < STEROIDS_COUNT; i++)
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
            stop_fade();
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

void step_intro()
{
    if (advance_intro() == INTRO_OVER)
        set_game_state(STATE_TITLE);
}

// Space: skip the intro, leave the title or the story through a fade-out
// (never restarting one that runs), or go on from a finished run.
static int space_key()
{
    switch (game_state) {
    case STATE_INTRO:
        set_game_state(STATE_TITLE);
        break;
    case STATE_TITLE:
        if (!fade_active()) {
            next_state = STATE_STORY;
            start_fade(0, 0, 0, 1, STATE_FADE_SPEED);
        }
        break;
    case STATE_STORY:
        if (fade_direction <= 0) {
            next_state = STATE_PLAYING;
            start_fade(0, 0, 0, 1, STATE_FADE_SPEED);
        }
        break;
    case STATE_PLAYING:
        if (player_out()) {
            // A watched run never reaches the name entry: it is not stored.
            if (replay_mode != REPLAY_PLAY && is_new_highscore()) {
                set_game_state(STATE_NEW_HIGHSCORE);
                return 1;
            }
            set_game_state(STATE_TITLE);
        }
        break;
    default:
        break;
    }
    return 0;
}

int state_key(int sym, int alt_held)
{
    switch (sym) {
    case KEY_SPACE:
        return space_key();
    case KEY_ESCAPE:
        // A quit already requested in this pass stays requested.
        if (game_state == STATE_TITLE)
            game_state = STATE_QUIT;
        else if (game_state > STATE_QUIT)
            set_game_state(STATE_TITLE); // from the entry: the run is not stored
        break;
    case KEY_R:
        // The last run, watched from the next frame on (core/loop.h);
        // without a readable one the title stays.
        if (game_state == STATE_TITLE && !fade_active() && next_state == STATE_TITLE) {
            char reason[160];
            open_replay(REPLAY_LAST_FILE, reason, sizeof reason);
        }
        break;
    case KEY_RETURN:
    case KEY_KP_ENTER:
        // Left Alt + Return belongs to the full-screen switch alone.
        if (game_state == STATE_NEW_HIGHSCORE && !(sym == KEY_RETURN && alt_held)) {
            insert_highscore();
            save_entered_replay();
            set_game_state(STATE_TITLE);
        }
        break;
    default:
        break;
    }
    return 0;
}

// The watcher's sound switches, kept aside while the recording's apply.
static int watcher_music, watcher_effects;

void start_watching()
{
    watcher_music = settings[MUSIC_ON];
    watcher_effects = settings[SOUND_FX_ON];
    set_game_state(STATE_PLAYING);
    // The story's module, which a recorded run starts with.
    play_module(MODULE_INTRO, MUSIC_VOLUME_FULL);
}

void stop_watching()
{
    stop_replay();
    replay_mode = REPLAY_RECORD;
    settings[MUSIC_ON] = watcher_music;
    settings[SOUND_FX_ON] = watcher_effects;
    set_game_state(STATE_TITLE);
}

void state_click()
{
    if (game_state == STATE_INTRO)
        set_game_state(STATE_TITLE);
}
