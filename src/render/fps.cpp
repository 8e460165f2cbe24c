#include "render/fps.h"

#include <SDL.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/draw.h"
#include "render/screen.h"
#include "util/errors.h"

int screenshot_requested = 0;
int fps_shown = 0;

static int frames_counted = 0;
static uint32_t window_start = 0;

// A window is published once more than this many milliseconds have passed.
static const uint32_t FPS_WINDOW_MS = 999;

// Right edge and baseline row of the frame-rate text (the bottom text line).
static const int FPS_RIGHT = 792;
static const int FPS_Y = 568;

void reset_fps()
{
    frames_counted = 0;
    window_start = 0;
    fps_shown = 0;
}

void count_frame_at(uint32_t now)
{
    frames_counted++;
    if ((uint32_t)(now - window_start) > FPS_WINDOW_MS) {
        fps_shown = frames_counted;
        frames_counted = 0;
        window_start = now;
    }
}

void count_frame()
{
    count_frame_at(SDL_GetTicks());
}

void draw_fps()
{
    char text[32];
    int length = snprintf(text, sizeof text, "FPS: %d", fps_shown);
    draw_text(FPS_RIGHT - TEXT_ADVANCE * length, FPS_Y, text);
}

void save_screenshot(const char* file_name)
{
    int width = screen ? screen->w : SCREEN_WIDTH;
    int height = screen ? screen->h : SCREEN_HEIGHT;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    SDL_Surface* shot = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24,
                                             0x0000FF, 0x00FF00, 0xFF0000, 0);
#else
    SDL_Surface* shot = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24,
                                             0xFF0000, 0x00FF00, 0x0000FF, 0);
#endif
    if (!shot)
        fatal_error("save_screenshot()", "SDL_CreateRGBSurface(): %s", SDL_GetError());
    size_t row_bytes = (size_t)width * 3;
    unsigned char* pixels = (unsigned char*)malloc(row_bytes * (size_t)height);
    if (!pixels)
        fatal_error("save_screenshot()", "Failed allocating memory for pixel data");

    GLint old_alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &old_alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, old_alignment);

    // OpenGL's rows run bottom up, a picture's top down.
    SDL_LockSurface(shot);
    for (int i = 0; i < height; i++)
        memcpy((unsigned char*)shot->pixels + (size_t)i * shot->pitch,
               pixels + (size_t)(height - 1 - i) * row_bytes, row_bytes);
    SDL_UnlockSurface(shot);
    free(pixels);

    SDL_RWops* file = SDL_RWFromFile(file_name, "wb");
    if (file)
        SDL_SaveBMP_RW(shot, file, 1);
    SDL_FreeSurface(shot);
}

void take_requested_screenshot()
{
    if (!screenshot_requested)
        return;
    char time_part[16], date_part[16], name[64];
    snprintf(time_part, sizeof time_part, "%s", time_stamp());
    snprintf(date_part, sizeof date_part, "%s", date_stamp());
    snprintf(name, sizeof name, "screenshot_%s_%s.bmp", date_part, time_part);
    save_screenshot(name);
    screenshot_requested = 0;
}
