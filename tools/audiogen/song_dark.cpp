// "analogi'que", the dark theme of the intro and the story that carries on
// through the run. D minor. A slow first minute (bells, pads, a choir, then
// arpeggios building), then the run at 110 BPM: the theme on a saw lead, a
// B part with a Neapolitan E flat, a break, a development in G minor, an
// episode in F major, a bridge climbing back, a climax and a slow coda that
// dies away.
#include "compose.h"
#include "mod_instruments.h"
#include "songs.h"

#include <vector>

#define PAD INST_PAD_MAJOR
#define TEMPO_STORY 96
#define TEMPO_RUN 110
// The development moves the theme into the subdominant, G minor.
#define TO_G_MINOR (-7)

static const char* INTRO_BELL = "A5:8 F5:8 | D5:8 F5:8 | G5:8 D5:8 | E5:8 C#5:8";
static const char* THEME_1 =
    "A4:6 D5:2 F5:4 E5:2 D5:2 | D5:8 C5:4 Bb4:4 | Bb4:6 A4:2 G4:4 Bb4:2 D5:2 | C#5:8 E5:4 A4:4";
static const char* THEME_2 = "A4:6 D5:2 F5:4 A5:4 | G5:6 F5:2 D5:8 | G5:4 F5:4 D5:4 Bb4:4 | A4:12 C#5:2 E5:2";
static const char* PART_B1 = "G5:6 F5:2 D5:4 Bb4:4 | A4:6 D5:2 F5:8 | F5:6 G5:2 A5:4 F5:4 | E5:12 -:4";
static const char* PART_B2 = "G5:6 A5:2 Bb5:4 G5:4 | F5:6 E5:2 D5:8 | Eb5:6 D5:2 Bb4:4 G4:4 | A4:8 C#5:4 E5:4";
static const char* CLIMAX =
    "D5:2 F5:2 A5:4 G5:2 F5:2 E5:2 F5:2 | D5:2 F5:2 Bb5:4 A5:2 G5:2 F5:2 D5:2 | "
    "G4:2 Bb4:2 D5:4 G5:4 F5:2 D5:2 | E5:2 C#5:2 A4:4 C#5:2 E5:2 A5:4";
// Part C: an episode in the relative major before the climb back.
static const char* PART_C1 = "C5:4 F5:4 A5:6 G5:2 | G5:4 E5:4 C5:4 E5:4 | F5:6 E5:2 D5:4 A4:4 | Bb4:4 D5:4 F5:8";
static const char* PART_C2 = "G5:6 F5:2 D5:4 Bb4:4 | C5:4 E5:4 G5:4 Bb5:4 | A5:6 G5:2 F5:4 C5:4 | C#5:4 E5:4 A5:8";
static const char* BREAK_CHOIR = "D5:16 | F5:16 | D5:16 | C#5:16";
static const char* BRIDGE_1 = "F5:16 | A5:16 | G5:16 | E5:16";
static const char* BRIDGE_2 = "D5:8 F5:8 | E5:8 G5:8 | C#5:16 | E5:12 -:4";
static const char* CODA = "Bb4:16 | C#5:16 | D5:32";

static const char* PULSE = "k.......s.......|k.......s.......|k.......s.......|k.......s...s.s.";
static const char* BUILD_1 = "K.h.h.h.K.h.h.h.";
static const char* BUILD_2 = "K.h.S.h.K.h.S.h.|K.h.S.h.K.h.S.h.|K.h.S.h.K.h.S.h.|K.S.S.SSsSSSSSSS";
static const char* DRIVE_IN = "C.h.S.h.K.hKS.h.|K.h.S.h.K.hKS.ho|K.h.S.h.K.hKS.h.|K.h.S.h.K.hKS.ho";
static const char* DRIVE = "K.h.S.h.K.hKS.h.|K.h.S.h.K.hKS.ho|K.h.S.h.K.hKS.h.|K.h.S.hSK.S.MMTT";
static const char* SHUFFLE = "K.hhS.hhK.hKS.hh|K.hhS.hhK.hKS.ho|K.hhS.hhK.hKS.hh|K.hhS.hhK.SST.T.";
static const char* HEAVY = "K.h.S.hKK.h.S.h.|K.h.S.hKK.h.S.ho|K.h.S.hKK.h.S.h.|K.h.S.hKK.SSTTMM";
static const char* HALF = "C.......S.......|K.......S...K...|K.......S.......|K.......S..kS.SS";
static const char* TOMS = "T...T...M...M...|T...T...M...M.t.|T.h.T.h.M.h.M.h.|T.T.M.M.t.t.SSSS";
static const char* SOFT_END = "k.......s.......|k.......s.......|k...............|................";

static const char* BASS_LONG = "R...............";
static const char* BASS_HALF = "R.......R.......";
static const char* BASS_RUN = "R.r.R.r.R.r.5.r.";
static const char* BASS_RIFF = "R..R..8.R..R.7.5";
static const char* BASS_PULSE = "R.rrR.rrR.rr5.rr";

static const char* PAD_WHOLE = "x...............";
static const char* PAD_TWICE = "x.......x.......";
static const char* ARP_SLOW = "1.5.8.5.3.5.8.5.";
static const char* ARP_FAST = "1358853113588531";
static const char* PAD_LAST = "x...............|x...............|x...............|x...............";

static const Section DARK[] = {
    // The intro and the story.
    { TEMPO_STORY, "Dm Bb Gm A", nullptr, nullptr, 0, PAD_WHOLE, PAD, 0x30, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Dm Bb Gm A", nullptr, BASS_LONG, INST_SUB_BASS, PAD_WHOLE, PAD, 0x30, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Dm Bb Gm A", PULSE, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x34, THEME_1, INST_CHOIR, 0x22, 0, 0 },
    { 0, "Dm Bb Gm A", PULSE, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x34, THEME_2, INST_CHOIR, 0x22, 0, 0 },
    { 0, "Dm Bb Gm A", BUILD_1, BASS_HALF, INST_SUB_BASS, ARP_SLOW, INST_PLUCK, 0x38, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Gm Dm Eb A", BUILD_2, BASS_PULSE, INST_BASS, ARP_FAST, INST_PLUCK, 0x2C, nullptr, 0, 0, 0, 0 },
    // The run.
    { TEMPO_RUN, "Dm Bb Gm A", DRIVE_IN, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, THEME_1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, THEME_2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Gm Dm Bb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Gm Dm Eb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE_IN, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, CLIMAX, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, THEME_2, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Dm Dm Bb A", HEAVY, BASS_RIFF, INST_BASS, PAD_TWICE, PAD, 0x2A, nullptr, 0, 0, 0, 0 },
    { 0, "Dm Dm Bb A", HEAVY, BASS_RIFF, INST_BASS, PAD_WHOLE, PAD, 0x26, BREAK_CHOIR, INST_CHOIR, 0, 0, 0 },
    // Development in G minor.
    { 0, "Dm Bb Gm A", HALF, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x2A, THEME_1, INST_LEAD_SAW, 0, TO_G_MINOR, 0 },
    { 0, "Dm Bb Gm A", HALF, BASS_HALF, INST_SUB_BASS, ARP_SLOW, INST_PLUCK, 0x2E, THEME_2, INST_LEAD_SAW, 0, TO_G_MINOR, 0 },
    { 0, "Gm Dm Bb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B1, INST_CHOIR, 0, TO_G_MINOR, 0 },
    { 0, "Gm Dm Eb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B2, INST_CHOIR, 0, TO_G_MINOR, 0 },
    // Episode in F major.
    { 0, "F C Dm Bb", SHUFFLE, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, PART_C1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Gm C F A", SHUFFLE, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, PART_C2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "F C Dm Bb", DRIVE, BASS_PULSE, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, PART_C1, INST_CHOIR, 0, 0, 0 },
    { 0, "Gm C F A", DRIVE, BASS_PULSE, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, PART_C2, INST_CHOIR, 0, 0, 0 },
    // The climb back to D minor.
    { 0, "Bb F Gm A", TOMS, BASS_PULSE, INST_BASS, ARP_FAST, INST_PLUCK, 0x2C, BRIDGE_1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Bb C A A", BUILD_2, BASS_PULSE, INST_BASS, PAD_WHOLE, PAD, 0x2A, BRIDGE_2, INST_LEAD_SAW, 0, 0, 0 },
    // Climax.
    { 0, "Dm Bb Gm A", DRIVE_IN, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, CLIMAX, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE, BASS_RUN, INST_BASS, PAD_TWICE, PAD, 0x26, THEME_2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Gm Dm Bb A", HEAVY, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, PART_B1, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Gm Dm Eb A", HEAVY, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, PART_B2, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Gm Dm Bb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B1, INST_CHOIR, 0, 0, 0 },
    { 0, "Gm Dm Eb A", DRIVE, BASS_RUN, INST_BASS, PAD_WHOLE, PAD, 0x26, PART_B2, INST_CHOIR, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE_IN, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, THEME_1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Dm Bb Gm A", DRIVE, BASS_RUN, INST_BASS, ARP_FAST, INST_PLUCK, 0x2A, THEME_2, INST_LEAD_SAW, 0, 0, 0 },
    // Coda.
    { TEMPO_STORY, "Dm Bb Gm A", SOFT_END, BASS_LONG, INST_SUB_BASS, PAD_WHOLE, PAD, 0x30, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Gm A Dm Dm", nullptr, BASS_LONG, INST_SUB_BASS, PAD_LAST, PAD, 0x30, CODA, INST_CHOIR, 0, 0,
      SECTION_FADE_OUT },
};

// Where the run's parts begin in DARK, and the two sections of the coda.
#define RUN_FROM 6
#define DEVELOPMENT_FROM 14
#define CODA_SECTIONS 2

// A run lasts as long as the player survives, and the music plays once, so
// after the climax the development, the episode, the climb and the climax
// come round again, then the whole run once more, before the coda: only the
// order list grows, every pattern is reused.
void compose_dark_theme(ModSong* song)
{
    const int count = (int)(sizeof DARK / sizeof DARK[0]), coda = count - CODA_SECTIONS;
    std::vector<Section> played(DARK, DARK + coda);
    played.insert(played.end(), DARK + DEVELOPMENT_FROM, DARK + coda);
    played.insert(played.end(), DARK + RUN_FROM, DARK + coda);
    played.insert(played.end(), DARK + coda, DARK + count);
    song->title = "analogi'que";
    compose_song(song, played.data(), (int)played.size());
}
