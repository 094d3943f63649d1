// A 23-bar piece in A minor: intro under the title, a theme and its answer
// while the scenes run, a driving bridge, a slowing close. Written as tables
// of bars: chord, melody in note names, bass, drum and arpeggio patterns.
#include "music.h"

#include "smf.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

constexpr int DIVISION  = 480;             // ticks per quarter note
constexpr int STEP      = DIVISION / 4;    // one sixteenth
constexpr int BAR_STEPS = 16;
constexpr int BAR       = STEP * BAR_STEPS;

// channels, General MIDI programs, mixer settings
struct Part { const char *name; int channel, program, volume, pan; };
// volumes leave DIGMID's mix 3 dB of headroom at the loudest crash
constexpr Part MELODY = {"melody",   0, 81,  84, 64};  // lead 2 (sawtooth)
constexpr Part PAD    = {"pad",      1, 89,  70, 44};  // pad 2 (warm)
constexpr Part BASS   = {"bass",     2, 38,  90, 64};  // synth bass 1
constexpr Part ARP    = {"arpeggio", 3, 11,  60, 88};  // vibraphone
constexpr Part DRUMS  = {"drums",    9,  0,  80, 64};  // standard kit

// chords: bass root (in the bass octave) and a three-note pad voicing
struct Chord { const char *name; int root; int voicing[3]; };
constexpr Chord CHORDS[] = {
    {"Am", 45, {57, 60, 64}},
    {"F",  41, {57, 60, 65}},
    {"C",  36, {55, 60, 64}},
    {"G",  43, {55, 59, 62}},
    {"Dm", 38, {57, 62, 65}},
    {"E",  40, {56, 59, 64}},
    {"Em", 40, {55, 59, 64}},
};

// bass figures: R root, O octave, 5 fifth, r rest; lengths in sixteenths
const std::map<std::string_view, const char *> BASS_FIGURES = {
    {"-",      "r:16"},
    {"hold",   "R:16"},
    {"groove", "R:3 R:1 r:2 R:2 O:2 R:2 5:2 R:2"},
    {"drive",  "R:2 R:2 O:2 R:2 R:2 R:2 O:2 5:2"},
};

// drum patterns: one line per instrument, X loud, x normal, o soft, . rest
struct DrumLine { int key; const char *steps; };
constexpr int KICK = 36, SNARE = 38, CLAP = 39, HAT = 42, OPEN_HAT = 46, CRASH = 49,
              RIDE = 51, TOM_HI = 50, TOM_MID = 47, TOM_LO = 45;
const std::map<std::string_view, std::vector<DrumLine>> DRUM_PATTERNS = {
    {"-", {}},
    {"hats", {
        {HAT,      "o...o...o...o.o."}}},
    {"intro_fill", {
        {KICK,     "X.......X......."},
        {HAT,      "o.o.o.o.o.o....."},
        {SNARE,    "............oxxX"}}},
    {"groove", {
        {KICK,     "X.....x.X.x....."},
        {SNARE,    "....X.......X..."},
        {HAT,      "x.o.x.o.x.o.x.o."}}},
    {"groove_fill", {
        {KICK,     "X.....x.X......."},
        {SNARE,    "....X.......xoxX"},
        {HAT,      "x.o.x.o.x.o....."}}},
    {"groove2", {
        {KICK,     "X.....x.X.x...x."},
        {SNARE,    "....X..o....X..o"},
        {HAT,      "xoxoxoxoxoxoxo.o"},
        {OPEN_HAT, "..............x."}}},
    {"fill", {
        {KICK,     "X.......X......."},
        {SNARE,    "....X...........",},
        {TOM_HI,   "........X.x....."},
        {TOM_MID,  "............X.x."},
        {TOM_LO,   ".............x.X"},
        {HAT,      "x.o.x.o........."}}},
    {"drive", {
        {KICK,     "X...X...X...X..."},
        {SNARE,    "....X.......X..."},
        {CLAP,     "....o.......o..."},
        {HAT,      "x...x...x...x..."},
        {OPEN_HAT, "..x...x...x...x."}}},
    {"drive_fill", {
        {KICK,     "X...X...X.x.X..."},
        {SNARE,    "....X...xoxoXxXX"},
        {HAT,      "x...x..........."},
        {OPEN_HAT, "..x...x........."}}},
    {"outro", {
        {KICK,     "X.......X......."},
        {RIDE,     "x.o.x.o.x.o.x.o."}}},
    {"last", {
        {KICK,     "X..............."}}},
};

// arpeggios: indexes into the chord's voicing plus its octave, per step
enum Arp { ARP_NONE, ARP_EIGHTHS, ARP_SIXTEENTHS };
constexpr int ARP_EIGHTH_ORDER[8]     = {0, 1, 2, 3, 2, 1, 2, 3};
constexpr int ARP_SIXTEENTH_ORDER[16] = {0, 1, 2, 3, 1, 2, 3, 2, 0, 1, 2, 3, 1, 2, 3, 2};

// the piece, bar by bar
struct Bar {
    const char *chord;
    const char *melody;  // note names with octave, r rest; lengths in sixteenths
    const char *bass;
    const char *drums;
    Arp arp;
    bool crash;
    int bpm;
};
constexpr Bar PIECE[] = {
    // intro: under the title sting
    {"Am", "r:16",                             "-",      "-",           ARP_EIGHTHS,    false, 120},
    {"F",  "r:16",                             "-",      "-",           ARP_EIGHTHS,    false, 120},
    {"Am", "r:16",                             "hold",   "hats",        ARP_EIGHTHS,    false, 120},
    {"E",  "r:12 E4:2 G#4:2",                  "hold",   "intro_fill",  ARP_EIGHTHS,    false, 120},
    // theme
    {"Am", "A4:2 C5:2 E5:6 D5:2 C5:2 B4:2",    "groove", "groove",      ARP_EIGHTHS,    true,  120},
    {"F",  "C5:4 A4:4 r:2 A4:2 C5:2 F5:2",     "groove", "groove",      ARP_EIGHTHS,    false, 120},
    {"C",  "E5:6 D5:2 C5:4 G4:4",              "groove", "groove",      ARP_EIGHTHS,    false, 120},
    {"G",  "B4:2 C5:2 D5:8 r:4",               "groove", "groove_fill", ARP_EIGHTHS,    false, 120},
    // answer: the theme again, reaching higher, turning to the dominant
    {"Am", "A4:2 C5:2 E5:6 D5:2 C5:2 B4:2",    "groove", "groove2",     ARP_SIXTEENTHS, true,  120},
    {"F",  "C5:4 A4:4 r:2 C5:2 F5:2 A5:2",     "groove", "groove2",     ARP_SIXTEENTHS, false, 120},
    {"Dm", "F5:6 E5:2 D5:4 A4:4",              "groove", "groove2",     ARP_SIXTEENTHS, false, 120},
    {"E",  "G#4:4 B4:4 E5:6 r:2",              "groove", "fill",        ARP_SIXTEENTHS, false, 120},
    // bridge: long notes up high over a four-to-the-floor drive
    {"F",  "A5:8 G5:4 F5:4",                   "drive",  "drive",       ARP_SIXTEENTHS, true,  120},
    {"G",  "G5:6 F5:2 D5:8",                   "drive",  "drive",       ARP_SIXTEENTHS, false, 120},
    {"Em", "E5:4 G5:4 B5:6 A5:2",              "drive",  "drive",       ARP_SIXTEENTHS, false, 120},
    {"Am", "A5:12 r:4",                        "drive",  "drive_fill",  ARP_SIXTEENTHS, false, 120},
    {"Dm", "F5:4 A5:4 F5:2 E5:2 D5:4",         "drive",  "drive",       ARP_SIXTEENTHS, true,  120},
    {"G",  "D5:4 G5:4 B4:2 C5:2 D5:4",         "drive",  "drive",       ARP_SIXTEENTHS, false, 120},
    {"C",  "E5:6 G5:2 C6:8",                   "drive",  "drive",       ARP_SIXTEENTHS, false, 120},
    {"E",  "B5:4 G#5:4 E5:4 D5:2 B4:2",        "drive",  "fill",        ARP_SIXTEENTHS, false, 120},
    // close: the theme's opening once more, slowing to the tonic
    {"F",  "A4:2 C5:2 F5:6 E5:2 D5:2 C5:2",    "groove", "outro",       ARP_EIGHTHS,    true,  120},
    {"E",  "B4:4 D5:4 G#4:8",                  "hold",   "outro",       ARP_EIGHTHS,    false, 100},
    {"Am", "A4:16",                            "hold",   "last",        ARP_NONE,       true,  76},
};

constexpr int MELODY_VELOCITY = 92;
constexpr int MELODY_ACCENT   = 10;   // on the beat
constexpr int PAD_VELOCITY    = 60;
constexpr int BASS_VELOCITY   = 100;
constexpr int ARP_VELOCITY    = 64;
constexpr int CRASH_VELOCITY  = 100;
constexpr int LEGATO_GAP      = 20;   // ticks of air before the next note
constexpr int DRUM_LENGTH     = STEP / 2;

// A parsed note of a melody or bass figure; key -1 is a rest.
struct Token { std::string name; int steps; };

// Splits "E5:4 r:2" into names and lengths; every bar must fill 16 steps.
std::vector<Token> tokens(const char *text)
{
    std::vector<Token> out;
    std::istringstream in(text);
    std::string word;
    int total = 0;
    while (in >> word) {
        const auto colon = word.find(':');
        if (colon == std::string::npos)
            throw std::invalid_argument("no length in '" + word + "'");
        const int steps = std::stoi(word.substr(colon + 1));
        out.push_back({word.substr(0, colon), steps});
        total += steps;
    }
    if (total != BAR_STEPS)
        throw std::invalid_argument(std::string("bar of ") + std::to_string(total) +
                                    " sixteenths: '" + text + "'");
    return out;
}

// MIDI key of a note name such as "G#4" or "Bb3" (C4 = 60); -1 for "r".
int key_of(const std::string &name)
{
    if (name == "r")
        return -1;
    constexpr int SEMITONES[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        throw std::invalid_argument("bad note '" + name + "'");
    int key = SEMITONES[name[0] - 'A'];
    std::size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b'))
        key += name[i++] == '#' ? 1 : -1;
    return key + 12 * (std::stoi(name.substr(i)) + 1);
}

// The chord called `name`.
const Chord &chord_of(const char *name)
{
    for (const Chord &c : CHORDS)
        if (std::strcmp(c.name, name) == 0)
            return c;
    throw std::invalid_argument(std::string("unknown chord ") + name);
}

// Velocity of a drum step character; 0 for a rest.
int drum_velocity(char c)
{
    switch (c) {
    case 'X': return 112;
    case 'x': return 88;
    case 'o': return 58;
    case '.': return 0;
    }
    throw std::invalid_argument(std::string("bad drum step '") + c + "'");
}

// A track with the part's name, program, volume and pan set at the start.
SmfTrack part_track(const Part &p)
{
    SmfTrack t;
    t.name(p.name);
    if (p.channel != DRUMS.channel)
        t.message(0, 0xC0, p.channel, p.program);
    t.message(0, 0xB0, p.channel, 7, p.volume);
    t.message(0, 0xB0, p.channel, 10, p.pan);
    return t;
}

// The whole piece as a conductor track and one track per part.
std::vector<SmfTrack> compose()
{
    SmfTrack conductor, melody = part_track(MELODY), pad = part_track(PAD),
             bass = part_track(BASS), arp = part_track(ARP), drums = part_track(DRUMS);
    conductor.name("strikk");

    int bpm = 0;
    for (std::size_t b = 0; b < std::size(PIECE); ++b) {
        const Bar &bar = PIECE[b];
        const Chord &chord = chord_of(bar.chord);
        const auto start = static_cast<std::uint32_t>(b * BAR);

        // tempo: only where it changes
        if (bar.bpm != bpm) {
            bpm = bar.bpm;
            conductor.tempo(start, static_cast<std::uint32_t>(60'000'000 / bpm));
        }

        // melody: legato with a breath, accents on the beat
        int at = 0;
        for (const Token &t : tokens(bar.melody)) {
            const int key = key_of(t.name);
            if (key >= 0)
                melody.note(start + at * STEP, t.steps * STEP - LEGATO_GAP, MELODY.channel, key,
                            MELODY_VELOCITY + (at % 4 == 0 ? MELODY_ACCENT : 0));
            at += t.steps;
        }

        // pad: the chord held through the bar
        for (int key : chord.voicing)
            pad.note(start, BAR - LEGATO_GAP, PAD.channel, key, PAD_VELOCITY);

        // bass: the figure on the chord's root
        at = 0;
        for (const Token &t : tokens(BASS_FIGURES.at(bar.bass))) {
            const int offset = t.name == "R" ? 0 : t.name == "O" ? 12 : t.name == "5" ? 7 : -1;
            if (t.name != "r" && offset < 0)
                throw std::invalid_argument("bad bass step " + t.name);
            if (offset >= 0)
                bass.note(start + at * STEP, t.steps * STEP - LEGATO_GAP, BASS.channel,
                          chord.root + offset, BASS_VELOCITY - (at % 4 == 0 ? 0 : 12));
            at += t.steps;
        }

        // arpeggio: chord tones and the octave, eighths or sixteenths an octave up
        const int tones[4] = {chord.voicing[0], chord.voicing[1], chord.voicing[2],
                              chord.voicing[0] + 12};
        if (bar.arp == ARP_EIGHTHS)
            for (int i = 0; i < 8; ++i)
                arp.note(start + i * 2 * STEP, 2 * STEP - LEGATO_GAP, ARP.channel,
                         tones[ARP_EIGHTH_ORDER[i]], ARP_VELOCITY - (i % 2 ? 10 : 0));
        else if (bar.arp == ARP_SIXTEENTHS)
            for (int i = 0; i < 16; ++i)
                arp.note(start + i * STEP, STEP - LEGATO_GAP, ARP.channel,
                         tones[ARP_SIXTEENTH_ORDER[i]] + 12, ARP_VELOCITY - 8 - (i % 4 ? 10 : 0));

        // drums: the bar's pattern, a crash on the one where a section starts
        if (bar.crash)
            drums.note(start, DRUM_LENGTH, DRUMS.channel, CRASH, CRASH_VELOCITY);
        for (const DrumLine &line : DRUM_PATTERNS.at(bar.drums)) {
            if (std::strlen(line.steps) != BAR_STEPS)
                throw std::invalid_argument(std::string("drum line '") + line.steps + "'");
            for (int i = 0; i < BAR_STEPS; ++i)
                if (const int v = drum_velocity(line.steps[i]))
                    drums.note(start + i * STEP, DRUM_LENGTH, DRUMS.channel, line.key, v);
        }
    }
    return {conductor, melody, pad, bass, arp, drums};
}

} // namespace

bool make_music(const std::string &dir)
{
    return write_smf(dir + "/music.mid", DIVISION, compose());
}
