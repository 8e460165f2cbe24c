#include "core/quit_signals.h"

#include <csignal>
#include <initializer_list>

static volatile sig_atomic_t loop_takes = 0;
static volatile sig_atomic_t pending = 0;

// Only async-signal-safe calls here. Outside the loop the handler steps
// aside: with the default action restored, the signal raised again ends the
// process once the handler returns, and its parent sees it end by the signal.
static void on_quit_signal(int sig)
{
    if (loop_takes && !pending) {
        pending = 1;
        return;
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

void catch_quit_signals()
{
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    // Reads and writes in progress go on rather than fail.
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

void loop_takes_quit_signals(int takes)
{
    loop_takes = takes;
}

int take_quit_signal()
{
    if (!pending)
        return 0;
    pending = 0;
    return 1;
}
