// The high-score table: ranking, the file image, loading, the atomic save,
// and the rows of the table screen. Short and arbitrary files are left to
// fuzz_scores_file, which checks every byte that arrives is kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "scores/highscores.h"
#include "scores/score_screens.h"
#include "test_temp_dir.h"

namespace {

// Each test works in a fresh folder of its own, since the file name is fixed.
class Scores : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override { clear_highscores(); }
    void TearDown() override
    {
        clear_highscores();
        highscore_before_rename = nullptr;
    }
};

using ScoresDeathTest = Scores;

// Signature and version 1, then `entries` as they stand.
std::string image(const std::string& entries = "")
{
    return std::string(HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE) + std::string("\1\0", 2) + entries;
}

TEST_F(Scores, EqualScoresGoBelowOlderOnesTheLastFallsOutAndZeroNeverQualifies)
{
    // No file: an empty table, and loading does not create one.
    add_highscore("stale", 50, 1, 1, 1);
    load_highscores();
    EXPECT_EQ(highscores[0].score, 0);
    EXPECT_STREQ(highscore_name(0), "");
    EXPECT_EQ(highscore_qualifies(0), 0);
    EXPECT_EQ(highscore_qualifies(1), 1);
    EXPECT_EQ(highscore_qualifies(-5), 0);
    EXPECT_NE(access(HIGHSCORE_FILE, F_OK), 0) << "loading must not create the file";

    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        ASSERT_EQ(add_highscore("base", 100 - 10 * i, 0, 0, 0), i);
    // Entry 9 holds 10: an equal score does not enter, one more does.
    EXPECT_EQ(highscore_qualifies(10), 0);
    EXPECT_EQ(add_highscore("tie", 10, 0, 0, 0), -1);
    EXPECT_EQ(highscore_qualifies(11), 1);
    EXPECT_EQ(add_highscore("second70", 70, 0, 0, 0), 4);
    EXPECT_EQ(add_highscore("top", 500, 3, 4, 61), 0);
    const struct { const char* name; int score; } expect[] = {{"top", 500}, {"base", 100}, {"base", 90}, {"base", 80},
        {"base", 70}, {"second70", 70}, {"base", 60}, {"base", 50}, {"base", 40}, {"base", 30}};
    for (int i = 0; i < HIGHSCORE_COUNT; i++) {
        EXPECT_STREQ(highscore_name(i), expect[i].name) << i;
        EXPECT_EQ(highscores[i].score, expect[i].score) << i;
    }
    EXPECT_EQ(highscores[0].civilian_kills, 3);
    EXPECT_EQ(highscores[0].armed_kills, 4);
    EXPECT_EQ(highscores[0].seconds, 61);
}

TEST_F(Scores, SavedFileIsTheExactImageNamesAreCutAndItLoadsBack)
{
    // Names are cut to 16 characters on insert; only the text and its
    // terminator replace what stood in the 20-byte field.
    EXPECT_EQ(add_highscore("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 5, 0, 0, 0), 0);
    EXPECT_STREQ(highscore_name(0), "ABCDEFGHIJKLMNOP");
    add_highscore("Ann", 1234, 5, 6, 3600);
    add_highscore("Bo", -2, 0, 1, 0); // never qualifies over empty entries
    save_highscores();
    std::string ann("Ann\0EFGHIJKLMNOP\0\0\0\0" "\xd2\x04\0\0" "\5\0\0\0" "\6\0\0\0" "\x10\x0e\0\0", 36);
    std::string abc("ABCDEFGHIJKLMNOP\0\0\0\0" "\5\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0", 36);
    EXPECT_EQ(read_whole_file(HIGHSCORE_FILE), image(ann + abc + std::string(288, '\0')));
    EXPECT_NE(access(HIGHSCORE_TEMP_FILE, F_OK), 0) << "temporary file left behind";

    clear_highscores();
    load_highscores();
    EXPECT_STREQ(highscore_name(0), "Ann");
    EXPECT_EQ(highscores[0].score, 1234);
    EXPECT_EQ(highscores[0].seconds, 3600);
    EXPECT_EQ(highscores[2].score, 0);

    // A name from a file with no terminator in its 20 bytes is shown whole,
    // no further.
    std::string entry(20, 'Z');
    write_whole_file(HIGHSCORE_FILE, image(entry + std::string("\7\0\0\0", 4)));
    load_highscores();
    EXPECT_EQ(std::string(highscore_name(0)), entry);
    EXPECT_EQ(highscores[0].score, 7);
}

TEST_F(ScoresDeathTest, DamagedFilesStopWithTheirMessage)
{
    std::string bad_signature = image(std::string(360, '\0')), bad_version = image();
    bad_signature[3] = 'x';
    bad_version[37] = 2;
    const struct { std::string bytes; const char* message; } cases[] = {
        {bad_signature, "Invalid format of"}, {"Crimson", "Invalid format of"},
        {bad_version, "Version mismatch in"}, {image().substr(0, 38), "Version mismatch in"}};
    std::string expect;
    for (const auto& c : cases) {
        write_whole_file(HIGHSCORE_FILE, c.bytes);
        EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "") << c.bytes.size();
        expect += "load_highscores(): " + std::string(c.message) + " file \"scores.bin\"\n";
    }
    // A folder where the file should be cannot be read.
    remove(HIGHSCORE_FILE);
    ASSERT_EQ(mkdir(HIGHSCORE_FILE, 0755), 0);
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");
    expect += "load_highscores(): Unable to access file \"scores.bin\"\n";
    EXPECT_EQ(read_whole_file("errorlog.txt"), expect);
}

TEST_F(ScoresDeathTest, FailedSaveKeepsOldFileAndPlayGoesOn)
{
    add_highscore("Keep", 77, 0, 0, 0);
    save_highscores();
    std::string before = read_whole_file(HIGHSCORE_FILE);
    ASSERT_EQ(before.size(), 399u);

    // The temporary file cannot be created: a folder stands in its place.
    // (Tests run as root, for whom a read-only folder is no obstacle.)
    ASSERT_EQ(mkdir(HIGHSCORE_TEMP_FILE, 0755), 0);
    add_highscore("New", 99, 0, 0, 0);
    save_highscores();
    EXPECT_EQ(read_whole_file(HIGHSCORE_FILE), before);
    EXPECT_STREQ(highscore_name(0), "New") << "the table in memory keeps the entry";
    ASSERT_EQ(rmdir(HIGHSCORE_TEMP_FILE), 0);

    // A crash after the temporary file is written but before the rename.
    highscore_before_rename = [] { _exit(3); };
    EXPECT_EXIT(save_highscores(), ::testing::ExitedWithCode(3), "");
    highscore_before_rename = nullptr;
    EXPECT_EQ(read_whole_file(HIGHSCORE_FILE), before);
    clear_highscores();
    load_highscores();
    EXPECT_STREQ(highscore_name(0), "Keep");
    EXPECT_EQ(highscores[0].score, 77);

    // The leftover temporary file does not stop the next save.
    add_highscore("Next", 88, 0, 0, 0);
    save_highscores();
    clear_highscores();
    load_highscores();
    EXPECT_STREQ(highscore_name(0), "Next");
    EXPECT_STREQ(highscore_name(1), "Keep");
}

TEST_F(Scores, TableRowsLineUpUnderTheHeader)
{
    // An empty table: ten numbered rows, blank names, zeros, "0 sec".
    EXPECT_STREQ(format_highscore_row(0), " 1.                  0        0        0 sec");
    EXPECT_STREQ(format_highscore_row(9), "10.                  0        0        0 sec");

    // A full 16-character name fills its column; the score starts one blank
    // after it, under the header's SCORE. Kills show both kinds together.
    add_highscore("ABCDEFGHIJKLMNOP", 123456, 30, 12, 3599);
    std::string row = format_highscore_row(0);
    EXPECT_EQ(row, " 1. ABCDEFGHIJKLMNOP 123456   42       59 min 59 sec");
    EXPECT_EQ(row.find("123456"), std::string(TABLE_HEADER).find("SCORE"));
    EXPECT_EQ(row.find("42"), std::string(TABLE_HEADER).find("KILLS"));
    EXPECT_EQ(row.find("59 min"), std::string(TABLE_HEADER).find("TIME"));

    // Numbers from a file are not checked: extreme kill counts add without
    // overflow, and a name with no terminator is cut at its field.
    highscores[1].civilian_kills = 2147483647;
    highscores[1].armed_kills = 2147483647;
    memset(highscores[1].name, 'N', sizeof highscores[1].name);
    EXPECT_STREQ(format_highscore_row(1), " 2. NNNNNNNNNNNNNNNNNNNN 0        4294967294 0 sec");
    // Whole minutes leave the seconds out.
    highscores[1].seconds = 120;
    EXPECT_STREQ(format_highscore_row(1) + 45, "2 min");
}

} // namespace
