// The intro (state 0): nine pages on black, each faded in, held for three
// seconds and faded out: the studio's picture, "presents", the game's logo,
// five credit pages and the studio's closing page. After the last page the
// title screen follows. Space, the left button or Escape cut it short
// (core/states.cpp).
#pragma once

#include "util/frame.h"

#define INTRO_PAGE_COUNT 9
#define INTRO_LAST_PAGE (INTRO_PAGE_COUNT - 1)
// Frame units a page stays fully visible between its fades.
#define INTRO_HOLD_TIME (3.0f * TICKS_PER_SECOND)

// Page shown (0..8); the page up to which fades have been started (equal to
// intro_page while it fades in or holds, one more once its fade-out began);
// hold time left. Reset by reset_intro, which set_game_state calls on
// entering the intro.
extern int intro_page;
extern int intro_faded_page;
extern float intro_hold;

void reset_intro();

// Text of a text page, lines separated by '\n'; nullptr for the two picture
// pages (0 and 2).
const char* intro_page_text(int page);

// Texture drawn on a picture page, or -1 for a text page.
int intro_page_picture(int page);

// Number of lines of a text page, and where line i goes (each line centred
// on its own, the block centred in the window). len is the line's length.
int intro_line_count(const char* text);
int intro_line_x(int len);
int intro_line_y(int line_count, int i);

// What advance_intro reports.
#define INTRO_RUNNING 0
#define INTRO_OVER 1

// The sequence's step for this frame: waits for fades, holds, starts the
// page's fade-out, then the next page's fade-in. After the last page's
// fade-out it reports INTRO_OVER, every frame until the state changes.
int advance_intro();

// Draws the current page.
void draw_intro();
