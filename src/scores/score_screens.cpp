// The new-high-score screen and the title screen's table.
#include "scores/score_screens.h"

#include <cstdio>
#include <cstring>

#include "frontend/status.h"
#include "render/draw.h"
#include "scores/highscores.h"
#include "util/mathutil.h"

const char* const TABLE_HEADER = "#   NAME             SCORE    KILLS    TIME       ";
const char* const TABLE_RULE = "--------------------------------------------------";
const char* const ENTRY_TITLE = "Congratulations! You have a new high score!";
const char* const ENTRY_PROMPT = "Enter your name:";

// Line offsets of the entry screen within its block.
static const int ENTRY_LINE_OFFSETS[3] = {0, 48, 80};

int table_x()
{
    return center_pos(0, SCREEN_WIDTH, TABLE_WIDTH_CHARS * TEXT_ADVANCE);
}

int table_y(int row)
{
    return center_pos(STATUS_HEIGHT, SCREEN_HEIGHT, TABLE_HEIGHT) + 2 * TABLE_ROW_SPACING +
           TABLE_ROW_SPACING * row;
}

const char* format_highscore_row(int i)
{
    // Wide enough for a name cut at its field and every number at full width.
    static char row[128];
    const HighScoreEntry& e = highscores[i];
    // The kill counts come from a file that is not validated; add them
    // without overflow.
    long long kills = (long long)e.civilian_kills + e.armed_kills;
    snprintf(row, sizeof row, "%2d. %-16s %-8d %-8lld %s", i + 1, highscore_name(i), e.score,
             kills, format_time(e.seconds));
    return row;
}

const char* format_name_line()
{
    static char line[HIGHSCORE_NAME_MAX + 4];
    snprintf(line, sizeof line, ">%.*s<", HIGHSCORE_NAME_MAX, name_buffer);
    return line;
}

int entry_x(int len)
{
    return center_pos(0, SCREEN_WIDTH, len * TEXT_ADVANCE);
}

int entry_y(int line)
{
    return center_pos(STATUS_HEIGHT, SCREEN_HEIGHT, ENTRY_HEIGHT) + ENTRY_LINE_OFFSETS[line];
}

void draw_highscore_entry()
{
    const char* name_line = format_name_line();
    draw_text(entry_x((int)strlen(ENTRY_TITLE)), entry_y(0), ENTRY_TITLE);
    draw_text(entry_x((int)strlen(ENTRY_PROMPT)), entry_y(1), ENTRY_PROMPT);
    draw_text(entry_x((int)strlen(name_line)), entry_y(2), name_line);
}

void draw_highscore_table()
{
    draw_text(table_x(), table_y(-2), TABLE_HEADER);
    draw_text(table_x(), table_y(-1), TABLE_RULE);
    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        draw_text(table_x(), table_y(i), format_highscore_row(i));
}
