// "small theme", the title music: A minor at 125 BPM, a bell intro, a saw
// lead over a rock groove, a brighter B part, a choir bridge in D minor, a
// bass-and-arpeggio break, the themes once more and a quiet outro.
#include "compose.h"
#include "mod_instruments.h"
#include "songs.h"

#define PAD INST_PAD_MAJOR

static const char* INTRO_BELL = "E5:8 A5:8 | C5:8 F5:8 | G5:8 E5:8 | D5:8 B4:8";
static const char* THEME_A1 =
    "E5:4 A4:2 C5:2 E5:3 D5:1 C5:2 B4:2 | C5:4 A4:2 F4:2 A4:8 | "
    "G4:2 C5:2 E5:2 G5:4 E5:2 D5:2 C5:2 | D5:6 B4:2 G4:4 B4:2 D5:2";
static const char* THEME_A2 =
    "E5:4 A4:2 C5:2 E5:3 D5:1 C5:2 E5:2 | F5:4 E5:2 C5:2 A4:8 | "
    "G4:2 C5:2 E5:2 G5:4 A5:2 G5:2 E5:2 | D5:4 E5:2 D5:2 B4:6 -:2";
static const char* THEME_B1 = "A5:6 G5:2 F5:4 E5:4 | D5:6 E5:2 G5:8 | E5:6 D5:2 B4:4 G4:4 | A4:12 -:4";
static const char* THEME_B2 = "A5:6 G5:2 F5:4 A5:4 | B5:6 A5:2 G5:4 D5:4 | E5:4 G#5:4 B5:4 G#5:4 | B4:12 G#4:4";
static const char* BRIDGE_1 = "D5:8 F5:8 | E5:8 A4:8 | C5:8 F5:8 | G5:8 A5:8";
static const char* BRIDGE_2 = "A5:8 F5:8 | C5:8 A4:8 | B4:8 D5:8 | E5:12 -:4";
static const char* OUTRO_BELL = "A5:16 E5:16 C5:16 A4:16";

static const char* HATS = "h.h.h.h.h.h.h.h.|h.h.h.h.h.h.h.h.|h.h.h.h.h.h.h.h.|h.h.h.h.h.hhs.ss";
static const char* ROCK_IN = "C.h.S.h.K.K.S.h.|K.h.S.h.K.K.S.ho|K.h.S.h.K.K.S.h.|K.h.S.h.K.K.S.ho";
static const char* ROCK = "K.h.S.h.K.K.S.h.|K.h.S.h.K.K.S.ho|K.h.S.h.K.K.S.h.|K.h.S.h.K.S.MMTT";
static const char* ROCK_ROLL = "K.h.S.h.K.K.S.h.|K.h.S.h.K.K.S.ho|K.h.S.h.K.K.S.h.|K.S.S.S.SsSSSSSS";
static const char* HALF_TIME = "K.......S.......|K.......S.....k.|K.......S.......|K.....k.S...T.M.";
static const char* BREAK = "K.hkS.hkK.hkS.hk|K.hkS.hkK.hkS.ho|K.hkS.hkK.hkS.hk|K.hkS.hkS.SSMMTT";

static const char* BASS_HALF = "R.......R.......";
static const char* BASS_ROCK = "R..R..R.5..5.8.5";
static const char* BASS_DRIVE = "R.r.R.r.R.r.R.r.";
static const char* BASS_WHOLE = "R...............";
static const char* BASS_RIFF = "R.R8.R5.R.R8.7.5";

static const char* PAD_WHOLE = "x...............";
static const char* PAD_HALF = "x.......x.......";
static const char* ARP_16 = "1358135813581358";
static const char* ARP_8 = "1.5.8.3.1.5.8.3.";
static const char* PAD_LAST = "x...............|x...............|x...............|^...............";

static const Section TITLE[] = {
    { 125, "Am F C G", nullptr, nullptr, 0, PAD_WHOLE, PAD, 0x32, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Am F C G", HATS, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x32, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Am F C G", ROCK_IN, BASS_ROCK, INST_BASS, PAD_HALF, PAD, 0x26, THEME_A1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Am F C G", ROCK, BASS_ROCK, INST_BASS, PAD_HALF, PAD, 0x26, THEME_A2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "F G Em Am", ROCK, BASS_DRIVE, INST_BASS, PAD_WHOLE, PAD, 0x26, THEME_B1, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "F G E E", ROCK_ROLL, BASS_DRIVE, INST_BASS, PAD_WHOLE, PAD, 0x26, THEME_B2, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Am F C G", ROCK_IN, BASS_ROCK, INST_BASS, ARP_16, INST_PLUCK, 0x2C, THEME_A1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Am F C G", ROCK, BASS_ROCK, INST_BASS, ARP_16, INST_PLUCK, 0x2C, THEME_A2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Dm Dm F F", HALF_TIME, BASS_WHOLE, INST_SUB_BASS, ARP_8, INST_PLUCK, 0x30, BRIDGE_1, INST_CHOIR, 0x24, 0, 0 },
    { 0, "Dm F G E", ROCK_ROLL, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x2E, BRIDGE_2, INST_CHOIR, 0, 0, 0 },
    { 0, "Am Am F G", BREAK, BASS_RIFF, INST_BASS, ARP_16, INST_PLUCK, 0x2C, nullptr, 0, 0, 0, 0 },
    { 0, "Am F C G", ROCK_IN, BASS_ROCK, INST_BASS, PAD_HALF, PAD, 0x26, THEME_A1, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "Am F C G", ROCK, BASS_ROCK, INST_BASS, PAD_HALF, PAD, 0x26, THEME_A2, INST_LEAD_SAW, 0, 0, 0 },
    { 0, "F G Em Am", ROCK, BASS_DRIVE, INST_BASS, ARP_16, INST_PLUCK, 0x2C, THEME_B1, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "F G E E", ROCK_ROLL, BASS_DRIVE, INST_BASS, PAD_WHOLE, PAD, 0x26, THEME_B2, INST_LEAD_SQUARE, 0, 0, 0 },
    { 0, "Am F C G", ROCK_IN, BASS_HALF, INST_SUB_BASS, PAD_WHOLE, PAD, 0x32, INTRO_BELL, INST_BELL, 0, 0, 0 },
    { 0, "Am F Am Am", nullptr, BASS_WHOLE, INST_SUB_BASS, PAD_LAST, PAD, 0x32, OUTRO_BELL, INST_BELL, 0, 0,
      SECTION_FADE_OUT },
};

void compose_title_theme(ModSong* song)
{
    song->title = "small theme";
    compose_song(song, TITLE, (int)(sizeof TITLE / sizeof TITLE[0]));
}
