// The camera over the play area.
//
// `camera_x`, `camera_y` are the world point shown at the top-left pixel of
// the 800 x 536 play area: a ground point (wx, wy) appears at play-area pixel
// (wx - camera_x, wy - camera_y), and in the 2D pass 64 pixels lower, below
// the status strip. The camera keeps the player's box in the middle of the
// view, stops at the map's edges so nothing outside the map shows, and
// centres a map smaller than the view.
#pragma once

// Where the player's box sits in the view while the camera can follow it:
// (800 - 32) / 2 and (536 - 32) / 2.
#define CAMERA_PLAYER_X 384
#define CAMERA_PLAYER_Y 252

// Set by update_camera at the start of every 3D pass; kept between passes
// (and outside the playing state) until the next one.
extern int camera_x;
extern int camera_y;

// Places the camera for a player whose box is at (px, py) on the loaded map.
void place_camera(int px, int py);

// Places the camera over the player's last position (also after the run is
// over); the first call of the 3D pass. Without a player it does nothing.
void update_camera();
