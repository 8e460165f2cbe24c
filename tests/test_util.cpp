// Error log and the math helpers.
#include <gtest/gtest.h>

#include <climits>
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

TEST(RandomRange, StaysInsideReachesBothEndsAndTakesReversedBoundsAsTheSameRange)
{
    srand(1234);
    std::set<int> seen, reversed;
    for (int i = 0; i < 2000; i++) {
        int v = random_range(-2, 2), r = random_range(2, -2), one_apart = random_range(3, 2);
        ASSERT_TRUE(v >= -2 && v <= 2 && r >= -2 && r <= 2 && (one_apart == 2 || one_apart == 3)) << v << r << one_apart;
        seen.insert(v);
        reversed.insert(r);
        ASSERT_EQ(random_range(5, 5), 5);
        // Fifteen bits: a span wider than 32,768 never reaches its upper part.
        ASSERT_LT(random_range(0, 100000), 32768);
        ASSERT_LT(random_range(INT_MAX, INT_MIN), INT_MIN + 32768);
    }
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(reversed.size(), 5u);
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
