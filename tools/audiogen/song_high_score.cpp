// "summerblueskyes", the new-high-score music: C major at 140 BPM, disco
// octave bass, claps, a bright high lead and a short choir bridge.
#include "compose.h"
#include "mod_instruments.h"
#include "songs.h"

#define PAD INST_PAD_MAJOR

static const char* HIGH_A1 =
    "E5:2 G5:2 C6:4 B5:2 C6:2 G5:4 | D5:2 G5:2 B5:4 A5:2 B5:2 G5:4 | "
    "C6:2 B5:2 A5:2 E5:2 A5:4 C6:4 | A5:4 G5:2 F5:2 A5:4 C6:4";
static const char* HIGH_A2 =
    "E6:4 D6:2 C6:2 G5:4 E5:4 | D5:2 G5:2 B5:2 D6:2 B5:4 G5:4 | "
    "A5:2 C6:2 F6:4 D6:2 B5:2 G5:4 | C6:12 -:4";
static const char* HIGH_B1 = "A5:4 C6:4 A5:2 G5:2 F5:4 | G5:4 B5:4 D6:4 B5:4 | B5:4 G5:2 E5:2 G5:4 B5:4 | A5:6 G5:2 E5:8";
static const char* HIGH_B2 = "F5:4 A5:4 D6:4 C6:2 A5:2 | B5:4 D6:4 G6:4 F6:4 | E6:6 D6:2 C6:8 | G5:4 E5:4 C5:4 -:4";
static const char* BRIDGE = "E5:8 C5:8 | B4:8 G4:8 | A4:8 C5:8 | D5:8 B4:8";
static const char* ENDING = "C6:4 G5:4 E5:4 G5:4 | B5:4 G5:4 D5:4 G5:4 | A5:4 F5:4 B5:4 D6:4 | C6:16";

static const char* KICKS = "K.h.K.h.K.h.K.hh";
static const char* DISCO_IN = "C.hhX.hhK.KhX.ho|K.hhX.hhK.KhX.ho|K.hhX.hhK.KhX.ho|K.hhX.hhK.KhXXXX";
static const char* DISCO = "K.hhX.hhK.KhX.ho|K.hhX.hhK.KhX.ho|K.hhX.hhK.KhX.ho|K.hhX.hhK.XhMMTT";
static const char* LAST_HIT = "C.hhX.hhK.KhX.ho|K.hhX.hhK.KhX.ho|K.hhX.hhK.KhXXXX|C...............";
static const char* BOUNCE = "K...X.h.K.h.X.h.|K...X.h.K.h.X.ho";

static const char* BASS_OCTAVES = "R.8.R.8.R.8.R.8.";
static const char* BASS_END = "R.8.R.8.R.8.R.8.|R.8.R.8.R.8.R.8.|R.8.R.8.R.8.R.8.|R...............";
static const char* BASS_WALK = "R.8.5.8.R.8.5.3.";
static const char* ARP_UP = "1.3.5.8.1.3.5.8.";
static const char* ARP_RUN = "1358853113588531";
static const char* PAD_STAB = "x.......x...x...";
static const char* PAD_LAST = "x...............|x...............|x...............|x...............";

static const Section HIGH_SCORE[] = {
    { 140, "C G Am F", KICKS, BASS_OCTAVES, INST_BASS, ARP_UP, INST_PLUCK, 0x30, nullptr, 0, 0, 0, 0 },
    { 0, "C G Am F", DISCO_IN, BASS_OCTAVES, INST_BASS, ARP_UP, INST_PLUCK, 0x2A, HIGH_A1, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "C G F,G C", DISCO, BASS_OCTAVES, INST_BASS, ARP_UP, INST_PLUCK, 0x2A, HIGH_A2, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "F G Em Am", DISCO, BASS_WALK, INST_BASS, PAD_STAB, PAD, 0x26, HIGH_B1, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "Dm G C C", DISCO, BASS_WALK, INST_BASS, PAD_STAB, PAD, 0x26, HIGH_B2, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "Am Em F G", BOUNCE, BASS_OCTAVES, INST_SUB_BASS, ARP_RUN, INST_PLUCK, 0x2C, BRIDGE, INST_CHOIR, 0, 0, 0 },
    { 0, "C G Am F", DISCO_IN, BASS_OCTAVES, INST_BASS, PAD_STAB, PAD, 0x26, HIGH_A1, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "C G F,G C", DISCO, BASS_OCTAVES, INST_BASS, PAD_STAB, PAD, 0x26, HIGH_A2, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "F G Em Am", DISCO, BASS_WALK, INST_BASS, ARP_RUN, INST_PLUCK, 0x2A, HIGH_B1, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "Dm G C C", DISCO, BASS_WALK, INST_BASS, ARP_RUN, INST_PLUCK, 0x2A, HIGH_B2, INST_LEAD_HIGH, 0, 0, 0 },
    { 0, "C G F,G C", LAST_HIT, BASS_END, INST_BASS, PAD_LAST, PAD, 0x2E, ENDING, INST_LEAD_HIGH, 0, 0,
      SECTION_FADE_OUT },
};

void compose_high_score_theme(ModSong* song)
{
    song->title = "summerblueskyes";
    compose_song(song, HIGH_SCORE, (int)(sizeof HIGH_SCORE / sizeof HIGH_SCORE[0]));
}
