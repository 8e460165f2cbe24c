// The map loader on arbitrary map images: it must refuse exactly the images
// that do not fit the grids or are shorter than their cell data, touch
// nothing when it refuses, and otherwise leave grids that hold the file's
// bytes inside the map and zeros outside. The walk queries are then probed
// at points taken from the input and compared with a plain corner test.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "world/map.h"

// A loaded map's grids are large (1.6 MB); comparing whole copies on every
// input would drown the fuzzer, so a refusal is checked on the loaded map's
// sizes plus a sentinel cell at each end of the grids.
static std::array<int, 7> sentinels()
{
    return {map_width, map_height, map_layers, walk_grid[0][0], walk_grid[MAP_MAX_SIZE - 1][MAP_MAX_SIZE - 1],
            map_cells[0][0][0][0], map_cells[MAP_MAX_LAYERS - 1][MAP_MAX_SIZE - 1][MAP_MAX_SIZE - 1][FACE_COUNT - 1]};
}

// The corner rule spelled out on the walk bytes of the input itself.
static int reference_walkable(const uint8_t* data, int width, int height, int layers,
                              int x, int y, int w, int h)
{
    if (w < 1 || h < 1 || x < 0 || y < 0) return 0;
    if ((int64_t)x + w > (int64_t)CELL_SIZE * width) return 0;
    if ((int64_t)y + h > (int64_t)CELL_SIZE * height) return 0;
    const int xs[2] = {x, x + w - 1}, ys[2] = {y, y + h - 1};
    for (int j = 0; j < 2; j++) {
        for (int i = 0; i < 2; i++) {
            size_t cell = (size_t)(ys[j] / CELL_SIZE) * width + xs[i] / CELL_SIZE;
            if (!data[MAP_DATA_OFFSET + cell * (FACE_COUNT * layers + 1) + FACE_COUNT * layers])
                return 0;
        }
    }
    return 1;
}

static bool all_zero(const void* p, size_t n)
{
    static const unsigned char zeros[MAP_MAX_SIZE * MAP_MAX_SIZE * FACE_COUNT] = {};
    return n == 0 || memcmp(p, zeros, n) == 0;
}

static int16_t get16(const uint8_t* p)
{
    return (int16_t)(p[0] | p[1] << 8);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so the sanitizer sees any read past the end.
    uint8_t* in = (uint8_t*)malloc(size ? size : 1);
    memcpy(in, data, size);

    // Something recognisable in the grids first, so a refusal that clears
    // or half-writes them is seen.
    map_width = 7;
    map_height = 5;
    map_layers = 3;
    walk_grid[0][0] = 0x11;
    walk_grid[MAP_MAX_SIZE - 1][MAP_MAX_SIZE - 1] = 0x22;
    map_cells[0][0][0][0] = 0x33;
    map_cells[MAP_MAX_LAYERS - 1][MAP_MAX_SIZE - 1][MAP_MAX_SIZE - 1][FACE_COUNT - 1] = 0x44;
    const std::array<int, 7> before = sentinels();

    volatile int refused = 1;
    FUZZ_CATCH_FATAL(load_map_bytes("fuzz.map", in, size); refused = 0);

    bool fits = size >= MAP_DATA_OFFSET && in[MAP_HEADER_SIZE] <= MAP_MAX_SIZE &&
                in[MAP_HEADER_SIZE + 1] <= MAP_MAX_SIZE && in[MAP_HEADER_SIZE + 2] <= MAP_MAX_LAYERS &&
                size >= map_file_size(in[MAP_HEADER_SIZE], in[MAP_HEADER_SIZE + 1], in[MAP_HEADER_SIZE + 2]);
    if (refused != !fits || (refused && before != sentinels()))
        abort();
    if (refused) {
        free(in);
        return 0;
    }

    const int width = in[MAP_HEADER_SIZE], height = in[MAP_HEADER_SIZE + 1];
    const int layers = in[MAP_HEADER_SIZE + 2];
    if (map_width != width || map_height != height || map_layers != layers)
        abort();

    // Inside the map the grids hold the file's bytes in file order...
    const uint8_t* at = in + MAP_DATA_OFFSET;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            for (int layer = 0; layer < layers; layer++, at += FACE_COUNT)
                if (memcmp(map_cells[layer][row][column], at, FACE_COUNT) != 0)
                    abort();
            if (walk_grid[row][column] != *at++)
                abort();
        }
    }
    // ...and everything outside it is zero: solid and empty.
    for (int row = 0; row < MAP_MAX_SIZE; row++) {
        int used = row < height ? width : 0;
        if (!all_zero(walk_grid[row] + used, MAP_MAX_SIZE - used))
            abort();
        for (int layer = 0; layer < MAP_MAX_LAYERS; layer++) {
            int cells = layer < layers ? used : 0;
            if (!all_zero(&map_cells[layer][row][0][0] + cells * FACE_COUNT, (size_t)(MAP_MAX_SIZE - cells) * FACE_COUNT))
                abort();
        }
    }

    // Probes: the bytes after the cell data (or the header, for a map that
    // ends exactly there) give rectangles near and across the map's edges.
    size_t used = map_file_size(width, height, layers);
    const uint8_t* probe = used + 8 <= size ? in + used : in;
    size_t probes = used + 8 <= size ? (size - used) / 8 : MAP_HEADER_SIZE / 8;
    if (probes > 64) probes = 64;
    for (size_t i = 0; i < probes; i++, probe += 8) {
        int x = get16(probe), y = get16(probe + 2);
        int w = probe[4] % 40, h = probe[5] % 40;
        if (probe[6] & 1) { x = CELL_SIZE * width - w + (int8_t)probe[7] % 3; }
        if (probe[6] & 2) { y = CELL_SIZE * height - h + (int8_t)probe[7] % 3; }
        if (w > CELL_SIZE || h > CELL_SIZE) {
            // Callers never ask about rectangles larger than a cell; the
            // query must still stay inside the grids.
            (void)area_walkable(x, y, w, h);
            continue;
        }
        if (area_walkable(x, y, w, h) != reference_walkable(in, width, height, layers, x, y, w, h))
            abort();
        if (cell_is_floor(x, y) != (x >= 0 && y >= 0 && x < width && y < height && walk_grid[y][x] != 0))
            abort();
    }
    free(in);
    return 0;
}
