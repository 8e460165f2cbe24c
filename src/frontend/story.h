// The story screen (state 2): a short monologue typed out like a
// typewriter, one unit per step, where every character and every line end
// is a unit. Space continues to the game at any moment (core/states.h).
#pragma once

// The text: 10 lines (the last without a line break), ended by nullptr.
#define STORY_LINE_COUNT 10
// Longest line including its line break; the block is centred on it.
#define STORY_WIDEST_LINE 83
// Size of the buffer each line is built in before drawing.
#define STORY_LINE_BUFFER 128
// Frame units between steps (plus the frame in which the step is taken).
#define STORY_STEP_TIME 3.0f

extern const char* const story_lines[STORY_LINE_COUNT + 1];

// Steps typed so far and the time to the next step. Reset by reset_story,
// which set_game_state calls on entering the story.
extern int story_steps;
extern float story_timer;

void reset_story();

// Steps after which the whole text is shown: one per character and line end.
int story_total_steps();

// What `steps` steps reveal: out[i] receives the text of line i for every
// line drawn; returns the number of lines drawn (lines 0..n-1, some possibly
// empty). *complete becomes 1 when the end of the text was reached.
int story_reveal(int steps, char out[STORY_LINE_COUNT][STORY_LINE_BUFFER], int* complete);

// Where line i of the story is drawn.
int story_line_x();
int story_line_y(int i);

// Advances the typing by frame_factor, unless the text is complete.
void advance_story();

// Draws the revealed text; once per frame in the story state, before the
// typing advances.
void draw_story();
