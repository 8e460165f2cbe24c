// gfxgen: makes every picture of the game from source.
//
//   gfxgen [--fonts DIR] --out DIR             the 17 archive pictures (BMP)
//   gfxgen [--fonts DIR] --contact-sheet FILE  every picture on one labelled
//                                              sheet (.png or .bmp by name)
//   gfxgen [--fonts DIR] --tile-index FILE     the tile sheet doubled, with
//                                              each cell's index written on it
//   gfxgen --icons DIR                         desktop icons, PNG, 16..256
//
// Output is the same bytes on every run: all randomness is seeded here.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fonts.h"
#include "pictures.h"

struct Picture {
    const char* name; // member name below gfx/, without ".bmp"
    Image image;
    int zoom;   // magnification on the contact sheet
    int zoom_x; // horizontal magnification, when it differs
};

static std::vector<Picture> make_all()
{
    Image font = make_font_sheet();
    std::vector<Picture> all;
    all.push_back({"font", font, 2, 2});
    all.push_back({"harrowkiln", make_splash(font), 1, 1});
    all.push_back({"logo", make_logo(), 1, 1});
    all.push_back({"background", make_background(), 2, 2});
    all.push_back({"crosshair", make_crosshair(), 3, 3});
    all.push_back({"scoreboard", make_scoreboard(), 2, 160});
    all.push_back({"bar", make_bar(), 3, 3});
    all.push_back({"bar2", make_bar2(), 2, 2});
    all.push_back({"tiles", make_tiles(font), 1, 1});
    all.push_back({"characters", make_characters(), 2, 2});
    all.push_back({"items", make_items(), 4, 4});
    all.push_back({"bullet", make_bullet(), 4, 4});
    all.push_back({"spawn", make_spawn(), 2, 2});
    all.push_back({"gunfire", make_gunfire(), 4, 4});
    all.push_back({"ricochet", make_ricochet(), 3, 3});
    all.push_back({"blood", make_blood(), 3, 3});
    all.push_back({"messages", make_messages(font), 1, 1});
    return all;
}

static bool ends_with(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

static void save(const Image& im, const std::string& path)
{
    if (ends_with(path, ".png")) write_png(im, path, false);
    else write_bmp(im, path);
}

// Transparent pixels shown as a dark checkerboard, so the cut of every
// sprite can be judged.
static void blit_on_checker(Image& dst, const Image& src, int x0, int y0, int zoom, int zoom_x)
{
    for (int y = 0; y < src.h * zoom; y++)
        for (int x = 0; x < src.w * zoom_x; x++) {
            Rgb c = get_px(src, x / zoom_x, y / zoom);
            if (same_colour(c, MAGENTA)) c = ((x / 8 + y / 8) % 2) ? Rgb{58, 58, 66} : Rgb{46, 46, 52};
            put_px(dst, x0 + x, y0 + y, c);
        }
}

static std::string label_of(const Picture& p, int id)
{
    char label[96];
    std::snprintf(label, sizeof label, "%d gfx/%s.bmp %dx%d x%d", id, p.name, p.image.w, p.image.h, p.zoom);
    return label;
}

static int label_length(const Picture& p) { return (int)label_of(p, 10).size(); }

static Image contact_sheet(const std::vector<Picture>& all, const Image& font)
{
    const int W = 1360, GAP = 14, LABEL = 18;
    // Shelf layout in the order of the texture table.
    struct Place { int x, y; };
    std::vector<Place> places;
    int x = GAP, y = GAP + 24, shelf = 0;
    for (const Picture& p : all) {
        int w = std::max(p.image.w * p.zoom_x, 8 * label_length(p)), h = p.image.h * p.zoom + LABEL;
        if (x + w > W - GAP) {
            x = GAP;
            y += shelf + GAP;
            shelf = 0;
        }
        places.push_back({x, y});
        x += w + GAP;
        shelf = std::max(shelf, h);
    }
    int H = y + shelf + GAP;
    Image sheet = make_image(W, H, {24, 22, 26});
    draw_small_text(sheet, font, GAP, GAP, "CRIMSON LUNATIC OUTBREAK - every picture of assets.bin (texture id, member, size, zoom)",
                    {230, 200, 190});
    for (size_t i = 0; i < all.size(); i++) {
        const Picture& p = all[i];
        std::string label = label_of(p, (int)i);
        draw_small_text(sheet, font, places[i].x, places[i].y, label, {200, 200, 210});
        blit_on_checker(sheet, p.image, places[i].x, places[i].y + LABEL, p.zoom, p.zoom_x);
    }
    return sheet;
}

static Image tile_index(const Image& tiles, const Image& font)
{
    const int Z = 2, C = 32 * Z;
    Image out = make_image(16 * C, 16 * C, {0, 0, 0});
    blit_on_checker(out, tiles, 0, 0, Z, Z);
    for (int i = 0; i < 256; i++) {
        std::string s = std::to_string(i);
        int x = (i % 16) * C + 1, y = (i / 16) * C + 1;
        fill_rect(out, x - 1, y - 1, 8 * (int)s.size() + 3, 15, {0, 0, 0});
        draw_small_text(out, font, x, y - 2, s, {255, 240, 120});
    }
    for (int k = 0; k <= 16; k++) {
        fill_rect(out, k * C - (k == 16), 0, 1, 16 * C, {0, 0, 0});
        fill_rect(out, 0, k * C - (k == 16), 16 * C, 1, {0, 0, 0});
    }
    return out;
}

// A corner of a town laid out flat from the tiles, with figures and effects
// on it: the quickest way to judge whether the pieces belong together.
static Image mockup(const std::vector<Picture>& all)
{
    // Legend: one letter per tile, rows north to south.
    static const char* MAP[] = {
        "AAAAAAAAAAAAAAAAAAAAAAAA",
        "aaaaaaaaaaaaaaaaaaaaaaaa",
        "psssssssssssspssssssssss",
        "..123..........rrrrr....",
        "..456....ggggg.rrrrr..w.",
        "..789....gWWWg.rrrrr....",
        "..........gggg..........",
        "qqqqqqqqqqqqqqqqqqqqqqqq",
        "hhhhhhhhhhhhzhhhhhhhhhhh",
        "mmmmmmmmmmmmZmmmmmmmmmmm",
        "hhhhhhhhhhhhzhhhhhhhhhhh",
        "pppppppppppppppppppppppp",
        "..FFFF...kkkkkk..cccc...",
        "..FFFF...kkkkkk..cccc...",
    };
    const int rows = sizeof MAP / sizeof MAP[0], cols = 24;
    const Image& tiles = all[8].image;
    Image out = make_image(cols * 32, rows * 32, {0, 0, 0});
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < cols; c++) {
            int t = 0;
            switch (MAP[r][c]) {
            case 'A': t = 97; break;           // tar roof
            case 'a': t = 113; break;          // its south parapet
            case 'p': t = 16 + (c * 7 + r) % 3; break;
            case 's': t = 19; break;           // kerb north? no: pavement edge
            case '.': t = 16; break;
            case '1': t = 80; break; case '2': t = 81; break; case '3': t = 82; break;
            case '4': t = 96; break; case '5': t = 89; break; case '6': t = 98; break;
            case '7': t = 112; break; case '8': t = 113; break; case '9': t = 114; break;
            case 'r': t = 103; break;
            case 'g': t = 32 + (c + r) % 3; break;
            case 'W': t = 128 + c % 8; break;
            case 'w': t = 27; break;
            case 'q': t = 20; break;           // kerb south
            case 'h': t = (c % 5 == 0) ? 1 : 0; break;
            case 'm': t = 5; break;
            case 'z': t = 6; break;
            case 'Z': t = 6; break;
            case 'F': t = 136 + (c + r) % 8; break;
            case 'k': t = 48; break;
            case 'c': t = 51; break;
            }
            blit_rect(out, c * 32, r * 32, tiles, (t % 16) * 32, (t / 16) * 32, 32, 32);
        }
    const Image& ch = all[9].image;
    const Image& blood = all[15].image;
    struct Put { int sheet, col, row, x, y, deg; };
    const Put puts[] = {
        {15, 0, 0, 300, 250, 0},  {15, 2, 0, 330, 262, 90}, {9, 9, 1, 290, 230, 40}, {9, 5, 0, 360, 250, 300},
        {9, 1, 1, 200, 300, 120}, {9, 3, 1, 520, 270, 200}, {9, 6, 2, 430, 180, 250}, {9, 7, 2, 600, 340, 270},
        {9, 0, 1, 100, 380, 10},  {9, 9, 2, 640, 220, 160}, {10, 0, 0, 150, 200, 0},  {10, 1, 0, 470, 400, 0},
    };
    for (const Put& p : puts) {
        const Image& src = p.sheet == 9 ? ch : (p.sheet == 15 ? blood : all[10].image);
        int cell = p.sheet == 9 ? 64 : (p.sheet == 15 ? 32 : 24);
        float a = p.deg * 0.017453292f, ca = std::cos(a), sa = std::sin(a);
        // Shadow first, as the game draws it: the body in black, offset.
        for (int pass = 0; pass < 2; pass++) {
            int off = (p.sheet == 9 && pass == 0) ? 6 : 0;
            if (p.sheet != 9 && pass == 0) continue;
            for (int y = 0; y < cell; y++)
                for (int x = 0; x < cell; x++) {
                    float dx = x + 0.5f - cell / 2.0f, dy = y + 0.5f - cell / 2.0f;
                    int sx = (int)std::floor(dx * ca + dy * sa + cell / 2.0f);
                    int sy = (int)std::floor(-dx * sa + dy * ca + cell / 2.0f);
                    if (sx < 0 || sy < 0 || sx >= cell || sy >= cell) continue;
                    Rgb c = get_px(src, p.col * cell + sx, p.row * cell + sy);
                    if (same_colour(c, MAGENTA)) continue;
                    int ox = p.x + x + off, oy = p.y + y + off;
                    put_px(out, ox, oy, pass == 0 ? scale(get_px(out, ox, oy), 0.45f) : c);
                }
        }
    }
    return out;
}

static void usage()
{
    std::fprintf(stderr, "usage: gfxgen [--fonts DIR] (--out DIR | --contact-sheet FILE | --tile-index FILE | --icons DIR)\n");
    std::exit(2);
}

int main(int argc, char** argv)
{
    std::string out_dir, sheet_path, index_path, icon_dir, mock_path;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (i + 1 >= argc) usage();
        std::string v = argv[++i];
        if (a == "--fonts") font_dir = v;
        else if (a == "--out") out_dir = v;
        else if (a == "--contact-sheet") sheet_path = v;
        else if (a == "--tile-index") index_path = v;
        else if (a == "--icons") icon_dir = v;
        else if (a == "--mockup") mock_path = v;
        else usage();
    }
    if (out_dir.empty() && sheet_path.empty() && index_path.empty() && icon_dir.empty() && mock_path.empty()) usage();
    if (!icon_dir.empty()) {
        for (int size : {16, 32, 48, 64, 128, 256})
            write_png(make_icon(size), icon_dir + "/crimson_" + std::to_string(size) + ".png", true);
    }
    if (out_dir.empty() && sheet_path.empty() && index_path.empty() && mock_path.empty()) return 0;
    std::vector<Picture> all = make_all();
    for (const Picture& p : all) {
        for (int y = 0; y < p.image.h; y++)
            for (int x = 0; x < p.image.w; x++) {
                Rgb c = get_px(p.image, x, y);
                if (!same_colour(c, MAGENTA) && near_magenta(c)) {
                    std::fprintf(stderr, "gfxgen: %s has a colour near the transparent key at %d,%d\n", p.name, x, y);
                    return 1;
                }
            }
        if (!out_dir.empty()) write_bmp(p.image, out_dir + "/" + p.name + ".bmp");
    }
    if (!sheet_path.empty()) save(contact_sheet(all, all[0].image), sheet_path);
    if (!index_path.empty()) save(tile_index(all[8].image, all[0].image), index_path);
    if (!mock_path.empty()) save(mockup(all), mock_path);
    return 0;
}
