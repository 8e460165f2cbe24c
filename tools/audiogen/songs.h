// Our three modules; each function composes its song into an empty ModSong
// whose instruments are already filled.
#pragma once
#include "mod_format.h"

void compose_title_theme(ModSong* song);      // "small theme"
void compose_dark_theme(ModSong* song);       // "analogi'que"
void compose_high_score_theme(ModSong* song); // "summerblueskyes"
