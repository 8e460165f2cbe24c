#include "world/map.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/archive.h"
#include "util/errors.h"
#include "util/mathutil.h"

int map_width;
int map_height;
int map_layers;
unsigned char map_cells[MAP_MAX_LAYERS][MAP_MAX_SIZE][MAP_MAX_SIZE][FACE_COUNT];
unsigned char walk_grid[MAP_MAX_SIZE][MAP_MAX_SIZE];

size_t map_file_size(int width, int height, int layers)
{
    return MAP_DATA_OFFSET + (size_t)width * (size_t)height * (size_t)(FACE_COUNT * layers + 1);
}

void load_map_bytes(const char* name, const unsigned char* data, size_t size)
{
    if (size < MAP_DATA_OFFSET)
        fatal_error("load_map()", "Map \"%s\" is %zu bytes long, too short for its %d-byte header",
                    name, size, MAP_DATA_OFFSET);
    int width = data[MAP_HEADER_SIZE];
    int height = data[MAP_HEADER_SIZE + 1];
    int layers = data[MAP_HEADER_SIZE + 2];
    if (width > MAP_MAX_SIZE || height > MAP_MAX_SIZE)
        fatal_error("load_map()", "Map \"%s\" is %d x %d cells; the largest map is %d x %d",
                    name, width, height, MAP_MAX_SIZE, MAP_MAX_SIZE);
    if (layers > MAP_MAX_LAYERS)
        fatal_error("load_map()", "Map \"%s\" has %d layers; the most a map may have is %d",
                    name, layers, MAP_MAX_LAYERS);
    size_t needed = map_file_size(width, height, layers);
    if (size < needed)
        fatal_error("load_map()", "Map \"%s\" is %zu bytes long but its size of %d x %d x %d needs %zu",
                    name, size, width, height, layers, needed);

    clear_memory(map_cells, sizeof map_cells);
    clear_memory(walk_grid, sizeof walk_grid);
    map_width = width;
    map_height = height;
    map_layers = layers;

    size_t at = MAP_DATA_OFFSET;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            for (int layer = 0; layer < layers; layer++) {
                memcpy(map_cells[layer][row][column], data + at, FACE_COUNT);
                at += FACE_COUNT;
            }
            walk_grid[row][column] = data[at];
            at++;
        }
    }
}

void load_map(const char* name)
{
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress(MAP_ARCHIVE, name, &size);
    if (!data)
        fatal_error("load_map()", "File \"%s\" not found in archive \"%s\"", name, MAP_ARCHIVE);
    load_map_bytes(name, data, size);
    free(data);
}

int cell_is_floor(int column, int row)
{
    if (column < 0 || row < 0 || column >= map_width || row >= map_height) return 0;
    return walk_grid[row][column] != 0;
}

int area_walkable(int x, int y, int w, int h)
{
    if (w < 1 || h < 1) return 0;
    if (x < 0 || y < 0) return 0;
    // 64-bit sums: a far-off probe must be refused, not wrapped into the map.
    if ((int64_t)x + w > (int64_t)CELL_SIZE * map_width) return 0;
    if ((int64_t)y + h > (int64_t)CELL_SIZE * map_height) return 0;
    int left = x / CELL_SIZE, right = (x + w - 1) / CELL_SIZE;
    int top = y / CELL_SIZE, bottom = (y + h - 1) / CELL_SIZE;
    if (!walk_grid[top][left]) return 0;
    if (!walk_grid[top][right]) return 0;
    if (!walk_grid[bottom][left]) return 0;
    if (!walk_grid[bottom][right]) return 0;
    return 1;
}
