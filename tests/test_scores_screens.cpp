// Layout of the high-score table and the name entry screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/states.h"
#include "scores/highscores.h"
#include "scores/score_screens.h"

namespace {

TEST(ScoreScreens, TableRowsLineUpUnderTheHeader)
{
    clear_highscores();
    EXPECT_EQ(table_x(), 200);
    EXPECT_EQ(table_y(-2), 148);
    EXPECT_EQ(table_y(-1), 180);
    EXPECT_EQ(strlen(TABLE_HEADER), 50u);
    EXPECT_EQ(std::string(TABLE_RULE), std::string(50, '-'));
    for (int i = 0; i < HIGHSCORE_COUNT; i++)
        EXPECT_EQ(table_y(i), 212 + 32 * i);

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
    clear_highscores();
}

TEST(ScoreScreens, EntryLinesAreCentred)
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
