// Bullets: the armed characters' shots, flying straight one world unit per
// step until they leave the map, hit a wall (and ricochet) or hit the
// player. They never hit anyone else and never each other.
//
// Every step is tested, so a fast bullet cannot jump the corner of a solid
// cell or pass through the player between two ticks. Once the run is over
// (player_out) bullets still fly and ricochet but hurt nobody.
#pragma once

#include "characters/characters.h"

// Hit box edge; the picture is larger and shares the box's top-left corner.
#define BULLET_SIZE 8
#define BULLET_IMAGE_SIZE 13
// Steps per tick of an armed character's bullet, and of anyone else's.
#define BULLET_SPEED_ARMED 4
#define BULLET_SPEED_OTHER 12
#define BULLET_DAMAGE 10

struct Bullet {
    float x, y;   // top-left of the 8 x 8 hit box, world units
    float angle;  // radians, 0 up the screen, clockwise
    int speed;    // unit steps per tick
    const character* owner; // the shooter; never dereferenced, it may be gone
    Bullet* next;
};

// Head of the list in firing order, or nullptr. Emptied by free_bullets.
extern Bullet* bullet_list;

// A zeroed bullet appended at the tail; the caller fills it. Allocation
// failure is fatal ("new_bullet()").
Bullet* new_bullet();

// Unlinks a bullet that is in the list and frees it.
void delete_bullet(Bullet* bullet);

// Frees every bullet; part of new_game.
void free_bullets();

// Once per world tick, after the shooting and before the voice countdowns.
void update_bullets();

// 3D pass, after the characters.
void draw_bullets();
