// Measures the game's screenshots and its written sound for the end-to-end
// scripts, so that they need nothing beyond the build itself.
//
//   picture_tool lit FILE X0 Y0 X1 Y1 [LEVEL]
//       pixels of the region whose brightest channel is above LEVEL (24)
//   picture_tool mean FILE X0 Y0 X1 Y1
//       mean red, green and blue of the region
//   picture_tool diff FILE_A FILE_B X0 Y0 X1 Y1 [TOLERANCE]
//       pixels of the region where a channel differs by more than TOLERANCE (16)
//   picture_tool rms FILE [FROM_BYTE [TO_BYTE]]
//       root mean square of 16-bit little-endian samples in the byte range
//
// Regions are inclusive, in picture pixels with the origin at the top left
// (as the game's screen). Pictures are 24-bit uncompressed bitmaps, whichever
// way their rows are stored. Every result is one number on standard output;
// a file that cannot be read or has another format exits with code 2.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../test_bytes.h"

using picture = Bitmap; // top row first, 3 bytes a pixel

static void die(const char* what, const char* name)
{
    fprintf(stderr, "picture_tool: %s: %s\n", name, what);
    exit(2);
}

static std::vector<uint8_t> read_file(const char* name)
{
    FILE* f = fopen(name, "rb");
    if (!f)
        die("cannot open", name);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

static picture load_bmp(const char* name)
{
    picture p = read_bmp(read_file(name));
    if (p.w == 0)
        die("not an uncompressed 24-bit bitmap of its exact size", name);
    return p;
}

struct region {
    int x0, y0, x1, y1;
};

static region parse_region(char** arg, const picture& p)
{
    region r{atoi(arg[0]), atoi(arg[1]), atoi(arg[2]), atoi(arg[3])};
    if (r.x0 < 0 || r.y0 < 0 || r.x1 >= p.w || r.y1 >= p.h || r.x0 > r.x1 || r.y0 > r.y1) {
        fprintf(stderr, "picture_tool: region %d %d %d %d outside %d x %d\n", r.x0, r.y0, r.x1,
                r.y1, p.w, p.h);
        exit(2);
    }
    return r;
}

static const uint8_t* pixel(const picture& p, int x, int y)
{
    return &p.rgb[((size_t)y * p.w + x) * 3];
}

static int count_lit(int argc, char** argv)
{
    if (argc < 7)
        return 2;
    picture p = load_bmp(argv[2]);
    region r = parse_region(argv + 3, p);
    int level = argc > 7 ? atoi(argv[7]) : 24;
    long lit = 0;
    for (int y = r.y0; y <= r.y1; y++)
        for (int x = r.x0; x <= r.x1; x++) {
            const uint8_t* c = pixel(p, x, y);
            if (c[0] > level || c[1] > level || c[2] > level)
                lit++;
        }
    printf("%ld\n", lit);
    return 0;
}

static int mean_colour(int argc, char** argv)
{
    if (argc < 7)
        return 2;
    picture p = load_bmp(argv[2]);
    region r = parse_region(argv + 3, p);
    double sum[3] = {0, 0, 0};
    long count = 0;
    for (int y = r.y0; y <= r.y1; y++)
        for (int x = r.x0; x <= r.x1; x++, count++)
            for (int i = 0; i < 3; i++)
                sum[i] += pixel(p, x, y)[i];
    printf("%d %d %d\n", (int)lround(sum[0] / count), (int)lround(sum[1] / count),
           (int)lround(sum[2] / count));
    return 0;
}

static int count_differences(int argc, char** argv)
{
    if (argc < 8)
        return 2;
    picture a = load_bmp(argv[2]);
    picture b = load_bmp(argv[3]);
    if (a.w != b.w || a.h != b.h)
        die("pictures differ in size", argv[3]);
    region r = parse_region(argv + 4, a);
    int tolerance = argc > 8 ? atoi(argv[8]) : 16;
    long differing = 0;
    for (int y = r.y0; y <= r.y1; y++)
        for (int x = r.x0; x <= r.x1; x++) {
            const uint8_t* ca = pixel(a, x, y);
            const uint8_t* cb = pixel(b, x, y);
            for (int i = 0; i < 3; i++)
                if (abs(ca[i] - cb[i]) > tolerance) {
                    differing++;
                    break;
                }
        }
    printf("%ld\n", differing);
    return 0;
}

static int sound_level(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::vector<uint8_t> b = read_file(argv[2]);
    size_t from = argc > 3 ? strtoull(argv[3], nullptr, 10) : 0;
    size_t to = argc > 4 ? strtoull(argv[4], nullptr, 10) : b.size();
    if (to > b.size())
        to = b.size();
    from &= ~(size_t)1;
    double sum = 0;
    size_t count = 0;
    for (size_t i = from; i + 1 < to; i += 2, count++) {
        int16_t s = (int16_t)(b[i] | b[i + 1] << 8);
        sum += (double)s * s;
    }
    printf("%d\n", count ? (int)lround(sqrt(sum / count)) : 0);
    return 0;
}

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    int rc = 2;
    if (command == "lit")
        rc = count_lit(argc, argv);
    else if (command == "mean")
        rc = mean_colour(argc, argv);
    else if (command == "diff")
        rc = count_differences(argc, argv);
    else if (command == "rms")
        rc = sound_level(argc, argv);
    if (rc == 2)
        fprintf(stderr, "usage: picture_tool lit|mean|diff|rms ... (see picture_tool.cpp)\n");
    return rc;
}
