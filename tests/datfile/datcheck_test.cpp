// The datafile check: what it refuses and why, what it accepts, and that
// what it accepts Allegro's loader then loads in full.
#include "dat_writer.h"
#include "datcheck.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using datw::Bytes;
using datw::id;
using datw::Object;
using datw::Packing;

// Allegro without drivers, loading pictures at the show's 16 bpp.
class AllegroEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
        set_color_depth(16);
    }
};
const auto *const allegro_environment = ::testing::AddGlobalTestEnvironment(new AllegroEnvironment);

std::optional<std::string> check(const Bytes &b) { return check_datafile_bytes(b.data(), b.size()); }

Bytes text(const std::string &s) { return Bytes(s.begin(), s.end()); }

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        datw::append(out, p);
    return out;
}

Bytes be32(std::uint32_t v)
{
    Bytes b;
    datw::put32(b, v);
    return b;
}

// A stored object with explicit header fields.
Bytes raw_object(std::uint32_t type, std::uint32_t stored, std::uint32_t unpacked, const Bytes &data)
{
    return cat({be32(type), be32(stored), be32(unpacked), data});
}

// "slh.ALL.", the count, then whatever follows.
Bytes stored_file(std::uint32_t count, const Bytes &rest) { return cat({text("slh.ALL."), be32(count), rest}); }

// A datafile of one stored object of the given type and data.
Bytes one(std::uint32_t type, const Bytes &data) { return datw::datafile({{type, data}}); }

// A MIDI whose only track is `track`.
Bytes midi_with(const Bytes &track) { return one(id("MIDI"), datw::midi(96, {track})); }

// Nested FILE objects `levels` deep around one small bitmap.
Bytes nested(int levels)
{
    Bytes inner = datw::list_bytes({{id("BMP "), datw::bitmap(16, 2, 2)}}, false);
    for (int i = 1; i < levels; ++i)
        inner = datw::list_bytes({{id("FILE"), inner}}, false);
    return one(id("FILE"), inner);
}

// The file with one byte changed.
Bytes poke(Bytes b, std::size_t at, std::uint8_t v)
{
    b.at(at) = v;
    return b;
}

// The file with a big-endian 32-bit field changed.
Bytes poke32(Bytes b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = std::uint8_t(v >> (24 - 8 * i));
    return b;
}

// A font chunk with two ranges of the given depths.
Bytes two_range_font(int depth1, int depth2)
{
    Bytes b;
    datw::put16(b, 0);
    datw::put16(b, 2);
    for (int depth : {depth1, depth2}) {
        b.push_back(std::uint8_t(depth));
        datw::put32(b, 'A');
        datw::put32(b, 'A');
        datw::put16(b, 8);
        datw::put16(b, 1);
        b.push_back(0xFF);
        if (depth != 1)
            for (int i = 1; i < 8; ++i)
                b.push_back(0xFF);
    }
    return b;
}

// A LZSS stream of one match that copies ring bytes never written.
Bytes unset_ring_stream() { return Bytes{0x00, 0xF0, 0xF0}; }

const Bytes TRACK = datw::midi_track();

struct Refusal {
    const char *name;
    std::function<Bytes()> file;
    const char *reason;   // must appear in the message
};

// Each class of damage, with the words of its message.
const Refusal refusals[] = {
    // packfile and list headers
    {"empty file", [] { return Bytes{}; }, "offset 0: too short for a datafile (0 bytes)"},
    {"three bytes", [] { return text("slh"); }, "too short for a datafile (3 bytes)"},
    {"other file type", [] { return text("GIF89a\x01\x00"); }, "offset 0: not an Allegro datafile (magic 'GIF8')"},
    {"list without packfile header", [] { return cat({text("ALL."), be32(0)}); }, "without its packfile header"},
    {"old format", [] { return text("slh.all.\x00\x01"); }, "format of Allegro 2.1"},
    {"damaged or encrypted list", [] { return text("slh.xLL.\x00\x00\x00\x00"); }, "offset 4: no \"ALL.\""},
    {"eight bytes", [] { return text("slh.ALL."); }, "offset 8: object count missing"},
    {"no objects", [] { return stored_file(0, {}); }, "offset 8: datafile holds no objects"},
    {"negative count", [] { return stored_file(0xFFFFFFFF, raw_object(id("DATA"), 1, 1, {7})); },
     "offset 8: object count -1 cannot fit"},
    {"count beyond the file", [] { return stored_file(1000, raw_object(id("DATA"), 1, 1, {7})); },
     "object count 1000 cannot fit in the 13 bytes left"},
    {"count too small", [] { return stored_file(1, cat({raw_object(id("DATA"), 1, 1, {7}), raw_object(id("DATA"), 1, 1, {8})})); },
     "offset 25: 13 bytes after the last object"},
    {"object missing",
     [] { return stored_file(2, raw_object(id("DATA"), 20, 20, Bytes(20, 1))); },
     "offset 44: object 1 is missing (file ends)"},
    {"object header cut", [] { return stored_file(1, cat({text("prop"), be32(id("NAME")), be32(0), be32(id("DATA")), Bytes{0, 0}})); },
     "object 0 ('DATA'): object header cut off"},
    {"object type -1", [] { return stored_file(1, raw_object(0xFFFFFFFF, 1, 1, {7})); },
     "offset 12: object 0 has type -1, the end-of-list marker"},

    // properties
    {"property beyond the file", [] { return stored_file(1, cat({text("prop"), be32(id("NAME")), be32(500), raw_object(id("DATA"), 1, 1, {7})})); },
     "object 0: property of 500 bytes, 13 are left"},
    {"negative property size", [] { return stored_file(1, cat({text("prop"), be32(id("NAME")), be32(0xFFFFFFFF), raw_object(id("DATA"), 1, 1, {7})})); },
     "property of -1 bytes"},
    {"property id -1", [] { return stored_file(1, cat({text("prop"), be32(0xFFFFFFFF), be32(1), Bytes{'x'}, raw_object(id("DATA"), 1, 1, {7})})); },
     "offset 16: object 0: property id -1, the end-of-list marker"},
    {"too many properties",
     [] {
         Object o{id("DATA"), {1}};
         for (int i = 0; i < 65; ++i)
             o.props.push_back({id("NAME"), "x"});
         return datw::datafile({o});
     },
     "object 0 has more than 64 properties"},

    // stored chunks
    {"sizes differ", [] { return stored_file(1, raw_object(id("DATA"), 2, 3, {1, 2, 3})); },
     "offset 16: object 0 ('DATA'): stored size 2 and unpacked size 3 differ"},
    {"chunk beyond the file", [] { return stored_file(1, raw_object(id("DATA"), 9, 9, {1, 2, 3})); },
     "object 0 ('DATA'): chunk of 9 bytes, 3 are left"},
    {"empty block", [] { return one(id("DATA"), {}); }, "object 0 ('DATA'), offset 24: empty object"},
    {"RLE sprite", [] { return one(id("RLE "), Bytes(20, 0)); }, "RLE sprites are not accepted"},

    // bitmaps
    {"bitmap depth 4", [] { return one(id("BMP "), datw::bitmap(4, 2, 2, 2)); },
     "object 0 ('BMP '), offset 24: bitmap colour depth 4, needs 8, 15, 16, 24, 32 or -32"},
    {"bitmap depth -16", [] { return one(id("BMP "), datw::bitmap(-16, 2, 2, 8)); }, "colour depth -16"},
    {"bitmap width 0", [] { return one(id("BMP "), datw::bitmap(16, 0, 3, 0)); }, "offset 26: bitmap of 0x3 pixels"},
    {"bitmap width -1", [] { return one(id("BMP "), datw::bitmap(16, -1, 2, 8)); }, "bitmap of 65535x2 pixels"},
    {"bitmap 60000 square", [] { return one(id("BMP "), datw::bitmap(16, 60000, 60000, 16)); },
     "bitmap of 60000x60000 pixels, needs sides of 1 to 8192"},
    {"bitmap over the pixel limit", [] { return one(id("BMP "), datw::bitmap(8, 5000, 5000, 16)); },
     "at most 16777216 pixels"},
    {"bitmap pixels short", [] { return one(id("BMP "), datw::bitmap(16, 5, 3, 29)); },
     "bitmap of 5x3 at 16 bits needs 30 bytes of pixels, the chunk has 29"},
    {"bitmap pixels long", [] { return one(id("BMP "), datw::bitmap(24, 2, 2, 13)); }, "needs 12 bytes of pixels, the chunk has 13"},
    {"bitmap 32 bit stored as 4 bytes", [] { return one(id("BMP "), datw::bitmap(32, 2, 2, 16)); }, "needs 12 bytes"},
    {"bitmap header cut", [] { return one(id("BMP "), Bytes{0, 16, 0}); }, "bitmap header cut off"},
    {"compiled sprite checked as a bitmap", [] { return one(id("CMP "), datw::bitmap(16, 0, 0, 0)); }, "bitmap of 0x0"},

    // samples
    {"sample of 12 bits", [] { return one(id("SAMP"), datw::sample(12, 8000, 4, 8)); },
     "offset 24: sample of 12 bits, needs 8 or 16"},
    {"sample rate 0", [] { return one(id("SAMP"), datw::sample(8, 0, 4)); }, "offset 26: sample rate of 0"},
    {"empty sample", [] { return one(id("SAMP"), datw::sample(16, 8000, 0)); }, "empty sample"},
    {"sample length 0x7FFFFFFF", [] { return one(id("SAMP"), datw::sample(16, 8000, 0x7FFFFFFF, 64)); },
     "sample of 2147483647 frames needs 4294967294 bytes of data, the chunk has 64"},
    {"stereo sample short", [] { return one(id("SAMP"), datw::sample(-16, 8000, 4, 8)); }, "needs 16 bytes of data"},

    // MIDI
    {"MIDI division 0", [] { return one(id("MIDI"), datw::midi(0)); },
     "object 0 ('MIDI'), offset 24: MIDI time division of 0"},
    {"MIDI negative track", [] { return poke32(one(id("MIDI"), datw::midi(96, {})), 26, 0xFFFFFFFF); },
     "MIDI track 0 of -1 bytes"},
    {"MIDI track beyond the chunk", [] { return poke32(one(id("MIDI"), datw::midi(96, {})), 26 + 4 * 31, 9); },
     "MIDI track 31 of 9 bytes, 0 are left"},
    {"MIDI bytes after the tracks", [] { Bytes m = datw::midi(96); m.push_back(0); return one(id("MIDI"), m); },
     "1 bytes after the 32 MIDI tracks"},
    {"MIDI track without end", [] { return midi_with(Bytes(TRACK.begin(), TRACK.end() - 4)); },
     "MIDI track 0: ends without an end-of-track event"},
    {"MIDI event cut off", [] { return midi_with(Bytes{0x00, 0x90, 0x3C}); }, "is cut off"},
    {"MIDI data byte without status", [] { return midi_with(Bytes{0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}); },
     "without a status"},
    {"MIDI short tempo", [] { return midi_with(Bytes{0x00, 0xFF, 0x51, 0x01, 0x07, 0x00, 0xFF, 0x2F, 0x00}); },
     "tempo event shorter than 3 bytes"},
    {"MIDI sysex past the track", [] { return midi_with(Bytes{0x00, 0xF0, 0x7F, 0x00, 0xFF, 0x2F, 0x00}); },
     "event data runs past the end of the track"},
    {"MIDI delta of five bytes", [] { return midi_with(Bytes{0x80, 0x80, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0x00}); },
     "bad first delta time"},

    // fonts
    {"obsolete font", [] { Bytes f; datw::put16(f, 8); datw::append(f, Bytes(95 * 8, 0)); return one(id("FONT"), f); },
     "font in an obsolete format"},
    {"font without ranges", [] { return one(id("FONT"), Bytes{0, 0, 0, 0}); }, "font without character ranges"},
    {"font of mixed ranges", [] { return one(id("FONT"), two_range_font(1, 8)); }, "font mixes mono and colour ranges"},
    {"font range reversed", [] { return poke32(one(id("FONT"), datw::font(1, 2, 8, 8)), 29, 'A' + 5); },
     "font range 70 to 66 does not fit the chunk"},
    {"font of 12-bit glyphs", [] { return one(id("FONT"), datw::font(12, 1, 2, 2)); }, "font range of 12-bit glyphs"},
    {"font glyph cut", [] { Bytes f = datw::font(8, 2, 4, 4); f.pop_back(); return one(id("FONT"), f); },
     "glyph 66 data cut off"},
    {"font bytes after ranges", [] { Bytes f = datw::font(1, 2, 4, 4); f.push_back(0); return one(id("FONT"), f); },
     "1 bytes after the last font range"},

    // nested datafiles
    {"nested bad bitmap",
     [] {
         const Bytes inner = datw::list_bytes({{id("DATA"), {1}}, {id("BMP "), datw::bitmap(16, 0, 2, 0)}}, false);
         return one(id("FILE"), inner);
     },
     "object 0.1 ('BMP ')"},
    {"nested nine deep", [] { return nested(9); }, "datafiles nested more than 8 deep"},
    {"nested bytes after the list",
     [] { Bytes inner = datw::list_bytes({{id("DATA"), {1}}}, false); inner.push_back(0); return one(id("FILE"), inner); },
     "1 bytes after the nested datafile's last object"},

    // objects packed one by one
    {"packed object cut",
     [] { Bytes f = datw::datafile({{id("BMP "), datw::bitmap(16, 8, 8)}}, Packing::objects); f.resize(f.size() - 3); return f; },
     "object 0 ('BMP '): packed data ends after"},
    {"packed size disagrees",
     [] { Bytes f = datw::datafile({{id("BMP "), datw::bitmap(16, 8, 8)}}, Packing::objects); return poke32(f, 16, std::uint32_t(f.size() - 24 + 1)); },
     "object 0 ('BMP '): packed chunk says"},
    {"packed size beyond the limit", [] { return stored_file(1, raw_object(id("DATA"), 3, std::uint32_t(-300000000), {0xFF, 1, 2})); },
     "unpacks to 300000000 bytes, more than 268435456"},
    {"packed object reads an unset ring byte", [] { return stored_file(1, raw_object(id("DATA"), 3, std::uint32_t(-3), unset_ring_stream())); },
     "copies ring bytes that were never written"},

    // files packed as a whole
    {"whole file with bytes after the list",
     [] { Bytes body = cat({text("ALL."), datw::list_bytes({{id("DATA"), {1}}}, false), Bytes{9, 9}}); return cat({text("slh!"), datw::lzss_pack(body)}); },
     "unpacked offset 21: 2 bytes after the last object"},
    {"whole file cut",
     [] { Bytes f = datw::datafile({{id("BMP "), datw::bitmap(16, 8, 8)}}, Packing::whole); f.resize(f.size() / 2); return f; },
     "object 0 ('BMP '): chunk of 134 bytes"},
    {"whole file reads an unset ring byte", [] { return cat({text("slh!"), unset_ring_stream()}); },
     "offset 4: packed data at input byte 1 copies ring bytes that were never written"},
};

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithItsReason)
{
    const std::optional<std::string> problem = check(GetParam().file());
    ASSERT_TRUE(problem.has_value()) << "accepted";
    EXPECT_NE(problem->find(GetParam().reason), std::string::npos) << "message: " << *problem;
}

INSTANTIATE_TEST_SUITE_P(Damage, Refused, ::testing::ValuesIn(refusals),
                         [](const auto &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// Every kind of object the check lets through, with properties and a
// nested datafile that holds a packed-safe mix again.
std::vector<Object> rich_objects()
{
    const Bytes inner = datw::list_bytes({{id("BMP "), datw::bitmap(15, 3, 2)},
                                          {id("FONT"), datw::font(8, 2, 3, 4)},
                                          {id("SAMP"), datw::sample(8, 8000, 5)}},
                                         false);
    return {
        {id("MIDI"), datw::midi(96, {TRACK, TRACK}), {{id("NAME"), "MUSIC"}}},
        {id("SAMP"), datw::sample(16, 22050, 40)},
        {id("SAMP"), datw::sample(-8, 11025, 9)},
        {id("BMP "), datw::bitmap(16, 75, 12), {{id("NAME"), "WALK"}, {id("ORIG"), "walk.bmp"}}},
        {id("BMP "), datw::bitmap(8, 4, 3)},
        {id("BMP "), datw::bitmap(24, 3, 3)},
        {id("BMP "), datw::bitmap(32, 2, 5)},
        {id("BMP "), datw::bitmap(-32, 2, 2)},
        {id("CMP "), datw::bitmap(16, 4, 4)},
        {id("FONT"), datw::font(1, 26, 7, 9)},
        {id("PAL "), Bytes(256 * 4, 3)},
        {id("FILE"), inner},
    };
}

// Writes bytes to a scratch file of this test and returns its path.
std::string scratch(const std::string &name, const Bytes &b)
{
    const std::string path = ::testing::TempDir() + "datcheck_" + name + ".dat";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), std::streamsize(b.size()));
    return path;
}

// Loads the file with Allegro and compares what came out with `objects`.
void expect_loads_as(const std::string &path, const std::vector<Object> &objects)
{
    DATAFILE *d = load_datafile(path.c_str());
    ASSERT_NE(d, nullptr);
    std::size_t n = 0;
    while (d[n].type != DAT_END)
        ++n;
    ASSERT_EQ(n, objects.size());
    for (std::size_t i = 0; i < n; ++i) {
        SCOPED_TRACE("object " + std::to_string(i));
        EXPECT_EQ(std::uint32_t(d[i].type), objects[i].type);
        const Bytes &src = objects[i].data;
        if (d[i].type == DAT_BITMAP) {
            const BITMAP *b = static_cast<BITMAP *>(d[i].dat);
            EXPECT_EQ(b->w, (src[2] << 8) | src[3]);
            EXPECT_EQ(b->h, (src[4] << 8) | src[5]);
            EXPECT_EQ(bitmap_color_depth(const_cast<BITMAP *>(b)), 16);
        } else if (d[i].type == DAT_SAMPLE) {
            const SAMPLE *s = static_cast<SAMPLE *>(d[i].dat);
            const int bits = std::int16_t((src[0] << 8) | src[1]);
            EXPECT_EQ(s->bits, bits < 0 ? -bits : bits);
            EXPECT_EQ(s->stereo != 0, bits < 0);
            EXPECT_EQ(static_cast<unsigned long>(s->len),
                      static_cast<unsigned long>((src[4] << 24) | (src[5] << 16) | (src[6] << 8) | src[7]));
        } else if (d[i].type == DAT_MIDI) {
            const MIDI *m = static_cast<MIDI *>(d[i].dat);
            EXPECT_EQ(m->divisions, 96);
            EXPECT_EQ(m->track[1].len, int(TRACK.size()));
            EXPECT_EQ(0, std::memcmp(m->track[1].data, TRACK.data(), TRACK.size()));
        } else if (d[i].type == DAT_FILE) {
            const DATAFILE *inner = static_cast<DATAFILE *>(d[i].dat);
            EXPECT_EQ(inner[0].type, DAT_BITMAP);
            EXPECT_EQ(inner[1].type, DAT_FONT);
            EXPECT_EQ(inner[2].type, DAT_SAMPLE);
            EXPECT_EQ(inner[3].type, DAT_END);
        } else if (d[i].type == DAT_PALETTE) {
            EXPECT_EQ(d[i].size, 1024);
        }
    }
    EXPECT_STREQ(get_datafile_property(&d[3], DAT_NAME), "WALK");
    unload_datafile(d);
}

struct Form {
    const char *name;
    Packing packing;
};

class Accepted : public ::testing::TestWithParam<Form> {};

// Each packing Allegro writes passes the check and loads object for object.
TEST_P(Accepted, AndLoadsEveryObject)
{
    const std::vector<Object> objects = rich_objects();
    const Bytes file = datw::datafile(objects, GetParam().packing);
    const std::optional<std::string> problem = check(file);
    ASSERT_FALSE(problem.has_value()) << *problem;
    expect_loads_as(scratch(GetParam().name, file), objects);
}

// Cutting the file anywhere leaves something the check refuses.
TEST_P(Accepted, ButNoShorterCopyOfIt)
{
    const Bytes file = datw::datafile(rich_objects(), GetParam().packing);
    for (std::size_t len = 0; len < file.size(); ++len)
        ASSERT_TRUE(check(Bytes(file.begin(), file.begin() + std::ptrdiff_t(len))).has_value())
            << "a copy cut to " << len << " of " << file.size() << " bytes was accepted";
}

// Any single flipped bit is either refused or still loads in full.
TEST_P(Accepted, AndEveryBitFlipIsRefusedOrLoads)
{
    const Bytes file = datw::datafile({{id("MIDI"), datw::midi(96)},
                                       {id("SAMP"), datw::sample(-8, 8000, 6), {{id("NAME"), "S"}}},
                                       {id("BMP "), datw::bitmap(16, 3, 2)},
                                       {id("FILE"), datw::list_bytes({{id("FONT"), datw::font(1, 2, 3, 3)}}, false)}},
                                      GetParam().packing);
    int accepted = 0;
    for (std::size_t bit = 0; bit < file.size() * 8; ++bit) {
        Bytes m = file;
        m[bit / 8] ^= std::uint8_t(1u << (bit % 8));
        if (check(m))
            continue;
        ++accepted;
        DATAFILE *d = load_datafile(scratch(std::string(GetParam().name) + "_flip", m).c_str());
        ASSERT_NE(d, nullptr) << "bit " << bit << " passed the check but did not load";
        unload_datafile(d);
    }
    RecordProperty("accepted_flips", accepted);
}

INSTANTIATE_TEST_SUITE_P(Forms, Accepted,
                         ::testing::Values(Form{"stored", Packing::none}, Form{"packed_objects", Packing::objects},
                                           Form{"packed_whole", Packing::whole}, Form{"packed_both", Packing::both}),
                         [](const auto &info) { return std::string(info.param.name); });

// Allegro's own packer: dat stores our file again packed per object and as
// a whole, and the check passes both.
TEST(AcceptedFromDat, PackedByAllegrosOwnWriter)
{
    if (std::system("command -v dat >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "dat is not installed";
    std::vector<Object> objects = rich_objects();
    objects.pop_back();   // dat rewrites nested datafiles with names of its own
    for (Object &o : objects)
        o.props = {{id("NAME"), "OBJ" + std::to_string(&o - objects.data())}};
    for (const char *compression : {"-c1", "-c2"}) {
        SCOPED_TRACE(compression);
        const std::string path = scratch(std::string("dat") + compression, datw::datafile(objects));
        ASSERT_EQ(std::system(("dat " + std::string(compression) + " -n0 -s1 '" + path + "' >/dev/null").c_str()), 0);
        std::ifstream in(path, std::ios::binary);
        const Bytes packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(packed[3], compression[2] == '2' ? '!' : '.');
        const std::optional<std::string> problem = check(packed);
        ASSERT_FALSE(problem.has_value()) << *problem;
        DATAFILE *d = load_datafile(path.c_str());
        ASSERT_NE(d, nullptr);
        unload_datafile(d);
    }
}

// Files that made Allegro's loader crash, abort or hang (measured without
// the check); each is now refused for the reason shown.
struct Fixture {
    const char *file;
    const char *reason;
};

const Fixture fixtures[] = {
    {"property_size_huge.dat", "property of 2147483647 bytes"},          // double free
    {"bitmap_depth_17.dat", "bitmap colour depth 17"},                   // double free
    {"midi_typed_as_file.dat", "object count 6291456 cannot fit"},       // SIGSEGV
    {"sample_frames_max.dat", "sample of 4294967295 frames"},            // abort when memory is limited
    {"count_too_large.dat", "object 5 is missing"},                      // SIGSEGV
    {"whole_packed_cut.dat", "chunk of 448 bytes, 218 are left"},        // SIGSEGV
    {"stored_size_2g.dat", "unpacked size 2147483647 differ"},           // hangs reading 2 GiB
    {"eight_bytes.dat", "offset 8: object count missing"},               // loads as an empty datafile
    {"property_id_end.dat", "property id -1"},                           // property lost (fuzzer)
};

class FixtureFile : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixtureFile, IsRefused)
{
    const std::string path = std::string(DATFILE_FIXTURES) + "/" + GetParam().file;
    const std::optional<std::string> problem = check_datafile_file(path.c_str());
    ASSERT_TRUE(problem.has_value()) << "accepted";
    EXPECT_NE(problem->find(GetParam().reason), std::string::npos) << "message: " << *problem;
}

INSTANTIATE_TEST_SUITE_P(Mutants, FixtureFile, ::testing::ValuesIn(fixtures), [](const auto &info) {
    std::string name = info.param.file;
    return name.substr(0, name.find('.'));
});

// Reading from disk: a missing file and a directory say why.
TEST(FileCheck, ReportsWhyAFileCannotBeRead)
{
    EXPECT_EQ(check_datafile_file("/nonexistent/data.wee").value_or(""), "No such file or directory");
    EXPECT_EQ(check_datafile_file("/").value_or(""), "Is a directory");
}

} // namespace
