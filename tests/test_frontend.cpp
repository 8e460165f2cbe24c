// The front end's texts and timing: the story's typewriter, the intro's
// pages, and every visual timer of the front end by frame.
#include <gtest/gtest.h>

#include <string>

#include "core/loop.h"
#include "core/states.h"
#include "frontend/intro.h"
#include "frontend/overlays.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/fade.h"

namespace {

// Every count of steps shows the text's first S - 1 units, where a line end
// is a unit; the drawn lines are that prefix split at its line breaks, so
// empty lines take their step and their place.
TEST(Story, StepsShowOneUnitLessThanTaken)
{
    std::string text;
    for (int i = 0; story_lines[i]; i++)
        text += story_lines[i];
    char lines[STORY_LINE_COUNT][STORY_LINE_BUFFER];
    for (int s = 0; s <= 540; s++) {
        int complete = -1;
        int n = story_reveal(s, lines, &complete);
        std::string shown;
        for (int i = 0; i < n; i++)
            shown += (i ? "\n" : "") + std::string(lines[i]);
        ASSERT_EQ(shown, text.substr(0, s > 0 ? s - 1 : 0)) << "steps " << s;
        ASSERT_EQ(n > 0, s > 0) << "steps " << s;
        ASSERT_EQ(complete, s >= (int)text.size() + 1 ? 1 : 0) << "steps " << s;
    }
    EXPECT_EQ(story_total_steps(), (int)text.size() + 1);
    // Lines wider than the window's 100 columns, or characters the font
    // lacks, would run off the screen or show as nothing; credits too.
    for (int page = 3; page <= INTRO_LAST_PAGE; page++)
        text += std::string("\n") + intro_page_text(page);
    size_t width = 0;
    for (char c : text) {
        width = c == '\n' ? 0 : width + 1;
        EXPECT_TRUE(c == '\n' || (c >= 32 && c <= 126)) << (int)c;
        EXPECT_LE(width, 100u);
    }
}

// Every timer steps in the frame after its time is spent: a period of T
// frame units takes T + 1 frames at one unit a frame. From its start,
// `frames` frames of `factor` units leave the timer's picture at `value`:
// the story types a unit every 4 frames, the title's tiles wrap after 128
// steps of 4, the logo rises a pixel every 2 frames and starts again below
// once it has passed the strip.
struct Timing {
    const char* name;
    void (*start)();
    void (*advance)();
    int (*value)();
    float factor;
    int frames, value_after;
};

void advance_logo() { advance_title_logo(100); }

const Timing TIMINGS[] = {
    {"story", reset_story, advance_story, [] { return story_steps; }, 1.0f, 12, 3},
    {"scroll", reset_title, advance_title_background, [] { return title_scroll; }, 1.0f, 4 * 127, 127},
    {"scroll", reset_title, advance_title_background, [] { return title_scroll; }, 1.0f, 4 * 128, 0},
    {"logo", reset_title, advance_logo, [] { return title_logo_offset; }, 1.0f, 2 * 636, -100},
    {"logo", reset_title, advance_logo, [] { return title_logo_offset; }, 1.0f, 2 * 637, 536},
    // The prompt: 40 units shown, 20 hidden; a long frame's overshoot is
    // dropped, not carried into the next phase.
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 1.0f, 40, 0},
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 1.0f, 41, 1},
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 1.0f, 61, 1},
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 1.0f, 62, 0},
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 1.0f, 103, 1},
    {"blink", restart_prompt_visible, advance_prompt, [] { return prompt_hidden; }, 17.0f, 6, 1},
};

TEST(FrontendTimers, EveryTimerStepsAtItsPace)
{
    for (const Timing& t : TIMINGS) {
        frame_factor = 1.0f;
        t.start();
        frame_factor = t.factor;
        for (int i = 0; i < t.frames; i++)
            t.advance();
        EXPECT_EQ(t.value(), t.value_after) << t.name << ": " << t.frames << " frames of " << t.factor;
    }
    frame_factor = 0.0f;
}

TEST(Intro, NinePagesEachFadedInHeldAndFadedOutThenTheTitle)
{
    frame_factor = 1.0f;
    set_game_state(STATE_INTRO);
    int frames = 0, page = 0, clear = 0;
    while (game_state == STATE_INTRO && frames < 20000) {
        bool covered = fade_direction == 1 && !fade_active();
        step_intro();
        if (intro_page != page) {
            ASSERT_EQ(intro_page, page + 1);
            ASSERT_TRUE(covered) << "page " << page << " left before its fade-out was full";
            page = intro_page;
        }
        advance_fade();
        frames++;
        clear += fade_direction == -1 && !fade_active();
    }
    EXPECT_EQ(page, INTRO_LAST_PAGE);
    // Per page: 128 frames of fade-in, 180 of hold, 128 of fade-out.
    EXPECT_EQ(clear, 9 * 181) << "each page left clear from its fade-in's last frame to the hold's end";
    EXPECT_EQ(frames, 9 * (128 + 180 + 128) + 1);
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(fade_color[0], 1.0f) << "the title fades in from white";
    frame_factor = 0.0f;
}

} // namespace
