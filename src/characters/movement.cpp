// Movement in unit steps, one axis at a time, and the walk animation.
#include "characters/movement.h"

#include "characters/sight.h"
#include "combat/items.h"
#include "util/mathutil.h"
#include "world/map.h"

// Facing of a step by its signs, indexed [dy + 1][dx + 1]; the middle entry
// (no step) is never read.
static const int STEP_ANGLES[3][3] = {
    {315, 0, 45},
    {270, -1, 90},
    {225, 180, 135},
};

static bool can_stand(const character* c, int x, int y)
{
    return area_walkable(x, y, CHARACTER_SIZE, CHARACTER_SIZE) && !character_collides(c, x, y);
}

int move_character(character* c, int dx, int dy)
{
    int old_x = c->x;
    int old_y = c->y;
    if (can_stand(c, c->x + dx, c->y))
        c->x += dx;
    if (can_stand(c, c->x, c->y + dy))
        c->y += dy;
    if (c->x == old_x && c->y == old_y) {
        c->moving = 0;
        c->frame = 0;
        c->frame_timer = WALK_FRAME_STEPS;
        return 0;
    }
    c->moving = 1;
    advance_walk_frame(c);
    if (c == player)
        pick_up_items();
    return 1;
}

void face_character(character* c, int dx, int dy)
{
    if (c->kind == KIND_ARMED && player && line_of_sight(c, player)) {
        const int half = CHARACTER_SIZE / 2;
        c->angle = angle_to((float)(c->x + half), (float)(c->y + half), (float)(player->x + half),
                            (float)(player->y + half));
        return;
    }
    int sx = (dx > 0) - (dx < 0);
    int sy = (dy > 0) - (dy < 0);
    if (sx == 0 && sy == 0)
        return;
    c->angle = STEP_ANGLES[sy + 1][sx + 1];
}

void advance_walk_frame(character* c)
{
    if (c->frame_timer == 0) {
        c->frame = (c->frame + 1) % WALK_FRAMES;
        c->frame_timer = WALK_FRAME_STEPS;
    } else {
        c->frame_timer--;
    }
}
