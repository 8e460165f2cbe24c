// The intro's pages and their fade-hold-fade sequence.
#include "frontend/intro.h"

#include <cstring>

#include "render/draw.h"
#include "render/screen.h"
#include "render/fade.h"
#include "render/textures.h"
#include "util/frame.h"
#include "util/mathutil.h"

int intro_page = 0;
int intro_faded_page = 0;
float intro_hold = INTRO_HOLD_TIME;

// Everyone credited here is one of our own, under the names they asked for.
static const char* const INTRO_TEXTS[INTRO_PAGE_COUNT] = {
    nullptr,
    "presents",
    nullptr,
    "PROGRAMMING\n"
    "\n"
    "Oswin Tallowby",
    "GRAPHICS\n"
    "\n"
    "Mirela Haskett\n"
    "\n"
    "Jonah Pettigrove\n"
    "\n"
    "Edda Crannoch",
    "SOUND MIX\n"
    "\n"
    "Felix Ambergate",
    "MUSIC\n"
    "\n"
    "Tobias Wrenhallow\n"
    "\n"
    "aka\n"
    "\n"
    "Nightjar / The Cellar Tapes",
    "PLAYTESTING & SUPPORT\n"
    "\n"
    "Greta Vandermoel\n"
    "\n"
    "Pip Ashcombe",
    "a\n"
    "\n"
    "HARROW KILN\n"
    "\n"
    "product & release\n"
    "\n"
    "\n"
    "www.harrowkiln.example\n"
    "\n"
    "All characters and events are fictional.",
};

void reset_intro()
{
    intro_page = 0;
    intro_faded_page = 0;
    intro_hold = INTRO_HOLD_TIME;
}

const char* intro_page_text(int page)
{
    return page >= 0 && page < INTRO_PAGE_COUNT ? INTRO_TEXTS[page] : nullptr;
}

int intro_page_picture(int page)
{
    if (page == 0)
        return TEX_HARROWKILN;
    if (page == 2)
        return TEX_LOGO;
    return -1;
}

int intro_line_count(const char* text)
{
    int n = 1;
    for (const char* p = text; *p; p++)
        n += *p == '\n';
    return n;
}

int intro_line_x(int len)
{
    return center_pos(0, SCREEN_WIDTH, TEXT_ADVANCE * len);
}

int intro_line_y(int line_count, int i)
{
    return center_pos(0, SCREEN_HEIGHT, LINE_HEIGHT * line_count) + LINE_HEIGHT * i;
}

int advance_intro()
{
    if (fade_active())
        return INTRO_RUNNING;
    if (intro_faded_page == intro_page) {
        if (intro_hold > 0.0f) {
            intro_hold -= frame_factor;
        } else {
            intro_faded_page = intro_page + 1;
            start_fade(0, 0, 0, 1, STATE_FADE_SPEED);
        }
    } else if (intro_page >= INTRO_LAST_PAGE) {
        return INTRO_OVER;
    } else {
        intro_page++;
        intro_hold = INTRO_HOLD_TIME;
        start_fade(0, 0, 0, -1, STATE_FADE_SPEED);
    }
    return INTRO_RUNNING;
}

static void draw_intro_text(const char* text)
{
    int n = intro_line_count(text);
    char line[128];
    for (int i = 0; i < n; i++) {
        const char* end = strchr(text, '\n');
        size_t len = end ? (size_t)(end - text) : strlen(text);
        if (len >= sizeof line)
            len = sizeof line - 1;
        memcpy(line, text, len);
        line[len] = '\0';
        draw_text(intro_line_x((int)len), intro_line_y(n, i), line);
        text = end ? end + 1 : text + len;
    }
}

void draw_intro()
{
    int picture = intro_page_picture(intro_page);
    if (picture >= 0) {
        int w = textures[picture].width;
        int h = textures[picture].height;
        draw_sprite(picture, 0, 0, w, h, center_pos(0, SCREEN_WIDTH, w), center_pos(0, SCREEN_HEIGHT, h), w, h, 0);
    } else if (intro_page_text(intro_page)) {
        draw_intro_text(intro_page_text(intro_page));
    }
}
