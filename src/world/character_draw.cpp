#include "world/character_draw.h"

#include <cstdio>
#include <cstring>

#include "characters/sight.h"
#include "characters/characters.h"
#include "characters/player.h"
#include "render/draw.h"
#include "render/quad.h"
#include "render/screen.h"
#include "render/textures.h"
#include "util/mathutil.h"
#include "world/camera.h"

void character_pose(const character* c, int* column, int* extra_turn)
{
    *extra_turn = 0;
    if (c->kind == KIND_PLAYER && c->cooldown != 0) {
        *column = POSE_STRIKING;
        *extra_turn = STRIKE_TURN;
        return;
    }
    bool aiming = c->kind == KIND_ARMED && player && line_of_sight(c, player);
    if (c->moving == 1)
        *column = c->frame + (aiming ? POSE_STRIKING : POSE_WALKING);
    else
        *column = aiming ? POSE_AIMING : POSE_STANDING;
}

// The ray test behind a pose is the costly part of a crowded frame, so the
// body pass reuses the shadow pass's choice for the first characters.
#define POSE_CACHE 256

void draw_characters()
{
    static int columns[POSE_CACHE], turns[POSE_CACHE];
    bool skip_player = player && player_out();
    int offset = center_pos(0, CHARACTER_SIZE, CHARACTER_CELL);
    for (int pass = 0; pass < 2; pass++) {
        bool shadow = pass == 0;
        if (shadow)
            set_draw_color(0.0f, 0.0f, 0.0f, 1.0f);
        else
            set_draw_color(1.0f, 1.0f, 1.0f, 1.0f);
        int shift = shadow ? SHADOW_OFFSET : 0;
        int i = 0;
        for (character* c = character_list; c; c = c->next, i++) {
            if (skip_player && c == player) continue;
            int column, turn;
            if (i < POSE_CACHE && !shadow) {
                column = columns[i];
                turn = turns[i];
            } else {
                character_pose(c, &column, &turn);
                if (i < POSE_CACHE) {
                    columns[i] = column;
                    turns[i] = turn;
                }
            }
            draw_sprite(TEX_CHARACTERS, CHARACTER_CELL * column, CHARACTER_CELL * c->kind,
                        CHARACTER_CELL, CHARACTER_CELL, c->x + offset - camera_x + shift,
                        c->y + offset - camera_y + shift, CHARACTER_CELL, CHARACTER_CELL,
                        c->angle + turn);
        }
    }
}

void draw_health_bars()
{
    for (character* c = character_list; c; c = c->next) {
        if (c == player || c->health > CHARACTER_MAX_HEALTH - 1) continue;
        int bx = c->x - camera_x;
        int by = c->y + center_pos(0, CHARACTER_SIZE, BAR_CENTRED_HEIGHT) - camera_y;
        draw_sprite(TEX_BAR, 0, 0, BAR_FRAME_WIDTH, BAR_FRAME_HEIGHT, bx + BAR_OFFSET_X,
                    by + STATUS_HEIGHT, BAR_FRAME_WIDTH, BAR_FRAME_HEIGHT, 0);
        int fill = c->health * BAR_FILL_MAX / CHARACTER_MAX_HEALTH;
        draw_sprite(TEX_BAR, BAR_FILL_X, BAR_FILL_Y, 1, BAR_FILL_HEIGHT, bx + BAR_OFFSET_X + 2,
                    by + STATUS_HEIGHT + 2, fill, BAR_FILL_HEIGHT, 0);
        char text[16];
        snprintf(text, sizeof text, "%d%%", c->health);
        int len = (int)strlen(text);
        draw_text(center_pos(bx + BAR_OFFSET_X, bx + BAR_OFFSET_X + BAR_TEXT_WIDTH, TEXT_ADVANCE * len),
                  by + STATUS_HEIGHT + 2, text);
    }
}
