#include "render/textures.h"

#include <SDL.h>
#include <GL/gl.h>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "render/screen.h"
#include "util/archive.h"
#include "util/errors.h"

Texture textures[TEXTURE_COUNT];
unsigned char tile_opaque[TILE_CELLS];

const char* const texture_files[TEXTURE_COUNT] = {
    "gfx/font.bmp",       "gfx/harrowkiln.bmp", "gfx/logo.bmp",     "gfx/background.bmp",
    "gfx/crosshair.bmp",  "gfx/scoreboard.bmp", "gfx/bar.bmp",      "gfx/bar2.bmp",
    "gfx/tiles.bmp",      "gfx/characters.bmp", "gfx/items.bmp",    "gfx/bullet.bmp",
    "gfx/spawn.bmp",      "gfx/gunfire.bmp",    "gfx/ricochet.bmp", "gfx/blood.bmp",
    "gfx/messages.bmp",
};

// 1 / the power-of-two texture size of each id, kept beside the records so
// bind_texture, the hottest call of every frame, only multiplies. Exact,
// since the sizes are powers of two.
static float inverse_width[TEXTURE_COUNT];
static float inverse_height[TEXTURE_COUNT];

// Texels of the upload surface, bytes R, G, B, A in memory whatever the
// machine's byte order.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
static const Uint32 RGBA_MASKS[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
#else
static const Uint32 RGBA_MASKS[4] = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
#endif

int next_power_of_two(int n)
{
    int p = 1;
    while (p < n && p <= INT_MAX / 2)
        p *= 2;
    return p;
}

static void delete_texture(int id)
{
    if (textures[id].name != 0 && !textures[id].guest) {
        GLuint name = textures[id].name;
        glDeleteTextures(1, &name);
    }
    textures[id] = Texture();
    if (id == TEX_TILES)
        memset(tile_opaque, 0, sizeof tile_opaque);
    inverse_width[id] = 0.0f;
    inverse_height[id] = 0.0f;
}

// The bitmap in the top-left corner of a transparent power-of-two surface of
// bytes R, G, B, A, magenta made transparent. The caller frees it.
static SDL_Surface* decode_bitmap(const void* data, size_t size, int* width, int* height)
{
    if (size > (size_t)INT_MAX)
        fatal_error("load_graphics()", "SDL_RWFromMem(): %s", "bitmap too large");
    SDL_RWops* stream = SDL_RWFromMem(const_cast<void*>(data), (int)size);
    if (!stream)
        fatal_error("load_graphics()", "SDL_RWFromMem(): %s", SDL_GetError());
    // Closing, not just freeing: under sdl12-compat the stream wraps one of
    // SDL 2's that only a close releases.
    SDL_Surface* bitmap = SDL_LoadBMP_RW(stream, 1);
    if (!bitmap)
        fatal_error("load_graphics()", "SDL_LoadBMP_RW(): %s", SDL_GetError());

    SDL_Surface* converted = SDL_DisplayFormat(bitmap);
    if (!converted)
        fatal_error("load_graphics()", "SDL_DisplayFormat(): %s", SDL_GetError());
    SDL_SetColorKey(converted, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                    SDL_MapRGB(converted->format, 255, 0, 255));

    // Starts all zero, that is transparent; the keyed blit then copies every
    // pixel but magenta, each arriving opaque.
    SDL_Surface* upload = SDL_CreateRGBSurface(SDL_SWSURFACE, next_power_of_two(bitmap->w),
                                               next_power_of_two(bitmap->h), 32, RGBA_MASKS[0],
                                               RGBA_MASKS[1], RGBA_MASKS[2], RGBA_MASKS[3]);
    if (!upload)
        fatal_error("load_graphics()", "SDL_CreateRGBSurface(): %s", SDL_GetError());
    SDL_BlitSurface(converted, nullptr, upload, nullptr);
    *width = bitmap->w;
    *height = bitmap->h;
    SDL_FreeSurface(converted);
    SDL_FreeSurface(bitmap);
    return upload;
}

// Copies `width` x `height` texels of `upload` into the bound texture at
// (x, y); with `whole`, (re)defines the texture as all of `upload` instead.
static void upload_texels(SDL_Surface* upload, bool whole, int x, int y, int width, int height)
{
    // Rows of the surface may be padded; tell GL the real row length.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, upload->pitch / 4);
    SDL_LockSurface(upload);
    if (whole)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, upload->w, upload->h, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, upload->pixels);
    else
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                        upload->pixels);
    SDL_UnlockSurface(upload);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// Decided once per load from the texels as uploaded, so it agrees with the
// alpha test that draws them: keyed magenta and the padding past the
// picture arrive with alpha 0, everything else with 255.
static void note_opaque_tiles(SDL_Surface* upload)
{
    SDL_LockSurface(upload);
    for (int cell = 0; cell < TILE_CELLS; cell++) {
        int x0 = TILE_SIZE * (cell % TILES_PER_ROW), y0 = TILE_SIZE * (cell / TILES_PER_ROW);
        bool opaque = x0 + TILE_SIZE <= upload->w && y0 + TILE_SIZE <= upload->h;
        for (int y = y0; opaque && y < y0 + TILE_SIZE; y++) {
            const Uint8* row = (const Uint8*)upload->pixels + (size_t)y * upload->pitch;
            for (int x = x0; opaque && x < x0 + TILE_SIZE; x++)
                opaque = row[4 * x + 3] == 255;
        }
        tile_opaque[cell] = opaque;
    }
    SDL_UnlockSurface(upload);
}

void load_texture_bmp(int id, const void* data, size_t size)
{
    int width, height;
    SDL_Surface* upload = decode_bitmap(data, size, &width, &height);

    delete_texture(id);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    upload_texels(upload, true, 0, 0, 0, 0);

    textures[id].name = name;
    textures[id].width = width;
    textures[id].height = height;
    inverse_width[id] = 1.0f / (float)upload->w;
    inverse_height[id] = 1.0f / (float)upload->h;
    if (id == TEX_TILES)
        note_opaque_tiles(upload);
    SDL_FreeSurface(upload);
}

// The small sheets of the status strip, the health bars and the pointer
// ride in the unused part of the font's texture. Text and those sheets
// alternate all through the 2D pass, and every change of texture ends one
// of the software renderer's batches; sharing one texture keeps the pass in
// a single batch. All of them are drawn unturned at whole pixels, where
// sampling lands on texel centres, so the move changes no pixel.
static const int ATLAS_HOST = TEX_FONT;
static const int ATLAS_GUESTS[] = {TEX_BAR2, TEX_BAR, TEX_CROSSHAIR, TEX_SCOREBOARD};
// Transparent texels kept between neighbours.
static const int ATLAS_GAP = 1;

// Where the next guest goes: shelves of pictures, left to right, below the
// host's own picture.
struct AtlasShelf {
    int x, y, height;
};

// Places texture `id` inside the host's texture; false when it does not fit.
static bool load_guest_bmp(int id, const void* data, size_t size, AtlasShelf* shelf)
{
    const Texture& host = textures[ATLAS_HOST];
    int host_width = next_power_of_two(host.width);
    int host_height = next_power_of_two(host.height);
    int width, height;
    SDL_Surface* upload = decode_bitmap(data, size, &width, &height);
    if (shelf->x + width > host_width) {
        shelf->x = 0;
        shelf->y += shelf->height + ATLAS_GAP;
        shelf->height = 0;
    }
    bool fits = width <= host_width && shelf->y + height <= host_height;
    if (fits) {
        delete_texture(id);
        glBindTexture(GL_TEXTURE_2D, host.name);
        upload_texels(upload, false, shelf->x, shelf->y, width, height);
        textures[id].name = host.name;
        textures[id].width = width;
        textures[id].height = height;
        textures[id].atlas_x = shelf->x;
        textures[id].atlas_y = shelf->y;
        textures[id].guest = 1;
        inverse_width[id] = inverse_width[ATLAS_HOST];
        inverse_height[id] = inverse_height[ATLAS_HOST];
        shelf->x += width + ATLAS_GAP;
        if (height > shelf->height) shelf->height = height;
    }
    SDL_FreeSurface(upload);
    return fits;
}

static bool is_atlas_guest(int id)
{
    for (int guest : ATLAS_GUESTS)
        if (guest == id) return true;
    return false;
}

void load_graphics()
{
    AtlasShelf shelf = {0, 0, 0};
    for (int id = 0; id < TEXTURE_COUNT; id++) {
        uint32_t size = 0;
        uint8_t* data = hkca_uncompress(GRAPHICS_ARCHIVE, texture_files[id], &size);
        if (!data)
            fatal_error("load_graphics()", "File \"%s\" not found in archive \"%s\"",
                        texture_files[id], GRAPHICS_ARCHIVE);
        // The host comes first in the load order, so its texture exists here.
        bool shared = !plain_drawing && is_atlas_guest(id) && id > ATLAS_HOST &&
                      load_guest_bmp(id, data, size, &shelf);
        if (!shared)
            load_texture_bmp(id, data, size);
        if (id == ATLAS_HOST)
            shelf.y = textures[ATLAS_HOST].height + ATLAS_GAP;
        free(data);
    }
}

void free_graphics()
{
    for (int id = 0; id < TEXTURE_COUNT; id++)
        delete_texture(id);
}

void bind_texture(int id, int sx, int sy, int sw, int sh, float out[4])
{
    glBindTexture(GL_TEXTURE_2D, textures[id].name);
    sx += textures[id].atlas_x;
    sy += textures[id].atlas_y;
    float left = (float)sx * inverse_width[id];
    float top = (float)sy * inverse_height[id];
    float right = (float)(sx + sw) * inverse_width[id];
    float bottom = (float)(sy + sh) * inverse_height[id];
    if (projection_mode != PROJECTION_2D) {
        left += TEXTURE_INSET;
        top += TEXTURE_INSET;
        right -= TEXTURE_INSET;
        bottom -= TEXTURE_INSET;
    }
    out[0] = left;
    out[1] = top;
    out[2] = right;
    out[3] = bottom;
}
