// Records one of the runs kept in this folder by playing the real game, in
// its own window and frame loop against the real clock, with a scripted
// player: each frame it looks at the world and pushes the keys and clicks a
// player would press into SDL's queue, holds the movement keys in SDL's key
// state and moves the pointer with SDL_WarpMouse. The game reads all of it
// as it reads a player, so the replay it writes (replays/last.rpl) is an
// ordinary one. Usage: replayrec SCENARIO, in a folder holding
// assets.bin, with an X display (record.sh provides one).
//
//   psychosis  walks about and never strikes: the meter runs out
//   score      strikes a civilian twice, then leaves the meter to run out,
//              and enters the table with a name
//   police     strikes whoever is nearest until the police's bullets end it
//   pickups    takes painkillers and steroids, pauses, switches to full
//              screen and back, and gives up with Escape
//   shot       a few seconds of the run with a Print Screen, then Escape
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/items.h"
#include "core/input.h"
#include "core/loop.h"
#include "core/replay.h"
#include "core/states.h"
#include "render/fade.h"
#include "render/screen.h"
#include "world/camera.h"

static const char* scenario;
static long frame_count;
static int run_frames; // frames since the run went live
static int run_over;   // the run has been left: quit from the next title

static void push_key(int sym, int mod = 0, int unicode = 0)
{
    SDL_Event e = {};
    e.type = e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = (SDLKey)sym;
    e.key.keysym.mod = (SDLMod)mod;
    e.key.keysym.unicode = (Uint16)unicode;
    SDL_PushEvent(&e);
}

static void click()
{
    SDL_Event e = {};
    e.type = e.button.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    SDL_PushEvent(&e);
}

static int is(const char* name)
{
    return strcmp(scenario, name) == 0;
}

// Holds the movement keys toward (x, y) in world units; when the player has
// not moved for a while it tries the crosswise way around an obstacle.
static void walk_to(int x, int y)
{
    static int stuck, detour;
    uint8_t* keys = SDL_GetKeyState(nullptr);
    int dx = x > player->x + 4 ? 1 : x < player->x - 4 ? -1 : 0;
    int dy = y > player->y + 4 ? 1 : y < player->y - 4 ? -1 : 0;
    stuck = player->moving ? 0 : stuck + 1;
    if (stuck > 20)
        detour = 40;
    if (detour > 0) {
        detour--;
        int t = dx;
        dx = dy ? -dy : 1;
        dy = t ? t : 1;
    }
    keys[KEY_A] = dx < 0;
    keys[KEY_D] = dx > 0;
    keys[KEY_W] = dy < 0;
    keys[KEY_S] = dy > 0;
}

static void stand_still()
{
    uint8_t* keys = SDL_GetKeyState(nullptr);
    keys[KEY_A] = keys[KEY_D] = keys[KEY_W] = keys[KEY_S] = 0;
}

static void aim_at(int x, int y)
{
    SDL_WarpMouse((Uint16)(x + CHARACTER_SIZE / 2 - camera_x),
                  (Uint16)(y + CHARACTER_SIZE / 2 - camera_y + STATUS_HEIGHT));
}

static character* nearest(int civilians_only)
{
    character* best = nullptr;
    long best_d = 0;
    for (character* c = character_list; c; c = c->next) {
        if (c == player || c->health == 0 || (civilians_only && c->kind != KIND_CIVILIAN))
            continue;
        long d = (long)(c->x - player->x) * (c->x - player->x) + (long)(c->y - player->y) * (c->y - player->y);
        if (!best || d < best_d) {
            best = c;
            best_d = d;
        }
    }
    return best;
}

static void strike_nearest(int civilians_only)
{
    character* c = nearest(civilians_only);
    if (!c)
        return;
    walk_to(c->x, c->y);
    aim_at(c->x, c->y);
    if (target_in_reach() && player->cooldown == 0 && frame_count % 4 == 0)
        click();
}

// Walks to the nearest item of `kind` and returns 1 once it is taken. A
// taken item is placed anew, often in the same slot, so the slot's position
// tells.
static int fetch(int kind)
{
    static int slot = -1, x, y;
    if (slot >= 0 && (!items[slot].active || items[slot].x != x || items[slot].y != y)) {
        slot = -1;
        return 1;
    }
    if (slot < 0) {
        for (int i = 0; i < MAX_ITEMS; i++)
            if (items[i].active && items[i].kind == kind &&
                (slot < 0 || abs(items[i].x - player->x) + abs(items[i].y - player->y) <
                                 abs(items[slot].x - player->x) + abs(items[slot].y - player->y)))
                slot = i;
        if (slot < 0)
            return 0;
        x = items[slot].x;
        y = items[slot].y;
    }
    walk_to(x, y);
    aim_at(x, y);
    return 0;
}

static void play()
{
    static int step;
    run_frames++;
    if (is("psychosis")) {
        walk_to(player->x + (run_frames / 300 % 2 ? -200 : 200), player->y);
        aim_at(player->x + 100, player->y + (run_frames % 200) - 100);
    } else if (is("score")) {
        if (score < 2)
            strike_nearest(1);
        else
            stand_still();
    } else if (is("police")) {
        strike_nearest(0);
    } else if (is("shot")) {
        aim_at(player->x + 60, player->y);
        if (run_frames == 120)
            push_key(KEY_PRINT);
        if (run_frames == 240)
            push_key(KEY_ESCAPE);
    } else if (is("pickups")) {
        // Pause and go on, to full screen and back, then one item of each
        // kind, then give up.
        static const int keys[][2] = {{KEY_P, 0}, {KEY_P, 0}, {KEY_RETURN, KMOD_LALT}, {KEY_RETURN, KMOD_LALT}};
        if (step < 4) {
            if (run_frames % 60 == 0) {
                push_key(keys[step][0], keys[step][1]);
                step++;
            }
        } else if (step == 4 && fetch(ITEM_PAINKILLERS)) {
            step = 5;
        } else if (step == 5 && fetch(ITEM_STEROIDS)) {
            push_key(KEY_ESCAPE);
            step = 6;
        }
    }
}

// One frame's worth of the scripted player, before the frame's ticks.
static void drive()
{
    frame_count++;
    int every_second = frame_count % 60 == 0;
    switch (game_state) {
    case STATE_INTRO:
        if (every_second) push_key(KEY_SPACE);
        break;
    case STATE_TITLE:
        if (every_second && !fade_active() && next_state == STATE_TITLE)
            push_key(run_over ? KEY_ESCAPE : KEY_SPACE);
        break;
    case STATE_STORY:
        if (every_second && fade_direction <= 0) push_key(KEY_SPACE);
        break;
    case STATE_PLAYING:
        run_over = 1;
        if (player_out()) {
            stand_still();
            if (every_second) push_key(KEY_SPACE);
        } else if (run_active && !paused) {
            play();
        } else if (paused && is("pickups")) {
            play(); // the key that goes on
        }
        break;
    case STATE_NEW_HIGHSCORE:
        if (every_second) {
            for (const char* c = "Replay"; *c; c++)
                push_key(*c | 0x20, 0, *c);
            push_key(KEY_RETURN);
        }
        break;
    default:
        break;
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: replayrec psychosis|score|police|pickups|shot\n");
        return 2;
    }
    scenario = argv[1];
    char name[] = "crimson", window[] = "-w";
    char* args[] = {name, window};
    start_up(2, args);
    while (game_state > -1 && frame_count < 200000) {
        drive();
        run_ticks_for_frame();
        draw_frame();
        finish_frame();
    }
    shut_down();
    Replay r;
    char reason[160];
    if (read_replay(REPLAY_LAST_FILE, &r, reason, sizeof reason) != REPLAY_OK) {
        fprintf(stderr, "%s %s\n", REPLAY_LAST_FILE, reason);
        return 1;
    }
    printf("%s: end %d, score %d, kills %d + %d, %d sec, %u ticks, %u frames\n", scenario, r.result.end,
           r.result.score, r.result.civilian_kills, r.result.armed_kills, r.result.seconds, r.result.ticks,
           r.result.frames);
    free_replay(&r);
    return 0;
}
