// mapc: turns the readable town source into the game's map file, and draws
// a map seen from straight above for the documentation.
//
//   mapc compile SOURCE OUTPUT [--min-floor N]
//   mapc preview MAP TILES.bmp OUTPUT.bmp [--scale N]
//
// The source has a [legend] section, one line per grid character:
//   C  walk=0|1 floor=N height=K side=N upper=N top=N   ; comment
// where N are tile-sheet cells (0-based; the file stores N + 1), `floor` is
// the ground face of a cell without a box, `height` the number of layers a
// raised box fills, `side` its side faces, `upper` the side faces of layers
// above the first (default: `side`) and `top` the face on its top layer.
// Then a [map] section holds the grid, north row first. Text after ';' is a
// comment in the legend only, since ';' could be a grid character.
//
// The compiler drops every face nobody can see: the ground under a box, the
// top of a layer that another layer of the same box covers, and a side that
// touches a neighbour's box of the same layer or the map's border. It
// refuses a map whose floor is split into parts that cannot reach each
// other, walkable boxes, unknown characters and grids over the limits,
// because the game would otherwise strand characters or refuse the file.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The map format is the game's own: its sizes and face order come from the
// loader's header, so the compiler cannot drift from what the game reads.
#include "world/map.h"

namespace {

const int MAX_SIZE = MAP_MAX_SIZE;
const int MAX_LAYERS = MAP_MAX_LAYERS;
const int FACES = FACE_COUNT;
const int HEADER_SIZE = MAP_HEADER_SIZE;
const int CELL = CELL_SIZE;
const int TILES_PER_ROW = 16;
const char HEADER_TEXT[] = "Crimson town map, compiled by mapc";
enum { BOTTOM = FACE_BOTTOM, TOP = FACE_TOP, WEST = FACE_WEST, EAST = FACE_EAST, NORTH = FACE_NORTH, SOUTH = FACE_SOUTH };

struct Legend {
    bool defined = false;
    int walk = 0;
    int floor = -1;
    int height = 0;
    int side = -1;
    int upper = -1;
    int top = -1;
    std::vector<int> alt, side_alt, upper_alt; // occasional variants
    int chance = 4;        // one cell in `chance` shows a variant
    int edge = -1;         // first of 8 edge pieces: N, S, W, E, NW, NE, SW, SE
    std::string edge_of;   // neighbours that make an edge
    int roof = -1;         // north-west corner of a 3 x 3 roof set
    int inner = -1;        // first of 4 inner-corner roof pieces: NW, NE, SW, SE
    int inside = -1;       // side shown toward an indoor neighbour
    int indoor = 0;
};

[[noreturn]] __attribute__((format(printf, 1, 2))) void fail(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    fprintf(stderr, "mapc: ");
    vfprintf(stderr, fmt, ap);
    fprintf(stderr, "\n");
    va_end(ap);
    exit(1);
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

int parse_tile(const std::string& key, const std::string& value)
{
    char* end = nullptr;
    long v = strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != 0) fail("bad number in %s=%s", key.c_str(), value.c_str());
    return (int)v;
}

void parse_legend_line(const std::string& raw, Legend* legend, int line_no)
{
    std::string line = raw.substr(0, raw.find(';'));
    if (trim(line).empty()) return;
    unsigned char ch = (unsigned char)line[0];
    if (ch <= ' ') fail("legend line %d must start with its grid character", line_no);
    Legend& l = legend[ch];
    if (l.defined) fail("character '%c' defined twice (line %d)", ch, line_no);
    l.defined = true;
    std::istringstream in(line.substr(1));
    std::string tok;
    while (in >> tok) {
        size_t eq = tok.find('=');
        if (eq == std::string::npos) fail("expected key=value, got \"%s\" (line %d)", tok.c_str(), line_no);
        std::string key = tok.substr(0, eq);
        std::string value = tok.substr(eq + 1);
        if (key == "edge_of") {
            l.edge_of = value;
            continue;
        }
        if (key == "alt" || key == "side_alt" || key == "upper_alt") {
            std::vector<int>& list = key == "alt" ? l.alt : key == "side_alt" ? l.side_alt : l.upper_alt;
            std::istringstream items(value);
            std::string item;
            while (std::getline(items, item, ',')) {
                int t = parse_tile(key, item);
                if (t < 0 || t > 254) fail("tile %d is outside the sheet's 255 cells (line %d)", t, line_no);
                list.push_back(t);
            }
            continue;
        }
        int v = parse_tile(key, value);
        if (key == "walk") l.walk = v;
        else if (key == "floor") l.floor = v;
        else if (key == "height") l.height = v;
        else if (key == "side") l.side = v;
        else if (key == "upper") l.upper = v;
        else if (key == "top") l.top = v;
        else if (key == "chance") l.chance = v;
        else if (key == "edge") l.edge = v;
        else if (key == "roof") l.roof = v;
        else if (key == "inner") l.inner = v;
        else if (key == "inside") l.inside = v;
        else if (key == "indoor") l.indoor = v;
        else fail("unknown key \"%s\" (line %d)", key.c_str(), line_no);
        if (key != "walk" && key != "height" && key != "chance" && key != "indoor" && (v < 0 || v > 254))
            fail("tile %s is outside the sheet's 255 cells (line %d)", tok.c_str(), line_no);
    }
    if (l.height < 0 || l.height > MAX_LAYERS) fail("height of '%c' must be 0..%d", ch, MAX_LAYERS);
    if (l.walk && l.height > 0) fail("'%c' is walkable but raises a box", ch);
    if (l.upper < 0) l.upper = l.side;
    if (l.chance < 1) fail("chance of '%c' must be at least 1", ch);
}

struct Grid {
    int width = 0, height = 0, layers = 0;
    std::vector<std::string> rows;
};

void read_source(const char* path, Legend* legend, Grid* grid)
{
    std::ifstream in(path);
    if (!in) fail("cannot read %s", path);
    std::string line;
    int section = 0, line_no = 0;
    while (std::getline(in, line)) {
        line_no++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "[legend]") { section = 1; continue; }
        if (line == "[map]") { section = 2; continue; }
        if (section == 1) parse_legend_line(line, legend, line_no);
        else if (section == 2 && !line.empty()) grid->rows.push_back(line);
    }
    if (grid->rows.empty()) fail("%s has no [map] rows", path);
    grid->height = (int)grid->rows.size();
    grid->width = (int)grid->rows[0].size();
    if (grid->width > MAX_SIZE || grid->height > MAX_SIZE) fail("the grid is %d x %d, larger than %d x %d", grid->width, grid->height, MAX_SIZE, MAX_SIZE);
    for (int r = 0; r < grid->height; r++) {
        if ((int)grid->rows[r].size() != grid->width) fail("map row %d is %d wide, not %d", r, (int)grid->rows[r].size(), grid->width);
        for (int c = 0; c < grid->width; c++) {
            unsigned char ch = (unsigned char)grid->rows[r][c];
            if (!legend[ch].defined) fail("map row %d uses '%c', which the legend lacks", r, ch);
            if (legend[ch].height > grid->layers) grid->layers = legend[ch].height;
        }
    }
    if (grid->layers == 0) grid->layers = 1; // room for the ground faces
}

const Legend& at(const Legend* legend, const Grid& g, int c, int r)
{
    return legend[(unsigned char)g.rows[r][c]];
}

// Height of the box at (c, r); the border counts as a wall nobody looks at.
int height_at(const Legend* legend, const Grid& g, int c, int r)
{
    if (c < 0 || r < 0 || c >= g.width || r >= g.height) return MAX_LAYERS + 1;
    return at(legend, g, c, r).height;
}

// 4-neighbour flood fill: characters move axis by axis, so two floor cells
// that only touch at a corner do not connect.
int check_floor(const Legend* legend, const Grid& g, int min_floor)
{
    std::vector<int> seen(g.width * g.height, 0), stack;
    int total = 0, first = -1;
    for (int i = 0; i < g.width * g.height; i++)
        if (at(legend, g, i % g.width, i / g.width).walk) {
            total++;
            if (first < 0) first = i;
        }
    if (total == 0) fail("the map has no floor at all");
    if (total < min_floor) fail("only %d floor cells, at least %d wanted", total, min_floor);
    int reached = 0;
    stack.push_back(first);
    seen[first] = 1;
    while (!stack.empty()) {
        int i = stack.back();
        stack.pop_back();
        reached++;
        int c = i % g.width, r = i / g.width;
        const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; k++) {
            int nc = c + dc[k], nr = r + dr[k];
            if (nc < 0 || nr < 0 || nc >= g.width || nr >= g.height) continue;
            int j = nr * g.width + nc;
            if (seen[j] || !at(legend, g, nc, nr).walk) continue;
            seen[j] = 1;
            stack.push_back(j);
        }
    }
    if (reached != total) {
        for (int i = 0; i < g.width * g.height; i++)
            if (!seen[i] && at(legend, g, i % g.width, i / g.width).walk) {
                char where[64];
                snprintf(where, sizeof where, "column %d, row %d", i % g.width, i / g.width);
                fail("floor at %s cannot be reached from the rest", where);
            }
    }
    return total;
}

unsigned char face_byte(int tile)
{
    return tile < 0 ? 0 : (unsigned char)(tile + 1);
}

// A fixed scramble of a cell's place, so variants are spread without a
// pattern yet come out the same on every build.
unsigned cell_hash(int c, int r, int salt)
{
    unsigned h = (unsigned)c * 73856093u ^ (unsigned)r * 19349663u ^ (unsigned)salt * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

int vary(int base, const std::vector<int>& alts, int chance, int c, int r, int salt)
{
    if (alts.empty()) return base;
    unsigned h = cell_hash(c, r, salt);
    if (h % (unsigned)chance != 0) return base;
    return alts[(h / (unsigned)chance) % alts.size()];
}

bool char_in(const Legend* legend, const Grid& g, int c, int r, const std::string& set)
{
    if (c < 0 || r < 0 || c >= g.width || r >= g.height) return false;
    return set.find(g.rows[r][c]) != std::string::npos;
}

// Ground face: an edge piece where the cell borders one of `edge_of`
// (kerbs along the street), otherwise the floor or now and then a variant.
int floor_tile(const Legend* legend, const Grid& g, int c, int r)
{
    const Legend& l = at(legend, g, c, r);
    if (l.edge >= 0) {
        bool n = char_in(legend, g, c, r - 1, l.edge_of), s = char_in(legend, g, c, r + 1, l.edge_of);
        bool w = char_in(legend, g, c - 1, r, l.edge_of), e = char_in(legend, g, c + 1, r, l.edge_of);
        if (n && w) return l.edge + 4;
        if (n && e) return l.edge + 5;
        if (s && w) return l.edge + 6;
        if (s && e) return l.edge + 7;
        if (n) return l.edge;
        if (s) return l.edge + 1;
        if (w) return l.edge + 2;
        if (e) return l.edge + 3;
    }
    return vary(l.floor, l.alt, l.chance, c, r, 1);
}

// Whether (c, r) belongs to the same roof as `l`: a box of the same height
// under the same roof set.
bool same_roof(const Legend* legend, const Grid& g, const Legend& l, int c, int r)
{
    if (c < 0 || r < 0 || c >= g.width || r >= g.height) return false;
    const Legend& o = at(legend, g, c, r);
    return o.roof == l.roof && o.height == l.height;
}

// Top face: roofs pick the piece of their 3 x 3 set whose parapet follows
// the roof's outline, with inner corners where an L turns.
int top_tile(const Legend* legend, const Grid& g, int c, int r)
{
    const Legend& l = at(legend, g, c, r);
    if (l.roof < 0) return l.top;
    bool n = same_roof(legend, g, l, c, r - 1), s = same_roof(legend, g, l, c, r + 1);
    bool w = same_roof(legend, g, l, c - 1, r), e = same_roof(legend, g, l, c + 1, r);
    int row = !n ? 0 : !s ? 2 : 1;
    int column = !w ? 0 : !e ? 2 : 1;
    if (row == 1 && column == 1 && l.inner >= 0) {
        if (!same_roof(legend, g, l, c - 1, r - 1)) return l.inner;
        if (!same_roof(legend, g, l, c + 1, r - 1)) return l.inner + 1;
        if (!same_roof(legend, g, l, c - 1, r + 1)) return l.inner + 2;
        if (!same_roof(legend, g, l, c + 1, r + 1)) return l.inner + 3;
    }
    return l.roof + row * TILES_PER_ROW + column;
}

// Side face `k` (west, east, north, south) of `layer`: the indoor finish
// toward a room, otherwise the wall of that storey or now and then a variant.
int side_tile(const Legend* legend, const Grid& g, int c, int r, int layer, int k, int nc, int nr)
{
    const Legend& l = at(legend, g, c, r);
    bool toward_room = nc >= 0 && nr >= 0 && nc < g.width && nr < g.height && at(legend, g, nc, nr).indoor;
    if (toward_room && l.inside >= 0) return l.inside;
    if (layer == 0) return vary(l.side, l.side_alt, l.chance, c, r, 10 + k);
    return vary(l.upper, l.upper_alt, l.chance, c, r, 20 + 4 * layer + k);
}

int compile(const char* source, const char* output, int min_floor)
{
    static Legend legend[256];
    Grid g;
    read_source(source, legend, &g);
    int floor_cells = check_floor(legend, g, min_floor);

    std::vector<unsigned char> out(HEADER_SIZE, 0);
    memcpy(out.data(), HEADER_TEXT, sizeof HEADER_TEXT - 1);
    out.push_back((unsigned char)g.width);
    out.push_back((unsigned char)g.height);
    out.push_back((unsigned char)g.layers);
    const int dc[4] = {-1, 1, 0, 0}, dr[4] = {0, 0, -1, 1}; // west, east, north, south
    for (int r = 0; r < g.height; r++)
        for (int c = 0; c < g.width; c++) {
            const Legend& l = at(legend, g, c, r);
            for (int layer = 0; layer < g.layers; layer++) {
                unsigned char rec[FACES] = {0};
                if (l.height == 0 && layer == 0) rec[BOTTOM] = face_byte(floor_tile(legend, g, c, r));
                if (layer < l.height) {
                    if (layer == l.height - 1) rec[TOP] = face_byte(top_tile(legend, g, c, r));
                    for (int k = 0; k < 4; k++)
                        if (height_at(legend, g, c + dc[k], r + dr[k]) <= layer)
                            rec[WEST + k] = face_byte(side_tile(legend, g, c, r, layer, k, c + dc[k], r + dr[k]));
                }
                out.insert(out.end(), rec, rec + FACES);
            }
            out.push_back(l.walk ? 1 : 0);
        }
    FILE* f = fopen(output, "wb");
    if (!f || fwrite(out.data(), 1, out.size(), f) != out.size() || fclose(f) != 0)
        fail("cannot write %s", output);
    printf("mapc: %s: %d x %d cells, %d layers, %d floor cells, %zu bytes\n", output, g.width,
           g.height, g.layers, floor_cells, out.size());
    return 0;
}

// --- preview ---

struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb; // top row first
};

unsigned rd32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (unsigned)p[3] << 24; }
unsigned rd16(const unsigned char* p) { return p[0] | p[1] << 8; }

std::vector<unsigned char> read_all(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read %s", path);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Uncompressed 24-bit Windows bitmaps only, which is what the sheets are.
Image read_bmp(const char* path)
{
    std::vector<unsigned char> d = read_all(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') fail("%s is not a bitmap", path);
    unsigned offset = rd32(&d[10]);
    int w = (int)rd32(&d[18]), h = (int)rd32(&d[22]);
    bool top_down = h < 0;
    if (top_down) h = -h;
    if (rd16(&d[28]) != 24 || rd32(&d[30]) != 0) fail("%s is not an uncompressed 24-bit bitmap", path);
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) fail("%s has a strange size", path);
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    if (offset > d.size() || d.size() - offset < stride * h) fail("%s is cut short", path);
    Image img;
    img.w = w;
    img.h = h;
    img.rgb.resize((size_t)w * h * 3);
    for (int y = 0; y < h; y++) {
        const unsigned char* row = &d[offset + stride * (top_down ? y : h - 1 - y)];
        for (int x = 0; x < w; x++) {
            img.rgb[(y * w + x) * 3 + 0] = row[x * 3 + 2];
            img.rgb[(y * w + x) * 3 + 1] = row[x * 3 + 1];
            img.rgb[(y * w + x) * 3 + 2] = row[x * 3 + 0];
        }
    }
    return img;
}

void write_bmp(const char* path, const Image& img)
{
    size_t stride = ((size_t)img.w * 3 + 3) & ~(size_t)3;
    std::vector<unsigned char> d(54 + stride * img.h, 0);
    auto w32 = [&](size_t at, unsigned v) { for (int i = 0; i < 4; i++) d[at + i] = (unsigned char)(v >> (8 * i)); };
    d[0] = 'B';
    d[1] = 'M';
    w32(2, (unsigned)d.size());
    w32(10, 54);
    w32(14, 40);
    w32(18, (unsigned)img.w);
    w32(22, (unsigned)img.h);
    d[26] = 1;
    d[28] = 24;
    w32(34, (unsigned)(stride * img.h));
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            unsigned char* p = &d[54 + stride * (img.h - 1 - y) + x * 3];
            const unsigned char* s = &img.rgb[(y * img.w + x) * 3];
            p[0] = s[2];
            p[1] = s[1];
            p[2] = s[0];
        }
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(d.data(), 1, d.size(), f) != d.size() || fclose(f) != 0) fail("cannot write %s", path);
}

// Copies sheet cell `tile` over the 32 x 32 square at (x, y), leaving the
// magenta (transparent) pixels alone.
void blit_tile(Image* out, const Image& tiles, int tile, int x, int y)
{
    int sx = (tile % TILES_PER_ROW) * CELL, sy = (tile / TILES_PER_ROW) * CELL;
    if (sx + CELL > tiles.w || sy + CELL > tiles.h) return;
    for (int j = 0; j < CELL; j++)
        for (int i = 0; i < CELL; i++) {
            const unsigned char* s = &tiles.rgb[((sy + j) * tiles.w + sx + i) * 3];
            if (s[0] == 255 && s[1] == 0 && s[2] == 255) continue;
            memcpy(&out->rgb[((y + j) * out->w + x + i) * 3], s, 3);
        }
}

int preview(const char* map_path, const char* tiles_path, const char* output, int scale)
{
    std::vector<unsigned char> m = read_all(map_path);
    if (m.size() < MAP_DATA_OFFSET) fail("%s is too short", map_path);
    int w = m[HEADER_SIZE], h = m[HEADER_SIZE + 1], layers = m[HEADER_SIZE + 2];
    size_t cell_bytes = (size_t)FACES * layers + 1;
    if (m.size() < MAP_DATA_OFFSET + (size_t)w * h * cell_bytes) fail("%s is cut short", map_path);
    Image tiles = read_bmp(tiles_path);
    Image img;
    img.w = w * CELL;
    img.h = h * CELL;
    img.rgb.assign((size_t)img.w * img.h * 3, 0);
    std::vector<int> top_layer(w * h, -1);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            const unsigned char* cell = &m[MAP_DATA_OFFSET + ((size_t)r * w + c) * cell_bytes];
            // Bottom-up, so what is higher covers what is lower, as seen
            // from straight above.
            for (int l = 0; l < layers; l++) {
                const unsigned char* rec = cell + l * FACES;
                if (rec[BOTTOM]) blit_tile(&img, tiles, rec[BOTTOM] - 1, c * CELL, r * CELL);
                if (rec[TOP]) {
                    blit_tile(&img, tiles, rec[TOP] - 1, c * CELL, r * CELL);
                    top_layer[r * w + c] = l;
                }
            }
        }
    // Light from the top left: a box casts a shadow a quarter cell long per
    // layer over the lower cells to its south-east.
    std::vector<unsigned char> shade((size_t)img.w * img.h, 0);
    for (int r = 0; r < h; r++)
        for (int c = 0; c < w; c++) {
            int hgt = top_layer[r * w + c] + 1;
            if (hgt <= 0) continue;
            int len = hgt * CELL / 4;
            for (int y = r * CELL + len; y < (r + 1) * CELL + len && y < img.h; y++)
                for (int x = c * CELL + len; x < (c + 1) * CELL + len && x < img.w; x++) {
                    int cc = x / CELL, rr = y / CELL;
                    if (top_layer[rr * w + cc] + 1 < hgt) shade[(size_t)y * img.w + x] = 1;
                }
        }
    for (size_t i = 0; i < shade.size(); i++)
        if (shade[i])
            for (int k = 0; k < 3; k++) img.rgb[i * 3 + k] = (unsigned char)(img.rgb[i * 3 + k] * 5 / 10);
    if (scale > 1) {
        Image small;
        small.w = img.w / scale;
        small.h = img.h / scale;
        small.rgb.resize((size_t)small.w * small.h * 3);
        for (int y = 0; y < small.h; y++)
            for (int x = 0; x < small.w; x++)
                for (int k = 0; k < 3; k++) {
                    int sum = 0;
                    for (int j = 0; j < scale; j++)
                        for (int i = 0; i < scale; i++)
                            sum += img.rgb[(((size_t)y * scale + j) * img.w + x * scale + i) * 3 + k];
                    small.rgb[((size_t)y * small.w + x) * 3 + k] = (unsigned char)(sum / (scale * scale));
                }
        img = small;
    }
    write_bmp(output, img);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && strcmp(argv[1], "compile") == 0) {
        int min_floor = 1;
        for (int i = 4; i + 1 < argc; i += 2)
            if (strcmp(argv[i], "--min-floor") == 0) min_floor = atoi(argv[i + 1]);
        return compile(argv[2], argv[3], min_floor);
    }
    if (argc >= 5 && strcmp(argv[1], "preview") == 0) {
        int scale = 1;
        for (int i = 5; i + 1 < argc; i += 2)
            if (strcmp(argv[i], "--scale") == 0) scale = atoi(argv[i + 1]);
        if (scale < 1) scale = 1;
        return preview(argv[2], argv[3], argv[4], scale);
    }
    fprintf(stderr, "usage: mapc compile SOURCE OUTPUT [--min-floor N]\n"
                    "       mapc preview MAP TILES.bmp OUTPUT.bmp [--scale N]\n");
    return 2;
}
