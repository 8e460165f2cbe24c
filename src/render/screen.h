// The window, its OpenGL context and the fixed OpenGL state, the two
// projections and viewports in top-left coordinates.
//
// Geometry shared by all drawing: an 800 x 600 screen, origin top left, y
// down; a 64-pixel status strip at the top and the 800 x 536 play area below.
// The 3D projection looks straight down at the z = 0 plane, of which it shows
// the rectangle 0..100 x 0..67 scene units, so there one scene unit is 8
// pixels and scene y points up: the play-area pixel (px, py) on the ground is
// the scene point (px / 8, (536 - py) / 8, 0). Geometry at z > 0 is nearer the
// camera and drawn larger, which gives raised map blocks their depth.
#pragma once

struct SDL_Surface;

#define SCREEN_WIDTH 800
#define SCREEN_HEIGHT 600
#define STATUS_HEIGHT 64
#define PLAY_WIDTH 800
#define PLAY_HEIGHT 536
#define PIXELS_PER_SCENE_UNIT 8
#define SCENE_UNITS_PER_PIXEL 0.125f

#define WINDOW_TITLE "Crimson Lunatic Outbreak"
#define WINDOW_VERSION 1

// Values of `projection_mode` and arguments of set_projection.
enum { PROJECTION_2D = 0, PROJECTION_3D = 1 };

// The video surface of the last init_screen; null before it.
extern SDL_Surface* screen;

// Distance from the camera to the z = 0 plane, set by init_screen:
// (67 / 2) / tan(22.5 degrees) = 80.876152, so the plane shows 8 pixels per unit.
extern float camera_distance;

// 0 (the default): frames are drawn with shortcuts that spare the software
// renderer work without changing a pixel: the 2D pass without depth test,
// flat sprites after the map blocks without depth writes, blending only for
// translucent colours, small 2D sheets sharing the font's texture (chosen
// when load_graphics runs). 1 draws everything the straightforward way, so
// a test can compare the two.
extern int plain_drawing;

// The projection chosen by the last set_projection; read by draw_sprite and
// bind_texture to pick their coordinate conversion. 0 at start.
extern int projection_mode;

// Opens (or, on a full-screen toggle, re-opens) the 800 x 600 OpenGL window,
// full screen or centred, and sets the fixed OpenGL state. Restarts frame
// timing, the frame-rate counter, cancels a pending screenshot and any fade.
// Fatal on failure ("init_screen()").
void init_screen(int full_screen);

// What init_screen starts afresh besides the window: frame timing, the
// frame-rate counter, a pending screenshot and any fade. A full-screen
// switch with no window (a replay checked without one) does only this, so
// the run goes on as it did with the window.
void restart_screen();

// Clears colour (to black) and depth.
void clear_screen();

// PROJECTION_2D: screen pixels, y down, z = 0 on the near plane.
// PROJECTION_3D: the perspective camera over the play area.
// Leaves the modelview matrix selected.
void set_projection(int mode);

// glViewport with a top-left origin: (0, 64, 800, 536) is the play area.
void set_viewport(int x, int y, int width, int height);

// Ends every frame: reads the frame buffer for a requested screenshot,
// presents the frame, sleeps 1 ms and measures the frame (util/frame.h).
void end_frame();
