#include "render/draw.h"

#include <GL/gl.h>

#include "render/screen.h"
#include "render/textures.h"
#include "util/mathutil.h"

// Glyph cells per row of the font sheet (character codes run row by row).
static const int FONT_COLUMNS = 16;

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

    if (angle != 0) {
        glLoadIdentity();
        glTranslatef(x + w / 2.0f, y + h / 2.0f, 0.0f);
        // With scene y up, a clockwise turn on screen is a negative angle.
        glRotatef(projection_mode == PROJECTION_2D ? (float)angle : -(float)angle,
                  0.0f, 0.0f, 1.0f);
        glTranslatef(-w / 2.0f - x, -h / 2.0f - y, 0.0f);
    }

    float tc[4];
    bind_texture(texture, sx, sy, sw, sh, tc);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(tc[0], tc[1]);
    glVertex2f(x, y);
    glTexCoord2f(tc[2], tc[1]);
    glVertex2f(x + w, y);
    glTexCoord2f(tc[0], tc[3]);
    glVertex2f(x, y + h);
    glTexCoord2f(tc[2], tc[3]);
    glVertex2f(x + w, y + h);
    glEnd();

    if (angle != 0)
        glLoadIdentity();
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
