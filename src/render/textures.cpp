#include "render/textures.h"

#include <SDL.h>
#include <GL/gl.h>
#include <climits>
#include <cstdlib>

#include "render/screen.h"
#include "util/archive.h"
#include "util/errors.h"

Texture textures[TEXTURE_COUNT];

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
    if (textures[id].name != 0) {
        GLuint name = textures[id].name;
        glDeleteTextures(1, &name);
    }
    textures[id].name = 0;
    textures[id].width = 0;
    textures[id].height = 0;
    inverse_width[id] = 0.0f;
    inverse_height[id] = 0.0f;
}

void load_texture_bmp(int id, const void* data, size_t size)
{
    if (size > (size_t)INT_MAX)
        fatal_error("load_graphics()", "SDL_RWFromMem(): %s", "bitmap too large");
    SDL_RWops* stream = SDL_RWFromMem(const_cast<void*>(data), (int)size);
    if (!stream)
        fatal_error("load_graphics()", "SDL_RWFromMem(): %s", SDL_GetError());
    SDL_Surface* bitmap = SDL_LoadBMP_RW(stream, 0);
    SDL_FreeRW(stream);
    if (!bitmap)
        fatal_error("load_graphics()", "SDL_LoadBMP_RW(): %s", SDL_GetError());

    SDL_Surface* converted = SDL_DisplayFormat(bitmap);
    if (!converted)
        fatal_error("load_graphics()", "SDL_DisplayFormat(): %s", SDL_GetError());
    SDL_SetColorKey(converted, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                    SDL_MapRGB(converted->format, 255, 0, 255));

    int pot_width = next_power_of_two(bitmap->w);
    int pot_height = next_power_of_two(bitmap->h);
    // Starts all zero, that is transparent; the keyed blit then copies every
    // pixel but magenta, each arriving opaque.
    SDL_Surface* upload = SDL_CreateRGBSurface(SDL_SWSURFACE, pot_width, pot_height, 32,
                                               RGBA_MASKS[0], RGBA_MASKS[1], RGBA_MASKS[2],
                                               RGBA_MASKS[3]);
    if (!upload)
        fatal_error("load_graphics()", "SDL_CreateRGBSurface(): %s", SDL_GetError());
    SDL_BlitSurface(converted, nullptr, upload, nullptr);

    delete_texture(id);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // Rows of the surface may be padded; tell GL the real row length.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, upload->pitch / 4);
    SDL_LockSurface(upload);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pot_width, pot_height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, upload->pixels);
    SDL_UnlockSurface(upload);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    textures[id].name = name;
    textures[id].width = bitmap->w;
    textures[id].height = bitmap->h;
    inverse_width[id] = 1.0f / (float)pot_width;
    inverse_height[id] = 1.0f / (float)pot_height;

    SDL_FreeSurface(upload);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(bitmap);
}

void load_graphics()
{
    for (int id = 0; id < TEXTURE_COUNT; id++) {
        uint32_t size = 0;
        uint8_t* data = hkca_uncompress(GRAPHICS_ARCHIVE, texture_files[id], &size);
        if (!data)
            fatal_error("load_graphics()", "File \"%s\" not found in archive \"%s\"",
                        texture_files[id], GRAPHICS_ARCHIVE);
        load_texture_bmp(id, data, size);
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
