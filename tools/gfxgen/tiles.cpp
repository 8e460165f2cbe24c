// The map tile sheet: creates the sheet and has each group of cells drawn
// into it (tiles_floors.cpp, tiles_blocks.cpp) with the shared helpers of
// tiles_parts.cpp. The cell index table is in tiles.h.
#include "fonts.h"
#include "pictures.h"
#include "tiles.h"
#include "tiles_parts.h"

Image make_tiles(const Image& font)
{
    tile_sheet = make_image(512, 512, MAGENTA);
    make_street();
    make_pavement();
    make_nature();
    make_interiors();
    make_walls();
    make_roofs();
    make_interior_walls();
    make_water();
    make_fire();
    make_neon(font);
    make_tv_window();
    make_extras();
    make_props();
    return tile_sheet;
}
