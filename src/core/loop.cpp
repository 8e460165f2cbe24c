// Start-up, the logic tick and the drawn frame.
//
// The complete order, which every subsystem's calls join in their place:
//
// start_up:
//   1 srand(time(NULL))            2 set_defaults()      3 parse_arguments()
//   4 init_screen(full_screen)     5 enable_text_input()
//   6 init_sound()                 7 init_tile_anims()   8 load_graphics()
//   9 load_modules(), load_samples()                     10 load_highscores()
//   11 load_map("default.map")     12 reset_overlays()   13 set_game_state(0)
//
// run_tick (once per whole frame unit in tick_accumulator):
//   when playing and not paused, the world update:
//     update_meters()              (only with run_active and !player_out())
//     update_timers(), regenerate_characters(), update_characters()
//     update_shooting()            (only with run_active and !player_out())
//     update_bullets(), update_laugh(), update_sigh()
//   then, in every state, handle_input() exactly once.
//
// draw_frame:
//   clear_screen(), update_tile_anims()
//   playing: set_projection(3D), set_viewport(play area), update_camera(),
//     draw_map(), draw_blood_stains(), draw_corpses(), draw_items(),
//     draw_characters(), draw_bullets(), draw_sprite_anims(), draw_blood_drops()
//   set_projection(2D), set_viewport(whole screen)
//   the state's screen: intro draw_intro(); title draw_title_background(),
//     draw_title_logo(), draw_highscore_table(); story draw_story();
//     playing draw_health_bars(), draw_floating_texts();
//     new high score draw_highscore_entry()
//   draw_fade(), update_game_state()
//   playing (read again): draw_banner()
//   draw_prompt()
//   not intro: draw_status_bar()
//   show_fps: draw_fps()
//   draw_cursor() in the story state, and while playing unless player_out()
//
// finish_frame: end_frame(), update_sound(), count_frame()
//
// shut_down: free_graphics(), close_sound()
#include "core/loop.h"

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

int settings[SETTING_COUNT] = {1, 1, 1, 0};
int game_state = 0;
int paused = 0;
float frame_factor = 0.0f;
float tick_accumulator = 0.0f;

void set_defaults()
{
    settings[FULL_SCREEN] = 1;
    settings[MUSIC_ON] = 1;
    settings[SOUND_FX_ON] = 1;
    settings[SHOW_FPS] = 0;
}

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
    init_screen(settings[FULL_SCREEN]);
    enable_text_input();
    init_sound();
    init_tile_anims();
    load_graphics();
    load_modules();
    load_samples();
    load_highscores();
    load_map("default.map");
    reset_overlays();
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
    while (tick_accumulator >= 1.0f) {
        run_tick();
        tick_accumulator -= 1.0f;
        ticks++;
    }
    return ticks;
}

// The 2D screen of each state, under the fade and the overlays.
static void draw_state_screen()
{
    switch (game_state) {
    case STATE_INTRO:
        draw_intro();
        break;
    case STATE_TITLE:
        draw_title_background();
        draw_title_logo();
        draw_highscore_table();
        break;
    case STATE_STORY:
        draw_story();
        break;
    case STATE_NEW_HIGHSCORE:
        draw_highscore_entry();
        break;
    default:
        break;
    }
}

void draw_frame()
{
    clear_screen();
    update_tile_anims();
    if (game_state == STATE_PLAYING) {
        set_projection(PROJECTION_3D);
        set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
        update_camera();
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
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (game_state == STATE_PLAYING) {
        draw_health_bars();
        draw_floating_texts();
    }

    draw_state_screen();
    draw_fade();
    update_game_state();
    if (game_state == STATE_PLAYING)
        draw_banner();
    draw_prompt();
    if (game_state != STATE_INTRO)
        draw_status_bar();
    if (settings[SHOW_FPS])
        draw_fps();
    // The crosshair where aiming means something: the story screen, and a
    // run the player is still in.
    if (game_state == STATE_STORY || (game_state == STATE_PLAYING && !player_out()))
        draw_cursor();
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
