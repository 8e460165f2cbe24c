// The title screen's scrolling background and rising logo.
#include "frontend/title.h"

#include "render/screen.h"
#include "render/draw.h"
#include "render/textures.h"
#include "util/frame.h"
#include "util/mathutil.h"

#define TITLE_TILE_SOURCE 64
#define TITLE_ROWS 6
#define TITLE_COLUMNS 8
// The rows sit so that the tiling covers the window from above its top edge.
#define TITLE_FIRST_ROW_Y (-52)

int title_scroll = 0;
float title_scroll_timer = TITLE_SCROLL_TIME;
int title_logo_offset = TITLE_LOGO_START;
float title_logo_timer = TITLE_LOGO_TIME;

void reset_title()
{
    title_scroll = 0;
    title_scroll_timer = TITLE_SCROLL_TIME;
    title_logo_offset = TITLE_LOGO_START;
    title_logo_timer = TITLE_LOGO_TIME;
}

void advance_title_background()
{
    if (title_scroll_timer > 0.0f) {
        title_scroll_timer -= frame_factor;
        return;
    }
    do {
        title_scroll = (title_scroll + 1) % TITLE_TILE_SIZE;
        title_scroll_timer += TITLE_SCROLL_TIME;
    } while (title_scroll_timer <= 0.0f);
}

void advance_title_logo(int logo_height)
{
    if (title_logo_timer > 0.0f) {
        title_logo_timer -= frame_factor;
        return;
    }
    do {
        // Once its bottom edge has reached the strip it starts over below
        // the window.
        if (logo_height + title_logo_offset > 0)
            title_logo_offset--;
        else
            title_logo_offset = TITLE_LOGO_START;
        title_logo_timer += TITLE_LOGO_TIME;
    } while (title_logo_timer <= 0.0f);
}

void draw_title_background()
{
    for (int r = 0; r < TITLE_ROWS; r++) {
        for (int c = 0; c < TITLE_COLUMNS; c++)
            draw_cell(TEX_BACKGROUND, 0, TITLE_TILE_SOURCE, TITLE_TILE_SIZE * c - title_scroll,
                      TITLE_FIRST_ROW_Y + TITLE_TILE_SIZE * r, TITLE_TILE_SIZE, 0);
    }
}

void draw_title_logo()
{
    int w = textures[TEX_LOGO].width;
    int h = textures[TEX_LOGO].height;
    draw_sprite(TEX_LOGO, 0, 0, w, h, center_pos(0, SCREEN_WIDTH, w), title_logo_offset + STATUS_HEIGHT, w,
                h, 0);
}
