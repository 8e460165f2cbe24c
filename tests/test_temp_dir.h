// A fresh working folder for the length of one test. Tests that end in
// fatal_error write errorlog.txt into the working folder, so each runs in a
// folder of its own and the log holds only its lines.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

struct TempDir {
    std::string old_dir, path;
    TempDir()
    {
        char buf[4096];
        old_dir = getcwd(buf, sizeof buf);
        char tmpl[] = "/tmp/crimson_test_XXXXXX";
        path = mkdtemp(tmpl);
        if (chdir(path.c_str()) != 0) abort();
    }
    ~TempDir()
    {
        if (chdir(old_dir.c_str()) != 0) abort();
        std::string cmd = "rm -rf " + path;
        if (system(cmd.c_str()) != 0) abort();
    }
};

inline std::string read_whole_file(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_whole_file(const char* path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
