// The title screen's two moving layers (state 1): a tiled background that
// scrolls left without end, and the game's logo rising from the bottom of
// the window to the status strip, again and again. Behind them come the
// high-score table (scores/score_screens.h), the prompt and the strip.
#pragma once

// Background: 64-pixel tiles drawn at double size, one pixel of scroll per
// period; the pattern repeats after one tile width.
#define TITLE_TILE_SIZE 128
#define TITLE_SCROLL_TIME 3.0f
// Logo: one pixel up per period; it starts with its top at the window's
// bottom edge, measured from the bottom of the status strip.
#define TITLE_LOGO_TIME 1.0f
#define TITLE_LOGO_START 536

// Reset by reset_title, which set_game_state calls on entering the title.
extern int title_scroll;          // 0..127, pixels the tiles have moved left
extern float title_scroll_timer;
extern int title_logo_offset;     // logo top, relative to the strip's bottom
extern float title_logo_timer;

void reset_title();

// One frame's progress of each layer by frame_factor. The logo needs its
// picture's height to know when it has passed the strip.
void advance_title_background();
void advance_title_logo(int logo_height);

// The scrolling background; first drawing of the title state.
void draw_title_background();
// The logo, centred horizontally. The loop advances it before drawing it,
// the background after.
void draw_title_logo();
