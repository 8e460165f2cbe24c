#include "world/tile_anims.h"

#include "render/textures.h"
#include "util/frame.h"

TileAnim tile_anims[TILE_ANIM_TEXTURES][TILE_ANIM_CELLS];

// Built-in looping cells: texture, first cell, count, frame units per cell;
// a negative texture ends the list.
struct TileAnimRow {
    int texture, first, count, frame_ticks;
};
static const TileAnimRow TILE_ANIM_ROWS[] = {
    {TEX_TILES, 128, 8, 12},
    {TEX_TILES, 136, 8, 12},
    {TEX_TILES, 144, 8, 12},
    {TEX_TILES, 152, 8, 12},
    {-1, 0, 0, 0},
};

void init_tile_anims()
{
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS; c++) {
            tile_anims[t][c].frame = 0;
            tile_anims[t][c].count = 0;
        }
    for (const TileAnimRow* r = TILE_ANIM_ROWS; r->texture >= 0; r++) {
        TileAnim* a = &tile_anims[r->texture][r->first];
        a->count = r->count;
        a->frame_ticks = r->frame_ticks;
        a->timer = (float)r->frame_ticks;
    }
}

void update_tile_anims()
{
    for (int t = 0; t < TILE_ANIM_TEXTURES; t++)
        for (int c = 0; c < TILE_ANIM_CELLS; c++) {
            TileAnim* a = &tile_anims[t][c];
            if (a->count == 0) continue;
            if (a->timer > 0.0f) {
                a->timer -= frame_factor;
                continue;
            }
            do {
                a->frame++;
                if (a->frame >= a->count) a->frame = 0;
                a->timer += (float)a->frame_ticks;
            } while (a->timer <= 0.0f);
        }
}

int tile_anim_frame(int texture, int cell)
{
    if (texture < 0 || texture >= TILE_ANIM_TEXTURES || cell < 0 || cell >= TILE_ANIM_CELLS)
        return cell;
    return cell + tile_anims[texture][cell].frame;
}
