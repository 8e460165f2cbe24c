// Where a finished run meets the table: the question asked when the run is
// over and the storing of the run under the typed name. Kept apart from the
// file code so that the loader builds and is fuzzed on its own.
#include "characters/player.h"
#include "scores/highscores.h"

char name_buffer[HIGHSCORE_NAME_MAX + 1];

int is_new_highscore()
{
    return highscore_qualifies(score);
}

void insert_highscore()
{
    add_highscore(name_buffer, score, kills[KIND_CIVILIAN], kills[KIND_ARMED], run_seconds);
    save_highscores();
}
