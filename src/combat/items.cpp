// Item placement, pick-up and drawing.
#include "combat/items.h"

#include <cstring>

#include "characters/characters.h"
#include "characters/player.h"
#include "combat/effects.h"
#include "render/draw.h"
#include "render/textures.h"
#include "sound/sound.h"
#include "util/errors.h"
#include "util/mathutil.h"
#include "world/map.h"

Item items[MAX_ITEMS];

const char* const item_names[ITEM_KINDS] = {"PAINKILLERS", "STEROIDS"};

void clear_items()
{
    for (int i = 0; i < MAX_ITEMS; i++)
        items[i].active = 0;
}

int find_free_item()
{
    for (int i = 0; i < MAX_ITEMS; i++) {
        if (!items[i].active)
            return i;
    }
    return -1;
}

// 1 when an active item other than slot `self` lies in cell (column, row).
static int cell_has_item(int self, int column, int row)
{
    for (int i = 0; i < MAX_ITEMS; i++) {
        if (i != self && items[i].active && items[i].x / CELL_SIZE == column &&
            items[i].y / CELL_SIZE == row)
            return 1;
    }
    return 0;
}

static int cell_takes_item(int self, int column, int row)
{
    return walk_grid[row][column] != 0 && !cell_has_item(self, column, row);
}

void spawn_item(int kind, int with_effect)
{
    int slot = find_free_item();
    if (slot < 0)
        return;

    // Random draws until a cell qualifies would never end on a map without
    // one, so make sure there is one first.
    int candidates = 0;
    for (int row = 0; row < map_height; row++) {
        for (int column = 0; column < map_width; column++)
            candidates += cell_takes_item(slot, column, row);
    }
    if (candidates == 0)
        fatal_error("spawn_item()",
                    "The map has no free floor cell left for an item (it needs %d floor cells)",
                    PAINKILLER_COUNT + STEROIDS_COUNT);

    items[slot].active = 1;
    items[slot].kind = kind;
    int column, row;
    do {
        column = random_range(0, map_width - 1);
        row = random_range(0, map_height - 1);
    } while (!cell_takes_item(slot, column, row));

    int inset = center_pos(0, CELL_SIZE, ITEM_SIZE);
    items[slot].x = CELL_SIZE * column + inset;
    items[slot].y = CELL_SIZE * row + inset;

    if (with_effect) {
        int offset = center_pos(0, ITEM_SIZE, SPAWN_FLASH_SIZE);
        add_sprite_anim(items[slot].x + offset, items[slot].y + offset, 0, TEX_SPAWN, 0,
                        SPAWN_FLASH_SIZE, SPAWN_FLASH_FRAMES, SPAWN_FLASH_TICKS);
    }
}

static void take_item(Item* item)
{
    if (item->kind == ITEM_PAINKILLERS) {
        if (player->health < CHARACTER_MAX_HEALTH && sigh_delay < 0)
            sigh_delay = SIGH_DELAY_TICKS;
        player->health += PAINKILLER_HEALTH;
        if (player->health > CHARACTER_MAX_HEALTH)
            player->health = CHARACTER_MAX_HEALTH;
        play_sample(SAMPLE_PILLS);
    } else {
        // A fresh dose restarts the effect; doses do not add up.
        steroids_timer = STEROIDS_TICKS;
        play_sample(SAMPLE_PILLS);
        play_sample(SAMPLE_GROWL);
    }

    const char* name = item_names[item->kind];
    int width = TEXT_ADVANCE * (int)strlen(name);
    add_floating_text(item->x + center_pos(0, ITEM_SIZE, width),
                      item->y + center_pos(0, ITEM_SIZE, LINE_HEIGHT), name);
    item->active = 0;
    spawn_item(item->kind, 1);
}

void pick_up_items()
{
    if (player == nullptr)
        return;
    for (int i = 0; i < MAX_ITEMS; i++) {
        Item* item = &items[i];
        if (item->active && rects_overlap(player->x, player->y, CHARACTER_SIZE, CHARACTER_SIZE,
                                          item->x, item->y, ITEM_SIZE, ITEM_SIZE))
            take_item(item);
    }
}
