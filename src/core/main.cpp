// Program entry: start-up, then the frame loop against the real clock until
// a quit request makes game_state negative. The frame in which the request
// arrives is completed, drawing and swap included. "-verify FILE" checks the
// replay instead, with no window, and its verdict is the exit code.
#include "core/loop.h"
#include "core/replay.h"

int main(int argc, char** argv)
{
    start_up(argc, argv);
    if (replay_verify_file) {
        int code = verify_replay();
        shut_down();
        return code;
    }
    while (game_state > -1) {
        if (replay_mode == REPLAY_PLAY) {
            watch_frame();
            continue;
        }
        run_ticks_for_frame();
        draw_frame();
        finish_frame();
    }
    shut_down();
    return 0;
}
