// Index of the map tile sheet "gfx/tiles.bmp": 32 x 32 cells, 16 a row,
// numbered row by row from the top left. A map face byte n shows cell n - 1.
//
// Floors (bottom faces at ground level; seamless with their own kind):
//     0 asphalt              1 asphalt, worn       2 asphalt, cracked
//     3 asphalt, patched     4 dashed line N-S     5 dashed line E-W
//     6 zebra bars N-S       7 zebra bars E-W      8 manhole cover
//     9 drain grate         10 edge line west     11 edge line east
//    12 edge line north     13 edge line south    14 oil and tyre marks
//    15 asphalt, dried blood
//    16 paving slabs        17 slabs, cracked     18 slabs, litter
//    19 kerb north          20 kerb south         21 kerb west
//    22 kerb east           23 kerb north+west    24 kerb north+east
//    25 kerb south+west     26 kerb south+east    27 slabs under a lamp
//    28 cobbles             29 brick plaza        30 gravel
//    31 concrete
//    32 grass               33 grass, dark        34 grass, flowers
//    35 grass, leaves       36 dirt               37 dirt path N-S
//    38 dirt path E-W       39 flower bed         44 sand
//    45 stones
//    48 planks N-S          49 planks E-W         50 parquet
//    51 black/white tiles   52 bathroom tiles     53 kitchen tiles
//    54 red carpet          55 green carpet       56 warehouse concrete
//    57 linoleum            58 doormat            59 planks N-S, bloody
//    60 black/white, bloody 61 rug                62 stone flags
//    63 steel plate
// Sides of raised blocks (the picture's top row is the top of the wall):
//    64 brick               65 brick, lit window  66 brick, dark window
//    67 brick, door         68 concrete           69 concrete, lit window
//    70 concrete, dark win. 71 concrete, steel door 72 shop front, lit
//    73 garage shutter      74 plaster            75 plaster, lit window
//    76 plaster, dark win.  77 brick, graffiti    78 brick, poster
//    79 chain-link fence (see-through: the holes are transparent)
//    41 hedge side          43 tree bark          47 crate side
//   105 wallpaper          106 wallpaper, picture 107 bathroom wall
//   108 painted wall       109 interior door     110 wood panelling
//   111 bookshelf          124 chimney brick     127 dumpster side
// Tops of raised blocks. Each roof comes as a 3 x 3 set laid out on the
// sheet as it is on the map (corner, edge, corner / edge, middle, edge /
// corner, edge, corner); the parapet runs along the outer sides:
//    tar roof      80  81  82 /  96  97  98 / 112 113 114
//    gravel roof   83  84  85 /  99 100 101 / 115 116 117
//    tiled roof    86  87  88 / 102 103 104 / 118 119 120
//    89 roof vent    90 air conditioner   91 skylight, lit   92 roof hatch
//    93 concrete wall cap   94 black (unlit void)   95 brick wall cap
//   121 tar roof, puddle  122 steel roof    123 chimney top
//   125 metal roof sheet  126 dumpster lid   40 hedge top   42 tree crown
//    46 crate top
// Inner corners of the roofs, for L-shaped blocks: a stub of parapet in one
// corner (north-west, north-east, south-west, south-east):
//   tar roof 160-163     gravel roof 164-167     tiled roof 168-171
// More floors: 172 slabs, puddle   173 slabs, leaves   174 slabs, blood smear
//   175 asphalt, puddle
// More sides: 176 wooden fence   177 brick, boarded window
//   178 brick, broken window   179 brick, drainpipe   180 concrete, graffiti
//   181 plaster, blood splash
// Props that stand as blocks of their own:
//   182 asphalt, parking bay line N-S (a floor)   183 stone threshold (a floor)
//   184 counter or pew top, plain   191 desk top with papers and a mug
//   185 small car, top (bonnet north)
//   186 small car, side   187 oil drum, side   188 tree crown over grass (top)
//   189 dressed stone with a plaque (side)   190 bronze statue from above (top)
// Animated loops (place only the first cell; the game steps through 8):
//   128 water (a floor)   136 fire on charred ground (a floor)
//   144 brick wall with a blinking neon "BAR" sign (a side face)
//   152 brick wall with a window lit by a flickering television (a side face)
#ifndef GFXGEN_TILES_H
#define GFXGEN_TILES_H
#endif
