// Our little score language: a song is a list of four-bar sections, each one
// pattern of 64 rows (16 per bar), written as text.
//
// Channels: 0 drums, 1 bass, 2 chords (pad or arpeggio), 3 lead.
//
// chords: four bars, e.g. "Am F C G"; "Dm,C" splits a bar into two halves.
//   A chord is a root (A-G, optional # or b) and "m" for minor, "5" for a
//   bare fifth.
// drums, bass, pad: one bar of 16 steps; "|" separates bars, and a shorter
//   list repeats. "." lets the last sound ring, "^" silences the channel.
//   drums: K/k kick (loud/soft), S/s snare, h/H hat, o open hat, C crash,
//     T/M/t low, mid, high tom, X clap.
//   bass: R/r root (loud/soft), 2 3 4 5 6 7 chord steps (3 and 6 follow the
//     chord's quality, 7 is the flat seventh), 8 the octave, L the fifth below.
//   pad: x a full chord (pad instruments), or 1 3 5 8 7 9 single chord tones
//     (arpeggio instruments).
// lead: tokens NOTE:ROWS, e.g. "E5:4 C#5:2"; "-:4" rests, "=:4" holds the
//   previous note; held notes of 6 rows or more get vibrato. The tokens must
//   fill exactly 64 rows; "|" may mark bars.
#pragma once
#include "mod_format.h"

struct Section {
    int tempo;            // BPM set at the first row, 0 keeps the current one
    const char* chords;
    const char* drums;    // null for silence
    const char* bass;
    int bass_inst;
    const char* pad;
    int pad_inst;         // INST_PAD_MAJOR picks the major or minor pad per chord
    int pad_volume;
    const char* lead;
    int lead_inst;
    int lead_volume;
    int transpose;        // semitones applied to chords and lead
    int flags;
};

// Section flags.
#define SECTION_FADE_OUT 1   // everything fades away over the last two bars
#define SECTION_LEAD_OCTAVE_DOWN 2

// Builds the song's patterns and order list from the sections; identical
// patterns are stored once. Stops the generator with a message on a
// malformed section.
void compose_song(ModSong* song, const Section* sections, int count);
