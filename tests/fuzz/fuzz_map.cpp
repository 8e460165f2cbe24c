// The map loader on arbitrary map images: it must refuse exactly the images
// that do not fit the grids or are shorter than their cell data, touch
// nothing when it refuses, and otherwise leave grids that hold the file's
// bytes inside the map and zeros outside. The walk queries are then probed
// at points taken from the input.
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

static bool all_zero(const void* p, size_t n)
{
    static const unsigned char zeros[MAP_MAX_SIZE * MAP_MAX_SIZE * FACE_COUNT] = {};
    return n == 0 || memcmp(p, zeros, n) == 0;
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
    // ends exactly there) give rectangles near and across the map's edges,
    // larger than any caller asks about too. The queries must stay inside
    // the grids (their answers are checked by the map tests' tables), and a
    // cell reads as floor exactly where the file's walk byte says so.
    size_t used = map_file_size(width, height, layers);
    const uint8_t* probe = used + 8 <= size ? in + used : in;
    size_t probes = used + 8 <= size ? (size - used) / 8 : MAP_HEADER_SIZE / 8;
    for (size_t i = 0; i < probes && i < 64; i++, probe += 8) {
        int x = (int16_t)(probe[0] | probe[1] << 8), y = (int16_t)(probe[2] | probe[3] << 8);
        int w = probe[4] % 40, h = probe[5] % 40;
        if (probe[6] & 1) { x = CELL_SIZE * width - w + (int8_t)probe[7] % 3; }
        if (probe[6] & 2) { y = CELL_SIZE * height - h + (int8_t)probe[7] % 3; }
        (void)area_walkable(x, y, w, h);
        if (cell_is_floor(x, y) != (x >= 0 && y >= 0 && x < width && y < height &&
                                    in[MAP_DATA_OFFSET + ((size_t)y * width + x) * (FACE_COUNT * layers + 1) + FACE_COUNT * layers]))
            abort();
    }
    free(in);
    return 0;
}
