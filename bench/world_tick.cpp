// The cost of the characters' part of a world tick at full population, and
// of the path searches inside it, on the default map and on an open
// 128 x 128 map; and what recording the run adds to a tick. Run from the build folder so assets.bin is found.
//
// Besides Google Benchmark's timings of single searches (heap and the
// reference full scan) it prints the median and the worst of a long run of
// ticks with 50 civilians, 75 armed characters re-planning toward a player
// who keeps moving, and the peak resident memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/test_path_reference.h"
#include "characters/behaviour.h"
#include "characters/characters.h"
#include "characters/movement.h"
#include "characters/player.h"
#include "combat/bullets.h"
#include "core/replay.h"
#include "core/states.h"
#include "util/archive.h"
#include "world/map.h"

namespace {

#define FULL_ARMED 75
#define MEASURED_TICKS 3000
// The player walks one way for this many ticks, then picks another.
#define PLAYER_LEG_TICKS 90

bool load_default_map()
{
    if (!file_exists("assets.bin"))
        return false;
    uint32_t size = 0;
    uint8_t* data = hkca_uncompress("assets.bin", "default.map", &size);
    if (!data)
        return false;
    load_map_bytes("default.map", data, size);
    free(data);
    return true;
}

void open_map()
{
    memset(walk_grid, 0, sizeof(walk_grid));
    map_width = MAP_MAX_SIZE;
    map_height = MAP_MAX_SIZE;
    map_layers = 0;
    memset(walk_grid, 1, sizeof(walk_grid));
}

// Pairs of far-apart floor cells, the same every run.
struct search_case {
    int from_x, from_y, to_x, to_y;
};

std::vector<search_case> far_pairs(int count)
{
    std::vector<search_case> pairs;
    srand(99);
    while ((int)pairs.size() < count) {
        search_case s = {rand() % map_width, rand() % map_height, rand() % map_width,
                         rand() % map_height};
        if (!walk_grid[s.from_y][s.from_x] || !walk_grid[s.to_y][s.to_x])
            continue;
        if (abs(s.from_x - s.to_x) + abs(s.from_y - s.to_y) < (map_width + map_height) / 3)
            continue;
        pairs.push_back(s);
    }
    return pairs;
}

bool use_map(int which)
{
    if (which == 0)
        return load_default_map();
    open_map();
    return true;
}

void search_benchmark(benchmark::State& state, bool heap)
{
    if (!use_map((int)state.range(0))) {
        state.SkipWithError("default.map not in assets.bin");
        return;
    }
    free_characters();
    character* c = new_character();
    c->kind = KIND_ARMED;
    std::vector<search_case> pairs = far_pairs(16);
    size_t i = 0;
    int reached = 0;
    for (auto _ : state) {
        const search_case& s = pairs[i++ % pairs.size()];
        c->x = s.from_x * CELL_SIZE;
        c->y = s.from_y * CELL_SIZE;
        if (heap) {
            reached += find_path(c, s.to_x, s.to_y, 0);
        } else {
            reached += reference_find_path(c, s.to_x, s.to_y, 0);
            fill_path_grid(c);
        }
    }
    state.counters["reached"] = benchmark::Counter((double)reached, benchmark::Counter::kAvgIterations);
    free_characters();
}

void BM_search_heap(benchmark::State& state) { search_benchmark(state, true); }
void BM_search_reference(benchmark::State& state) { search_benchmark(state, false); }
BENCHMARK(BM_search_heap)->Arg(0)->Arg(1)->ArgName("open")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_search_reference)->Arg(0)->Arg(1)->ArgName("open")->Unit(benchmark::kMillisecond)
    ->Iterations(16);

void populate()
{
    free_characters();
    free_bullets();
    srand(5);
    for (int i = 0; i < CIVILIAN_COUNT; i++)
        spawn_character(KIND_CIVILIAN, 0);
    new_player();
    for (int i = 0; i < FULL_ARMED; i++)
        spawn_character(KIND_ARMED, 0);
    run_active = 1;
    psychosis = 100;
}

// The player wanders so that the armed characters keep re-planning; it
// cannot be hurt here, and the bullets are dropped rather than flown (they
// are not the characters' cost).
void wander_player(int tick)
{
    static int dx = 1, dy = 0;
    if (tick % PLAYER_LEG_TICKS == 0) {
        dx = rand() % 3 - 1;
        dy = rand() % 3 - 1;
    }
    player->health = CHARACTER_MAX_HEALTH;
    for (int step = 0; step < character_speed(player); step++)
        if (!move_character(player, dx, dy))
            dx = -dx, dy = -dy;
}

void character_tick()
{
    update_timers();
    regenerate_characters();
    update_characters();
    update_shooting();
}

void BM_world_tick(benchmark::State& state)
{
    if (!use_map((int)state.range(0))) {
        state.SkipWithError("default.map not in assets.bin");
        return;
    }
    populate();
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        wander_player(tick++);
        free_bullets();
        state.ResumeTiming();
        character_tick();
    }
    free_characters();
    free_bullets();
}
BENCHMARK(BM_world_tick)->Arg(0)->Arg(1)->ArgName("open")->Unit(benchmark::kMicrosecond);

// What recording adds to a tick at full population: the frame's and the
// tick's tokens with a pointer that keeps moving, the held keys now and then,
// and every 60th tick the world's checksum; the buffers start afresh every
// ten minutes of ticks, as runs do.
void BM_recording(benchmark::State& state)
{
    if (!use_map(0)) {
        state.SkipWithError("default.map not in assets.bin");
        return;
    }
    populate();
    ReplayBuffer stream = {}, sums = {};
    ReplayCoder coder;
    start_replay_coder(&coder, 400, 300);
    uint32_t tick = 0;
    for (auto _ : state) {
        put_replay_frame(&stream, &coder, tick % 3 ? 1.0f : 0.5f);
        put_replay_tick(&stream, &coder, 400 + (int)(tick % 40), 300 - (int)(tick % 25));
        put_replay_held(&stream, &coder, (uint8_t)(tick / 90 % 4));
        if (++tick % REPLAY_CHECK_TICKS == 0) {
            uint64_t sum = world_checksum();
            put_replay_bytes(&sums, &sum, sizeof sum);
        }
        if (tick % (10 * 60 * TICKS_PER_SECOND) == 0) {
            free_replay_buffer(&stream);
            free_replay_buffer(&sums);
        }
    }
    free_replay_buffer(&stream);
    free_replay_buffer(&sums);
    free_characters();
}
BENCHMARK(BM_recording)->Unit(benchmark::kNanosecond);

double thread_cpu_ms()
{
    struct timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

void print_times(const char* name, const char* clock, const std::vector<double>& times)
{
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    printf("%-12s   tick %-4s median %.3f ms, 99th percentile %.3f ms, max %.3f ms "
           "(first tick, every armed character planning: %.3f ms)\n",
           name, clock, sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back(),
           times[0]);
}

// Median and worst of a long run of ticks from a fresh population: the
// first tick, in which every armed character plans at once, is included.
void tick_statistics(const char* name, int which)
{
    if (!use_map(which)) {
        printf("%-12s default.map not in assets.bin: skipped\n", name);
        return;
    }
    populate();
    // Wall time suffers from whatever else the machine runs; the thread's
    // CPU time is what the tick itself costs.
    std::vector<double> times, cpu_times;
    for (int tick = 0; tick < MEASURED_TICKS; tick++) {
        wander_player(tick);
        free_bullets();
        double cpu_start = thread_cpu_ms();
        auto start = std::chrono::steady_clock::now();
        character_tick();
        auto end = std::chrono::steady_clock::now();
        cpu_times.push_back(thread_cpu_ms() - cpu_start);
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    int armed = 0;
    for (const character* c = character_list; c; c = c->next)
        armed += c->kind == KIND_ARMED;
    printf("%-12s %dx%d map, %d characters (%d armed), %d ticks\n", name, map_width, map_height,
           CIVILIAN_COUNT + 1 + armed, armed, MEASURED_TICKS);
    print_times(name, "cpu", cpu_times);
    print_times(name, "wall", times);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("%-12s peak resident memory at full population: %.1f MB\n", name,
           usage.ru_maxrss / 1024.0);
    free_characters();
    free_bullets();
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printf("\nFull-population ticks (goals: median under 0.5 ms, no tick over 4 ms, "
           "memory under 120 MB)\n");
    tick_statistics("default map", 0);
    tick_statistics("open map", 1);
    return 0;
}
