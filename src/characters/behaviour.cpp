// Behaviour of civilians and armed characters and their shots. The path
// search lives in path.cpp, the sight ray in sight.cpp.
#include "characters/behaviour.h"

#include <cmath>

#include "characters/movement.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "combat/effects.h"
#include "render/textures.h"
#include "sound/sound.h"
#include "util/mathutil.h"
#include "util/settings.h"
#include "world/map.h"

// A shot starts 32 units ahead of the shooter's centre; the flash sits 38
// units ahead.
#define SHOT_DISTANCE 32.0f
#define FLASH_DISTANCE 38.0f

static int sign(int v)
{
    return (v > 0) - (v < 0);
}

int pick_destination(character* c)
{
    int own_x = centre_column(c);
    int own_y = centre_row(c);
    int column = -1;
    int row = -1;
    // Random draws as for placement; a map whose only floor cell is the own
    // one would make them endless, so they are bounded and then fall back to
    // a draw among the listed candidates.
    if (map_width > 0 && map_height > 0) {
        for (int attempt = 0; attempt < PLACEMENT_ATTEMPTS; attempt++) {
            int x = random_range(0, map_width - 1);
            int y = random_range(0, map_height - 1);
            if (cell_is_floor(x, y) && (x != own_x || y != own_y)) {
                column = x;
                row = y;
                break;
            }
        }
    }
    if (column < 0) {
        static int candidates[MAP_MAX_SIZE * MAP_MAX_SIZE];
        int count = 0;
        for (int y = 0; y < map_height; y++)
            for (int x = 0; x < map_width; x++)
                if (cell_is_floor(x, y) && (x != own_x || y != own_y))
                    candidates[count++] = y * MAP_MAX_SIZE + x;
        if (count == 0)
            return 0;
        int cell = candidates[random_range(0, count - 1)];
        column = cell % MAP_MAX_SIZE;
        row = cell / MAP_MAX_SIZE;
    }
    if (!find_path(c, column, row, 1))
        return 0;
    c->dest_x = column;
    c->dest_y = row;
    return 1;
}

int chase(character* c, const character* target, int keep_back)
{
    int target_x = centre_column(target);
    int target_y = centre_row(target);
    if (c->dest_x == target_x && c->dest_y == target_y)
        return 0;
    if (character_near(c, target, CELL_SIZE * keep_back))
        return 0;
    if (!find_path(c, target_x, target_y, 0))
        return 0;
    int x = target_x;
    int y = target_y;
    for (int step = 0; step < keep_back; step++) {
        const path_node* node = &c->path[y][x];
        if (node->parent_x < 0)
            break; // the start cell
        x = node->parent_x;
        y = node->parent_y;
    }
    c->dest_x = x;
    c->dest_y = y;
    return 1;
}

static bool on_cell(const character* c, int column, int row)
{
    return c->x == column * CELL_SIZE && c->y == row * CELL_SIZE;
}

static void civilian_rule(character* c)
{
    if (on_cell(c, c->dest_x, c->dest_y) && c->repath_timer == 0 && pick_destination(c))
        next_waypoint(c);
}

static void armed_rule(character* c)
{
    if (c->repath_timer != 0)
        return;
    if (player && chase(c, player, CHASE_KEEP_BACK))
        next_waypoint(c);
    else
        c->moving = 0;
}

static void kind_rule(character* c)
{
    if (c->kind == KIND_CIVILIAN)
        civilian_rule(c);
    else if (c->kind == KIND_ARMED)
        armed_rule(c);
}

// One unit step toward the waypoint and what follows from it.
static void behaviour_step(character* c)
{
    int dx = sign(c->waypoint_x * CELL_SIZE - c->x);
    int dy = sign(c->waypoint_y * CELL_SIZE - c->y);
    if (dx == 0 && dy == 0) {
        face_character(c, 0, 0);
        kind_rule(c);
        return;
    }
    int moved = move_character(c, dx, dy);
    bool civilian = c->kind == KIND_CIVILIAN;
    if (moved && civilian && on_cell(c, c->waypoint_x, c->waypoint_y)) {
        next_waypoint(c);
        face_character(c, dx, dy);
        civilian_rule(c);
    } else if (!moved && civilian && c->repath_timer == 0) {
        // Blocked: plan around whoever stands in the way, or give up on
        // this destination for a new one.
        if (find_path(c, c->dest_x, c->dest_y, 1) || pick_destination(c)) {
            next_waypoint(c);
            face_character(c, dx, dy);
            civilian_rule(c);
        }
    } else {
        face_character(c, dx, dy);
        kind_rule(c);
    }
}

void update_characters()
{
    for (character* c = character_list; c; c = c->next) {
        if (c == player)
            continue;
        if (c->repath_timer > 0)
            c->repath_timer--;
        int steps = character_speed(c);
        for (int step = 0; step < steps; step++)
            behaviour_step(c);
    }
}

void update_shooting()
{
    // The frame loop only calls this during a live run; the guard keeps the
    // rule true for any other caller.
    if (!run_active || !player || player_out())
        return;
    for (character* c = character_list; c; c = c->next) {
        if (c->kind == KIND_ARMED && c->cooldown == 0 && character_near(c, player, SHOT_RANGE)
            && line_of_sight(c, player))
            fire_shot(c);
    }
}

void fire_shot(character* c)
{
    float a = (float)c->angle * DEGREES_TO_RADIANS;
    float s = sinf(a);
    float k = cosf(a);
    int offset = center_pos(0, CHARACTER_SIZE, BULLET_SIZE);
    Bullet* bullet = new_bullet();
    bullet->x = (float)(c->x + offset) + SHOT_DISTANCE * s;
    bullet->y = (float)(c->y + offset) - SHOT_DISTANCE * k;
    bullet->angle = a;
    bullet->speed = BULLET_SPEED_ARMED;
    bullet->owner = c;
    c->cooldown = SHOT_COOLDOWN;

    int flash = center_pos(0, CHARACTER_SIZE, MUZZLE_FLASH_SIZE);
    add_sprite_anim((int)((float)(c->x + flash) + FLASH_DISTANCE * s),
                    (int)((float)(c->y + flash) - FLASH_DISTANCE * k), c->angle, TEX_GUNFIRE, 0,
                    MUZZLE_FLASH_SIZE, MUZZLE_FLASH_FRAMES, MUZZLE_FLASH_TICKS);
    play_sample(SAMPLE_GUN);
}
