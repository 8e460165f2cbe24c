#include "raster.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const Rgb MAGENTA = {255, 0, 255};

static int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

Rgb rgb(int r, int g, int b) { return {clamp255(r), clamp255(g), clamp255(b)}; }

Rgb mix(Rgb a, Rgb b, float t)
{
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    return rgb((int)std::lround(a.r + (b.r - a.r) * t), (int)std::lround(a.g + (b.g - a.g) * t),
               (int)std::lround(a.b + (b.b - a.b) * t));
}

Rgb scale(Rgb c, float f)
{
    return rgb((int)std::lround(c.r * f), (int)std::lround(c.g * f), (int)std::lround(c.b * f));
}

Rgb add(Rgb c, int d) { return rgb(c.r + d, c.g + d, c.b + d); }

bool same_colour(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// The band shared with the asset test: red and blue both high while green is
// low reads as the key colour on screen.
bool near_magenta(Rgb c) { return c.r >= 160 && c.b >= 160 && c.g <= 96; }

Image make_image(int w, int h, Rgb fill)
{
    Image im;
    im.w = w;
    im.h = h;
    im.px.resize((size_t)w * h * 3);
    for (size_t i = 0; i < (size_t)w * h; i++) {
        im.px[i * 3] = (uint8_t)fill.r;
        im.px[i * 3 + 1] = (uint8_t)fill.g;
        im.px[i * 3 + 2] = (uint8_t)fill.b;
    }
    return im;
}

bool in_image(const Image& im, int x, int y) { return x >= 0 && y >= 0 && x < im.w && y < im.h; }

Rgb get_px(const Image& im, int x, int y)
{
    if (!in_image(im, x, y)) return MAGENTA;
    const uint8_t* p = &im.px[((size_t)y * im.w + x) * 3];
    return {p[0], p[1], p[2]};
}

void put_px(Image& im, int x, int y, Rgb c)
{
    if (!in_image(im, x, y)) return;
    c = rgb(c.r, c.g, c.b);
    if (!same_colour(c, MAGENTA) && near_magenta(c)) {
        // Keep the hue but drop blue well clear of the key band.
        c.b = 150;
    }
    uint8_t* p = &im.px[((size_t)y * im.w + x) * 3];
    p[0] = (uint8_t)c.r;
    p[1] = (uint8_t)c.g;
    p[2] = (uint8_t)c.b;
}

bool is_key(const Image& im, int x, int y) { return same_colour(get_px(im, x, y), MAGENTA); }

bool is_ink(const Image& im, int x, int y) { return in_image(im, x, y) && !is_key(im, x, y); }

void fill_rect(Image& im, int x, int y, int w, int h, Rgb c)
{
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) put_px(im, i, j, c);
}

void fill_ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c)
{
    fill_ellipse_rot(im, cx, cy, rx, ry, 0, c);
}

void fill_ellipse_rot(Image& im, float cx, float cy, float rx, float ry, float deg, Rgb c)
{
    if (rx <= 0 || ry <= 0) return;
    float a = deg * 0.017453292f, ca = std::cos(a), sa = std::sin(a);
    float r = std::max(rx, ry);
    for (int y = (int)std::floor(cy - r - 1); y <= (int)std::ceil(cy + r + 1); y++)
        for (int x = (int)std::floor(cx - r - 1); x <= (int)std::ceil(cx + r + 1); x++) {
            // Pixel centres, so a radius of 0.5 marks exactly one pixel.
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
            if ((u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0f) put_px(im, x, y, c);
        }
}

void fill_polygon(Image& im, const float* xy, int n, Rgb c)
{
    float miny = 1e9f, maxy = -1e9f;
    for (int i = 0; i < n; i++) {
        miny = std::min(miny, xy[i * 2 + 1]);
        maxy = std::max(maxy, xy[i * 2 + 1]);
    }
    std::vector<float> xs;
    for (int y = (int)std::floor(miny); y <= (int)std::ceil(maxy); y++) {
        float sy = y + 0.5f;
        xs.clear();
        for (int i = 0; i < n; i++) {
            float x0 = xy[i * 2], y0 = xy[i * 2 + 1];
            float x1 = xy[((i + 1) % n) * 2], y1 = xy[((i + 1) % n) * 2 + 1];
            if ((y0 <= sy && y1 > sy) || (y1 <= sy && y0 > sy)) xs.push_back(x0 + (sy - y0) / (y1 - y0) * (x1 - x0));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2)
            for (int x = (int)std::ceil(xs[k] - 0.5f); x < (int)std::ceil(xs[k + 1] - 0.5f); x++) put_px(im, x, y, c);
    }
}

void draw_line(Image& im, float x0, float y0, float x1, float y1, float width, Rgb c)
{
    float dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
    float hw = width * 0.5f;
    int minx = (int)std::floor(std::min(x0, x1) - hw - 1), maxx = (int)std::ceil(std::max(x0, x1) + hw + 1);
    int miny = (int)std::floor(std::min(y0, y1) - hw - 1), maxy = (int)std::ceil(std::max(y0, y1) + hw + 1);
    for (int y = miny; y <= maxy; y++)
        for (int x = minx; x <= maxx; x++) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len > 0 ? (px * dx + py * dy) / (len * len) : 0;
            t = std::max(0.0f, std::min(1.0f, t));
            float ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= hw * hw) put_px(im, x, y, c);
        }
}

void draw_pixel_line(Image& im, int x0, int y0, int x1, int y1, Rgb c)
{
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        put_px(im, x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void blit(Image& dst, const Image& src, int x, int y) { blit_rect(dst, x, y, src, 0, 0, src.w, src.h); }

void blit_rect(Image& dst, int dx, int dy, const Image& src, int sx, int sy, int w, int h)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            if (!is_ink(src, sx + i, sy + j)) continue;
            put_px(dst, dx + i, dy + j, get_px(src, sx + i, sy + j));
        }
}

Image crop(const Image& src, int x, int y, int w, int h)
{
    Image out = make_image(w, h, MAGENTA);
    blit_rect(out, 0, 0, src, x, y, w, h);
    return out;
}

Image scale_nearest(const Image& src, int w, int h)
{
    Image out = make_image(w, h, MAGENTA);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) put_px(out, x, y, get_px(src, x * src.w / w, y * src.h / h));
    return out;
}

void outline(Image& im, Rgb c, bool diagonal) { outline_rect(im, 0, 0, im.w, im.h, c, diagonal); }

void outline_rect(Image& im, int x0, int y0, int w, int h, Rgb c, bool diagonal)
{
    std::vector<uint8_t> mark((size_t)w * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int ax = x0 + x, ay = y0 + y;
            if (is_ink(im, ax, ay)) continue;
            bool hit = false;
            for (int j = -1; j <= 1 && !hit; j++)
                for (int i = -1; i <= 1 && !hit; i++) {
                    if (i == 0 && j == 0) continue;
                    if (!diagonal && i != 0 && j != 0) continue;
                    int nx = x + i, ny = y + j;
                    // Stay inside the rectangle so cells of a sheet never
                    // outline into their neighbours.
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    if (is_ink(im, x0 + nx, y0 + ny)) hit = true;
                }
            if (hit) mark[(size_t)y * w + x] = 1;
        }
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (mark[(size_t)y * w + x]) put_px(im, x0 + x, y0 + y, c);
}

void shade_sphere(Image& im, int x0, int y0, int w, int h, float cx, float cy, float r, float strength)
{
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            if (!is_ink(im, x, y)) continue;
            float dx = (x + 0.5f - cx) / r, dy = (y + 0.5f - cy) / r;
            // Light from the top left: brighter where dx + dy is negative.
            float f = 1.0f - strength * (dx + dy) * 0.5f;
            put_px(im, x, y, scale(get_px(im, x, y), f));
        }
}

static uint32_t rng_state = 1;

void rng_seed(uint32_t seed) { rng_state = seed ? seed : 0x9e3779b9u; }

uint32_t rng_next()
{
    uint32_t x = rng_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    rng_state = x;
    return x;
}

int rng_range(int lo, int hi) { return lo + (int)(rng_next() % (uint32_t)(hi - lo + 1)); }

float rng_float() { return (rng_next() >> 8) * (1.0f / 16777216.0f); }

float hash01(int x, int y, uint32_t seed)
{
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) * (1.0f / 16777215.0f);
}

static int wrap(int v, int period)
{
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

float value_noise(float x, float y, uint32_t seed, int period)
{
    int xi = (int)std::floor(x), yi = (int)std::floor(y);
    float fx = x - xi, fy = y - yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash01(wrap(xi, period), wrap(yi, period), seed);
    float b = hash01(wrap(xi + 1, period), wrap(yi, period), seed);
    float c = hash01(wrap(xi, period), wrap(yi + 1, period), seed);
    float d = hash01(wrap(xi + 1, period), wrap(yi + 1, period), seed);
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

float fractal_noise(float x, float y, uint32_t seed, int period, int octaves)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amp * value_noise(x, y, seed + o * 101, period);
        norm += amp;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

static void put_u16(std::vector<uint8_t>& b, int v)
{
    b.push_back((uint8_t)(v & 255));
    b.push_back((uint8_t)((v >> 8) & 255));
}

static void put_u32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; i++) b.push_back((uint8_t)((v >> (8 * i)) & 255));
}

static void save_bytes(const std::vector<uint8_t>& bytes, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "gfxgen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void write_bmp(const Image& im, const std::string& path)
{
    // Bottom-up rows of BGR padded to four bytes, as every BMP reader expects.
    int stride = (im.w * 3 + 3) & ~3;
    uint32_t data_size = (uint32_t)stride * im.h;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put_u32(b, 54 + data_size);
    put_u32(b, 0);
    put_u32(b, 54);
    put_u32(b, 40);
    put_u32(b, (uint32_t)im.w);
    put_u32(b, (uint32_t)im.h);
    put_u16(b, 1);
    put_u16(b, 24);
    put_u32(b, 0);
    put_u32(b, data_size);
    put_u32(b, 2835);
    put_u32(b, 2835);
    put_u32(b, 0);
    put_u32(b, 0);
    for (int y = im.h - 1; y >= 0; y--) {
        for (int x = 0; x < im.w; x++) {
            Rgb c = get_px(im, x, y);
            b.push_back((uint8_t)c.b);
            b.push_back((uint8_t)c.g);
            b.push_back((uint8_t)c.r);
        }
        for (int p = im.w * 3; p < stride; p++) b.push_back(0);
    }
    save_bytes(b, path);
}

static void png_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    uint32_t n = (uint32_t)data.size();
    for (int i = 3; i >= 0; i--) out.push_back((uint8_t)((n >> (8 * i)) & 255));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    uint32_t crc = (uint32_t)crc32(0, body.data(), (uInt)body.size());
    for (int i = 3; i >= 0; i--) out.push_back((uint8_t)((crc >> (8 * i)) & 255));
}

void write_png(const Image& im, const std::string& path, bool key_transparent)
{
    static const uint8_t SIGNATURE[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::vector<uint8_t> out(SIGNATURE, SIGNATURE + 8);
    std::vector<uint8_t> ihdr;
    for (int v : {im.w, im.h})
        for (int i = 3; i >= 0; i--) ihdr.push_back((uint8_t)((v >> (8 * i)) & 255));
    ihdr.push_back(8);                       // bit depth
    ihdr.push_back(key_transparent ? 6 : 2); // RGBA or RGB
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    png_chunk(out, "IHDR", ihdr);
    std::vector<uint8_t> raw;
    for (int y = 0; y < im.h; y++) {
        raw.push_back(0); // no filter
        for (int x = 0; x < im.w; x++) {
            Rgb c = get_px(im, x, y);
            bool key = key_transparent && same_colour(c, MAGENTA);
            raw.push_back(key ? 0 : (uint8_t)c.r);
            raw.push_back(key ? 0 : (uint8_t)c.g);
            raw.push_back(key ? 0 : (uint8_t)c.b);
            if (key_transparent) raw.push_back(key ? 0 : 255);
        }
    }
    uLongf zlen = compressBound((uLong)raw.size());
    std::vector<uint8_t> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), (uLong)raw.size(), 9) != Z_OK) {
        std::fprintf(stderr, "gfxgen: compressing %s failed\n", path.c_str());
        std::exit(1);
    }
    z.resize(zlen);
    png_chunk(out, "IDAT", z);
    png_chunk(out, "IEND", {});
    save_bytes(out, path);
}
