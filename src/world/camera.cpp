#include "world/camera.h"

#include "render/screen.h"
#include "util/mathutil.h"
#include "world/map.h"

int camera_x;
int camera_y;

void place_camera(int px, int py)
{
    int w = CELL_SIZE * map_width;
    int h = CELL_SIZE * map_height;
    if (w < PLAY_WIDTH)
        camera_x = -center_pos(0, PLAY_WIDTH, w);
    else if (px < CAMERA_PLAYER_X)
        camera_x = 0;
    else if (px > w - (PLAY_WIDTH - CAMERA_PLAYER_X))
        camera_x = w - PLAY_WIDTH;
    else
        camera_x = px - CAMERA_PLAYER_X;

    if (h < PLAY_HEIGHT)
        camera_y = -center_pos(0, PLAY_HEIGHT, h);
    else if (py < CAMERA_PLAYER_Y)
        camera_y = 0;
    else if (py <= h - (PLAY_HEIGHT - CAMERA_PLAYER_Y))
        camera_y = py - CAMERA_PLAYER_Y;
    else
        camera_y = h - PLAY_HEIGHT;
}
