// The story text and its typewriter.
#include "frontend/story.h"

#include <cstring>

#include "render/screen.h"
#include "render/draw.h"
#include "util/frame.h"
#include "util/mathutil.h"

// The narrator's own words, quoted from the first character to the last.
const char* const story_lines[STORY_LINE_COUNT + 1] = {
    "\"They wear our faces now. I have watched them at the bus stop, in the bakery, at\n",
    "the windows across the street. They all smile a moment too long, and they will not\n",
    "blink while they think that nobody is looking. Every night there are more of them:\n",
    "they split in the dark like mould behind the wallpaper, and by morning they stroll\n",
    "our streets in coats that fit them too well.\n",
    "\n",
    "The police will not listen. The doctors only nod and write. I am the last one who\n",
    "still looks under the skin.\n",
    "\n",
    "So I will open them up, one by one, myself.\"",
    nullptr,
};

int story_steps = 0;
float story_timer = STORY_STEP_TIME;

void reset_story()
{
    story_steps = 0;
    story_timer = STORY_STEP_TIME;
}

int story_total_steps()
{
    int n = 0;
    for (int i = 0; story_lines[i]; i++)
        n += (int)strlen(story_lines[i]);
    return n + 1; // the last line's end counts as a unit too
}

// Reads the text unit by unit as the typewriter would have typed it: each
// step either takes one more character or ends the current line (drawing
// what it holds). The step that finds the text's end draws the last line
// and completes it.
int story_reveal(int steps, char out[STORY_LINE_COUNT][STORY_LINE_BUFFER], int* complete)
{
    *complete = 0;
    if (steps <= 0)
        return 0;
    int line = 0, col = 0, len = 0, drawn = 0;
    char buffer[STORY_LINE_BUFFER];
    for (int k = 1;; k++) {
        char c = story_lines[line][col];
        if (c != '\n' && c != '\0' && k < steps) {
            if (len < STORY_LINE_BUFFER - 1)
                buffer[len++] = c;
            col++;
            continue;
        }
        buffer[len] = '\0';
        memcpy(out[line], buffer, (size_t)len + 1);
        drawn = line + 1;
        if (c == '\0' || !story_lines[line + 1]) {
            *complete = c == '\0';
            break;
        }
        line++;
        col = 0;
        len = 0;
        if (k >= steps)
            break;
    }
    return drawn;
}

int story_line_x()
{
    return center_pos(0, SCREEN_WIDTH, TEXT_ADVANCE * STORY_WIDEST_LINE);
}

int story_line_y(int i)
{
    return center_pos(STATUS_HEIGHT, SCREEN_HEIGHT, LINE_HEIGHT * STORY_LINE_COUNT) + LINE_HEIGHT * i;
}

static int story_complete()
{
    return story_steps >= story_total_steps();
}

void advance_story()
{
    if (story_complete())
        return;
    if (story_timer > 0.0f) {
        story_timer -= frame_factor;
        return;
    }
    do {
        story_timer += STORY_STEP_TIME;
        story_steps++;
    } while (story_timer <= 0.0f);
    // A long frame may take several steps at once; the counter still stops
    // where the text ends.
    if (story_steps > story_total_steps())
        story_steps = story_total_steps();
}

void draw_story()
{
    char lines[STORY_LINE_COUNT][STORY_LINE_BUFFER];
    int complete;
    int n = story_reveal(story_steps, lines, &complete);
    for (int i = 0; i < n; i++)
        draw_text(story_line_x(), story_line_y(i), lines[i]);
}
