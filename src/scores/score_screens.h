// The two screens of the high-score table: the name entry of state 4 and
// the table shown over the title screen. Both are white text laid out in the
// 800 x 600 window, 8 pixels per character, 16 per line.
#pragma once

// Table block: header, dashes, then ten rows 32 pixels apart, centred below
// the status strip.
#define TABLE_WIDTH_CHARS 50
#define TABLE_HEIGHT 368
#define TABLE_ROW_SPACING 32
// Entry block: three lines over 96 pixels, centred below the strip.
#define ENTRY_HEIGHT 96

extern const char* const TABLE_HEADER;
extern const char* const TABLE_RULE;
extern const char* const ENTRY_TITLE;
extern const char* const ENTRY_PROMPT;

// Left edge of every table line, and the y of the header (row -2), the rule
// (row -1) and the entries (0..9).
int table_x();
int table_y(int row);

// The text of table row i (0..9): rank, name, score, kills, time. The buffer
// is static and overwritten by the next call.
const char* format_highscore_row(int i);

// ">name<" for the name being typed; static buffer.
const char* format_name_line();

// x of a line of len characters centred across the window, and the y of
// line 0..2 of the entry screen.
int entry_x(int len);
int entry_y(int line);

void draw_highscore_entry();
void draw_highscore_table();
