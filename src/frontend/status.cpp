// The status strip and the time text shared with the high-score table.
#include "frontend/status.h"

#include <cstdio>

#include "characters/characters.h"
#include "characters/player.h"
#include "frontend/overlays.h"
#include "render/draw.h"
#include "render/textures.h"
#include "util/mathutil.h"
#include "util/settings.h"

// Bar frames are 154 x 28 at (0, 0) of the bar sheet; the fills are one-pixel
// columns, rows 2..25, beside the frame.
#define BAR_FRAME_W 154
#define BAR_FRAME_H 28
#define BAR_FILL_H 24
#define HEALTH_FILL_COLUMN 154
#define PSYCHOSIS_FILL_COLUMN 155
#define HEALTH_BAR_X 8
#define PSYCHOSIS_BAR_X 170
// The third line is centred in the space right of the bars.
#define INFO_LEFT 332
#define INFO_RIGHT 792

int status_bar_length(int value)
{
    return (int)((float)value / 100.0f * (float)STATUS_BAR_LENGTH);
}

const char* format_time(int seconds)
{
    static char text[40];
    int m = seconds / 60;
    int s = seconds % 60;
    if (m != 0 && s != 0)
        snprintf(text, sizeof text, "%d min %d sec", m, s);
    else if (m != 0)
        snprintf(text, sizeof text, "%d min", m);
    else
        snprintf(text, sizeof text, "%d sec", s);
    return text;
}

static int text_width(const char* text)
{
    int n = 0;
    while (text[n])
        n++;
    return TEXT_ADVANCE * n;
}

void status_layout(StatusLayout* out)
{
    int playing = game_state == STATE_PLAYING;
    // Outside a run there is no player to read: both meters show 0.
    out->health = playing && player ? player->health : 0;
    out->psychosis = playing ? psychosis : out->health;
    out->health_fill = status_bar_length(out->health);
    out->psychosis_fill = status_bar_length(out->psychosis);

    int blink_off = playing && prompt_hidden && !player_out();
    out->health_text_shown = !(blink_off && out->health <= LOW_HEALTH);
    out->psychosis_text_shown = !(blink_off && out->psychosis <= LOW_PSYCHOSIS);

    snprintf(out->health_text, sizeof out->health_text, "Health: %d%%", out->health);
    out->health_x = center_pos(HEALTH_BAR_X, HEALTH_BAR_X + BAR_FRAME_W,
                               text_width(out->health_text));
    snprintf(out->psychosis_text, sizeof out->psychosis_text, "Psychosis: %d%%",
             out->psychosis);
    out->psychosis_x = center_pos(PSYCHOSIS_BAR_X, PSYCHOSIS_BAR_X + BAR_FRAME_W,
                                  text_width(out->psychosis_text));

    if (game_state == STATE_TITLE) {
        snprintf(out->info_text, sizeof out->info_text, "F1 - Music: %-3s   F2 - Sound FX: %-3s",
                 settings[MUSIC_ON] ? "ON" : "OFF", settings[SOUND_FX_ON] ? "ON" : "OFF");
    } else {
        snprintf(out->info_text, sizeof out->info_text, "Score: %-5d   Kills: %-5d   Time: %-13s",
                 score, kills[KIND_CIVILIAN] + kills[KIND_ARMED], format_time(run_seconds));
    }
    out->info_x = center_pos(INFO_LEFT, INFO_RIGHT, text_width(out->info_text));
}

// One meter of the strip: the frame, its fill and, when shown, its text.
static void draw_meter(int bar_x, int bar_y, int fill_column, int fill, int text_shown,
                       int text_x, int text_y, const char* text)
{
    draw_sprite(TEX_BAR2, 0, 0, BAR_FRAME_W, BAR_FRAME_H, bar_x, bar_y, BAR_FRAME_W,
                BAR_FRAME_H, 0);
    draw_sprite(TEX_BAR2, fill_column, 2, 1, BAR_FILL_H, bar_x + 2, bar_y + 2, fill,
                BAR_FILL_H, 0);
    if (text_shown)
        draw_text(text_x, text_y, text);
}

void draw_status_bar()
{
    StatusLayout s;
    status_layout(&s);
    int bar_y = center_pos(0, STATUS_HEIGHT, BAR_FRAME_H);
    int text_y = center_pos(bar_y, bar_y + BAR_FRAME_H, LINE_HEIGHT);
    int info_y = center_pos(0, STATUS_HEIGHT, LINE_HEIGHT);

    draw_sprite(TEX_SCOREBOARD, 0, 0, 1, STATUS_HEIGHT, 0, 0, SCREEN_WIDTH, STATUS_HEIGHT, 0);

    draw_meter(HEALTH_BAR_X, bar_y, HEALTH_FILL_COLUMN, s.health_fill, s.health_text_shown,
               s.health_x, text_y, s.health_text);
    draw_meter(PSYCHOSIS_BAR_X, bar_y, PSYCHOSIS_FILL_COLUMN, s.psychosis_fill,
               s.psychosis_text_shown, s.psychosis_x, text_y, s.psychosis_text);

    draw_text(s.info_x, info_y, s.info_text);
}
