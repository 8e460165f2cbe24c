// Pick-ups: painkillers restore health, steroids make the player fast and
// deadly for ten seconds. A fixed number of each lies on the map all run:
// one that is picked up is placed again at once on another random floor
// cell, never on a cell that already holds an item. Items are collected by
// stepping onto them, not by standing on them.
//
// The table is a fixed array of slots filled lowest free slot first, cleared
// and filled by new_game and touched only by the player's steps.
#pragma once

#define ITEM_PAINKILLERS 0
#define ITEM_STEROIDS 1
#define ITEM_KINDS 2

#define MAX_ITEMS 32
#define ITEM_SIZE 24
// Items on the map during a run, per kind.
#define PAINKILLER_COUNT 8
#define STEROIDS_COUNT 4
#define PAINKILLER_HEALTH 50

struct Item {
    int active; // 1 while the slot holds an item
    int kind;   // ITEM_*
    int x, y;   // top-left of the 24 x 24 box, world units, centred in a cell
};

// Cleared by clear_items, filled by new_game's spawn_item calls.
extern Item items[MAX_ITEMS];

// "PAINKILLERS", "STEROIDS": shown rising over a collected item.
extern const char* const item_names[ITEM_KINDS];

// Frees every slot.
void clear_items();

// Lowest free slot, or -1 when all are taken.
int find_free_item();

// Places an item of `kind` in the lowest free slot (none free: nothing) on
// a random floor cell no other item holds; with `with_effect` the spawn
// flash shows. Fatal ("spawn_item()") when the map has no such cell left,
// rather than searching forever.
void spawn_item(int kind, int with_effect);

// Collects every item the player's box overlaps: painkillers give 50
// health up to 100 (and schedule the sigh when the player was hurt),
// steroids restart the steroids timer at 600. Each collected item shows its
// name and is replaced at once. Called after each step that moved the
// player.
void pick_up_items();

// 3D pass, after the stains and corpses, before the characters.
void draw_items();
