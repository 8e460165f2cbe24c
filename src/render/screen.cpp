#include "render/screen.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "render/fade.h"
#include "render/fps.h"
#include "util/errors.h"
#include "util/frame.h"

SDL_Surface* screen = nullptr;
float camera_distance = 0.0f;
int projection_mode = PROJECTION_2D;
int plain_drawing = 0;

// The scene rectangle the camera shows: the play area at 8 pixels per unit.
static const float SCENE_WIDTH = (float)PLAY_WIDTH / PIXELS_PER_SCENE_UNIT;   // 100
static const float SCENE_HEIGHT = (float)PLAY_HEIGHT / PIXELS_PER_SCENE_UNIT; // 67

static const double FIELD_OF_VIEW = 45.0;
// Half the vertical field of view in single precision (pi / 8).
static const float HALF_FIELD_OF_VIEW = 0.39269909262657166f;
static const double NEAR_PLANE = 1.0;
static const double FAR_PLANE = 128.0;

static void set_gl_state()
{
    glEnable(GL_TEXTURE_2D);
    // Fully transparent texels are never drawn and never write depth.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    // Equal depth passes, so of two quads in one plane the later one wins.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // Blending stays off; translucent drawing switches it on around itself.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Mesa's software renderer takes a fresh vertex buffer of several hundred
// kilobytes each time a change of texture or blending ends a batch, and lets
// the old one go once the frame is rasterised. Above glibc's default
// threshold each of those is a new mapping, so a crowded frame spent more
// time in page faults than in drawing. Served from the heap and kept there,
// the same blocks come back frame after frame.
static void keep_driver_memory()
{
#ifdef __GLIBC__
    static bool done = false;
    if (done)
        return;
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    done = true;
#endif
}

void init_screen(int full_screen)
{
    keep_driver_memory();
    // SDL_Init on an initialised SDL is harmless, so a toggle can come here again.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0)
        fatal_error("init_screen()", "SDL_Init(): %s", SDL_GetError());
    static char centred[] = "SDL_VIDEO_CENTERED=center";
    putenv(centred);

    char caption[64];
    snprintf(caption, sizeof caption, "%s Version %d", WINDOW_TITLE, WINDOW_VERSION);
    SDL_WM_SetCaption(caption, WINDOW_TITLE);

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_OPENGL;
    if (full_screen)
        flags |= SDL_FULLSCREEN;
    screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 0, flags);
    if (!screen)
        fatal_error("init_screen()", "SDL_SetVideoMode(): %s", SDL_GetError());

    static bool quit_registered = false;
    if (!quit_registered) {
        atexit(SDL_Quit);
        quit_registered = true;
    }

    set_gl_state();
    SDL_ShowCursor(SDL_DISABLE);

    camera_distance = (std::min(SCENE_WIDTH, SCENE_HEIGHT) / 2.0f) / tanf(HALF_FIELD_OF_VIEW);
    restart_screen();
}

void restart_screen()
{
    // A new mode starts timing afresh: the frame after a toggle runs no tick,
    // and neither a pending screenshot nor a fade survives it.
    reset_frame_clock();
    reset_fps();
    screenshot_requested = 0;
    stop_fade();
}

void clear_screen()
{
    // A depth buffer left write-protected would not be cleared either.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void set_projection(int mode)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (mode == PROJECTION_2D) {
        glOrtho(0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 1);
        // Everything 2D lies on the near plane, where a less-or-equal test
        // always passes: reading and writing depth there is wasted work.
        if (plain_drawing)
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST);
    } else {
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        gluPerspective(FIELD_OF_VIEW, (double)((float)PLAY_WIDTH / (float)PLAY_HEIGHT),
                       NEAR_PLANE, FAR_PLANE);
        glTranslatef(0.0f, 0.0f, -camera_distance);
        glTranslatef(-SCENE_WIDTH / 2.0f, -SCENE_HEIGHT / 2.0f, 0.0f);
    }
    // The modelview is never changed from the identity: sprites are turned
    // by computing their corners, not by rotating the matrix.
    glMatrixMode(GL_MODELVIEW);
    projection_mode = mode == PROJECTION_2D ? PROJECTION_2D : PROJECTION_3D;
}

void set_viewport(int x, int y, int width, int height)
{
    glViewport(x, SCREEN_HEIGHT - y - height, width, height);
}

void end_frame()
{
    // The back buffer is undefined after a swap on many drivers, so the
    // screenshot is read before it: the file holds exactly this frame.
    take_requested_screenshot();
    SDL_GL_SwapBuffers();
    SDL_Delay(1);
    measure_frame(SDL_GetTicks());
}
