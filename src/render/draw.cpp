#include "render/draw.h"

#include <GL/gl.h>
#include <cmath>

#include "render/screen.h"
#include "render/textures.h"
#include "util/mathutil.h"

// Glyph cells per row of the font sheet (character codes run row by row).
static const int FONT_COLUMNS = 16;

static const double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

// Sine and cosine of every whole degree, so turning a sprite costs no
// trigonometry; 90, 180 and 270 come out exact.
struct Turn {
    float sin, cos;
};

static const Turn& turn_for(int degrees)
{
    static Turn table[360];
    static bool filled = false;
    if (!filled) {
        for (int d = 0; d < 360; d++) {
            table[d].sin = (float)sin(d * DEGREES_TO_RADIANS);
            table[d].cos = (float)cos(d * DEGREES_TO_RADIANS);
        }
        for (int q = 0; q < 4; q++) {
            const float exact[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
            table[q * 90].sin = exact[q][0];
            table[q * 90].cos = exact[q][1];
        }
        filled = true;
    }
    int d = degrees % 360;
    if (d < 0)
        d += 360;
    return table[d];
}

void draw_sprite(int texture, int sx, int sy, int sw, int sh,
                 int dx, int dy, int dw, int dh, int angle)
{
    // Quads wholly off screen are not even bound; the unrotated rectangle
    // decides, so a rotated corner reaching in does not count.
    if (!rects_overlap(dx, dy, dw, dh, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT))
        return;

    float x, y, w, h;
    if (projection_mode == PROJECTION_2D) {
        x = (float)dx;
        y = (float)dy;
        w = (float)dw;
        h = (float)dh;
    } else {
        // Play-area pixels onto the ground plane; scene y points up.
        x = (float)dx * SCENE_UNITS_PER_PIXEL;
        y = (float)(PLAY_HEIGHT - dy) * SCENE_UNITS_PER_PIXEL;
        w = (float)dw * SCENE_UNITS_PER_PIXEL;
        h = -(float)dh * SCENE_UNITS_PER_PIXEL;
    }

    float tc[4];
    bind_texture(texture, sx, sy, sw, sh, tc);

    // Corners in strip order: top left, top right, bottom left, bottom right.
    float vx[4] = {x, x + w, x, x + w};
    float vy[4] = {y, y, y + h, y + h};
    if (angle != 0) {
        // Turned about the centre here rather than through the modelview
        // matrix: a matrix change ends the renderer's batch, while plain
        // vertices let every sprite of one texture go out as one draw.
        // With scene y up, a clockwise turn on screen is a negative angle.
        const Turn& t = turn_for(projection_mode == PROJECTION_2D ? angle : -angle);
        float cx = x + w / 2.0f, cy = y + h / 2.0f;
        for (int i = 0; i < 4; i++) {
            float ox = vx[i] - cx, oy = vy[i] - cy;
            vx[i] = cx + ox * t.cos - oy * t.sin;
            vy[i] = cy + ox * t.sin + oy * t.cos;
        }
    }

    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(tc[0], tc[1]);
    glVertex2f(vx[0], vy[0]);
    glTexCoord2f(tc[2], tc[1]);
    glVertex2f(vx[1], vy[1]);
    glTexCoord2f(tc[0], tc[3]);
    glVertex2f(vx[2], vy[2]);
    glTexCoord2f(tc[2], tc[3]);
    glVertex2f(vx[3], vy[3]);
    glEnd();
}

void draw_cell(int texture, int index, int cell, int x, int y, int size, int angle)
{
    // A cell wider than the sheet (or a sheet not loaded) has no cells;
    // drawing nothing beats dividing by zero.
    if (cell < 1 || textures[texture].width < cell)
        return;
    int columns = textures[texture].width / cell;
    draw_sprite(texture, (index % columns) * cell, (index / columns) * cell, cell, cell,
                x, y, size, size, angle);
}

void draw_text(int x, int y, const char* text)
{
    int column = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        unsigned c = *p;
        if (c == '\n') {
            y += LINE_HEIGHT;
            column = 0;
            continue;
        }
        if (c != ' ')
            draw_sprite(TEX_FONT, (int)(c % FONT_COLUMNS) * GLYPH_WIDTH,
                        (int)(c / FONT_COLUMNS) * GLYPH_HEIGHT, GLYPH_WIDTH, GLYPH_HEIGHT,
                        x + TEXT_ADVANCE * column, y, GLYPH_WIDTH, GLYPH_HEIGHT, 0);
        column++;
    }
}
