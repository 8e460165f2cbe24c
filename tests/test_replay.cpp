// Replays: a kept run's file decodes and encodes to its own bytes, stays
// small, bad files are refused with a reason, and a recorded run plays back
// to its checksums and result.
#include "test_states_helpers.h"

#include <cstring>
#include <dirent.h>
#include <string>

#include "core/replay.h"
#include "render/screen.h"

TEST(ReplayFile, AKeptRunDecodesAndEncodesToItsOwnBytesStaysSmallAndEachBadFileIsRefused)
{
    assets_checksum(); // read from the build folder, before leaving it
    const std::string good = read_whole_file(CRIMSON_SOURCE_DIR "/tests/replays/police.rpl");
    Replay r;
    char reason[160] = "";
    ASSERT_EQ(decode_replay((const uint8_t*)good.data(), good.size(), &r, reason, sizeof reason), REPLAY_OK) << reason;
    size_t size = 0;
    uint8_t* image = encode_replay(&r, &size);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::string(image, image + size), good) << "the file image does not round-trip";
    free(image);
    // Ten minutes of this busy run (frames, pointer moves, fights) fit in 200 KB.
    EXPECT_LT(good.size() * 10 * 60 / (size_t)r.result.seconds, 200u * 1024);
    const size_t sizes_at = 77 + 5 * r.header.tile_loops + 4 + 8 * r.checksum_count; // the stream's sizes
    free_replay(&r);
    TempDir dir;

    // Each change of a good file, and whether its checksum is then made
    // right again, so that the check behind it is reached.
    auto at = [](std::string s, size_t i, char c) { s[i] = c; return s; };
    const struct { std::string file; bool rehash; const char* reason; } rows[] = {
        {"Crimson Lunatic Outbreak High Scores", false, "is not a replay file"},
        {"", false, "is cut short (0 bytes)"},
        {good.substr(0, good.size() - 1), false, "is cut short"},
        {good.substr(0, 500), false, "is cut short"},
        {at(good, 32, 2), false, "was recorded by a newer version of the game (replay format 2)"},
        {at(good, 32, 0), false, "has an unknown replay format 0"},
        {good + "x", false, "is damaged (longer than its contents)"},
        {at(good, 5000, good[5000] ^ 1), false, "is damaged (its checksum does not match)"},
        {at(good, sizes_at + 3, 0x7f), true, "is damaged (a size is out of range)"},
        {at(good, good.size() - 34, 0), true, "is damaged (unknown end of run 0)"},
        {at(good, good.size() - 9, 1), true, "is damaged (its input does not read)"},
        {at(good, 34, 7), true, "was recorded by version 7 of the game"},
        {at(good, 36, good[36] ^ 1), true, "was recorded with a different \"assets.bin\""},
    };
    for (const auto& row : rows) {
        std::string file = row.file;
        if (row.rehash) {
            uint64_t h = replay_hash(REPLAY_HASH_START, file.data(), file.size() - 8);
            memcpy(&file[file.size() - 8], &h, 8);
        }
        write_whole_file("bad.rpl", file);
        strcpy(reason, "(accepted)");
        EXPECT_FALSE(open_replay("bad.rpl", reason, sizeof reason));
        EXPECT_EQ(std::string(reason).rfind(row.reason, 0), 0u) << reason << " instead of " << row.reason;
    }
    EXPECT_FALSE(open_replay("none.rpl", reason, sizeof reason));
    EXPECT_STREQ(reason, "does not exist");
    write_whole_file("good.rpl", good);
    EXPECT_TRUE(open_replay("good.rpl", reason, sizeof reason)) << reason;
    stop_replay();
}

class ReplayRun : public state_test::StateTest {};

TEST_F(ReplayRun, ARecordedRunPlaysBackToItsChecksumsAndResultAndATamperedOneDoesNot)
{
    ASSERT_EQ(chdir(dir.old_dir.c_str()), 0); // assets.bin lies in the build folder
    assets_checksum();
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    srand(11);
    replay_mode = REPLAY_RECORD;
    tick_accumulator = 0.0f;
    set_game_state(STATE_PLAYING);
    uint8_t* keys = SDL_GetKeyState(nullptr);
    // Frames of three lengths, walking, clicking, a pause, and the run left
    // by Space once it is over (or by Escape if it lasts).
    for (int frame = 0; game_state == STATE_PLAYING; frame++) {
        frame_factor = 0.5f * (float)(frame % 3 + 1);
        keys[KEY_D] = frame / 90 % 2;
        keys[KEY_S] = frame / 130 % 2;
        if (frame % 7 == 0) state_test::push(SDL_MOUSEBUTTONDOWN, 1);
        if (frame == 400 || frame == 460) state_test::push(SDL_KEYDOWN, KEY_P);
        if (player_out() || frame == 6000) state_test::push(SDL_KEYDOWN, player_out() ? KEY_SPACE : KEY_ESCAPE);
        run_ticks_for_frame();
        advance_frame();
    }
    keys[KEY_D] = keys[KEY_S] = 0;
    const int recorded[] = {score, kills[KIND_CIVILIAN], kills[KIND_ARMED], run_seconds};
    // The run scored, so it enters the table, and its copy joins the last run's.
    ASSERT_EQ(game_state, STATE_NEW_HIGHSCORE);
    state_test::tap(KEY_RETURN);
    replay_mode = REPLAY_OFF;
    std::string copy;
    DIR* folder = opendir(REPLAY_FOLDER);
    for (dirent* e; folder && (e = readdir(folder));)
        if (e->d_name[0] != '.' && strcmp(e->d_name, "last.rpl") != 0) copy = e->d_name;
    closedir(folder);
    const std::string ending = "_" + std::to_string(recorded[0]) + ".rpl"; // after MMDDYY_HHMMSS
    EXPECT_EQ(copy.size(), 13 + ending.size());
    EXPECT_EQ(copy.rfind(ending), 13u);
    EXPECT_EQ(read_whole_file((REPLAY_FOLDER "/" + copy).c_str()), read_whole_file(REPLAY_LAST_FILE));

    stop_fade();
    state_test::tap(KEY_R); // the title's R loads the last run to watch
    EXPECT_EQ(replay_mode, REPLAY_PLAY);
    for (int tamper = 0; tamper < 2; tamper++) {
        char reason[160];
        ASSERT_TRUE(open_replay(REPLAY_LAST_FILE, reason, sizeof reason)) << reason;
        set_game_state(STATE_PLAYING);
        psychosis -= tamper;
        float f;
        while (replay_next_frame(&f)) {
            frame_factor = f;
            run_ticks_for_frame();
            advance_frame();
        }
        if (tamper) {
            EXPECT_STREQ(replay_verdict(), "replay diverges at tick 60: the world differs from the recording after this tick");
        } else {
            // Its Space after the end leads to the title, not the name entry.
            EXPECT_EQ(game_state, STATE_TITLE);
            EXPECT_EQ(replay_verdict(), "replay ok: score " + std::to_string(recorded[0]) + ", kills " +
                                            std::to_string(recorded[1] + recorded[2]) + ", " +
                                            std::to_string(recorded[3]) + " sec");
        }
        stop_replay();
    }

    // Left with Escape, the run is kept as it stood, not as the title's
    // reset leaves the meters.
    replay_mode = REPLAY_RECORD;
    set_game_state(STATE_PLAYING);
    for (int frame = 0; frame < 300; frame++) {
        run_ticks_for_frame();
        advance_frame();
    }
    const int seconds = run_seconds;
    state_test::tap(KEY_ESCAPE);
    replay_mode = REPLAY_OFF;
    Replay left;
    char reason[160];
    ASSERT_EQ(read_replay(REPLAY_LAST_FILE, &left, reason, sizeof reason), REPLAY_OK) << reason;
    EXPECT_EQ(left.result.end, REPLAY_END_LEFT);
    EXPECT_GT(seconds, 0);
    EXPECT_EQ(left.result.seconds, seconds);
    free_replay(&left);
}
