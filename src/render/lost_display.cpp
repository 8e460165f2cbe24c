#include "render/lost_display.h"

#include <X11/Xlib.h>

#include "util/errors.h"

// The only caller is Xlib, from whatever call of the frame loop or the
// start-up first met the dead connection; none of them can go on.
static int display_lost(Display* display)
{
    fatal_error_now("main()", "The connection to the display \"%s\" was lost",
                    DisplayString(display));
}

void end_on_lost_display()
{
    XSetIOErrorHandler(display_lost);
}
