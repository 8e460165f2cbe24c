// The instrument bank shared by our three modules: drums, basses, chord pads,
// leads, a bell, a pluck and a choir, all synthesised here.
//
// Pitched instruments repeat every CYCLE samples at the C-2 playback rate, so
// C-2 sounds as the MIDI note base_midi; chord pads hold a whole triad in one
// sample, which gives a four-channel module full harmony on one channel.
#pragma once
#include "mod_format.h"

enum {
    INST_KICK = 1,
    INST_SNARE,
    INST_HAT,
    INST_OPEN_HAT,
    INST_CRASH,      // a crash cymbal over a kick, so a section can open on both
    INST_TOM,
    INST_CLAP,
    INST_BASS,       // plucked saw bass
    INST_SUB_BASS,   // round bass, its harmonics soft but up to the sixth
    INST_PAD_MAJOR,  // detuned saw pad holding a major triad
    INST_PAD_MINOR,  // the same with a minor triad
    INST_LEAD_SAW,   // two detuned saws
    INST_LEAD_SQUARE,
    INST_BELL,
    INST_CHOIR,      // a small ensemble singing "ah"
    INST_PLUCK,
    INST_LEAD_HIGH,  // bright pulse an octave above the other leads
    INST_END         // one past the last
};

// MIDI note that sounds when the instrument is played at C-2; drums: -1.
int instrument_base_midi(int inst);
// Fills the song's sample slots with the whole bank.
void fill_instruments(ModSong* song);
