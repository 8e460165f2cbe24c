// The module generator's parts: the score language turns text into the
// right notes and refuses what does not fit, the writer lays out a file
// ProTracker players read, and every looped instrument loops without a click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "compose.h"
#include "mod_format.h"
#include "mod_instruments.h"

namespace {

const int CH_DRUMS = 0, CH_BASS = 1, CH_PAD = 2, CH_LEAD = 3;

Section plain_section(const char* chords)
{
    Section s = {};
    s.chords = chords;
    return s;
}

// MIDI note a cell sounds, from its note index and the instrument's tuning.
int sounding_midi(const ModCell& c)
{
    return c.note - MOD_NOTE_C2 + instrument_base_midi(c.sample);
}

TEST(Compose, ChordsBassAndLeadBecomeTheWrittenNotes)
{
    Section s = plain_section("Am F,G C E");
    s.bass = "R...5...8...3...";
    s.bass_inst = INST_BASS;
    s.pad = "x.......13......";
    s.pad_inst = INST_PAD_MAJOR;
    s.lead = "A4:8 C5:8 | E5:16 | -:16 | G#4:4 =:12";
    s.lead_inst = INST_LEAD_SAW;
    ModSong song;
    compose_song(&song, &s, 1);
    ASSERT_EQ(1u, song.patterns.size());
    const ModPattern& p = song.patterns[0];

    // Bass of A minor folded into E1..D#2: A1, its fifth, octave, minor third.
    EXPECT_EQ(33, sounding_midi(p.cell[0][CH_BASS]));
    EXPECT_EQ(40, sounding_midi(p.cell[4][CH_BASS]));
    EXPECT_EQ(45, sounding_midi(p.cell[8][CH_BASS]));
    EXPECT_EQ(36, sounding_midi(p.cell[12][CH_BASS]));
    // E major in the last bar: the third is G#, a major third.
    EXPECT_EQ(28 + 4, sounding_midi(p.cell[48 + 12][CH_BASS]));
    // The chord pad follows the quality of each chord, and the second half
    // of a split bar takes the second chord.
    EXPECT_EQ(INST_PAD_MINOR, p.cell[0][CH_PAD].sample);
    EXPECT_EQ(INST_PAD_MAJOR, p.cell[16][CH_PAD].sample);
    EXPECT_EQ(INST_PAD_MAJOR, p.cell[24][CH_PAD].sample);
    EXPECT_EQ(55, sounding_midi(p.cell[24][CH_PAD]));  // G3, the floor of G3..F#4
    EXPECT_EQ(59, sounding_midi(p.cell[25][CH_PAD]));  // its major third, B3

    EXPECT_EQ(69, sounding_midi(p.cell[0][CH_LEAD]));
    EXPECT_EQ(72, sounding_midi(p.cell[8][CH_LEAD]));
    // A held note gets vibrato after a short delay, a rest silences.
    EXPECT_EQ(FX_VIBRATO, p.cell[16 + 8][CH_LEAD].effect);
    EXPECT_EQ(-1, p.cell[16 + 8][CH_LEAD].note);
    EXPECT_EQ(FX_SET_VOLUME, p.cell[32][CH_LEAD].effect);
    EXPECT_EQ(0, p.cell[32][CH_LEAD].param);
    EXPECT_EQ(68, sounding_midi(p.cell[48][CH_LEAD]));
    EXPECT_EQ(-1, p.cell[52][CH_LEAD].note);
}

TEST(Compose, RepeatedSectionsShareAPatternAndSilentPartsAreCut)
{
    Section s[3] = { plain_section("C G Am F"), plain_section("C G Am F"), plain_section("C G Am F") };
    s[0].drums = s[1].drums = "K.h.S.h.K.h.S.h.";
    s[0].tempo = 140;
    s[2].drums = "K...............";
    ModSong song;
    compose_song(&song, s, 3);
    // The first differs by its tempo, the third by its drums.
    ASSERT_EQ(3u, song.order.size());
    EXPECT_EQ(3u, song.patterns.size());
    s[2].drums = s[1].drums;
    compose_song(&song, s, 3);
    EXPECT_EQ(2u, song.patterns.size());
    EXPECT_EQ(song.order[1], song.order[2]);
    // Tempo on the first free effect of the first row; parts without notes
    // start their section silenced so nothing rings on from before.
    const ModPattern& first = song.patterns[song.order[0]];
    bool tempo_found = false;
    for (int ch = 0; ch < MOD_CHANNELS; ch++)
        tempo_found |= first.cell[0][ch].effect == FX_SET_SPEED && first.cell[0][ch].param == 140;
    EXPECT_TRUE(tempo_found);
    EXPECT_EQ(FX_SET_VOLUME, song.patterns[song.order[1]].cell[0][CH_LEAD].effect);
    EXPECT_EQ(0, song.patterns[song.order[1]].cell[0][CH_LEAD].param);
}

TEST(ComposeDeathTest, ScoresThatDoNotFitAreRefused)
{
    ModSong song;
    Section s = plain_section("Am F C G");
    s.lead_inst = INST_LEAD_SAW;
    s.lead = "A4:16 A4:16 A4:16";  // 48 of 64 rows
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "does not fill 64 rows");
    s.lead = "A4:64 A4:4";
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "past the pattern");
    s.lead = "C8:64";  // far above the saw lead's three octaves
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "three octaves");
    s.lead = nullptr;
    s.drums = "K.h.S.h.";
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "16 steps");
    s.drums = nullptr;
    s.chords = "Am F C";
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "four bars");
    s.chords = "Hm F C G";
    EXPECT_EXIT(compose_song(&song, &s, 1), ::testing::ExitedWithCode(1), "bad chord");
}

TEST(ModWriter, LaysOutHeadPatternsAndSamplesInProTrackerOrder)
{
    ModSong song;
    song.title = "test tune";
    song.samples[0].name = "beep";
    song.samples[0].data.assign(100, 5);
    song.samples[0].volume = 40;
    song.samples[0].loop_start = 20;
    song.samples[0].loop_length = 80;
    song.samples[2].data.assign(10, -3);
    song.samples[2].volume = 64;
    ModPattern p;
    mod_clear_pattern(&p);
    p.cell[1][2] = ModCell{ MOD_NOTE_C2, 3, FX_SET_VOLUME, 0x20 };
    song.patterns.assign(2, p);
    song.order = { 0, 1, 1 };
    std::vector<uint8_t> b = mod_serialise(&song);

    ASSERT_EQ(1084u + 2 * 1024 + 100 + 10, b.size());
    EXPECT_EQ(0, memcmp(b.data(), "test tune", 9));
    EXPECT_EQ(0, b[9]);
    EXPECT_EQ(0, memcmp(b.data() + 20, "beep", 4));
    EXPECT_EQ(50, b[42] << 8 | b[43]);   // length in words
    EXPECT_EQ(40, b[45]);
    EXPECT_EQ(10, b[46] << 8 | b[47]);   // loop start in words
    EXPECT_EQ(40, b[48] << 8 | b[49]);   // loop length in words
    EXPECT_EQ(1, b[50 + 28] << 8 | b[50 + 29]);  // unlooped: length 1 word
    EXPECT_EQ(3, b[950]);
    EXPECT_EQ(1, b[953]);
    EXPECT_EQ(0, memcmp(b.data() + 1080, "M.K.", 4));
    // Row 1, channel 2: sample 3, period 428, effect C20.
    const uint8_t* cell = b.data() + 1084 + (1 * 4 + 2) * 4;
    EXPECT_EQ(0x01, cell[0]);
    EXPECT_EQ(0xAC, cell[1]);
    EXPECT_EQ(0x3C, cell[2]);
    EXPECT_EQ(0x20, cell[3]);
    EXPECT_EQ(5, (int8_t)b[1084 + 2048]);
    EXPECT_EQ(-3, (int8_t)b[1084 + 2048 + 100]);
}

TEST(ModWriterDeathTest, BrokenSongsAreRefused)
{
    ModSong song;
    ModPattern p;
    mod_clear_pattern(&p);
    song.patterns.assign(1, p);
    song.order = { 0 };
    song.samples[0].data.assign(10, 0);
    song.samples[0].loop_start = 4;
    song.samples[0].loop_length = 8;
    EXPECT_EXIT(mod_serialise(&song), ::testing::ExitedWithCode(1), "loop outside");
    song.samples[0].loop_length = 0;
    song.order = { 1 };
    EXPECT_EXIT(mod_serialise(&song), ::testing::ExitedWithCode(1), "missing pattern");
    song.order = { 0 };
    song.title = "a title far longer than twenty";
    EXPECT_EXIT(mod_serialise(&song), ::testing::ExitedWithCode(1), "title");
}

TEST(Instruments, LoopsJoinWithoutAClickAndPitchesMatchTheirTuning)
{
    ModSong song;
    fill_instruments(&song);
    int looped = 0;
    for (int i = INST_KICK; i < INST_END; i++) {
        const ModSample& s = song.samples[i - 1];
        ASSERT_FALSE(s.data.empty()) << s.name;
        ASSERT_LE(s.data.size(), (size_t)MOD_MAX_SAMPLE_BYTES) << s.name;
        if (s.loop_length == 0) {
            EXPECT_EQ(-1 == instrument_base_midi(i), i <= INST_CLAP) << s.name;
            continue;
        }
        looped++;
        // Across the joint the wave moves no more than it does elsewhere in
        // the loop.
        int biggest_step = 0;
        for (int k = s.loop_start + 1; k < s.loop_start + s.loop_length; k++)
            biggest_step = std::max(biggest_step, abs(s.data[k] - s.data[k - 1]));
        int joint = abs(s.data[s.loop_start] - s.data[s.loop_start + s.loop_length - 1]);
        EXPECT_LE(joint, biggest_step) << s.name;
        // The basses have a single voice: the loop repeats every cycle of the
        // C-2 tuning (128 samples for MIDI 36).
        if (i == INST_BASS || i == INST_SUB_BASS) {
            int cycle = (int)lrintf(MOD_C2_RATE / (440.0f * powf(2.0f, (instrument_base_midi(i) - 69) / 12.0f)));
            EXPECT_NEAR(128, cycle, 1) << s.name;
            for (int k = s.loop_start; k + 128 < s.loop_start + s.loop_length; k++)
                ASSERT_EQ(s.data[k], s.data[k + 128]) << s.name << " at " << k;
        }
    }
    EXPECT_GE(looped, 8);
}

}  // namespace
