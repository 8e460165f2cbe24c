// Start-up time: from exec of a fresh process to the first frame shown.
//
// Method. For every sample the program starts itself again as a child
// process. The child reads the monotonic clock immediately before it execs,
// so the figure includes loading the executable and its shared libraries
// (SDL, Mesa, SDL_mixer, libopenmpt). The new process runs the game's own
// start_up with "-w" (window, OpenGL context, sound, the 17 textures, the
// samples and modules, the high scores and the map, the intro state), then
// draws and presents the first frame exactly as the frame loop does
// (draw_frame, finish_frame) and waits until OpenGL has finished it
// (glFinish). The child reports three clock readings through a pipe: entry
// to main, end of start_up, first frame presented; the parent prints each
// sample and the median, with the processor time the child had used by the
// first frame (all its threads), which a busy machine inflates less than the
// wall-clock figure. Executable and libraries are the game's: this
// program links the same game library as the game itself, and its own main
// only adds the clock readings.
//
// Run from the build folder under an X display, for instance
//   SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_startup [samples]
// On a machine shared with other work the minimum is the steadier figure.
#include <GL/gl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/loop.h"
#include "render/fade.h"
#include "render/screen.h"

#define DEFAULT_SAMPLES 10
#define GOAL_MS 300.0

static double clock_ms(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static double now_ms()
{
    return clock_ms(CLOCK_MONOTONIC);
}

struct sample {
    double exec_ms;   // clock just before exec
    double main_ms;   // entry to main
    double ready_ms;  // start_up returned
    double frame_ms;  // first frame presented and finished
    double cpu_ms;    // processor time of all the process's threads by then
};

// The game's start, or with `bare` only its window: the same OpenGL context
// cleared and shown once, no assets, which is the floor that SDL and the
// OpenGL driver set for any program here.
static int run_child(const char* exec_ms, const char* fd_text, bool bare)
{
    sample s;
    s.main_ms = now_ms();
    s.exec_ms = atof(exec_ms);
    if (bare) {
        init_screen(0);
        s.ready_ms = now_ms();
        clear_screen();
        end_frame();
    } else {
        char program[] = "crimson";
        char window[] = "-w";
        char* game_argv[] = {program, window, nullptr};
        start_up(2, game_argv);
        s.ready_ms = now_ms();
        draw_frame();
        finish_frame();
    }
    glFinish();
    s.frame_ms = now_ms();
    s.cpu_ms = clock_ms(CLOCK_PROCESS_CPUTIME_ID);
    int fd = atoi(fd_text);
    if (write(fd, &s, sizeof s) != (ssize_t)sizeof s)
        return 1;
    close(fd);
    if (!bare)
        shut_down();
    return 0;
}

static bool take_sample(const char* self, bool bare, sample* out)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        close(fds[0]);
        char exec_text[64], fd_text[16];
        snprintf(fd_text, sizeof fd_text, "%d", fds[1]);
        snprintf(exec_text, sizeof exec_text, "%.6f", now_ms());
        execl(self, self, bare ? "--bare-child" : "--child", exec_text, fd_text,
              (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    ssize_t got = read(fds[0], out, sizeof *out);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return got == (ssize_t)sizeof *out && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "--child") == 0)
        return run_child(argv[2], argv[3], false);
    if (argc == 4 && strcmp(argv[1], "--bare-child") == 0)
        return run_child(argv[2], argv[3], true);

    int samples = argc > 1 ? atoi(argv[1]) : DEFAULT_SAMPLES;
    if (samples <= 0)
        samples = DEFAULT_SAMPLES;
    std::vector<double> totals, cpu;
    printf("%8s %14s %14s %14s %14s\n", "sample", "exec to main", "start_up", "exec to frame",
           "processor");
    for (int i = 0; i < samples; i++) {
        sample s;
        if (!take_sample("/proc/self/exe", false, &s)) {
            fprintf(stderr, "sample %d failed (see errorlog.txt; run from the build folder "
                            "under an X display)\n", i + 1);
            return 1;
        }
        double total = s.frame_ms - s.exec_ms;
        totals.push_back(total);
        cpu.push_back(s.cpu_ms);
        printf("%8d %11.1f ms %11.1f ms %11.1f ms %11.1f ms\n", i + 1, s.main_ms - s.exec_ms,
               s.ready_ms - s.main_ms, total, s.cpu_ms);
    }
    std::sort(totals.begin(), totals.end());
    std::sort(cpu.begin(), cpu.end());
    printf("exec to first frame shown: median %.1f ms, minimum %.1f ms, maximum %.1f ms "
           "(goal under %.0f ms)\n",
           totals[totals.size() / 2], totals.front(), totals.back(), GOAL_MS);
    printf("processor time to the first frame (all threads): median %.1f ms, minimum %.1f ms\n",
           cpu[cpu.size() / 2], cpu.front());

    std::vector<double> bare;
    for (int i = 0; i < samples; i++) {
        sample s;
        if (!take_sample("/proc/self/exe", true, &s)) {
            fprintf(stderr, "empty-window sample %d failed\n", i + 1);
            return 1;
        }
        bare.push_back(s.frame_ms - s.exec_ms);
    }
    std::sort(bare.begin(), bare.end());
    printf("the empty window alone (SDL and the OpenGL driver), exec to first frame: "
           "median %.1f ms, minimum %.1f ms\n",
           bare[bare.size() / 2], bare.front());
    return 0;
}
