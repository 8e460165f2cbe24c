// The player's strike, meters and voice.
#include "characters/player.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "characters/movement.h"
#include "combat/effects.h"
#include "render/draw.h"
#include "render/fade.h"
#include "sound/sound.h"
#include "util/mathutil.h"
#include "util/settings.h"

int psychosis = PSYCHOSIS_MAX;
int psychosis_countdown = PSYCHOSIS_DRAIN_TICKS;
int score = 0;
int kills[CHARACTER_KINDS] = {0, 0, 0};
int run_seconds = 0;
int second_countdown = SECOND_TICKS;
int steroids_timer = 0;
int laugh_delay = DELAY_IDLE;
int sigh_delay = DELAY_IDLE;
int last_laugh = 0;
int laugh_sounding = 0;

void reset_meters()
{
    psychosis = PSYCHOSIS_MAX;
    psychosis_countdown = PSYCHOSIS_DRAIN_TICKS;
    score = 0;
    for (int i = 0; i < CHARACTER_KINDS; i++)
        kills[i] = 0;
    run_seconds = 0;
    second_countdown = SECOND_TICKS;
    steroids_timer = 0;
}

int player_out()
{
    return player == nullptr || player->health <= 0 || psychosis <= 0;
}

int player_can_act()
{
    return game_state == STATE_PLAYING && run_active && !paused && !player_out();
}

void steer_player(int dx, int dy, float aim_x, float aim_y)
{
    if (player == nullptr)
        return;
    if (dx == 0 && dy == 0) {
        // Standing still keeps the walk frame where it is.
        player->moving = 0;
    } else {
        int steps = character_speed(player);
        for (int i = 0; i < steps; i++)
            move_character(player, dx, dy);
    }
    player->angle = angle_to((float)(player->x + CHARACTER_SIZE / 2),
                             (float)(player->y + CHARACTER_SIZE / 2), aim_x, aim_y);
}

character* target_in_reach()
{
    if (player == nullptr)
        return nullptr;
    float a = (float)player->angle * DEGREES_TO_RADIANS;
    int probe_x = (int)((float)player->x + (float)ATTACK_REACH * sinf(a));
    int probe_y = (int)((float)player->y - (float)ATTACK_REACH * cosf(a));
    for (character* c = character_list; c != nullptr; c = c->next) {
        if (c == player)
            continue;
        if (rects_overlap(c->x, c->y, CHARACTER_SIZE, CHARACTER_SIZE,
                          probe_x, probe_y, CHARACTER_SIZE, CHARACTER_SIZE))
            return c;
    }
    return nullptr;
}

void player_attack()
{
    if (player == nullptr)
        return;
    player->cooldown = ATTACK_COOLDOWN;
    play_sample(SAMPLE_SWING);

    character* target = target_in_reach();
    if (target == nullptr)
        return;

    int damage = DAMAGE_VS_CIVILIAN;
    if (steroids_timer > 0)
        damage = DAMAGE_STEROIDS;
    else if (target->kind == KIND_ARMED)
        damage = DAMAGE_VS_ARMED;
    hurt_character(target, damage);
    add_blood_stain(target->x, target->y, player->angle);
    play_sample(SAMPLE_SPLAT);

    int killed = target->health == 0;
    int points = POINTS_HIT;
    if (killed) {
        psychosis += PSYCHOSIS_PER_KILL;
        if (psychosis > PSYCHOSIS_MAX)
            psychosis = PSYCHOSIS_MAX;
        kills[target->kind]++;
        points = target->kind == KIND_ARMED ? POINTS_ARMED : POINTS_CIVILIAN;
    }
    score += points;

    char text[16];
    snprintf(text, sizeof text, "+%d", points);
    int width = TEXT_ADVANCE * (int)strlen(text);
    add_floating_text(center_pos(target->x, target->x + CHARACTER_SIZE, width),
                      center_pos(target->y, target->y + CHARACTER_SIZE, LINE_HEIGHT), text);

    if (killed) {
        int r = random_range(0, 359);
        for (int i = 0; i < KILL_STAINS; i++)
            add_blood_stain(target->x, target->y, r + i * (360 / KILL_STAINS));
        kill_character(target); // frees the record: target is gone from here on
    }

    if (laugh_delay < 0) {
        // The coin is tossed even under steroids, which laugh anyway.
        int heads = random_range(0, 1) == 1;
        if (heads || steroids_timer > 0)
            laugh_delay = LAUGH_DELAY_TICKS;
    }
}

void update_meters()
{
    if (psychosis_countdown > 0) {
        psychosis_countdown--;
    } else {
        psychosis--;
        if (psychosis > 0)
            psychosis_countdown = PSYCHOSIS_DRAIN_TICKS;
        else
            start_fade(HURT_RED, HURT_GREEN, HURT_BLUE, 1, RUN_END_FADE_SPEED);
    }

    if (second_countdown > 0) {
        second_countdown--;
    } else {
        run_seconds++;
        second_countdown = SECOND_TICKS;
    }

    if (steroids_timer > 0)
        steroids_timer--;
}

void update_laugh()
{
    if (laugh_sounding > 0)
        laugh_sounding--;
    if (laugh_delay == 0) {
        // One laugh at a time: a pending one waits for the last to finish.
        if (laugh_sounding > 0)
            return;
        int first = steroids_timer > 0 ? SAMPLE_LAUGH_STEROIDS : SAMPLE_LAUGH;
        int n;
        do {
            n = first + random_range(0, LAUGH_VARIANTS - 1);
        } while (n == last_laugh);
        play_sample(n);
        laugh_sounding = sample_ticks(n);
        last_laugh = n;
        laugh_delay = DELAY_IDLE;
    }
    if (laugh_delay > 0)
        laugh_delay--;
}

void update_sigh()
{
    if (sigh_delay == 0) {
        play_sample(SAMPLE_SIGH);
        sigh_delay = DELAY_IDLE;
    }
    if (sigh_delay > 0)
        sigh_delay--;
}
