#include "render/fade.h"

#include <GL/gl.h>

#include "render/screen.h"
#include "util/frame.h"

int fade_direction = 0;
float fade_color[3] = {0.0f, 0.0f, 0.0f};
float fade_alpha = 0.0f;
float fade_speed = 0.0f;

void start_fade(int r, int g, int b, int direction, float speed)
{
    fade_direction = direction;
    fade_color[0] = (float)r / 255.0f;
    fade_color[1] = (float)g / 255.0f;
    fade_color[2] = (float)b / 255.0f;
    fade_alpha = direction < 0 ? 1.0f : 0.0f;
    fade_speed = speed;
}

void stop_fade()
{
    fade_direction = 0;
}

int fade_active()
{
    return (fade_direction < 0 && fade_alpha > 0.0f) || (fade_direction > 0 && fade_alpha < 1.0f);
}

void advance_fade()
{
    if (!fade_active())
        return;
    fade_alpha += (float)fade_direction * fade_speed * frame_factor;
    if (fade_direction < 0 && fade_alpha < 0.0f)
        fade_alpha = 0.0f;
    else if (fade_direction > 0 && fade_alpha > 1.0f)
        fade_alpha = 1.0f;
}

void draw_fade()
{
    if (fade_direction == 0)
        return;
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(fade_color[0], fade_color[1], fade_color[2], fade_alpha);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2i(0, 0);
    glVertex2i(SCREEN_WIDTH, 0);
    glVertex2i(0, SCREEN_HEIGHT);
    glVertex2i(SCREEN_WIDTH, SCREEN_HEIGHT);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
