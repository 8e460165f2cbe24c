#include "compose.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mod_instruments.h"

#define STEPS_PER_BAR 16
#define BARS_PER_SECTION 4
#define CH_DRUMS 0
#define CH_BASS 1
#define CH_PAD 2
#define CH_LEAD 3
// Lowest MIDI note of the ranges chord roots are folded into: the bass
// sits between E1 and D#2, chords and arpeggios between G3 and F#4.
#define BASS_ROOT_FLOOR 28
#define CHORD_ROOT_FLOOR 55
// Held lead notes start their vibrato this many rows in.
#define VIBRATO_DELAY 3
#define VIBRATO_MIN_LENGTH 6
#define VIBRATO_PARAM 0x42
#define SOFT_VOLUME 0x20
#define GHOST_VOLUME 0x16

enum { QUALITY_MAJOR, QUALITY_MINOR, QUALITY_FIFTH };

struct Chord {
    int pitch_class;
    int quality;
};

static int section_number;

[[noreturn]] static void fail(const char* what, const char* text)
{
    fprintf(stderr, "modgen: section %d: %s: \"%s\"\n", section_number, what, text ? text : "");
    exit(1);
}

static std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

// "C" -> 0 ... "B" -> 11 with an optional sharp or flat; returns the number
// of characters used, 0 when the text is not a note name.
static int parse_pitch_class(const char* s, int* pc)
{
    static const int LETTER[7] = { 9, 11, 0, 2, 4, 5, 7 };  // A..G
    if (s[0] < 'A' || s[0] > 'G')
        return 0;
    *pc = LETTER[s[0] - 'A'];
    if (s[1] == '#') {
        *pc = (*pc + 1) % 12;
        return 2;
    }
    if (s[1] == 'b') {
        *pc = (*pc + 11) % 12;
        return 2;
    }
    return 1;
}

static Chord parse_chord(const std::string& s, int transpose)
{
    Chord c = { 0, QUALITY_MAJOR };
    int used = parse_pitch_class(s.c_str(), &c.pitch_class);
    if (!used)
        fail("bad chord", s.c_str());
    std::string rest = s.substr(used);
    if (rest == "m")
        c.quality = QUALITY_MINOR;
    else if (rest == "5")
        c.quality = QUALITY_FIFTH;
    else if (!rest.empty())
        fail("bad chord", s.c_str());
    c.pitch_class = ((c.pitch_class + transpose) % 12 + 12) % 12;
    return c;
}

// Chords of one section, two per bar (a whole-bar chord fills both halves).
static void parse_chords(const char* text, int transpose, Chord out[BARS_PER_SECTION][2])
{
    std::vector<std::string> bars = split(text, ' ');
    if (bars.size() != BARS_PER_SECTION)
        fail("need four bars of chords", text);
    for (int b = 0; b < BARS_PER_SECTION; b++) {
        std::vector<std::string> halves = split(bars[b], ',');
        if (halves.empty() || halves.size() > 2)
            fail("bad bar of chords", text);
        out[b][0] = parse_chord(halves[0], transpose);
        out[b][1] = parse_chord(halves[halves.size() - 1], transpose);
    }
}

static int fold_root(int pitch_class, int floor)
{
    return floor + ((pitch_class - floor) % 12 + 12) % 12;
}

static int third_of(const Chord& c)
{
    return c.quality == QUALITY_MAJOR ? 4 : 3;
}

static int note_index(int inst, int midi, const char* context)
{
    int note = midi - instrument_base_midi(inst) + MOD_NOTE_C2;
    if (note < 0 || note >= MOD_NOTE_COUNT)
        fail("note outside the instrument's three octaves", context);
    return note;
}

static void put(ModPattern* p, int row, int ch, int note, int sample, int effect, int param)
{
    ModCell& c = p->cell[row][ch];
    c.note = note;
    c.sample = sample;
    c.effect = effect;
    c.param = param;
}

static void silence(ModPattern* p, int row, int ch)
{
    put(p, row, ch, -1, 0, FX_SET_VOLUME, 0);
}

static void write_drums(ModPattern* p, const char* text)
{
    std::vector<std::string> bars = split(text, '|');
    if (bars.empty())
        fail("empty drums", text);
    for (int b = 0; b < BARS_PER_SECTION; b++) {
        const std::string& bar = bars[b % bars.size()];
        if (bar.size() != STEPS_PER_BAR)
            fail("a bar of drums needs 16 steps", bar.c_str());
        for (int s = 0; s < STEPS_PER_BAR; s++) {
            int row = b * STEPS_PER_BAR + s;
            int inst = 0, note = MOD_NOTE_C3, effect = 0, param = 0;
            switch (bar[s]) {
            case 'K': inst = INST_KICK; break;
            case 'k': inst = INST_KICK; effect = FX_SET_VOLUME; param = SOFT_VOLUME; break;
            case 'S': inst = INST_SNARE; break;
            case 's': inst = INST_SNARE; effect = FX_SET_VOLUME; param = GHOST_VOLUME; break;
            case 'h': inst = INST_HAT; break;
            case 'H': inst = INST_HAT; effect = FX_SET_VOLUME; param = 0x30; break;
            case 'o': inst = INST_OPEN_HAT; break;
            case 'C': inst = INST_CRASH; break;
            case 'T': inst = INST_TOM; note = MOD_NOTE_C3 - 5; break;
            case 'M': inst = INST_TOM; break;
            case 't': inst = INST_TOM; note = MOD_NOTE_C3 + 4; break;
            case 'X': inst = INST_CLAP; break;
            case '^': silence(p, row, CH_DRUMS); continue;
            case '.': continue;
            default: fail("unknown drum", bar.c_str());
            }
            put(p, row, CH_DRUMS, note, inst, effect, param);
        }
    }
}

// Semitones above the root for a bass or arpeggio step; -100 when the
// character is not a chord step.
static int chord_step(char c, const Chord& chord)
{
    switch (c) {
    case 'R': case 'r': case '1': case 'x': case 'X': return 0;
    case '2': return 2;
    case '3': return third_of(chord);
    case '4': return 5;
    case '5': return 7;
    case '6': return chord.quality == QUALITY_MAJOR ? 9 : 8;
    case '7': return 10;
    case '8': return 12;
    case '9': return 14;
    case '0': return 12 + third_of(chord);
    case 'L': return -5;
    }
    return -100;
}

// Bass and chord channels share one walk over bars and steps.
static void write_harmony(ModPattern* p, int ch, const char* text, int inst, int volume,
                          const Chord chords[BARS_PER_SECTION][2])
{
    std::vector<std::string> bars = split(text, '|');
    if (bars.empty())
        fail("empty bass or chord part", text);
    for (int b = 0; b < BARS_PER_SECTION; b++) {
        const std::string& bar = bars[b % bars.size()];
        if (bar.size() != STEPS_PER_BAR)
            fail("a bar needs 16 steps", bar.c_str());
        for (int s = 0; s < STEPS_PER_BAR; s++) {
            int row = b * STEPS_PER_BAR + s;
            const Chord& chord = chords[b][s < STEPS_PER_BAR / 2 ? 0 : 1];
            char c = bar[s];
            if (c == '.')
                continue;
            if (c == '^') {
                silence(p, row, ch);
                continue;
            }
            int step = chord_step(c, chord);
            if (step == -100)
                fail("unknown step", bar.c_str());
            int sample = inst;
            int root;
            if (ch == CH_BASS) {
                root = fold_root(chord.pitch_class, BASS_ROOT_FLOOR);
            } else {
                root = fold_root(chord.pitch_class, CHORD_ROOT_FLOOR);
                if (inst == INST_PAD_MAJOR || inst == INST_PAD_MINOR)
                    sample = chord.quality == QUALITY_MAJOR ? INST_PAD_MAJOR : INST_PAD_MINOR;
            }
            int effect = 0, param = 0;
            if (c == 'r') {
                effect = FX_SET_VOLUME;
                param = SOFT_VOLUME;
            } else if (volume > 0) {
                effect = FX_SET_VOLUME;
                param = volume;
            }
            put(p, row, ch, note_index(sample, root + step, bar.c_str()), sample, effect, param);
        }
    }
}

static int parse_note(const std::string& tok, int* midi)
{
    int pc;
    int used = parse_pitch_class(tok.c_str(), &pc);
    if (!used || used >= (int)tok.size() || tok[used] < '0' || tok[used] > '9')
        return 0;
    *midi = 12 * (tok[used] - '0' + 1) + pc;
    return 1;
}

static void write_lead(ModPattern* p, const Section& sec)
{
    int row = 0;
    int shift = sec.transpose - ((sec.flags & SECTION_LEAD_OCTAVE_DOWN) ? 12 : 0);
    for (const std::string& tok : split(sec.lead, ' ')) {
        if (tok == "|")
            continue;
        size_t colon = tok.find(':');
        if (colon == std::string::npos)
            fail("lead token without length", tok.c_str());
        std::string what = tok.substr(0, colon);
        int rows = atoi(tok.c_str() + colon + 1);
        if (rows <= 0 || row + rows > MOD_ROWS)
            fail("lead runs past the pattern", tok.c_str());
        int midi;
        if (what == "-") {
            silence(p, row, CH_LEAD);
        } else if (what == "=") {
            // held: nothing to write
        } else if (parse_note(what, &midi)) {
            int effect = sec.lead_volume > 0 ? FX_SET_VOLUME : 0;
            put(p, row, CH_LEAD, note_index(sec.lead_inst, midi + shift, tok.c_str()), sec.lead_inst,
                effect, sec.lead_volume);
            if (rows >= VIBRATO_MIN_LENGTH)
                for (int r = row + VIBRATO_DELAY; r < row + rows; r++)
                    put(p, r, CH_LEAD, -1, 0, FX_VIBRATO, VIBRATO_PARAM);
        } else {
            fail("bad lead token", tok.c_str());
        }
        row += rows;
    }
    if (row != MOD_ROWS)
        fail("lead does not fill 64 rows", sec.lead);
}

static void set_tempo(ModPattern* p, int tempo)
{
    for (int ch = 0; ch < MOD_CHANNELS; ch++) {
        ModCell& c = p->cell[0][ch];
        if (c.effect == 0 && c.param == 0) {
            c.effect = FX_SET_SPEED;
            c.param = tempo;
            return;
        }
    }
    fail("no free effect for the tempo on the first row", "");
}

// Slides down every other row in the third bar and every row in the last,
// so even a note struck on the last bar's first row is gone by the end.
static void fade_out(ModPattern* p)
{
    const int last_bar = MOD_ROWS - STEPS_PER_BAR;
    for (int row = MOD_ROWS / 2; row < MOD_ROWS; row += row < last_bar ? 2 : 1)
        for (int ch = 0; ch < MOD_CHANNELS; ch++) {
            ModCell& c = p->cell[row][ch];
            if (c.effect == 0 || c.effect == FX_VIBRATO) {
                c.effect = FX_VOLUME_SLIDE;
                c.param = 0x01;
            }
        }
}

static bool same_pattern(const ModPattern& a, const ModPattern& b)
{
    for (int r = 0; r < MOD_ROWS; r++)
        for (int c = 0; c < MOD_CHANNELS; c++) {
            const ModCell& x = a.cell[r][c];
            const ModCell& y = b.cell[r][c];
            if (x.note != y.note || x.sample != y.sample || x.effect != y.effect || x.param != y.param)
                return false;
        }
    return true;
}

void compose_song(ModSong* song, const Section* sections, int count)
{
    song->patterns.clear();
    song->order.clear();
    for (int i = 0; i < count; i++) {
        section_number = i;
        const Section& sec = sections[i];
        Chord chords[BARS_PER_SECTION][2];
        parse_chords(sec.chords, sec.transpose, chords);
        ModPattern p;
        mod_clear_pattern(&p);
        if (sec.drums)
            write_drums(&p, sec.drums);
        // A looped instrument holds its last note forever, so a part that
        // pauses for a section is silenced on its first row.
        if (sec.bass)
            write_harmony(&p, CH_BASS, sec.bass, sec.bass_inst, 0, chords);
        else
            silence(&p, 0, CH_BASS);
        if (sec.pad)
            write_harmony(&p, CH_PAD, sec.pad, sec.pad_inst, sec.pad_volume, chords);
        else
            silence(&p, 0, CH_PAD);
        if (sec.lead)
            write_lead(&p, sec);
        else
            silence(&p, 0, CH_LEAD);
        if (sec.tempo)
            set_tempo(&p, sec.tempo);
        if (sec.flags & SECTION_FADE_OUT)
            fade_out(&p);
        int found = -1;
        for (size_t k = 0; k < song->patterns.size(); k++)
            if (same_pattern(song->patterns[k], p))
                found = (int)k;
        if (found < 0) {
            song->patterns.push_back(p);
            found = (int)song->patterns.size() - 1;
        }
        song->order.push_back(found);
    }
}
