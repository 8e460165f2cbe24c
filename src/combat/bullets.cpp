// Bullet flight, hits and drawing.
#include "combat/bullets.h"

#include <cmath>
#include <cstdlib>

#include "characters/player.h"
#include "combat/effects.h"
#include "render/fade.h"
#include "render/textures.h"
#include "sound/sound.h"
#include "util/errors.h"
#include "util/mathutil.h"
#include "world/map.h"

#define RADIANS_TO_DEGREES 57.29578

Bullet* bullet_list = nullptr;

Bullet* new_bullet()
{
    Bullet* bullet = (Bullet*)calloc(1, sizeof(Bullet));
    if (bullet == nullptr)
        fatal_error("new_bullet()", "Failed allocating memory for bullet");
    if (bullet_list == nullptr) {
        bullet_list = bullet;
    } else {
        Bullet* last = bullet_list;
        while (last->next != nullptr)
            last = last->next;
        last->next = bullet;
    }
    return bullet;
}

void delete_bullet(Bullet* bullet)
{
    if (bullet_list == bullet) {
        bullet_list = bullet->next;
    } else {
        Bullet* before = bullet_list;
        while (before != nullptr && before->next != bullet)
            before = before->next;
        if (before == nullptr)
            return; // not in the list: leave it alone rather than free a stranger
        before->next = bullet->next;
    }
    free(bullet);
}

void free_bullets()
{
    while (bullet_list != nullptr) {
        Bullet* next = bullet_list->next;
        free(bullet_list);
        bullet_list = next;
    }
}

static int outside_map(float x, float y)
{
    return x < 0.0f || x + BULLET_SIZE > (float)(map_width * CELL_SIZE) ||
           y < 0.0f || y + BULLET_SIZE > (float)(map_height * CELL_SIZE);
}

static void ricochet(const Bullet* bullet)
{
    // The ricochet picture centred on the hit box.
    add_sprite_anim((int)(bullet->x - (RICOCHET_SIZE - BULLET_SIZE) / 2),
                    (int)(bullet->y - (RICOCHET_SIZE - BULLET_SIZE) / 2),
                    random_range(0, 359), TEX_RICOCHET, 0, RICOCHET_SIZE,
                    RICOCHET_FRAMES, RICOCHET_TICKS);
    play_sample(SAMPLE_RICOCHET);
}

static void hit_player(const Bullet* bullet)
{
    play_sample(SAMPLE_SPLAT);
    hurt_character(player, BULLET_DAMAGE);
    add_blood_stain(player->x, player->y, (int)(bullet->angle * RADIANS_TO_DEGREES));
    if (player->health > 0)
        start_fade(HURT_RED, HURT_GREEN, HURT_BLUE, -1, HIT_FLASH_SPEED);
    else
        kill_character(player);
}

// Moves one bullet its steps for this tick; 0 when it is gone.
static int fly(Bullet* bullet)
{
    for (int step = 0; step < bullet->speed; step++) {
        bullet->x = (float)((double)bullet->x + sin((double)bullet->angle));
        bullet->y = (float)((double)bullet->y - cos((double)bullet->angle));
        if (outside_map(bullet->x, bullet->y)) {
            delete_bullet(bullet);
            return 0;
        }
        int x = (int)bullet->x;
        int y = (int)bullet->y;
        if (!area_walkable(x, y, BULLET_SIZE, BULLET_SIZE)) {
            ricochet(bullet);
            delete_bullet(bullet);
            return 0;
        }
        if (!player_out() && rects_overlap(x, y, BULLET_SIZE, BULLET_SIZE, player->x, player->y,
                                           CHARACTER_SIZE, CHARACTER_SIZE)) {
            hit_player(bullet);
            delete_bullet(bullet);
            return 0;
        }
    }
    return 1;
}

void update_bullets()
{
    Bullet* bullet = bullet_list;
    while (bullet != nullptr) {
        Bullet* next = bullet->next; // the current one may be deleted
        fly(bullet);
        bullet = next;
    }
}
