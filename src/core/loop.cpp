// Start-up, the logic tick and the drawn frame.
//
// The complete order, which every subsystem's calls join in their place:
//
// start_up:
//   1 srand(time(NULL))            2 set_defaults()      3 parse_arguments()
//   4 load_replay() of -verify or -replay
//   5 init_screen(full_screen)     6 enable_text_input()
//   7 init_sound()                 8 init_tile_anims()   9 load_graphics()
//   10 load_modules(), load_samples()                    11 load_highscores()
//   12 load_map("default.map")     13 reset_overlays()   14 set_game_state(0)
//   (-verify skips 5, 6, 7, 9, load_modules, 11 and 14)
//
// run_tick (once per whole frame unit in tick_accumulator):
//   when playing and not paused, the world update:
//     update_meters()              (only with run_active and !player_out())
//     update_timers(), regenerate_characters(), update_characters()
//     update_shooting()            (only with run_active and !player_out())
//     update_bullets(), update_laugh(), update_sigh()
//   then, in every state, handle_input() exactly once.
//
// draw_frame (advance_frame: the same without the drawing):
//   clear_screen(), update_tile_anims()
//   playing: update_camera(); the 3D pass in the play area: draw_map(),
//     draw_blood_stains(), draw_corpses(), draw_items(), draw_characters(),
//     draw_bullets(), draw_sprite_anims(), draw_blood_drops();
//     the 2D pass: draw_health_bars(), draw_floating_texts(); advance_effects()
//   the state's screen: intro draw_intro(), step_intro(); title
//     draw_title_background(), advance_title_background(),
//     advance_title_logo(), draw_title_logo(), draw_highscore_table();
//     story draw_story(), advance_story(); new high score draw_highscore_entry()
//   draw_fade(), advance_fade(), update_game_state()
//   playing (read again): draw_banner(), advance_jitter()
//   draw_prompt(), advance_prompt()
//   not intro: draw_status_bar()
//   show_fps: draw_fps()
//   draw_cursor() in the story state, and while playing unless player_out()
//
// finish_frame: end_frame(), update_sound(), count_frame()
//
// shut_down: free_graphics(), close_sound()
#include "core/loop.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <strings.h>

#include "characters/behaviour.h"
#include "characters/characters.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "core/input.h"
#include "core/replay.h"
#include "core/states.h"
#include "frontend/intro.h"
#include "frontend/overlays.h"
#include "frontend/status.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "scores/highscores.h"
#include "scores/score_screens.h"
#include "render/draw.h"
#include "render/fade.h"
#include "render/fps.h"
#include "render/quad.h"
#include "render/screen.h"
#include "render/textures.h"
#include "sound/sound.h"
#include "util/errors.h"
#include "world/camera.h"
#include "world/character_draw.h"
#include "world/map.h"
#include "world/map_draw.h"
#include "world/tile_anims.h"

float tick_accumulator = 0.0f;

void parse_arguments(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcasecmp(argv[i], "-w") == 0)
            settings[FULL_SCREEN] = 0;
        else if (strcasecmp(argv[i], "-fps") == 0)
            settings[SHOW_FPS] = 1;
        else if (strcasecmp(argv[i], "-replay") == 0 && i + 1 < argc)
            replay_watch_file = argv[++i];
        else if (strcasecmp(argv[i], "-verify") == 0 && i + 1 < argc)
            replay_verify_file = argv[++i];
        else
            fatal_error("main()", "Invalid program argument \"%s\"", argv[i]);
    }
}

void start_up(int argc, char** argv)
{
    srand((unsigned)time(nullptr));
    replay_mode = REPLAY_RECORD;
    set_defaults();
    parse_arguments(argc, argv);
    const char* replay_file = replay_verify_file ? replay_verify_file : replay_watch_file;
    if (replay_file)
        load_replay(replay_file);
    // A run checked by -verify needs no window, no device and no table:
    // only what the rules read (the samples' lengths among them).
    int window = replay_verify_file == nullptr;
    if (window) {
        init_screen(settings[FULL_SCREEN]);
        enable_text_input();
        init_sound();
    }
    init_tile_anims();
    if (window) {
        load_graphics();
        load_modules();
    }
    load_samples();
    if (window)
        load_highscores();
    load_map("default.map");
    reset_overlays();
    if (window)
        set_game_state(STATE_INTRO);
    tick_accumulator = 0.0f;
}

// The world moves only while playing and not paused. The player's meters
// and the shooting also wait for the run to go live and stop at its end;
// both conditions are read when each call is due, so the tick in which the
// meters end the run already has no shooting.
static void update_world()
{
    if (run_active && !player_out())
        update_meters();
    update_timers();
    regenerate_characters();
    update_characters();
    if (run_active && !player_out())
        update_shooting();
    update_bullets();
    update_laugh();
    update_sigh();
}

void run_tick()
{
    if (game_state == STATE_PLAYING && !paused)
        update_world();
    handle_input();
}

int run_ticks_for_frame()
{
    // No cap: after a stall every accumulated unit runs, back to back.
    replay_frame_started();
    tick_accumulator += frame_factor;
    int ticks = 0;
    // A replay's last tick ends its frame: what follows was never recorded.
    while (tick_accumulator >= 1.0f && !(replay_mode == REPLAY_PLAY && replay_status() != REPLAY_PENDING)) {
        run_tick();
        tick_accumulator -= 1.0f;
        ticks++;
    }
    return ticks;
}

// The 3D pass under the perspective camera, in the play area below the
// status strip.
static void draw_world()
{
    set_projection(PROJECTION_3D);
    set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
    draw_map();
    // Everything after the blocks lies flat on the ground, the plane the
    // camera looks straight down at, so every pixel of it has one and
    // the same depth. A flat draw passes where the stored depth is not
    // nearer than that, and writing that same depth where it passed
    // changes the outcome of no later flat draw: the writes are skipped,
    // which spares the software renderer much of the crowd's cost.
    set_depth_writes(0);
    draw_blood_stains();
    draw_corpses();
    draw_items();
    draw_characters();
    draw_bullets();
    draw_sprite_anims();
    draw_blood_drops();
}

// The screen of each state, under the fade and the overlays, each drawing
// beside the step of its own timer.
static void state_screen(int draw)
{
    switch (game_state) {
    case STATE_INTRO:
        if (draw) draw_intro();
        step_intro();
        break;
    case STATE_TITLE:
        if (draw) draw_title_background();
        advance_title_background();
        advance_title_logo(textures[TEX_LOGO].height);
        if (draw) {
            draw_title_logo();
            draw_highscore_table();
        }
        break;
    case STATE_STORY:
        if (draw) draw_story();
        advance_story();
        break;
    case STATE_NEW_HIGHSCORE:
        if (draw) draw_highscore_entry();
        break;
    default:
        break;
    }
}

// The frame after the state switches: what new_game's frame still did
// after it (a replay starts here) and every other frame does too.
static void frame_rest(int draw)
{
    if (game_state == STATE_PLAYING) {
        if (draw) draw_banner();
        advance_jitter();
    }
    if (draw) draw_prompt();
    advance_prompt();
    if (!draw)
        return;
    if (game_state != STATE_INTRO)
        draw_status_bar();
    if (settings[SHOW_FPS])
        draw_fps();
    // The crosshair where aiming means something: the story screen, and a
    // run the player is still in.
    if (game_state == STATE_STORY || (game_state == STATE_PLAYING && !player_out()))
        draw_cursor();
}

// The frame, drawn or not. Every step that changes state runs in both
// cases, in the order the picture needs, so a replay without a window
// follows the drawn game exactly.
static void frame(int draw)
{
    if (draw) clear_screen();
    update_tile_anims();
    if (game_state == STATE_PLAYING) {
        update_camera();
        if (draw) {
            draw_world();
            set_projection(PROJECTION_2D);
            set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            draw_health_bars();
            draw_floating_texts();
        }
        advance_effects();
    } else if (draw) {
        set_projection(PROJECTION_2D);
        set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    }

    state_screen(draw);
    if (draw) draw_fade();
    advance_fade();
    update_game_state();
    frame_rest(draw);
}

void draw_frame()
{
    frame(1);
}

void advance_frame()
{
    frame(0);
}

// Watching: the recorded frames are shown at the pace they were played,
// by the real clock. watch_due is when the current frame is due (SDL ticks);
// far behind it (after a pause or a stall) the pace starts again from now
// instead of rushing to catch up.
static double watch_due;
static int watch_paused;

static void pace_watching(float factor)
{
    const double now = SDL_GetTicks();
    watch_due += factor * MS_PER_FRAME_UNIT;
    if (watch_due < now - 100.0)
        watch_due = now;
    while (SDL_GetTicks() < watch_due)
        SDL_Delay(1);
}

// A run that parted from its recording says where, for whoever started it.
static void end_watching()
{
    if (replay_status() == REPLAY_DIVERGED)
        fprintf(stderr, "%s\n", replay_verdict());
    stop_watching();
}

void watch_frame()
{
    if (game_state != STATE_PLAYING) {
        // The frame new_game ran in, from the point where it ran.
        start_watching();
        frame_rest(1);
        finish_frame();
        watch_due = SDL_GetTicks();
        watch_paused = 0;
        return;
    }
    int asked = watch_input();
    if (game_state < 0)
        return;
    if (asked & WATCH_PAUSE)
        watch_paused = !watch_paused;
    if (asked & WATCH_LEAVE) {
        stop_watching();
        return;
    }
    if (watch_paused) {
        // The last picture stays; a screenshot waits for the next frame.
        SDL_Delay(10);
        return;
    }
    float factor;
    if (!replay_next_frame(&factor)) {
        end_watching();
        return;
    }
    pace_watching(factor);
    frame_factor = factor;
    run_ticks_for_frame();
    if (replay_status() != REPLAY_PENDING) {
        end_watching(); // a recorded quit or name entry leads to the title too
        return;
    }
    draw_frame();
    finish_frame();
}

int verify_replay()
{
    start_watching();
    frame_rest(0);
    float factor;
    while (replay_status() == REPLAY_PENDING && replay_next_frame(&factor)) {
        frame_factor = factor;
        run_ticks_for_frame();
        advance_frame();
        screenshot_requested = 0; // nothing to take it
    }
    printf("%s\n", replay_verdict());
    return replay_status() == REPLAY_MATCHED ? 0 : 1;
}

void finish_frame()
{
    end_frame();
    update_sound();
    count_frame();
}

void shut_down()
{
    free_graphics();
    close_sound();
}
