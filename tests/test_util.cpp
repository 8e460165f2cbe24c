// Error log, clock stamps and the math helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>

#include "test_temp_dir.h"
#include "util/errors.h"
#include "util/mathutil.h"

TEST(FatalErrorDeathTest, AppendsOneCutLinePerReportAndExitsWithOneEvenWithoutALog)
{
    TempDir dir;
    EXPECT_EXIT(fatal_error("main()", "Invalid program argument \"%s\"", "-x"),
                ::testing::ExitedWithCode(1), "");
    // Only the format is interpreted: a percent sign in an argument stays text.
    EXPECT_EXIT(fatal_error("load_map()", "File \"%s\" not found", "50%d.map"),
                ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(fatal_error("new_character()", "Failed allocating memory for character"),
                ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_whole_file(ERROR_LOG_FILE),
              "main(): Invalid program argument \"-x\"\n"
              "load_map(): File \"50%d.map\" not found\n"
              "new_character(): Failed allocating memory for character\n");

    // An overlong message is cut to the buffer.
    remove(ERROR_LOG_FILE);
    std::string huge(5000, 'x');
    EXPECT_EXIT(fatal_error("t()", "%s", huge.c_str()), ::testing::ExitedWithCode(1), "");
    std::string log = read_whole_file(ERROR_LOG_FILE);
    EXPECT_EQ(log, "t(): " + std::string(ERROR_MESSAGE_SIZE - 1, 'x') + "\n");

    // A log path that cannot be opened (a folder in its place) loses the
    // line but not the exit code.
    remove(ERROR_LOG_FILE);
    ASSERT_EQ(mkdir(ERROR_LOG_FILE, 0700), 0);
    EXPECT_EXIT(fatal_error("t()", "lost"), ::testing::ExitedWithCode(1), "");
}

TEST(Stamps, AreSixDigitsOfLocalDateAndTime)
{
    setenv("TZ", "UTC", 1);
    tzset();
    std::string d = date_stamp(), t = time_stamp();
    ASSERT_EQ(d.size(), 6u);
    ASSERT_EQ(t.size(), 6u);
    time_t now = time(nullptr);
    struct tm tm;
    gmtime_r(&now, &tm);
    char expect_date[16];
    strftime(expect_date, sizeof expect_date, "%m%d%y", &tm);
    EXPECT_EQ(d, expect_date);
    int hh = std::stoi(t.substr(0, 2)), mm = std::stoi(t.substr(2, 2)), ss = std::stoi(t.substr(4, 2));
    EXPECT_LT(hh, 24);
    EXPECT_LT(mm, 60);
    EXPECT_LT(ss, 61);
    unsetenv("TZ");
    tzset();
}

TEST(RandomRange, StaysInsideAndReachesBothEnds)
{
    srand(1234);
    std::set<int> seen;
    for (int i = 0; i < 2000; i++) {
        int v = random_range(-2, 2);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 2);
        seen.insert(v);
        ASSERT_EQ(random_range(5, 5), 5);
    }
    EXPECT_EQ(seen.size(), 5u);
    // Fifteen bits: a span wider than 32,768 never reaches its upper part.
    for (int i = 0; i < 2000; i++)
        ASSERT_LT(random_range(0, 100000), 32768);
}

TEST(RandomRangeDeathTest, HighBelowLowIsAProgrammingError)
{
#ifndef NDEBUG
    EXPECT_DEATH(random_range(3, 2), "");
#else
    GTEST_SKIP() << "assertions are compiled out in this build";
#endif
}

TEST(MathHelpers, RectsTouchingAtEdgesDoNotOverlapAnglesRunClockwiseFromNorth)
{
    EXPECT_EQ(rects_overlap(0, 0, 32, 32, 32, 0, 32, 32), 0);
    EXPECT_EQ(rects_overlap(0, 0, 32, 32, 31, 0, 32, 32), 1);
    EXPECT_EQ(rects_overlap(0, 0, 32, 32, 0, 32, 32, 32), 0);
    EXPECT_EQ(rects_overlap(0, 0, 32, 32, 0, -31, 32, 32), 1);
    EXPECT_EQ(rects_overlap(-40, -40, 32, 32, 0, 0, 32, 32), 0);
    EXPECT_EQ(rects_overlap(10, 10, 1, 1, 0, 0, 32, 32), 1);

    EXPECT_EQ(angle_to(0, 0, 0, -10), 0);
    EXPECT_EQ(angle_to(0, 0, 10, 0), 90);
    EXPECT_EQ(angle_to(0, 0, 0, 10), 180);
    EXPECT_EQ(angle_to(0, 0, -10, 0), 270);
    EXPECT_EQ(angle_to(0, 0, -10, -10), -45);
    EXPECT_EQ(angle_to(5, 5, 5, 5), 90);
    // Truncation: just either side of north still reads 0.
    EXPECT_EQ(angle_to(0, 0, 0.1f, -10), 0);
    EXPECT_EQ(angle_to(0, 0, -0.1f, -10), 0);
    EXPECT_EQ(angle_to(100, 100, 110, 90), 45);
}
