// The folders of src/ stand in layers, bottom to top; a file may include
// its own layer and the ones below it, never one above. An include that
// points upward is listed with its file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

static const std::map<std::string, int> LAYER = {
    {"util", 0},                                      // files, codec, errors, settings, clock
    {"render", 1},    {"sound", 1},                   // the platform's picture and sound
    {"world", 2},     {"characters", 2}, {"combat", 2}, // the rules
    {"scores", 3},    {"frontend", 3},                // the screens
    {"core", 4},                                      // the loop, states and input
};

TEST(Layers, NoIncludePointsUpward)
{
    namespace fs = std::filesystem;
    const fs::path src = fs::path(CRIMSON_SOURCE_DIR) / "src";
    const std::regex include_line("^\\s*#\\s*include\\s*\"([A-Za-z_]+)/");
    std::string upward;
    int includes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file())
            continue;
        std::string from = fs::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(LAYER.count(from)) << "a folder without a layer: " << from;
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); n++) {
            std::smatch m;
            if (!std::regex_search(line, m, include_line))
                continue;
            includes++;
            auto to = LAYER.find(m[1].str());
            if (to == LAYER.end() || to->second > LAYER.at(from))
                upward += fs::relative(entry.path(), src).string() + ":" + std::to_string(n) + ": " + line + "\n";
        }
    }
    EXPECT_GT(includes, 200) << "the walk found too few includes to mean anything";
    EXPECT_EQ(upward, "");
}
