// Shared helpers for tests that draw into a real window (Mesa under Xvfb):
// one windowed screen per test process, textures made from pictures built in
// memory, and pixels read back from the frame being drawn.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <dlfcn.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

#include "render/fade.h"
#include "render/screen.h"
#include "render/textures.h"
#include "test_bytes.h"

namespace render_test {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

static const Rgb BLACK = {0, 0, 0};
static const Rgb WHITE = {255, 255, 255};
static const Rgb MAGENTA = {255, 0, 255};
static const Rgb RED = {255, 0, 0};
static const Rgb GREEN = {0, 255, 0};
static const Rgb BLUE = {0, 0, 255};

// Loads texture `id` from a picture whose pixel (x, y), origin top left, is
// colour(x, y).
inline void make_texture(int id, int width, int height,
                         const std::function<Rgb(int, int)>& colour)
{
    std::vector<uint8_t> bmp = make_bmp(width, height, [&](int x, int y) {
        Rgb c = colour(x, y);
        return c.r << 16 | c.g << 8 | c.b;
    });
    load_texture_bmp(id, bmp.data(), bmp.size());
}

// A colour naming cell `index` of a sheet, so the cell can be found on screen.
inline Rgb cell_colour(int index)
{
    return {(uint8_t)(40 + index), (uint8_t)(200 - index), 90};
}

// A font whose every 10 x 18 glyph cell is filled with its code's cell_colour.
inline void make_cell_font()
{
    make_texture(TEX_FONT, 160, 288, [](int x, int y) { return cell_colour(y / 18 * 16 + x / 10); });
}

// Mesa unloads its DRI driver (and what it loaded) when SDL closes the
// display at exit, before the leak checker runs; their process-lifetime
// allocations would then be reported with no module to name them by.
// Keeping every loaded library mapped lets the suppression file match them.
inline void keep_gl_driver_loaded()
{
    FILE* maps = fopen("/proc/self/maps", "r");
    if (!maps) return;
    char line[1024];
    while (fgets(line, sizeof line, maps)) {
        char* path = strchr(line, '/');
        if (!path || !strstr(path, ".so")) continue;
        path[strcspn(path, "\n")] = 0;
        dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    fclose(maps);
}

// Each test process that opens a window runs its own X server, so that no
// window of a test running beside it can cover ours, move the pointer over
// it or take the focus. The server picks a free display number itself and
// writes it into a pipe once it is ready; it ends with the process. It never
// resets (see own_display.sh). Without Xvfb the display the process was given
// serves.
inline void use_own_display()
{
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_t server = fork();
    if (server == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(ready[0]);
        char fd[16];
        snprintf(fd, sizeof fd, "%d", ready[1]);
        freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", (char*)nullptr);
        _exit(127);
    }
    close(ready[1]);
    // The number and its line feed come in two writes, and a server whose
    // second write finds the pipe closed gives up: read until it closes it.
    char display[16] = ":";
    size_t length = 1;
    ssize_t got = 0;
    while (server > 0 && length < sizeof display - 1 &&
           (got = read(ready[0], display + length, sizeof display - 1 - length)) != 0) {
        if (got > 0) length += (size_t)got;
        else if (errno != EINTR) break;
    }
    close(ready[0]);
    display[strcspn(display, "\n")] = 0;
    if (!display[1]) return;
    setenv("DISPLAY", display, 1);
    static pid_t own_server = server;
    // Registered before SDL's exit handler, so it runs after SDL let go.
    atexit([] { kill(own_server, SIGTERM); });
}

// Opens the 800 x 600 window once per process; every call then starts a
// clean frame: no textures, black colour and far depth, the 2D projection.
inline void open_window()
{
    static bool open = false;
    if (!open) {
        // Events alone may have started SDL's video part already, on the
        // dummy driver or another display: the window starts it afresh.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        unsetenv("SDL_VIDEODRIVER");
        use_own_display();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        init_screen(0);
        keep_gl_driver_loaded();
        // A death test forked from here would inherit a window, driver
        // threads and SDL_Quit at exit, and can hang on the way out; from now
        // on death tests start a fresh process instead.
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
        open = true;
    }
    free_graphics();
    fade_direction = 0;
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    set_projection(PROJECTION_2D);
    set_viewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_screen();
}

// The world's view: the camera's projection over the play area.
inline void use_play_view()
{
    set_projection(PROJECTION_3D);
    set_viewport(0, STATUS_HEIGHT, PLAY_WIDTH, PLAY_HEIGHT);
}

// The whole frame being drawn (the back buffer), rows top down.
struct Frame {
    std::vector<uint8_t> rgb;
    Rgb at(int x, int y) const
    {
        const uint8_t* p = &rgb[((size_t)(SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

inline Frame read_frame()
{
    Frame f;
    f.rgb.resize((size_t)SCREEN_WIDTH * SCREEN_HEIGHT * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return f;
}

// Depth of screen pixel (x, y), top-left origin.
inline float read_depth(int x, int y)
{
    float d = -1.0f;
    glFinish();
    glReadPixels(x, SCREEN_HEIGHT - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

// The bounding box of pixels of colour c, or w = 0 when there is none, and
// whether every pixel inside the box has that colour.
struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool solid = false;
};

// A box's x, y, w, h, to compare in one line.
typedef std::array<int, 4> Rect;
inline Rect rect(const Box& b) { return {b.x, b.y, b.w, b.h}; }

inline Box find_colour(const Frame& f, Rgb c)
{
    int x0 = SCREEN_WIDTH, y0 = SCREEN_HEIGHT, x1 = -1, y1 = -1;
    for (int y = 0; y < SCREEN_HEIGHT; y++)
        for (int x = 0; x < SCREEN_WIDTH; x++)
            if (f.at(x, y) == c) {
                if (x < x0) x0 = x;
                if (x > x1) x1 = x;
                if (y < y0) y0 = y;
                if (y > y1) y1 = y;
            }
    Box b;
    if (x1 < 0) return b;
    b = {x0, y0, x1 - x0 + 1, y1 - y0 + 1, true};
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (!(f.at(x, y) == c)) b.solid = false;
    return b;
}

inline int count_not_black(const Frame& f)
{
    int n = 0;
    for (size_t i = 0; i < f.rgb.size(); i += 3)
        if (f.rgb[i] || f.rgb[i + 1] || f.rgb[i + 2]) n++;
    return n;
}

} // namespace render_test
