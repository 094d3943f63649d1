// The check of a loaded datafile against the show's object table, on
// datafiles built in memory from real Allegro objects.
#include "catalogue.h"
#include "data.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// A datafile in memory: the catalogue's objects at their smallest sizes,
// followed by `extra` further objects and the end marker.
class MemoryDatafile {
public:
    explicit MemoryDatafile(int extra = 0)
    {
        midi_.divisions = 96;
        for (int i = 0; i < CATALOGUE_SIZE + extra; ++i) {
            const CatalogueEntry &want = catalogue[i % CATALOGUE_SIZE];
            if (want.type == DAT_BITMAP)
                add(DAT_BITMAP, keep(create_bitmap_ex(16, want.min_w, want.min_h)));
            else if (want.type == DAT_SAMPLE)
                add(DAT_SAMPLE, keep(create_sample(16, 0, 22050, 100)));
            else
                add(DAT_MIDI, &midi_);
        }
        objects_.push_back(DATAFILE{nullptr, DAT_END, 0, nullptr});
    }
    MemoryDatafile(const MemoryDatafile &) = delete;
    MemoryDatafile &operator=(const MemoryDatafile &) = delete;
    ~MemoryDatafile()
    {
        for (BITMAP *b : bitmaps_) destroy_bitmap(b);
        for (SAMPLE *s : samples_) destroy_sample(s);
    }

    DATAFILE *get() { return objects_.data(); }
    DATAFILE &operator[](int index) { return objects_[index]; }
    MIDI &midi() { return midi_; }

    // Replaces object `index` with a bitmap of the given format.
    void set_bitmap(int index, int depth, int w, int h)
    {
        objects_[index] = DATAFILE{keep(create_bitmap_ex(depth, w, h)), DAT_BITMAP, 0, nullptr};
    }
    // Ends the datafile after `count` objects.
    void truncate(int count) { objects_[count] = DATAFILE{nullptr, DAT_END, 0, nullptr}; }

private:
    void add(int type, void *object) { objects_.push_back(DATAFILE{object, type, 0, nullptr}); }
    BITMAP *keep(BITMAP *b) { bitmaps_.push_back(b); return b; }
    SAMPLE *keep(SAMPLE *s) { samples_.push_back(s); return s; }

    std::vector<DATAFILE> objects_;
    std::vector<BITMAP *> bitmaps_;
    std::vector<SAMPLE *> samples_;
    MIDI midi_{};
};

struct Case {
    const char *what;
    std::function<void(MemoryDatafile &)> damage;
    const char *problem; // nullptr: accepted
};

const Case cases[] = {
    {"the smallest complete datafile", [](MemoryDatafile &) {}, nullptr},
    {"larger pictures than their regions",
     [](MemoryDatafile &d) { d.set_bitmap(PAN_BMP, 16, 1280, 960); d.set_bitmap(WALK3_BMP, 16, 80, 130); },
     nullptr},
    {"17 objects", [](MemoryDatafile &d) { d.truncate(17); }, "holds 17 objects, needs at least 18"},
    {"no objects", [](MemoryDatafile &d) { d.truncate(0); }, "holds 0 objects, needs at least 18"},
    {"a bitmap where the music belongs",
     [](MemoryDatafile &d) { d[MUSIC_MIDI] = d[TITLE_BMP]; },
     "object 0 (MUSIC_MIDI) is a bitmap, needs a MIDI"},
    {"a sample where a picture belongs",
     [](MemoryDatafile &d) { d[ZOOM_BMP] = d[GAAR_SAMPLE]; },
     "object 17 (ZOOM_BMP) is a sample, needs a bitmap"},
    {"an unknown type",
     [](MemoryDatafile &d) { d[TITLE_SAMPLE].type = DAT_ID('D', 'A', 'T', 'A'); },
     "object 4 (TITLE_SAMPLE) is a type 'DATA', needs a sample"},
    {"a damaged type id",
     [](MemoryDatafile &d) { d[TITLE_SAMPLE].type = DAT_ID('M', 0x81, 'D', 'I'); },
     "object 4 (TITLE_SAMPLE) is a type 0x4D814449, needs a sample"},
    {"a pan picture too small",
     [](MemoryDatafile &d) { d.set_bitmap(PAN_BMP, 16, 320, 200); },
     "object 10 (PAN_BMP) is 320x200, needs at least 640x480"},
    {"a walk frame one column short",
     [](MemoryDatafile &d) { d.set_bitmap(WALK5_BMP, 16, 74, 127); },
     "object 9 (WALK5_BMP) is 74x127, needs at least 75x127"},
    {"a riser one row short",
     [](MemoryDatafile &d) { d.set_bitmap(RISER_BMP, 16, 187, 77); },
     "object 11 (RISER_BMP) is 187x77, needs at least 187x78"},
    {"a 32-bit picture",
     [](MemoryDatafile &d) { d.set_bitmap(CORNER_BMP, 32, 254, 224); },
     "object 16 (CORNER_BMP) is 32 bits per pixel, needs 16"},
    {"an empty sample",
     [](MemoryDatafile &d) { static_cast<SAMPLE *>(d[TERROR_SAMPLE].dat)->len = 0; },
     "object 13 (TERROR_SAMPLE) is an empty sample"},
    {"24-bit samples",
     [](MemoryDatafile &d) { static_cast<SAMPLE *>(d[GAAR_SAMPLE].dat)->bits = 24; },
     "object 1 (GAAR_SAMPLE) has 24-bit samples, needs 8 or 16"},
    {"a MIDI without time division",
     [](MemoryDatafile &d) { d.midi().divisions = 0; },
     "object 0 (MUSIC_MIDI) has a time division of 0, needs a positive one"},
};

class Catalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0); }
};

TEST_F(Catalogue, AcceptsWhatTheShowNeedsAndNamesTheFirstProblem)
{
    for (const Case &c : cases) {
        MemoryDatafile d;
        c.damage(d);
        const std::optional<std::string> problem = check_catalogue(d.get());
        if (c.problem)
            EXPECT_EQ(problem.value_or("accepted"), c.problem) << c.what;
        else
            EXPECT_EQ(problem.value_or("accepted"), "accepted") << c.what;
    }
}

TEST_F(Catalogue, IgnoresObjectsAfterTheCatalogue)
{
    MemoryDatafile d(3);
    d[CATALOGUE_SIZE].type = DAT_ID('J', 'U', 'N', 'K');
    d[CATALOGUE_SIZE].dat = nullptr;
    EXPECT_EQ(check_catalogue(d.get()), std::nullopt);
}

} // namespace
