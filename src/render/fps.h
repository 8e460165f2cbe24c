// Frame-rate counter and screenshots.
//
// The counter publishes how many frames ended in each window of just over a
// second; with "-fps" the figure is drawn at the bottom right. A screenshot
// is requested by Print Screen and written at the end of that frame as a
// 24-bit bitmap of the frame just drawn, named after the local date and time.
#pragma once

#include <cstdint>

// Set by Print Screen, cleared once the file is written; 0 after init_screen.
extern int screenshot_requested;

// Frame rate shown by draw_fps; 0 during the first second and after
// init_screen.
extern int fps_shown;

// Counts one ended frame against the real clock (count_frame_at).
void count_frame();

// Counts one frame; once `now` is more than 999 ms after the window began,
// publishes the count as fps_shown and starts a new window at `now`.
void count_frame_at(uint32_t now);

// Resets the counter, its window and the shown rate (init_screen).
void reset_fps();

// Draws "FPS: %d" right-aligned at the bottom right (2D projection).
void draw_fps();

// Writes the current frame buffer, right way up, as a 24-bit BMP file. A file
// that cannot be written is not reported. Fatal ("save_screenshot()") when
// the surface or the pixel buffer cannot be made.
void save_screenshot(const char* file_name);

// If a screenshot is requested: saves it as "screenshot_MMDDYY_HHMMSS.bmp"
// in the working directory and clears the request. Called by end_frame
// before the buffers are swapped.
void take_requested_screenshot();
