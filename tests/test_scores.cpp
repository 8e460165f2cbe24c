// The high-score table: ranking, the file image, loading, the atomic save,
// and the layout of the table and the name entry screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/states.h"
#include "scores/highscores.h"
#include "scores/score_screens.h"
#include "test_temp_dir.h"

namespace {

void write_bytes(const char* path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

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

std::string header()
{
    std::string h(HIGHSCORE_SIGNATURE, HIGHSCORE_SIGNATURE_SIZE - 1);
    h.push_back('\0');
    h.push_back('\1');
    h.push_back('\0');
    return h;
}

TEST_F(Scores, MissingFileGivesEmptyTableWhereZeroNeverQualifies)
{
    add_highscore("stale", 50, 1, 1, 1);
    load_highscores();
    for (int i = 0; i < HIGHSCORE_COUNT; i++) {
        EXPECT_STREQ(highscore_name(i), "");
        EXPECT_EQ(highscores[i].score, 0);
        EXPECT_EQ(highscores[i].seconds, 0);
    }
    EXPECT_EQ(highscore_qualifies(0), 0);
    EXPECT_EQ(highscore_qualifies(1), 1);
    EXPECT_EQ(highscore_qualifies(-5), 0);
    EXPECT_NE(access(HIGHSCORE_FILE, F_OK), 0) << "loading must not create the file";
}

TEST_F(Scores, EqualScoresGoBelowOlderOnesAndTheLastFallsOut)
{
    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        ASSERT_EQ(add_highscore("base", 100 - 10 * i, 0, 0, 0), i);
    // Entry 9 holds 10: an equal score does not enter, one more does.
    EXPECT_EQ(highscore_qualifies(10), 0);
    EXPECT_EQ(add_highscore("tie", 10, 0, 0, 0), -1);
    EXPECT_EQ(highscores[9].score, 10);
    EXPECT_EQ(highscore_qualifies(11), 1);

    EXPECT_EQ(add_highscore("second70", 70, 0, 0, 0), 4);
    EXPECT_STREQ(highscore_name(3), "base");
    EXPECT_EQ(highscores[3].score, 70);
    EXPECT_EQ(highscores[9].score, 20);  // old 10 dropped

    EXPECT_EQ(add_highscore("top", 500, 3, 4, 61), 0);
    EXPECT_STREQ(highscore_name(0), "top");
    EXPECT_EQ(highscores[0].civilian_kills, 3);
    EXPECT_EQ(highscores[0].armed_kills, 4);
    EXPECT_EQ(highscores[0].seconds, 61);
    EXPECT_EQ(highscores[1].score, 100);
    EXPECT_EQ(highscores[5].score, 70);
    EXPECT_STREQ(highscore_name(5), "second70");
    EXPECT_EQ(highscores[9].score, 30);
}

TEST_F(Scores, NamesAreCutToSixteenOnInsertAndToTheFieldOnDisplay)
{
    EXPECT_EQ(add_highscore("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 5, 0, 0, 0), 0);
    EXPECT_STREQ(highscore_name(0), "ABCDEFGHIJKLMNOP");
    add_highscore("", 9, 0, 0, 0);
    EXPECT_STREQ(highscore_name(0), "");

    // A name from a file with no terminator in its 20 bytes.
    std::string file = header();
    std::string entry(20, 'Z');
    entry += std::string(16, '\0');
    entry[20] = 7;
    file += entry;
    write_bytes(HIGHSCORE_FILE, file);
    load_highscores();
    EXPECT_EQ(std::string(highscore_name(0)), std::string(20, 'Z'));
    EXPECT_EQ(highscores[0].score, 7);
}

TEST_F(Scores, SavedFileIsTheExactImageAndLoadsBack)
{
    add_highscore("Ann", 1234, 5, 6, 3600);
    add_highscore("Bo", -2, 0, 1, 0);  // never qualifies over empty entries
    save_highscores();
    std::string file = read_whole_file(HIGHSCORE_FILE);
    ASSERT_EQ(file.size(), 399u);
    // Signature, version 1, then the name and four little-endian counters.
    std::string ann = "Ann";
    ann.resize(20, '\0');
    ann += std::string("\xd2\x04\0\0" "\5\0\0\0" "\6\0\0\0" "\x10\x0e\0\0", 16);
    EXPECT_EQ(file, header() + ann + std::string(324, '\0'));
    EXPECT_NE(access(HIGHSCORE_TEMP_FILE, F_OK), 0) << "temporary file left behind";

    clear_highscores();
    load_highscores();
    EXPECT_STREQ(highscore_name(0), "Ann");
    EXPECT_EQ(highscores[0].score, 1234);
    EXPECT_EQ(highscores[0].seconds, 3600);
    EXPECT_EQ(highscores[1].score, 0);
}

TEST_F(Scores, ShortFilesKeepWhatArrived)
{
    // Cut right after the version: the whole table is empty, no error.
    add_highscore("old", 9, 0, 0, 0);
    write_bytes(HIGHSCORE_FILE, header());
    load_highscores();
    EXPECT_EQ(highscores[0].score, 0);
    EXPECT_STREQ(highscore_name(0), "");

    // Cut inside the second entry's score: the first is whole, the second
    // has its name and the low byte of its score.
    std::string file = header();
    std::string e1("First\0", 6);
    e1.resize(20, '\0');
    e1 += std::string("\x2a\0\0\0" "\1\0\0\0" "\2\0\0\0" "\3\0\0\0", 16);
    std::string e2("Second\0", 7);
    e2.resize(20, '\0');
    e2 += "\x05";
    write_bytes(HIGHSCORE_FILE, file + e1 + e2);
    load_highscores();
    EXPECT_EQ(highscores[0].score, 42);
    EXPECT_EQ(highscores[0].seconds, 3);
    EXPECT_STREQ(highscore_name(1), "Second");
    EXPECT_EQ(highscores[1].score, 5);
    EXPECT_EQ(highscores[1].civilian_kills, 0);
    EXPECT_EQ(highscores[2].score, 0);
}

TEST_F(Scores, ParserNeverReadsPastItsInput)
{
    // Exact-length heap copies so the sanitizer build catches any overread.
    std::string full = header() + std::string(360, '\x7f');
    for (size_t n = 0; n <= full.size() + 3; n++) {
        std::string src = full.substr(0, n);
        src.resize(n, '\x7f');
        unsigned char* copy = (unsigned char*)malloc(n ? n : 1);
        memcpy(copy, src.data(), n);
        int r = parse_highscores(copy, n);
        free(copy);
        int want = n < 37 ? HIGHSCORES_BAD_FORMAT : n < 39 ? HIGHSCORES_BAD_VERSION : HIGHSCORES_OK;
        ASSERT_EQ(r, want) << "length " << n;
    }
}

using ScoresDeathTest = Scores;

TEST_F(ScoresDeathTest, DamagedFilesStopWithTheirMessage)
{
    std::string bad_sig = header();
    bad_sig[3] = 'x';
    write_bytes(HIGHSCORE_FILE, bad_sig + std::string(360, '\0'));
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(read_whole_file("errorlog.txt").find(
                  "load_highscores(): Invalid format of file \"scores.bin\"\n"),
              std::string::npos);

    write_bytes(HIGHSCORE_FILE, std::string("Crimson"));
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");

    std::string bad_version = header();
    bad_version[37] = 2;
    write_bytes(HIGHSCORE_FILE, bad_version);
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");
    write_bytes(HIGHSCORE_FILE, header().substr(0, 38));
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");
    std::string log = read_whole_file("errorlog.txt");
    size_t first = log.find("load_highscores(): Version mismatch in file \"scores.bin\"\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("Version mismatch", first + 1), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);

    // A folder where the file should be cannot be read.
    remove(HIGHSCORE_FILE);
    ASSERT_EQ(mkdir(HIGHSCORE_FILE, 0755), 0);
    EXPECT_EXIT(load_highscores(), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(read_whole_file("errorlog.txt").find(
                  "load_highscores(): Unable to access file \"scores.bin\"\n"),
              std::string::npos);
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
    // Header, rule, then rows 32 apart.
    EXPECT_EQ(table_x(), 200);
    EXPECT_EQ(table_y(-2), 148);
    EXPECT_EQ(table_y(-1), 180);
    EXPECT_EQ(table_y(0), 212);
    EXPECT_EQ(table_y(9), 500);

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
    row = format_highscore_row(1);
    EXPECT_EQ(row, " 2. NNNNNNNNNNNNNNNNNNNN 0        4294967294 0 sec");
}

TEST_F(Scores, EntryLinesAreCentred)
{
    EXPECT_EQ(entry_x((int)strlen(ENTRY_TITLE)), 228);
    EXPECT_EQ(entry_y(0), 284);
    EXPECT_EQ(entry_x((int)strlen(ENTRY_PROMPT)), 336);
    EXPECT_EQ(entry_y(1), 332);
    EXPECT_EQ(entry_y(2), 364);

    memset(name_buffer, 0, sizeof name_buffer);
    EXPECT_STREQ(format_name_line(), "><");
    EXPECT_EQ(entry_x(2), 392);
    strcpy(name_buffer, "Abc");
    EXPECT_STREQ(format_name_line(), ">Abc<");
    EXPECT_EQ(entry_x((int)strlen(format_name_line())), 380) << "4 pixels left per character";
    memset(name_buffer, 0, sizeof name_buffer);
}

}  // namespace
