// The end of the game when its display goes away.
//
// Xlib reports a broken connection to the X server (the server stopped, a
// remote session dropped) to its I/O error handler, and when that handler
// returns, Xlib ends the process through exit(). The exit handlers would then
// run, and SDL_Quit waits forever on the dead connection, spinning a core and
// deaf to the quit request. The handler installed here never returns: it
// writes the log line and ends the process on the spot.
#pragma once

// Installs the handler. Called before the window opens, so that a display
// lost during start-up is caught too; Xlib keeps a handler once one is set,
// and SDL sets none of its own.
void end_on_lost_display();
