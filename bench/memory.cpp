// Peak resident memory of the game at full population.
//
// The game is started on its own library as the program starts it (start_up
// with "-w": window, OpenGL context, sound, every texture, sample, module and
// the map), a run is begun, and the population is topped up to its greatest
// size: the player, 50 civilians and 75 armed characters, 126 records, each
// with its path grid. Then frames run through the real frame loop (ticks by
// the real clock, the full drawing, presenting) while the population is kept
// full and the blood tables are filled, and the peak resident set size
// (getrusage's ru_maxrss) is printed after start-up and at the end.
//
// Run from the build folder under an X display, for instance
//   SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_memory [frames]
// The figure includes what the OpenGL driver keeps (Mesa's software renderer
// with its own frame buffers and thread stacks).
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "characters/characters.h"
#include "combat/effects.h"
#include "core/loop.h"
#include "core/states.h"
#include "world/map.h"

#define FULL_CIVILIANS 50
#define FULL_ARMED 75
#define DEFAULT_FRAMES 600
#define GOAL_MB 120.0

static double peak_megabytes()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

// The current resident pages by kind, in MB, from /proc/self/status: our
// own and the driver's allocations (anonymous) and the pages of the shared
// libraries' code and data (file-backed, above all Mesa's LLVM).
static void resident_split(double* anonymous, double* file_backed)
{
    *anonymous = *file_backed = 0.0;
    FILE* status = fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    long kb;
    while (fgets(line, sizeof line, status)) {
        if (sscanf(line, "RssAnon: %ld", &kb) == 1)
            *anonymous = kb / 1024.0;
        else if (sscanf(line, "RssFile: %ld", &kb) == 1)
            *file_backed = kb / 1024.0;
    }
    fclose(status);
}

// The shared library holding the most resident pages, from
// /proc/self/smaps: its path (basename) and MB.
static double largest_library(char* name, size_t name_size)
{
    name[0] = '\0';
    FILE* maps = fopen("/proc/self/smaps", "r");
    if (!maps)
        return 0.0;
    char line[1024], current[512] = "";
    char best[512] = "";
    long best_kb = 0;
    // Totals per path; a library is mapped in several pieces.
    std::vector<std::pair<std::string, long>> totals;
    while (fgets(line, sizeof line, maps)) {
        long kb;
        char* slash = strchr(line, '/');
        if (strchr(line, '-') == line + strspn(line, "0123456789abcdef")) {
            current[0] = '\0';
            if (slash && strstr(slash, ".so")) {
                snprintf(current, sizeof current, "%s", slash);
                current[strcspn(current, "\n")] = '\0';
            }
        } else if (current[0] && sscanf(line, "Rss: %ld", &kb) == 1) {
            bool found = false;
            for (auto& t : totals)
                if (t.first == current) {
                    t.second += kb;
                    found = true;
                }
            if (!found)
                totals.push_back({current, kb});
        }
    }
    fclose(maps);
    for (const auto& t : totals)
        if (t.second > best_kb) {
            best_kb = t.second;
            snprintf(best, sizeof best, "%s", t.first.c_str());
        }
    const char* base = strrchr(best, '/');
    snprintf(name, name_size, "%s", base ? base + 1 : best);
    return best_kb / 1024.0;
}

static void count_population(int counts[CHARACTER_KINDS])
{
    for (int k = 0; k < CHARACTER_KINDS; k++)
        counts[k] = 0;
    for (character* c = character_list; c; c = c->next)
        counts[c->kind]++;
}

// Brings the population back to its greatest size; returns the head count.
static int fill_population()
{
    if (!player)
        new_player();
    int counts[CHARACTER_KINDS];
    count_population(counts);
    for (int i = counts[KIND_CIVILIAN]; i < FULL_CIVILIANS; i++)
        spawn_character(KIND_CIVILIAN, 1);
    for (int i = counts[KIND_ARMED]; i < FULL_ARMED; i++)
        spawn_character(KIND_ARMED, 1);
    count_population(counts);
    return counts[KIND_PLAYER] + counts[KIND_CIVILIAN] + counts[KIND_ARMED];
}

// Blood stains, drops and a corpse around every character, until the
// particle table is full (further requests are dropped by the table).
static void fill_blood()
{
    for (character* c = character_list; c; c = c->next) {
        add_blood_burst(c->x, c->y);
        add_blood_stain(c->x, c->y, c->angle);
        add_corpse(c->x, c->y, c->kind);
    }
}

int main(int argc, char** argv)
{
    int frames = argc > 1 ? atoi(argv[1]) : DEFAULT_FRAMES;
    if (frames <= 0)
        frames = DEFAULT_FRAMES;
    char program[] = "crimson";
    char window[] = "-w";
    char* game_argv[] = {program, window, nullptr};
    start_up(2, game_argv);
    double after_start = peak_megabytes();

    if (map_width == 0)
        load_map("default.map");
    set_game_state(STATE_PLAYING);
    int heads = fill_population();
    int least_heads = heads;
    for (int f = 0; f < frames && game_state > -1; f++) {
        if (f % 60 == 0)
            fill_blood();
        heads = fill_population();
        if (heads < least_heads)
            least_heads = heads;
        run_ticks_for_frame();
        draw_frame();
        finish_frame();
    }
    double at_end = peak_megabytes();
    double anonymous, file_backed;
    resident_split(&anonymous, &file_backed);
    char library[128];
    double library_mb = largest_library(library, sizeof library);
    shut_down();

    printf("peak resident size after start-up:            %7.1f MB\n", after_start);
    printf("peak resident size, %3d characters, %4d frames: %7.1f MB (goal under %.0f MB)\n",
           least_heads, frames, at_end, GOAL_MB);
    printf("resident at the end: %.1f MB allocated, %.1f MB of shared libraries' pages\n",
           anonymous, file_backed);
    printf("the largest of those libraries: %s, %.1f MB\n", library, library_mb);
    return 0;
}
