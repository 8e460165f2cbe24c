#include "render/quad.h"

#include <GL/gl.h>

#include "render/screen.h"

void set_draw_color(float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
}

void set_fading_color(float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
    set_blending(plain_drawing || a < 1.0f);
}

void set_depth_writes(int on)
{
    glDepthMask(on || plain_drawing ? GL_TRUE : GL_FALSE);
}

void set_blending(int on)
{
    if (on)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}

void draw_scene_strip(const float vertices[4][3], const float texcoords[4][2])
{
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < 4; i++) {
        glTexCoord2fv(texcoords[i]);
        glVertex3fv(vertices[i]);
    }
    glEnd();
}
