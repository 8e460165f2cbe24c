// A deterministic soak of the world: 100,000 world ticks of play on the real
// default map, with the game's rules checked after every tick.
//
// What runs. The frame loop's own tick, run_tick, so the world update keeps
// exactly the game's order (meters, timers, regeneration, behaviour,
// shooting, bullets, voices) and whatever joins it later is soaked too. No
// window is opened and SDL is never initialised: its event queue is then
// empty and its keys all released, so the handle_input inside run_tick finds
// no input, and sound calls are no-ops.
//
// The input a player would give is scripted right after that handle_input,
// in the same tick and in its order: the click first (player_attack, only
// with the cooldown at 0), then the held direction with the aim
// (steer_player, the call handle_input makes). Without a pointer,
// handle_input has just aimed the player at the window's corner, so the
// script first aims it again without a step: the click strikes where the
// scripted pointer rests, as it would had the pointer been there all along.
//
// After each tick the frame's rule-bearing parts run as at 60 frames per
// second, one frame per tick (advance_fade, update_game_state), so the
// opening fade ends and the run goes live as in the game. Nothing is drawn,
// so the effect tables are never aged; they fill up and drop requests, as
// cosmetic tables may.
//
// The scripted player hunts the nearest character along a breadth-first
// route over the walk grid, fetches painkillers when hurt and steroids when
// they are close, wanders off in a random direction now and then, and strikes
// whatever is in reach. To reach the armed population's cap of 75 it is kept
// alive (health and psychosis topped up when low) until the cap has held for
// a while; then it stops fighting, the run ends by itself (psychosis or
// bullets), the aftermath ticks on, and a new game starts. Now and then the
// game is paused, and nothing may change while it is.
//
// Under AddressSanitizer the soak is shortened to 20,000 ticks: that build is
// unoptimised and checks every access, so 100,000 ticks twice would take
// minutes there. The cap, ended runs and restarts are still reached.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "combat/items.h"
#include "core/loop.h"
#include "core/replay.h"
#include "core/states.h"
#include "render/fade.h"
#include "util/archive.h"
#include "util/mathutil.h"
#include "world/map.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_SANITIZED 1
#endif
#endif
#ifndef SOAK_SANITIZED
#define SOAK_SANITIZED 0
#endif

namespace {

const int SOAK_TICKS = SOAK_SANITIZED ? 20000 : 100000;
const unsigned SOAK_SEED = 20261206;

const int ARMED_CAP = ARMED_GROWTH_LIMIT + 1;
const int MAX_POPULATION = CIVILIAN_COUNT + ARMED_CAP + 1;

// Run shape: keep the player alive until the cap has held this long (or the
// run has lasted the second figure), then let the run end; after the end
// keep ticking for the aftermath before the next new game.
const int CAP_HOLD_TICKS = 3000;
const int LONGEST_KEPT_RUN = 40000;
const int AFTERMATH_TICKS = 240;
// Top-ups of the kept-alive player.
const int HEALTH_TOP_UP_BELOW = 50;
const int PSYCHOSIS_TOP_UP_BELOW = 15;
// Pauses: one every so many world ticks, lasting this many loop ticks.
const int PAUSE_EVERY = 9973;
const int PAUSE_TICKS = 40;
// The state after this many world ticks is compared with another seed's.
const int EARLY_CHECK_TICK = 1000;

// --------------------------------------------------------------- invariants

bool cell_floor(int column, int row)
{
    return column >= 0 && row >= 0 && column < map_width && row < map_height &&
           walk_grid[row][column] != 0;
}

bool box_on_floor(int x, int y, int size)
{
    if (x < 0 || y < 0) return false;
    return cell_floor(x / CELL_SIZE, y / CELL_SIZE) &&
           cell_floor((x + size - 1) / CELL_SIZE, y / CELL_SIZE) &&
           cell_floor(x / CELL_SIZE, (y + size - 1) / CELL_SIZE) &&
           cell_floor((x + size - 1) / CELL_SIZE, (y + size - 1) / CELL_SIZE);
}

std::string describe(const character* c)
{
    char text[96];
    snprintf(text, sizeof text, "%s at (%d, %d)",
             c->kind == KIND_PLAYER ? "player" : c->kind == KIND_ARMED ? "armed" : "civilian",
             c->x, c->y);
    return text;
}

// Characters the player was placed over at the start of the run and has
// overlapped ever since: the only overlap the rules allow, since the player
// alone is placed without regard to others and a step that keeps two boxes
// overlapping is refused. Shrinks as they part, never grows.
std::vector<const character*> allowed_overlaps;

void start_overlap_tracking()
{
    allowed_overlaps.clear();
    for (const character* c = character_list; c; c = c->next) {
        if (c != player && rects_overlap(c->x, c->y, CHARACTER_SIZE, CHARACTER_SIZE, player->x,
                                         player->y, CHARACTER_SIZE, CHARACTER_SIZE))
            allowed_overlaps.push_back(c);
    }
}

std::string check_characters()
{
    int count = 0, civilians = 0, armed = 0, players = 0;
    std::vector<const character*> all;
    for (const character* c = character_list; c; c = c->next) {
        if (++count > MAX_POPULATION) return "the character list holds more than 126 records";
        all.push_back(c);
        if (c->kind == KIND_PLAYER) players++;
        else if (c->kind == KIND_CIVILIAN) civilians++;
        else if (c->kind == KIND_ARMED) armed++;
        else return "a character of unknown kind " + std::to_string(c->kind);

        if (!box_on_floor(c->x, c->y, CHARACTER_SIZE))
            return describe(c) + " has its box on a solid cell or off the map";
        if (c->health < 0 || c->health > CHARACTER_MAX_HEALTH)
            return describe(c) + " has health " + std::to_string(c->health);
        if (c != player && c->health == 0)
            return describe(c) + " is dead but still in the list";
        if (c->frame < 0 || c->frame >= WALK_FRAMES || c->frame_timer < 0 ||
            c->frame_timer > WALK_FRAME_STEPS)
            return describe(c) + " has walk frame " + std::to_string(c->frame) + " timer " +
                   std::to_string(c->frame_timer);
        if (c->cooldown < 0 || c->cooldown > SHOT_COOLDOWN || c->panic_timer < 0 ||
            c->panic_timer > PANIC_TICKS || c->regen_timer < 0 || c->regen_timer > REGEN_TICKS)
            return describe(c) + " has a timer out of range";
        if (c != player && (!cell_floor(c->waypoint_x, c->waypoint_y) ||
                            !cell_floor(c->dest_x, c->dest_y)))
            return describe(c) + " heads for a solid cell";
    }
    if (players != 1 || !player || player->kind != KIND_PLAYER)
        return "there must be exactly one player, the one `player` names";
    if (civilians != CIVILIAN_COUNT)
        return std::to_string(civilians) + " civilians instead of 50";
    if (armed > ARMED_CAP) return std::to_string(armed) + " armed characters, above the cap";
    // Every death adds one armed character until there are 75.
    int deaths = kills[KIND_CIVILIAN] + kills[KIND_ARMED];
    if (armed != std::min(deaths, ARMED_CAP))
        return std::to_string(armed) + " armed characters after " + std::to_string(deaths) +
               " kills";

    // Overlaps: sweep the boxes by x.
    std::sort(all.begin(), all.end(),
              [](const character* a, const character* b) { return a->x < b->x; });
    std::vector<const character*> still_allowed;
    for (size_t i = 0; i < all.size(); i++) {
        for (size_t j = i + 1; j < all.size() && all[j]->x < all[i]->x + CHARACTER_SIZE; j++) {
            const character* a = all[i];
            const character* b = all[j];
            if (!rects_overlap(a->x, a->y, CHARACTER_SIZE, CHARACTER_SIZE, b->x, b->y,
                               CHARACTER_SIZE, CHARACTER_SIZE))
                continue;
            const character* other = a == player ? b : b == player ? a : nullptr;
            if (!other || std::find(allowed_overlaps.begin(), allowed_overlaps.end(), other) ==
                              allowed_overlaps.end())
                return describe(a) + " overlaps " + describe(b);
            still_allowed.push_back(other);
        }
    }
    allowed_overlaps.swap(still_allowed);
    return "";
}

std::string check_items()
{
    int painkillers = 0, steroids = 0;
    for (int s = 0; s < MAX_ITEMS; s++) {
        const Item& it = items[s];
        // Twelve items taken lowest slot first, each replaced in the slot it
        // left: slots 0..11 are always the ones in use.
        if (it.active != (s < PAINKILLER_COUNT + STEROIDS_COUNT))
            return "item slot " + std::to_string(s) + " has active " + std::to_string(it.active);
        if (!it.active) continue;
        if (it.kind == ITEM_PAINKILLERS) painkillers++;
        else if (it.kind == ITEM_STEROIDS) steroids++;
        else return "an item of unknown kind " + std::to_string(it.kind);
        int column = it.x / CELL_SIZE, row = it.y / CELL_SIZE;
        if (it.x < 0 || it.y < 0 || it.x != CELL_SIZE * column + 4 || it.y != CELL_SIZE * row + 4 ||
            !cell_floor(column, row))
            return "item " + std::to_string(s) + " at (" + std::to_string(it.x) + ", " +
                   std::to_string(it.y) + ") is not centred on a floor cell";
        for (int t = 0; t < s; t++) {
            if (items[t].x / CELL_SIZE == column && items[t].y / CELL_SIZE == row)
                return "items " + std::to_string(t) + " and " + std::to_string(s) +
                       " share a cell";
        }
    }
    if (painkillers != PAINKILLER_COUNT || steroids != STEROIDS_COUNT)
        return std::to_string(painkillers) + " painkillers and " + std::to_string(steroids) +
               " steroids on the map";
    return "";
}

std::string check_bullets_and_effects()
{
    int count = 0;
    for (const Bullet* b = bullet_list; b; b = b->next) {
        if (++count > 100000) return "the bullet list does not end";
        // A bullet that left the map or met a wall was removed in its step.
        if (b->x < 0 || b->y < 0 || !box_on_floor((int)b->x, (int)b->y, BULLET_SIZE))
            return "a bullet at (" + std::to_string(b->x) + ", " + std::to_string(b->y) +
                   ") outlived its step into a wall or off the map";
        if (b->speed != BULLET_SPEED_ARMED) return "a bullet not fired by an armed character";
    }
    for (const SpriteAnim& a : sprite_anims) {
        if (a.active > 1) return "a sprite slot with a stray active flag";
        if (a.active && (a.frames_left < 0 || a.size <= 0))
            return "a sprite animation past its last cell";
    }
    for (const Particle& p : particles) {
        if (p.active > 1) return "a particle slot with a stray active flag";
        if (p.active && p.type > PARTICLE_CORPSE) return "a particle of unknown type";
    }
    for (const FloatingText& t : floating_texts) {
        if (t.active != 0 && t.active != 1) return "a text slot with a stray active flag";
        if (t.active && strnlen(t.text, FLOATING_TEXT_SIZE) == FLOATING_TEXT_SIZE)
            return "a rising text without its terminator";
    }
    return "";
}

std::string check_meters()
{
    if (psychosis < 0 || psychosis > PSYCHOSIS_MAX)
        return "psychosis is " + std::to_string(psychosis);
    if (player && (player->health < 0 || player->health > CHARACTER_MAX_HEALTH))
        return "the player's health is " + std::to_string(player->health);
    if (steroids_timer < 0 || steroids_timer > STEROIDS_TICKS)
        return "the steroids timer is " + std::to_string(steroids_timer);
    if (score < 0 || kills[KIND_CIVILIAN] < 0 || kills[KIND_ARMED] < 0 || run_seconds < 0)
        return "a run counter went below 0";
    return "";
}

std::string check_world()
{
    for (std::string (*check)() : {check_characters, check_items, check_bullets_and_effects,
                                   check_meters}) {
        std::string problem = check();
        if (!problem.empty()) return problem;
    }
    return "";
}

// ---------------------------------------------------------- scripted input

// The script's own generator, so the game's rand() stream is the game's.
struct script_random {
    uint32_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int range(int lo, int hi) { return lo + (int)(next() % (uint32_t)(hi - lo + 1)); }
};

// Breadth-first distances over floor cells (sideways steps) from the
// player's centre cell, and the first step toward each cell.
struct route_map {
    int dist[MAP_MAX_SIZE][MAP_MAX_SIZE];
    signed char first_dx[MAP_MAX_SIZE][MAP_MAX_SIZE];
    signed char first_dy[MAP_MAX_SIZE][MAP_MAX_SIZE];
    int from_column = -1, from_row = -1;
};

void plan_routes(route_map* r, int column, int row)
{
    if (r->from_column == column && r->from_row == row) return;
    r->from_column = column;
    r->from_row = row;
    for (int y = 0; y < map_height; y++)
        for (int x = 0; x < map_width; x++) r->dist[y][x] = -1;
    if (!cell_floor(column, row)) return;
    static int queue[MAP_MAX_SIZE * MAP_MAX_SIZE];
    int head = 0, tail = 0;
    r->dist[row][column] = 0;
    r->first_dx[row][column] = 0;
    r->first_dy[row][column] = 0;
    queue[tail++] = row * MAP_MAX_SIZE + column;
    static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (head < tail) {
        int cell = queue[head++];
        int cx = cell % MAP_MAX_SIZE, cy = cell / MAP_MAX_SIZE;
        for (const auto& s : steps) {
            int nx = cx + s[0], ny = cy + s[1];
            if (!cell_floor(nx, ny) || r->dist[ny][nx] >= 0) continue;
            r->dist[ny][nx] = r->dist[cy][cx] + 1;
            bool start = cx == column && cy == row;
            r->first_dx[ny][nx] = start ? (signed char)s[0] : r->first_dx[cy][cx];
            r->first_dy[ny][nx] = start ? (signed char)s[1] : r->first_dy[cy][cx];
            queue[tail++] = ny * MAP_MAX_SIZE + nx;
        }
    }
}

int sign(int v) { return (v > 0) - (v < 0); }

struct script {
    script_random rnd;
    route_map routes;
    int wander_left = 0, wander_dx = 0, wander_dy = 0;
    int next_wander = 600;
    int still_ticks = 0;
    int last_x = -1, last_y = -1;
    bool fighting = true;
};

// The cell under the middle of a 32-unit box whose edge is at `v`.
int centre_cell(int v) { return (v + CHARACTER_SIZE / 2) / CELL_SIZE; }

// One tick of a player's hands: a click when something is in reach (or, when
// stuck, at random), then the held direction and the aim.
void play_one_tick(script* s, int world_tick)
{
    if (!player_can_act()) return;
    character* me = player;
    int column = centre_cell(me->x), row = centre_cell(me->y);
    plan_routes(&s->routes, column, row);

    if (me->x == s->last_x && me->y == s->last_y) s->still_ticks++;
    else s->still_ticks = 0;
    s->last_x = me->x;
    s->last_y = me->y;

    // Now and then, or when stuck, walk off in a random direction for a while.
    if (s->wander_left == 0 && (world_tick >= s->next_wander || s->still_ticks > 20)) {
        s->wander_left = s->rnd.range(20, 90);
        s->next_wander = world_tick + s->rnd.range(300, 1500);
        s->still_ticks = 0;
    }
    if (s->wander_left > 0 && s->wander_left % 30 == 0) {
        do {
            s->wander_dx = s->rnd.range(-1, 1);
            s->wander_dy = s->rnd.range(-1, 1);
        } while (s->wander_dx == 0 && s->wander_dy == 0);
    }

    // The goal, a 32-unit box to walk onto: painkillers when hurt, steroids
    // when fairly close, else the nearest character by route.
    int goal_x = -1, goal_y = -1, goal_steps = 0, best = 0;
    auto consider = [&](int x, int y, int preference) {
        int steps = s->routes.dist[centre_cell(y)][centre_cell(x)];
        if (steps < 0) return;
        if (goal_x < 0 || steps - preference < best) {
            best = steps - preference;
            goal_steps = steps;
            goal_x = x;
            goal_y = y;
        }
    };
    // Armed characters come to the player and stand; a hurt civilian runs
    // as fast as the player walks, so it is left alone unless in reach.
    if (s->fighting) {
        for (const character* c = character_list; c; c = c->next) {
            if (c == me) continue;
            consider(c->x, c->y, c->kind == KIND_ARMED ? 3 : c->panic_timer > 0 ? -15 : 0);
        }
    }
    const int item_to_cell = (CELL_SIZE - ITEM_SIZE) / 2;
    for (const Item& it : items) {
        if (!it.active) continue;
        if (it.kind == ITEM_PAINKILLERS && me->health <= 60)
            consider(it.x - item_to_cell, it.y - item_to_cell, MAP_MAX_SIZE * MAP_MAX_SIZE);
        if (it.kind == ITEM_STEROIDS && steroids_timer == 0)
            consider(it.x - item_to_cell, it.y - item_to_cell, 20);
    }

    int dx = 0, dy = 0;
    bool click = false;
    float aim_x = (float)(me->x + CHARACTER_SIZE / 2), aim_y = (float)(me->y - 100);
    if (s->wander_left > 0) {
        s->wander_left--;
        dx = s->wander_dx;
        dy = s->wander_dy;
        aim_x = (float)(me->x + 16 + 64 * dx);
        aim_y = (float)(me->y + 16 + 64 * dy);
        // Swing at random while wandering: a stuck player may be penned in
        // by someone standing on it.
        click = s->rnd.range(0, 7) == 0;
    } else if (goal_x >= 0) {
        aim_x = (float)(goal_x + CHARACTER_SIZE / 2);
        aim_y = (float)(goal_y + CHARACTER_SIZE / 2);
        int gc = centre_cell(goal_x), gr = centre_cell(goal_y);
        if (goal_steps <= 1) {
            dx = sign(goal_x - me->x);
            dy = sign(goal_y - me->y);
        } else {
            int nx = column + s->routes.first_dx[gr][gc], ny = row + s->routes.first_dy[gr][gc];
            dx = sign(CELL_SIZE * nx - me->x);
            dy = sign(CELL_SIZE * ny - me->y);
        }
    }

    // The pointer rests on the aim point. Without a real pointer the
    // handle_input of this tick has just turned the player toward the
    // window's corner, so the aim is taken again (no step) before the click,
    // as the player would stand had the pointer been there all along.
    steer_player(0, 0, aim_x, aim_y);
    if (s->fighting && me->cooldown == 0 && (click || target_in_reach())) player_attack();
    steer_player(dx, dy, aim_x, aim_y);
}

// ------------------------------------------------------------------- soak

struct soak_result {
    uint64_t early_checksum = 0;
    uint64_t final_checksum = 0;
    int world_ticks = 0;
    int runs = 0;
    int runs_ended = 0;
    int most_armed = 0;
    int ticks_at_cap = 0;
    int kills = 0;
    int painkillers_taken = 0;
    int steroids_taken = 0;
    int hits_taken = 0;
    std::string failure;
};

bool load_default_map()
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", "default.map", &size);
    if (!data) return false;
    load_map_bytes("default.map", data, size);
    free(data);
    return true;
}

int count_bullets()
{
    int n = 0;
    for (const Bullet* b = bullet_list; b; b = b->next) n++;
    return n;
}

int count_armed()
{
    int n = 0;
    for (const character* c = character_list; c; c = c->next) n += c->kind == KIND_ARMED;
    return n;
}

void start_run(soak_result* r)
{
    set_game_state(STATE_PLAYING); // new_game and the opening fade
    start_overlap_tracking();
    r->runs++;
}

// Runs `world_ticks` world ticks from `seed`; stops at the first broken
// invariant, which it reports in `failure`.
soak_result soak(unsigned seed, int world_ticks)
{
    soak_result r;
    // Process-wide leftovers of an earlier soak in this process: the frame
    // state and the one meter that a new game keeps.
    srand(seed);
    last_laugh = 0;
    frame_factor = 1.0f;
    start_run(&r);
    script s;
    s.rnd.state = seed * 2654435761u + 1;
    if (!player) {
        r.failure = "a new game brought no player";
        return r;
    }

    int run_start = 0, cap_since = -1, ended_at = -1;
    int pause_left = 0, last_pause = 0;
    while (r.world_ticks < world_ticks) {
        // Pause now and then: run_tick goes on, the world must stand still.
        if (r.world_ticks % PAUSE_EVERY == 0 && r.world_ticks != last_pause) {
            last_pause = r.world_ticks;
            paused = 1;
            pause_left = PAUSE_TICKS;
        }
        if (paused) {
            uint64_t before = world_checksum();
            run_tick();
            if (world_checksum() != before) {
                r.failure = "the world changed while paused";
                return r;
            }
            if (--pause_left == 0) paused = 0;
            continue;
        }

        Item items_before[MAX_ITEMS];
        memcpy(items_before, items, sizeof items);
        int health_before = player->health;
        // Outside a live run (the opening fade, the aftermath) nobody shoots
        // and the meters stand still.
        bool live = run_active && !player_out();
        int bullets_before = count_bullets();
        int psychosis_before = psychosis, seconds_before = run_seconds;

        run_tick();
        play_one_tick(&s, r.world_ticks);
        advance_fade();
        update_game_state();
        r.world_ticks++;

        std::string problem = check_world();
        if (problem.empty() && !live && count_bullets() > bullets_before)
            problem = "a shot was fired outside a live run";
        if (problem.empty() && !live &&
            (psychosis != psychosis_before || run_seconds != seconds_before))
            problem = "the meters ran outside a live run";
        if (!problem.empty()) {
            r.failure = "world tick " + std::to_string(r.world_ticks) + ": " + problem;
            return r;
        }
        if (r.world_ticks == EARLY_CHECK_TICK) r.early_checksum = world_checksum();

        // What this tick did, for the figures.
        for (int i = 0; i < MAX_ITEMS; i++) {
            if (items_before[i].active &&
                (items[i].x != items_before[i].x || items[i].y != items_before[i].y))
                (items[i].kind == ITEM_STEROIDS ? r.steroids_taken : r.painkillers_taken)++;
        }
        if (player->health < health_before) r.hits_taken++;
        int armed = count_armed();
        r.most_armed = std::max(r.most_armed, armed);
        if (armed == ARMED_CAP) r.ticks_at_cap++;

        // The run's course: kept alive until the cap has held, then left to
        // end, then the aftermath, then a new game.
        int age = r.world_ticks - run_start;
        if (armed == ARMED_CAP && cap_since < 0) cap_since = r.world_ticks;
        bool keep_alive = (cap_since < 0 || r.world_ticks - cap_since < CAP_HOLD_TICKS) &&
                          age < LONGEST_KEPT_RUN;
        s.fighting = keep_alive;
        if (keep_alive && !player_out()) {
            if (player->health < HEALTH_TOP_UP_BELOW) player->health = CHARACTER_MAX_HEALTH;
            if (psychosis < PSYCHOSIS_TOP_UP_BELOW) psychosis = PSYCHOSIS_MAX;
        }
        if (player_out() && ended_at < 0) {
            ended_at = r.world_ticks;
            r.runs_ended++;
        }
        if (ended_at >= 0 && r.world_ticks - ended_at >= AFTERMATH_TICKS) {
            r.kills += kills[KIND_CIVILIAN] + kills[KIND_ARMED];
            start_run(&r);
            if (!player) {
                r.failure = "a new game brought no player";
                return r;
            }
            run_start = r.world_ticks;
            cap_since = ended_at = -1;
            s.fighting = true;
        }
    }
    r.kills += kills[KIND_CIVILIAN] + kills[KIND_ARMED];
    // With where the game's random stream has got to.
    const uint64_t state[2] = {world_checksum(), (uint64_t)rand()};
    r.final_checksum = replay_hash(REPLAY_HASH_START, state, sizeof state);
    return r;
}

void print_figures(const char* label, const soak_result& r, double seconds)
{
    printf("soak %s: %d world ticks in %.1f s, %d runs (%d ended), %d kills, most armed %d "
           "(%d ticks at the cap), %d painkillers and %d steroids taken, %d hits taken, "
           "checksum %016llx\n",
           label, r.world_ticks, seconds, r.runs, r.runs_ended, r.kills, r.most_armed,
           r.ticks_at_cap, r.painkillers_taken, r.steroids_taken, r.hits_taken,
           (unsigned long long)r.final_checksum);
}

double seconds_since(const timespec& t0)
{
    timespec t1;
    clock_gettime(CLOCK_MONOTONIC, &t1);
    return (double)(t1.tv_sec - t0.tv_sec) + (double)(t1.tv_nsec - t0.tv_nsec) * 1e-9;
}

} // namespace

TEST(Soak, LongPlayKeepsEveryRuleAndRepeatsExactlyFromItsSeed)
{
    ASSERT_TRUE(file_exists("assets.bin")) << "run from the build folder, beside assets.bin";
    ASSERT_TRUE(load_default_map()) << "assets.bin has no default.map";

    timespec t0;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    soak_result first = soak(SOAK_SEED, SOAK_TICKS);
    print_figures("first", first, seconds_since(t0));
    ASSERT_EQ(first.failure, "");

    // The soak did what it is for: the cap reached and held, runs ended
    // and restarted, both pick-ups taken, the player under fire.
    EXPECT_EQ(first.most_armed, ARMED_CAP);
    EXPECT_GE(first.ticks_at_cap, CAP_HOLD_TICKS);
    EXPECT_GE(first.runs_ended, 1);
    EXPECT_GE(first.runs, 2);
    EXPECT_GT(first.painkillers_taken, 0);
    EXPECT_GT(first.steroids_taken, 0);
    EXPECT_GT(first.hits_taken, 0);

    clock_gettime(CLOCK_MONOTONIC, &t0);
    soak_result again = soak(SOAK_SEED, SOAK_TICKS);
    print_figures("again", again, seconds_since(t0));
    ASSERT_EQ(again.failure, "");
    EXPECT_EQ(again.early_checksum, first.early_checksum);
    EXPECT_EQ(again.final_checksum, first.final_checksum);

    // The checksum tells runs apart: another seed differs early on.
    soak_result other = soak(SOAK_SEED + 1, EARLY_CHECK_TICK);
    ASSERT_EQ(other.failure, "");
    EXPECT_NE(other.early_checksum, first.early_checksum);

    free_characters();
    free_bullets();
}
