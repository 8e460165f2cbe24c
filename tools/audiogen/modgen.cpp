// modgen OUTDIR: composes the game's three ProTracker modules and writes
// them into OUTDIR (normally the staging folder's "sfx"). Deterministic: the
// instruments are synthesised from fixed seeds and the scores are text.
#include <cstdio>
#include <string>

#include "mod_format.h"
#include "mod_instruments.h"
#include "songs.h"

static void make_module(const std::string& path, void (*compose)(ModSong*))
{
    ModSong song;
    fill_instruments(&song);
    compose(&song);
    mod_write_file(&song, path);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: modgen OUTDIR\n");
        return 2;
    }
    std::string dir = argv[1];
    make_module(dir + "/small theme.mod", compose_title_theme);
    make_module(dir + "/analogi'que.mod", compose_dark_theme);
    make_module(dir + "/summerblueskyes.mod", compose_high_score_theme);
    return 0;
}
