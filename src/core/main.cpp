// Program entry: start-up, then the frame loop against the real clock until
// a quit request makes game_state negative. The frame in which the request
// arrives is completed, drawing and swap included. "-verify FILE" checks the
// replay instead, with no window, and its verdict is the exit code.
#include "core/loop.h"
#include "core/quit_signals.h"
#include "core/replay.h"
#include "core/states.h"
#include "render/lost_display.h"

int main(int argc, char** argv)
{
    catch_quit_signals();
    end_on_lost_display();
    start_up(argc, argv);
    if (replay_verify_file) {
        int code = verify_replay();
        shut_down();
        return code;
    }
    loop_takes_quit_signals(1);
    while (game_state > -1) {
        if (replay_mode == REPLAY_PLAY) {
            watch_frame();
            if (take_quit_signal())
                game_state = STATE_QUIT;
            continue;
        }
        run_ticks_for_frame();
        if (take_quit_signal())
            game_state = STATE_QUIT; // as the window's close request
        draw_frame();
        finish_frame();
    }
    loop_takes_quit_signals(0);
    shut_down();
    return 0;
}
