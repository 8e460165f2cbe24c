// Characters: one heap record per actor on the map, the player included, in
// one singly linked list kept in creation order.
//
// The list order is the tie-breaker of the whole game: every pass (behaviour,
// timers, drawing, the attack's hit search) walks from the head, so the first
// character a probe finds is the one hit and later characters are drawn over
// earlier ones. New records are appended at the tail.
//
// Each record owns a 128 x 128 path grid, which keeps the parent links of its
// last search between the search and the waypoint steps that follow it. The
// grid is allocated beside the record rather than inside it: the list is
// walked for every collision test, and small records keep those walks in
// cache. With up to 126 records alive the grids are what the characters cost
// in memory, so a node is 4 bytes and only the nodes of the loaded map are
// ever written (path.h): of a grid's 96 KB, the 64 x 64 default map keeps
// about 40 KB in memory, a full population about 6 MB.
#pragma once

#include <cstdint>

#include "characters/path.h"
#include "util/frame.h"

#define KIND_PLAYER 0
#define KIND_CIVILIAN 1
#define KIND_ARMED 2
#define CHARACTER_KINDS 3

// Every character occupies a box of this size at its top-left (x, y).
#define CHARACTER_SIZE 32

#define CHARACTER_MAX_HEALTH 100

// Population rules: civilians stay at this number, armed characters grow by
// one per kill while there are at most ARMED_GROWTH_LIMIT of them.
#define CIVILIAN_COUNT 50
#define ARMED_GROWTH_LIMIT 74

// Random cell draws before a placement or a destination gives up drawing
// and picks among the listed cells that qualify (see characters.cpp).
#define PLACEMENT_ATTEMPTS 65536

// Ticks a hurt civilian runs, and the ticks between regained health points
// minus one (the point comes in the tick after the timer reached 0).
#define PANIC_TICKS (5 * TICKS_PER_SECOND)
#define REGEN_TICKS TICKS_PER_SECOND
// Successful steps per walk frame, minus one.
#define WALK_FRAME_STEPS 12
#define WALK_FRAMES 4
// An armed character's first shot waits this many ticks of sight; so does
// every later one.
#define SHOT_COOLDOWN (5 * TICKS_PER_SECOND)

struct character {
    int kind;                   // KIND_*
    int x, y;                   // top-left of the 32 x 32 box, world units
    int waypoint_x, waypoint_y; // cell being stepped toward
    int dest_x, dest_y;         // cell at the end of the current path
    path_node (*path)[PATH_GRID_SIZE]; // grid->nodes: path[row][column]
    int repath_timer;           // ticks before the next search may start
    int angle;                  // facing in whole degrees, 0 north, clockwise
    int health;                 // 0..100
    int cooldown;               // ticks before the next attack or shot
    int panic_timer;            // ticks of running left (civilians)
    int regen_timer;            // ticks before the next point of health
    int moving;                 // 1 if the last step moved the character
    int frame;                  // walk frame 0..3
    int frame_timer;            // successful steps before the frame advances
    character* next;
    path_grid* grid;            // owned; freed with the record
};

// Head of the list, or nullptr. Emptied by free_characters.
extern character* character_list;
// The player's record, also a member of the list; set by new_player, cleared
// by free_characters.
extern character* player;

// Allocates a record (fatal on failure), fills its path grid from the walk
// grid, sets the start values (health 100, frame timer 12, the rest 0) and
// appends it to the list. Kind and position are the caller's to set.
character* new_character();

// Creates the player on a random floor cell (other characters are not
// considered), idles the laugh and sigh delays and lets no laugh sound on.
character* new_player();

// Creates a character of `kind` on a random floor cell that no other box
// overlaps; its waypoint and destination are that cell. Civilians get a
// random repath_timer of 0..120, armed characters a shot cooldown of 300.
// A non-zero `with_effect` shows the spawn flash. Placement is fatal when
// the map has no free floor cell left.
character* spawn_character(int kind, int with_effect);

// Unlinks `c` from the list and frees it.
void delete_character(character* c);

// Frees every record and empties the list; the first step of a new game.
void free_characters();

// True if any character other than `self` overlaps the 32 x 32 box at (x, y).
bool character_collides(const character* self, int x, int y);

// True if `c`'s box grown by `margin` on every side overlaps `target`'s box.
bool character_near(const character* c, const character* target, int margin);

// Unit steps per tick: player 2 (3 under steroids), others 1 (2 in panic).
int character_speed(const character* c);

// Lowers health (not below 0) and starts a blood burst; a surviving
// non-player restarts its regeneration delay and a civilian panics.
void hurt_character(character* c, int damage);

// Death: a corpse; for the player the slow dark red fade (the record stays);
// for anyone else a replacement of the same kind, the record freed, and one
// more armed character while there are at most 74.
void kill_character(character* c);

// Per-tick upkeep, in this order, first of the character updates: cooldowns
// (a non-player's only while it sees the player) and panic timers; then one
// point of health per 61 ticks for hurt non-players.
void update_timers();
void regenerate_characters();
