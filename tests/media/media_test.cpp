// The packed data.wee as the program loads it: the catalogue, the walking
// figure's masks, the sounds' levels and lengths, and the music's timing.
#include "catalogue.h"
#include "data.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int MAGENTA_16 = 0xF81F;

// Loads the built data.wee once, with 16-bit pictures as the program gets them.
class Media : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        set_color_depth(16);
        data = load_datafile(STRIKK_DATA_WEE);
        ASSERT_NE(data, nullptr) << "cannot load " << STRIKK_DATA_WEE;
    }

    static void TearDownTestSuite()
    {
        if (data)
            unload_datafile(data);
        data = nullptr;
        allegro_exit();
    }

    void SetUp() override { ASSERT_NE(data, nullptr); }

    static BITMAP *bitmap(int index) { return static_cast<BITMAP *>(data[index].dat); }
    static SAMPLE *sample(int index) { return static_cast<SAMPLE *>(data[index].dat); }

    static DATAFILE *data;
};

DATAFILE *Media::data = nullptr;

TEST_F(Media, HoldsTheCatalogueInOrderUnderItsNames)
{
    EXPECT_EQ(check_catalogue(data), std::nullopt);
    int count = 0;
    while (data[count].type != DAT_END)
        ++count;
    EXPECT_EQ(count, CATALOGUE_SIZE);
    for (int i = 0; i < std::min(count, CATALOGUE_SIZE); ++i)
        EXPECT_STREQ(get_datafile_property(&data[i], DAT_NAME), catalogue[i].name) << "object " << i;
}

// Bounding box of the pixels that are not the mask colour.
struct Box { int left, top, right, bottom; };
Box figure_box(BITMAP *b)
{
    Box box{b->w, b->h, -1, -1};
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x)
            if (getpixel(b, x, y) != MAGENTA_16) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
    return box;
}

TEST_F(Media, WalkFramesAreFiguresOfOneSizeOnTheMaskColour)
{
    std::set<std::vector<int>> poses;
    for (int i = WALK1_BMP; i <= WALK5_BMP; ++i) {
        SCOPED_TRACE(catalogue[i].name);
        BITMAP *b = bitmap(i);
        ASSERT_EQ(bitmap_color_depth(b), 16);
        ASSERT_GE(b->w, 75);
        ASSERT_GE(b->h, 127);

        // surround: the mask colour survives packing exactly, in every corner
        for (auto [x, y] : {std::pair{0, 0}, {74, 0}, {0, 126}, {74, 126}})
            EXPECT_EQ(getpixel(b, x, y), MAGENTA_16) << "corner " << x << "," << y;
        EXPECT_EQ(static_cast<unsigned>(bitmap_mask_color(b)), static_cast<unsigned>(MAGENTA_16));

        // figure: person-sized within the 75 x 127 region the show draws
        const Box box = figure_box(b);
        const int w = box.right - box.left + 1, h = box.bottom - box.top + 1;
        EXPECT_GE(w, 20);
        EXPECT_LE(box.right, 74);
        EXPECT_GE(h, 80);
        EXPECT_LE(box.bottom, 126);

        std::vector<int> pixels;
        for (int y = 0; y < 127; ++y)
            for (int x = 0; x < 75; ++x)
                pixels.push_back(getpixel(b, x, y));
        poses.insert(pixels);
    }
    EXPECT_EQ(poses.size(), 5u) << "the five walk frames are not five different poses";
}

// A sound's expected length and the show moment it accompanies.
struct SoundCase { int index; double min_s, max_s; };
constexpr SoundCase SOUNDS[] = {
    {GAAR_SAMPLE,   2.0, 4.0},   // the 448-frame walk, about two seconds
    {TITLE_SAMPLE,  1.0, 7.5},   // under the 7.5-second title
    {TERROR_SAMPLE, 5.0, 9.28},  // the 9280-ms shake
};

// Sample `i` of channel 0 as a signed 16-bit value.
int signed_at(const SAMPLE *s, unsigned long i)
{
    const auto *d = static_cast<const std::uint16_t *>(s->data);
    return static_cast<int>(d[i * (s->stereo ? 2 : 1)]) - 0x8000;
}

TEST_F(Media, SoundsAreLoudUnclippedAndStartAndEndSilent)
{
    for (const SoundCase &c : SOUNDS) {
        SCOPED_TRACE(catalogue[c.index].name);
        const SAMPLE *s = sample(c.index);
        ASSERT_EQ(s->bits, 16);
        ASSERT_GT(s->freq, 0);
        const double seconds = static_cast<double>(s->len) / s->freq;
        EXPECT_GE(seconds, c.min_s);
        EXPECT_LE(seconds, c.max_s);

        int peak = 0;
        double energy = 0;
        for (unsigned long i = 0; i < s->len; ++i) {
            const int v = signed_at(s, i);
            peak = std::max(peak, std::abs(v));
            energy += static_cast<double>(v) * v;
        }
        EXPECT_LT(peak, 32767) << "clipped";
        EXPECT_GT(peak, 16000) << "too quiet";
        EXPECT_GT(std::sqrt(energy / static_cast<double>(s->len)), 1500.0) << "too little body";
        EXPECT_LT(std::abs(signed_at(s, 0)), 64) << "clicks at the start";
        EXPECT_LT(std::abs(signed_at(s, s->len - 1)), 64) << "clicks at the end";
    }
}

// What a MIDI file's tracks add up to.
struct MidiSummary {
    double seconds = 0;
    std::map<int, int> notes_per_channel;
    std::set<int> programs;  // 0-based General MIDI programs
    std::set<int> drum_keys; // keys played on channel 10
};

// Reads the raw event data of every track: tempo map, end time, notes.
MidiSummary summarise(const MIDI *m)
{
    std::map<long, long> tempo{{0, 500000}};  // tick -> microseconds per quarter
    long end_tick = 0;
    MidiSummary out;
    for (const auto &track : m->track) {
        const unsigned char *p = track.data, *end = p + track.len;
        long tick = 0;
        int status = 0;
        auto vlq = [&] {
            long v = 0;
            while (p < end) {
                const unsigned char b = *p++;
                v = (v << 7) | (b & 0x7F);
                if (!(b & 0x80))
                    break;
            }
            return v;
        };
        while (p && p < end) {
            tick += vlq();
            if (p >= end)
                break;
            if (*p & 0x80)
                status = *p++;
            if (status == 0xFF) {
                const int type = *p++;
                const long len = vlq();
                if (type == 0x51 && len == 3)
                    tempo[tick] = (p[0] << 16) | (p[1] << 8) | p[2];
                p += len;
            } else if (status == 0xF0 || status == 0xF7) {
                p += vlq();
            } else {
                const int kind = status & 0xF0, channel = status & 0x0F;
                const int d1 = *p++;
                const int d2 = (kind == 0xC0 || kind == 0xD0) ? 0 : *p++;
                if (kind == 0x90 && d2 > 0) {
                    ++out.notes_per_channel[channel];
                    if (channel == 9)
                        out.drum_keys.insert(d1);
                }
                if (kind == 0xC0)
                    out.programs.insert(d1);
            }
        }
        end_tick = std::max(end_tick, tick);
    }

    // time: each stretch of ticks at the tempo in force
    long at = 0, us = 500000;
    for (auto [tick, next_us] : tempo) {
        if (tick > end_tick)
            break;
        out.seconds += static_cast<double>((tick - at) * us) / m->divisions / 1e6;
        at = tick;
        us = next_us;
    }
    out.seconds += static_cast<double>((end_tick - at) * us) / m->divisions / 1e6;
    return out;
}

TEST_F(Media, MusicLastsAboutOneShowCycleOnSeveralInstruments)
{
    const MIDI *m = static_cast<const MIDI *>(data[MUSIC_MIDI].dat);
    ASSERT_GT(m->divisions, 0);
    const MidiSummary s = summarise(m);
    EXPECT_GE(s.seconds, 45.0);
    EXPECT_LE(s.seconds, 60.0);

    // parts: drums on channel 10 and at least three pitched instruments
    EXPECT_GT(s.notes_per_channel.count(9) ? s.notes_per_channel.at(9) : 0, 100);
    int pitched = 0;
    for (auto [channel, notes] : s.notes_per_channel)
        pitched += channel != 9 && notes >= 16;
    EXPECT_GE(pitched, 3);
    EXPECT_GE(s.programs.size(), 3u);
}

// Patch names by the index DIGMID reads: 1 to 128 for the programs, 129 + key
// for the drums (pat2dat's default_cfg).
std::map<int, std::string> patch_index(const std::string &cfg)
{
    std::map<int, std::string> names;
    std::istringstream in(cfg);
    std::string line;
    bool drums = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.find("begin_multipatch") != std::string::npos) {
            drums = true;
            continue;
        }
        std::istringstream words(line);
        int number;
        std::string name;
        if (words >> number >> name)
            names[drums ? 129 + number : number] = name;
    }
    return names;
}

TEST_F(Media, PatchesHoldEveryInstrumentAndDrumTheMusicPlays)
{
    DATAFILE *patches = load_datafile(STRIKK_PATCHES_DAT);
    ASSERT_NE(patches, nullptr) << "cannot load " << STRIKK_PATCHES_DAT;
    const DATAFILE *cfg = find_datafile_object(patches, "default_cfg");
    ASSERT_NE(cfg, nullptr);
    const auto names = patch_index(std::string(static_cast<const char *>(cfg->dat),
                                                static_cast<std::size_t>(cfg->size)));

    const MidiSummary s = summarise(static_cast<const MIDI *>(data[MUSIC_MIDI].dat));
    std::vector<int> wanted;
    for (int program : s.programs)
        wanted.push_back(program + 1);
    for (int key : s.drum_keys)
        wanted.push_back(129 + key);
    for (int index : wanted) {
        SCOPED_TRACE("patch index " + std::to_string(index));
        ASSERT_EQ(names.count(index), 1u);
        EXPECT_NE(find_datafile_object(patches, names.at(index).c_str()), nullptr)
            << names.at(index) << " is not in patches.dat: that part would be silent";
    }
    unload_datafile(patches);
}

} // namespace
