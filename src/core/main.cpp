// Program entry: start-up, then the frame loop against the real clock until
// a quit request makes game_state negative. The frame in which the request
// arrives is completed, drawing and swap included.
#include "core/loop.h"
#include "render/lost_display.h"

int main(int argc, char** argv)
{
    end_on_lost_display();
    start_up(argc, argv);
    while (game_state > -1) {
        run_ticks_for_frame();
        draw_frame();
        finish_frame();
    }
    shut_down();
    return 0;
}
