// Character records: creation, placement, removal, death and the per-tick
// upkeep of their timers.
//
// Placement draws random cells, as many as it takes, which keeps the spread
// of spawn points uniform; but on a map with (almost) no free floor left
// that would never end, so after PLACEMENT_ATTEMPTS misses the qualifying
// cells are listed and one is drawn among them, and with none left the map
// cannot hold the character and the game stops with a message saying so.
#include "characters/characters.h"

#include <cstdlib>

#include "characters/behaviour.h"
#include "characters/path.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "render/fade.h"
#include "render/textures.h"
#include "util/errors.h"
#include "util/mathutil.h"
#include "world/map.h"

character* character_list = nullptr;
character* player = nullptr;

// Start value of a record's walk animation counter.
#define WALK_FRAME_START WALK_FRAME_STEPS

#define PLAYER_SPEED 2
#define PLAYER_STEROIDS_SPEED 3
#define WALK_SPEED 1
#define PANIC_SPEED 2

character* new_character()
{
    character* c = (character*)malloc(sizeof(character));
    path_grid* grid = (path_grid*)malloc(sizeof(path_grid));
    if (!c || !grid)
        fatal_error("new_character()", "Failed allocating memory for character");
    c->grid = grid;
    c->path = grid->nodes;
    c->kind = KIND_CIVILIAN;
    c->x = 0;
    c->y = 0;
    c->waypoint_x = 0;
    c->waypoint_y = 0;
    c->dest_x = 0;
    c->dest_y = 0;
    fill_path_grid(c);
    c->repath_timer = 0;
    c->angle = 0;
    c->health = CHARACTER_MAX_HEALTH;
    c->cooldown = 0;
    c->panic_timer = 0;
    c->regen_timer = 0;
    c->moving = 0;
    c->frame = 0;
    c->frame_timer = WALK_FRAME_START;
    c->next = nullptr;

    if (!character_list) {
        character_list = c;
    } else {
        character* tail = character_list;
        while (tail->next)
            tail = tail->next;
        tail->next = c;
    }
    return c;
}

static bool cell_qualifies(const character* c, int column, int row, bool avoid_others)
{
    if (!cell_is_floor(column, row))
        return false;
    return !avoid_others || !character_collides(c, column * CELL_SIZE, row * CELL_SIZE);
}

// Puts `c` on a random floor cell, also free of other boxes with
// `avoid_others`. `tag` names the caller in the failure message.
static void place_on_floor(character* c, bool avoid_others, const char* tag)
{
    if (map_width > 0 && map_height > 0) {
        for (int attempt = 0; attempt < PLACEMENT_ATTEMPTS; attempt++) {
            int column = random_range(0, map_width - 1);
            int row = random_range(0, map_height - 1);
            if (cell_qualifies(c, column, row, avoid_others)) {
                c->x = column * CELL_SIZE;
                c->y = row * CELL_SIZE;
                return;
            }
        }
    }
    static int free_cells[MAP_MAX_SIZE * MAP_MAX_SIZE];
    int count = 0;
    for (int row = 0; row < map_height; row++)
        for (int column = 0; column < map_width; column++)
            if (cell_qualifies(c, column, row, avoid_others))
                free_cells[count++] = row * MAP_MAX_SIZE + column;
    if (count == 0)
        fatal_error(tag, "No free floor cell left for a character on the %d x %d map",
                    map_width, map_height);
    int cell = free_cells[random_range(0, count - 1)];
    c->x = (cell % MAP_MAX_SIZE) * CELL_SIZE;
    c->y = (cell / MAP_MAX_SIZE) * CELL_SIZE;
}

character* new_player()
{
    character* c = new_character();
    player = c;
    c->kind = KIND_PLAYER;
    place_on_floor(c, false, "new_player()");
    laugh_delay = -1;
    sigh_delay = -1;
    laugh_sounding = 0;
    return c;
}

character* spawn_character(int kind, int with_effect)
{
    character* c = new_character();
    c->kind = kind;
    place_on_floor(c, true, "spawn_character()");
    c->waypoint_x = c->dest_x = c->x / CELL_SIZE;
    c->waypoint_y = c->dest_y = c->y / CELL_SIZE;
    if (kind != KIND_ARMED)
        c->repath_timer = random_range(0, CIVILIAN_REPATH_MAX);
    else
        c->cooldown = SHOT_COOLDOWN;
    if (with_effect) {
        int offset = center_pos(0, CHARACTER_SIZE, SPAWN_FLASH_SIZE);
        add_sprite_anim(c->x + offset, c->y + offset, 0, TEX_SPAWN, 0, SPAWN_FLASH_SIZE,
                        SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    }
    return c;
}

void delete_character(character* c)
{
    if (character_list == c) {
        character_list = c->next;
    } else {
        character* before = character_list;
        while (before && before->next != c)
            before = before->next;
        if (!before)
            return; // not in the list: nothing of ours to free
        before->next = c->next;
    }
    if (player == c)
        player = nullptr;
    free(c->grid);
    free(c);
}

void free_characters()
{
    character* c = character_list;
    while (c) {
        character* next = c->next;
        free(c->grid);
        free(c);
        c = next;
    }
    character_list = nullptr;
    player = nullptr;
}

bool character_collides(const character* self, int x, int y)
{
    for (const character* other = character_list; other; other = other->next) {
        if (other == self)
            continue;
        if (rects_overlap(x, y, CHARACTER_SIZE, CHARACTER_SIZE, other->x, other->y,
                          CHARACTER_SIZE, CHARACTER_SIZE))
            return true;
    }
    return false;
}

bool character_near(const character* c, const character* target, int margin)
{
    int size = CHARACTER_SIZE + 2 * margin;
    return rects_overlap(c->x - margin, c->y - margin, size, size, target->x, target->y,
                         CHARACTER_SIZE, CHARACTER_SIZE);
}

int character_speed(const character* c)
{
    if (c->kind == KIND_PLAYER)
        return steroids_timer > 0 ? PLAYER_STEROIDS_SPEED : PLAYER_SPEED;
    return c->panic_timer != 0 ? PANIC_SPEED : WALK_SPEED;
}

void hurt_character(character* c, int damage)
{
    c->health -= damage;
    if (c->health < 0)
        c->health = 0;
    add_blood_burst(c->x, c->y);
    if (c == player || c->health <= 0)
        return;
    c->regen_timer = REGEN_TICKS;
    if (c->kind == KIND_CIVILIAN)
        c->panic_timer = PANIC_TICKS;
}

static int count_kind(int kind)
{
    int count = 0;
    for (const character* c = character_list; c; c = c->next)
        if (c->kind == kind)
            count++;
    return count;
}

void kill_character(character* c)
{
    add_corpse(c->x, c->y, c->kind);
    if (c == player) {
        start_fade(HURT_RED, HURT_GREEN, HURT_BLUE, 1, RUN_END_FADE_SPEED);
        return;
    }
    // The replacement is placed while the victim still holds its box, so it
    // never appears on the spot where the victim fell.
    spawn_character(c->kind, 1);
    delete_character(c);
    if (count_kind(KIND_ARMED) <= ARMED_GROWTH_LIMIT)
        spawn_character(KIND_ARMED, 1);
}

void update_timers()
{
    for (character* c = character_list; c; c = c->next) {
        if (c->cooldown != 0) {
            if (c == player)
                c->cooldown--;
            else if (player && line_of_sight(c, player))
                c->cooldown--;
        }
        if (c->panic_timer != 0)
            c->panic_timer--;
    }
}

void regenerate_characters()
{
    for (character* c = character_list; c; c = c->next) {
        if (c == player)
            continue;
        if (c->regen_timer == 0) {
            if (c->health < CHARACTER_MAX_HEALTH)
                c->health++;
            c->regen_timer = REGEN_TICKS;
        } else {
            c->regen_timer--;
        }
    }
}
