// The front end's texts, layouts and timing: story, intro and title.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/loop.h"
#include "core/states.h"
#include "frontend/intro.h"
#include "frontend/story.h"
#include "frontend/title.h"
#include "render/fade.h"
#include "render/textures.h"

namespace {

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

std::string whole_story()
{
    std::string s;
    for (int i = 0; story_lines[i]; i++)
        s += story_lines[i];
    return s;
}

TEST(Story, TextIsPrintableLinesThatFitTheScreen)
{
    for (int i = 0; i < STORY_LINE_COUNT; i++) {
        ASSERT_NE(story_lines[i], nullptr);
        std::string line = story_lines[i];
        bool last = i == STORY_LINE_COUNT - 1;
        EXPECT_EQ(line.back() == '\n', !last) << "line " << i;
        EXPECT_LE(line.size(), 84u) << "line " << i;
        for (char c : line)
            EXPECT_TRUE(c == '\n' || (c >= 32 && c <= 126));
    }
    EXPECT_EQ(story_lines[STORY_LINE_COUNT], nullptr);
    EXPECT_EQ(story_total_steps(), (int)whole_story().size() + 1);
    EXPECT_EQ(story_line_x(), 68);
    EXPECT_EQ(story_line_y(0), 252);
    EXPECT_EQ(story_line_y(9), 396);
}

TEST(Story, StepsShowOneUnitLessThanTaken)
{
    char lines[STORY_LINE_COUNT][STORY_LINE_BUFFER];
    int complete = 1;
    EXPECT_EQ(story_reveal(0, lines, &complete), 0);
    EXPECT_EQ(complete, 0);

    // Every count of steps shows the text's first S - 1 units, where a
    // line end is a unit; the drawn lines are that prefix split at its
    // line breaks, so empty lines take their step and their place.
    std::string text = whole_story();
    for (int s = 1; s <= 540; s++) {
        int n = story_reveal(s, lines, &complete);
        size_t units = s - 1 < (int)text.size() ? (size_t)(s - 1) : text.size();
        std::vector<std::string> want = split_lines(text.substr(0, units));
        ASSERT_EQ(n, (int)want.size()) << "steps " << s;
        for (int i = 0; i < n; i++)
            ASSERT_EQ(lines[i], want[i]) << "steps " << s << " line " << i;
        ASSERT_EQ(complete, s >= 532 ? 1 : 0) << "steps " << s;
    }
}

TEST(Story, TypesOneUnitPerStepAndStopsAtTheEnd)
{
    frame_factor = 1.0f;
    reset_story();
    // The timer is tested before it is lowered: a step every 4 frames.
    int frames = 0;
    while (story_steps < 3) {
        advance_story();
        frames++;
    }
    EXPECT_EQ(frames, 12);
    while (frames < 4 * 532 + 100) {
        advance_story();
        frames++;
    }
    EXPECT_EQ(story_steps, 532);
    float timer = story_timer;
    advance_story();
    EXPECT_EQ(story_steps, 532);
    EXPECT_EQ(story_timer, timer) << "a complete text freezes its timer";

    // A very long frame takes many steps at once but not past the end.
    reset_story();
    advance_story();
    frame_factor = 30.0f;
    advance_story();
    advance_story();
    EXPECT_EQ(story_steps, 10);
    frame_factor = 5000.0f;
    advance_story();
    advance_story();
    EXPECT_EQ(story_steps, 532);

    set_game_state(STATE_STORY);
    EXPECT_EQ(story_steps, 0) << "re-entering starts the text over";
    EXPECT_EQ(story_timer, STORY_STEP_TIME);
    frame_factor = 0.0f;
}

TEST(Intro, PagesKeepTheirLineStructure)
{
    EXPECT_EQ(intro_page_picture(0), TEX_HARROWKILN);
    EXPECT_EQ(intro_page_picture(2), TEX_LOGO);
    EXPECT_EQ(intro_page_text(0), nullptr);
    EXPECT_EQ(intro_page_text(2), nullptr);
    EXPECT_STREQ(intro_page_text(1), "presents");

    // Every text page: a heading, a blank line, then its lines, none
    // wider than the screen.
    for (int page = 3; page <= INTRO_LAST_PAGE; page++) {
        const char* text = intro_page_text(page);
        ASSERT_NE(text, nullptr);
        std::vector<std::string> lines = split_lines(text);
        EXPECT_EQ(intro_line_count(text), (int)lines.size());
        ASSERT_GE(lines.size(), 3u) << "page " << page;
        EXPECT_FALSE(lines[0].empty()) << "page " << page;
        EXPECT_TRUE(lines[1].empty()) << "page " << page;
        for (const std::string& line : lines)
            EXPECT_LE(line.size(), 100u) << "page " << page;
    }
    // Blank lines keep their space: the 7-line page starts at 244.
    EXPECT_EQ(intro_line_y(7, 0), 244);
    EXPECT_EQ(intro_line_y(7, 6), 340);
    EXPECT_EQ(intro_line_y(1, 0), 292);
    EXPECT_EQ(intro_line_x(8), 368);
}

// One drawn frame of the intro as the loop orders it: the page (and its
// sequence step), then the fade.
void intro_frame()
{
    step_intro();
    advance_fade();
}

TEST(Intro, PagesAdvanceOnlyAfterTheirFadesAndHold)
{
    frame_factor = 1.0f;
    set_game_state(STATE_INTRO);
    ASSERT_EQ(game_state, STATE_INTRO);
    EXPECT_EQ(fade_direction, -1);

    // The hold does not start before the fade-in is complete.
    for (int i = 0; i < 128; i++)
        intro_frame();
    EXPECT_EQ(intro_hold, INTRO_HOLD_TIME);
    EXPECT_FALSE(fade_active());
    // 180 units of hold, then the frame that finds it spent starts the fade-out.
    for (int i = 0; i < 180; i++)
        intro_frame();
    EXPECT_EQ(intro_faded_page, 0);
    intro_frame();
    EXPECT_EQ(intro_faded_page, 1);
    EXPECT_EQ(intro_page, 0);
    EXPECT_EQ(fade_direction, 1);
    // The page stays until its fade-out has covered it.
    for (int i = 0; i < 127; i++)
        intro_frame();
    EXPECT_EQ(intro_page, 0);
    intro_frame(); // the fade reaches full here
    intro_frame();
    EXPECT_EQ(intro_page, 1);
    EXPECT_EQ(intro_hold, INTRO_HOLD_TIME);
    EXPECT_EQ(fade_direction, -1);

    // A huge frame ends the hold at once, but the fade-out still takes its
    // 128 frame units.
    frame_factor = 1000.0f;
    intro_frame(); // fade-in jumps to clear
    intro_frame(); // hold spent in one go
    EXPECT_LT(intro_hold, 0.0f);
    EXPECT_EQ(intro_faded_page, 1);
    frame_factor = 1.0f;
    intro_frame();
    EXPECT_EQ(intro_faded_page, 2);
    for (int i = 0; i < 126; i++)
        intro_frame();
    EXPECT_EQ(intro_page, 1);
    EXPECT_TRUE(fade_active());
    frame_factor = 0.0f;
}

TEST(Intro, WholeIntroEndsOnTheTitle)
{
    frame_factor = 1.0f;
    set_game_state(STATE_INTRO);
    int frames = 0;
    int last_page = 0;
    while (game_state == STATE_INTRO && frames < 20000) {
        intro_frame();
        frames++;
        ASSERT_TRUE(intro_page == last_page || intro_page == last_page + 1);
        last_page = intro_page;
    }
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(last_page, INTRO_LAST_PAGE);
    // Nine pages of fade-in, hold and fade-out, about 65 seconds.
    EXPECT_GT(frames, 9 * (128 + 180 + 128));
    EXPECT_LT(frames, 9 * (128 + 180 + 128 + 4));
    EXPECT_EQ(fade_direction, -1) << "the title fades in from white";
    EXPECT_EQ(fade_color[0], 1.0f);
    frame_factor = 0.0f;
}

TEST(Title, BackgroundWrapsAfter128StepsAndTheLogoRisesAndStartsAgain)
{
    frame_factor = 1.0f;
    set_game_state(STATE_TITLE);
    EXPECT_EQ(title_scroll, 0);
    EXPECT_EQ(title_logo_offset, 536);
    // One step every 4 frames at one unit per frame.
    for (int i = 0; i < 4 * 127; i++)
        advance_title_background();
    EXPECT_EQ(title_scroll, 127);
    for (int i = 0; i < 4; i++)
        advance_title_background();
    EXPECT_EQ(title_scroll, 0);

    // A long frame moves several pixels at once at the same rate.
    reset_title();
    frame_factor = 30.0f;
    advance_title_background(); // 30 units pass while the timer runs
    EXPECT_EQ(title_scroll, 0);
    frame_factor = 1.0f;
    advance_title_background(); // the step frame pays 10 periods at once
    EXPECT_EQ(title_scroll, 10);
    frame_factor = 0.0f;

    const int h = 100;
    frame_factor = 1.0f;
    reset_title();
    // Two frames per pixel: the step frame and one frame of waiting.
    for (int i = 0; i < 2 * 10; i++)
        advance_title_logo(h);
    EXPECT_EQ(title_logo_offset, 526);
    while (title_logo_offset > -h)
        advance_title_logo(h);
    // Fully behind the strip now; the next step starts again at the bottom.
    int guard = 0;
    while (title_logo_offset == -h && guard++ < 10)
        advance_title_logo(h);
    EXPECT_EQ(title_logo_offset, 536);

    reset_title();
    frame_factor = 6.5f;
    advance_title_logo(h);
    advance_title_logo(h);
    EXPECT_EQ(title_logo_offset, 530) << "one step per unit of the long frame";
    frame_factor = 0.0f;
}

}  // namespace
