#include "world/map_draw.h"

#include "world/tile_anims.h"
#include "render/quad.h"
#include "render/screen.h"
#include "render/textures.h"
#include "world/camera.h"
#include "world/map.h"

static const int TILES_PER_ROW = 16;
// Box edge in scene units (32 world units at 8 pixels per scene unit).
static const float BOX_SCENE_SIZE = (float)CELL_SIZE * SCENE_UNITS_PER_PIXEL;
// The camera looks down from the middle of the play area.
static const float CAMERA_SCENE_X = PLAY_WIDTH * 0.5f * SCENE_UNITS_PER_PIXEL;
static const float CAMERA_SCENE_Y = PLAY_HEIGHT * 0.5f * SCENE_UNITS_PER_PIXEL;

// Whether a side face can be seen from the camera: it must face toward it.
// A face exactly edge-on shows nothing either.
static bool side_faces_camera(int face, float x0, float x1, float y0, float y1)
{
    switch (face) {
    case FACE_WEST: return x0 > CAMERA_SCENE_X;
    case FACE_EAST: return x1 < CAMERA_SCENE_X;
    case FACE_NORTH: return y0 < CAMERA_SCENE_Y; // scene y points north
    case FACE_SOUTH: return y1 > CAMERA_SCENE_Y;
    }
    return true;
}

void draw_block(int x, int y, int z, const unsigned char* record)
{
    float x0 = (float)x * SCENE_UNITS_PER_PIXEL, x1 = x0 + BOX_SCENE_SIZE;
    float y0 = (float)(PLAY_HEIGHT - y) * SCENE_UNITS_PER_PIXEL, y1 = y0 - BOX_SCENE_SIZE;
    float z0 = (float)z * SCENE_UNITS_PER_PIXEL, z1 = z0 + BOX_SCENE_SIZE;
    // Corners per face, in strip order; the top of the tile picture lies at
    // the north edge of the flat faces and at the upper height of the sides.
    const float corners[FACE_COUNT][4][3] = {
        {{x0, y0, z0}, {x1, y0, z0}, {x0, y1, z0}, {x1, y1, z0}}, // bottom
        {{x0, y0, z1}, {x1, y0, z1}, {x0, y1, z1}, {x1, y1, z1}}, // top
        {{x0, y0, z1}, {x0, y1, z1}, {x0, y0, z0}, {x0, y1, z0}}, // west
        {{x1, y1, z1}, {x1, y0, z1}, {x1, y1, z0}, {x1, y0, z0}}, // east
        {{x1, y0, z1}, {x0, y0, z1}, {x1, y0, z0}, {x0, y0, z0}}, // north
        {{x1, y1, z1}, {x0, y1, z1}, {x1, y1, z0}, {x0, y1, z0}}, // south
    };
    bool closed = record[FACE_TOP] != 0;
    for (int face = 0; face < FACE_COUNT; face++) {
        int n = record[face];
        if (n == 0) continue;
        if (closed && face >= FACE_WEST && !side_faces_camera(face, x0, x1, y0, y1)) continue;
        int c = tile_anim_frame(TEX_TILES, n - 1);
        float tc[4];
        bind_texture(TEX_TILES, CELL_SIZE * (c % TILES_PER_ROW), CELL_SIZE * (c / TILES_PER_ROW),
                     CELL_SIZE, CELL_SIZE, tc);
        const float texcoords[4][2] = {{tc[0], tc[1]}, {tc[2], tc[1]}, {tc[0], tc[3]}, {tc[2], tc[3]}};
        draw_scene_strip(corners[face], texcoords);
    }
}

static bool record_empty(const unsigned char* r)
{
    return !(r[0] | r[1] | r[2] | r[3] | r[4] | r[5]);
}

void draw_map()
{
    int first_column = camera_x / CELL_SIZE;
    int first_row = camera_y / CELL_SIZE;
    for (int dr = 0; dr < DRAW_ROWS; dr++) {
        int row = first_row + dr;
        if (row < 0 || row >= map_height) continue;
        for (int dc = 0; dc < DRAW_COLUMNS; dc++) {
            int column = first_column + dc;
            if (column < 0 || column >= map_width) continue;
            for (int layer = 0; layer < map_layers; layer++) {
                const unsigned char* record = map_cells[layer][row][column];
                if (record_empty(record)) continue;
                draw_block(CELL_SIZE * column - camera_x, CELL_SIZE * row - camera_y,
                           CELL_SIZE * layer, record);
            }
        }
    }
}
