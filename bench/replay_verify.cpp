// -verify's speed: each replay kept in tests/replays played with no window
// as the game's -verify plays it, in ticks per second. Run from the build
// folder so assets.bin is found: ./bench/bench_replay_verify
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/loop.h"
#include "core/replay.h"

int main()
{
    const char* const runs[] = {"psychosis", "score", "police", "pickups"};
    std::string first = std::string(CRIMSON_SOURCE_DIR "/tests/replays/") + runs[0] + ".rpl";
    char name[] = "bench", verify[] = "-verify";
    char* args[] = {name, verify, &first[0]};
    start_up(3, args); // no window, no sound: what -verify starts
    for (const char* run : runs) {
        std::string path = std::string(CRIMSON_SOURCE_DIR "/tests/replays/") + run + ".rpl";
        Replay r;
        char reason[160];
        if (read_replay(path.c_str(), &r, reason, sizeof reason) != REPLAY_OK) {
            printf("%s %s\n", path.c_str(), reason);
            return 1;
        }
        const uint32_t ticks = r.result.ticks;
        free_replay(&r);
        double best = 1e30;
        for (int i = 0; i < 5; i++) {
            load_replay(path.c_str());
            auto start = std::chrono::steady_clock::now();
            if (verify_replay() != 0)
                return 1;
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        printf("%-10s %6u ticks in %.1f ms (best of 5): %.0f ticks per second\n", run, ticks, best * 1000.0,
               ticks / best);
    }
    return 0;
}
