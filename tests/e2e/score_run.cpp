// The game as the program runs it (start-up, the frame loop against the real
// clock, real SDL events from the X server), with one helping hand for the
// scoring run of score_run.sh: once the run is live, the first civilian in
// the list is kept in the player's reach, in front of wherever the player
// faces, until it is dead; then the psychosis meter is left one point from
// its end, so the run ends by itself in the next tick. Everything else
// (clicks, the strike, the scoring, the end, the name entry, the file) is
// the game's own.
//
// It reports on standard output what a player would read off the screen:
//   state N                          on every change of game_state
//   live X Y                         the run has started; the player's centre
//                                    in window pixels
//   aim ANGLE                        the player now faces ANGLE degrees
//   hit SCORE HEALTH                 the score changed; the target's health
//   out                              the run is over
//   run SCORE CIVILIANS ARMED SECONDS  the counters the high-score entry sees
#include <cmath>
#include <cstdio>

#include "characters/characters.h"
#include "characters/player.h"
#include "core/loop.h"
#include "core/states.h"
#include "render/screen.h"
#include "world/camera.h"
#include "world/map.h"

static character* target = nullptr;
static bool placing = false;
static bool ending = false;
static int reported_score = 0;
static int reported_angle = 0;

static bool in_list(const character* c)
{
    for (character* k = character_list; k; k = k->next)
        if (k == c)
            return true;
    return false;
}

// The box the strike probes: the player's moved ATTACK_REACH along its aim.
static void place_in_reach(character* c)
{
    float a = player->angle * DEGREES_TO_RADIANS;
    c->x = player->x + (int)(ATTACK_REACH * sinf(a));
    c->y = player->y - (int)(ATTACK_REACH * cosf(a));
    c->dest_x = c->waypoint_x = (c->x + CHARACTER_SIZE / 2) / 32;
    c->dest_y = c->waypoint_y = (c->y + CHARACTER_SIZE / 2) / 32;
}

// A player beside a raised block can be hidden by it, and then facing east
// or west looks the same: the run starts in the open, on a floor cell with
// floor and no raised top anywhere in the 5 x 5 cells around it.
static void move_player_into_the_open()
{
    for (int row = 2; row < map_height - 2; row++)
        for (int column = 2; column < map_width - 2; column++) {
            bool open = true;
            for (int dy = -2; dy <= 2 && open; dy++)
                for (int dx = -2; dx <= 2 && open; dx++) {
                    open = walk_grid[row + dy][column + dx] != 0;
                    for (int layer = 1; layer < map_layers && open; layer++)
                        open = map_cells[layer][row + dy][column + dx][FACE_TOP] == 0;
                }
            if (open) {
                player->x = column * CELL_SIZE;
                player->y = row * CELL_SIZE;
                update_camera();
                return;
            }
        }
}

static void help_before_tick()
{
    if (game_state != STATE_PLAYING || !run_active || !player || player_out())
        return;
    if (!placing && !ending) {
        // The head of the list wins every tie of the strike's search.
        if (character_list && character_list->kind == KIND_CIVILIAN) {
            target = character_list;
            placing = true;
            move_player_into_the_open();
            // The camera stands still while the player does.
            printf("live %d %d\n", player->x + CHARACTER_SIZE / 2 - camera_x,
                   player->y + CHARACTER_SIZE / 2 - camera_y + STATUS_HEIGHT);
            reported_angle = player->angle;
            fflush(stdout);
        }
    }
    if (placing) {
        if (kills[KIND_CIVILIAN] > 0 || !in_list(target)) {
            placing = false;
            target = nullptr;
            ending = true;
        } else {
            place_in_reach(target);
        }
    }
    if (ending && psychosis > 1) {
        psychosis = 1;
        psychosis_countdown = 0;
    }
}

static void report_after_tick(int* last_state, bool* out_reported)
{
    if (score != reported_score && game_state == STATE_PLAYING) {
        reported_score = score;
        // A freed target's place may already hold its replacement.
        bool alive = placing && kills[KIND_CIVILIAN] == 0 && in_list(target);
        printf("hit %d %d\n", score, alive ? target->health : 0);
    }
    if (placing && player->angle != reported_angle) {
        reported_angle = player->angle;
        printf("aim %d\n", reported_angle);
    }
    if (game_state == STATE_PLAYING && run_active && player_out() && !*out_reported) {
        *out_reported = true;
        printf("out\n");
    }
    if (game_state != *last_state) {
        if (game_state == STATE_NEW_HIGHSCORE)
            printf("run %d %d %d %d\n", score, kills[KIND_CIVILIAN], kills[KIND_ARMED],
                   run_seconds);
        printf("state %d\n", game_state);
        *last_state = game_state;
        if (game_state == STATE_PLAYING) {
            *out_reported = false;
            reported_score = 0;
        }
    }
    fflush(stdout);
}

int main(int argc, char** argv)
{
    start_up(argc, argv);
    int last_state = game_state;
    bool out_reported = false;
    printf("state %d\n", game_state);
    fflush(stdout);
    while (game_state > -1) {
        // run_ticks_for_frame, with the helping hand before every tick.
        tick_accumulator += frame_factor;
        while (tick_accumulator >= 1.0f) {
            help_before_tick();
            run_tick();
            tick_accumulator -= 1.0f;
            report_after_tick(&last_state, &out_reported);
        }
        draw_frame();
        report_after_tick(&last_state, &out_reported);
        finish_frame();
    }
    shut_down();
    return 0;
}
