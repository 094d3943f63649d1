// Fixture pictures, the fake datafile and the image helpers.
#include "fixture.h"

#include "data.h"

#include <array>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr int OBJECTS = 18;

// a fixture picture: size, tag and where it has mask-coloured holes
struct FixturePicture {
    int index;
    const char *name;
    int w, h;
    int tag;
    bool (*hole)(int x, int y);
};

bool no_holes(int, int) { return false; }
bool walk_holes(int x, int y) { return (x / 5 + y / 5) % 3 == 0; }
bool prop_holes(int x, int) { return x % 9 == 4; }
bool mover_holes(int x, int y) { return (x + y) % 17 == 0; }
bool corner_holes(int x, int y) { return (x * y) % 13 == 5; }
bool riser_holes(int x, int) { return x % 23 == 11; }

const FixturePicture PICTURES[] = {
    // index           name          w    h    tag  holes
    {BACKGROUND_BMP, "BACKGROUND",  640, 480,  1, no_holes},
    {WALK1_BMP,      "WALK1",        75, 127,  2, walk_holes},
    {WALK2_BMP,      "WALK2",        75, 127,  3, walk_holes},
    {WALK3_BMP,      "WALK3",        75, 127,  4, walk_holes},
    {WALK4_BMP,      "WALK4",        75, 127,  5, walk_holes},
    {WALK5_BMP,      "WALK5",        75, 127,  6, walk_holes},
    {PROP_BMP,       "PROP",         70,  79,  7, prop_holes},
    {MOVER_BMP,      "MOVER",       164, 182,  8, mover_holes},
    {CORNER_BMP,     "CORNER",      254, 224,  9, corner_holes},
    {RISER_BMP,      "RISER",       187,  78, 10, riser_holes},
    {PAN_BMP,        "PAN",         640, 480, 11, no_holes},
    {ZOOM_BMP,       "ZOOM",        640, 480, 12, no_holes},
    {TITLE_BMP,      "TITLE",       640, 480, 13, no_holes},
    {END_BMP,        "END",         640, 480, 14, no_holes},
};

struct FixtureSample {
    int index;
    const char *name;
};

const FixtureSample SAMPLES[] = {
    {GAAR_SAMPLE, "GAAR"},
    {TITLE_SAMPLE, "TITLE_SAMPLE"},
    {TERROR_SAMPLE, "TERROR"},
};

std::array<DATAFILE, OBJECTS + 1> entries{};
std::array<int, OBJECTS> tags{};

std::uint16_t pattern(const FixturePicture &pic, int x, int y)
{
    if (pic.hole(x, y))
        return MAGENTA;
    // the pan picture repeats with periods that no window offset of the path divides
    const int g = pic.index == PAN_BMP ? x % 61 : x % 64;
    const int b = pic.index == PAN_BMP ? y % 29 : y % 32;
    return static_cast<std::uint16_t>(pic.tag << 11 | g << 5 | b);
}

// Starts Allegro without a display and builds the fixture datafile, once.
void start_once()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        std::abort();
    set_color_depth(SHOW_DEPTH);

    for (const FixturePicture &pic : PICTURES) {
        BITMAP *bmp = create_bitmap(pic.w, pic.h);
        for (int y = 0; y < pic.h; ++y)
            for (int x = 0; x < pic.w; ++x)
                set_px(bmp, x, y, pattern(pic, x, y));
        entries[pic.index] = {bmp, DAT_BITMAP, pic.w * pic.h * 2, nullptr};
        tags[pic.index] = pic.tag;
    }
    // a white pixel for the raw 16-bit wrap of the noise
    set_px(static_cast<BITMAP *>(entries[CORNER_BMP].dat), 0, 0, 0xFFFF);

    for (const FixtureSample &snd : SAMPLES) {
        SAMPLE *spl = create_sample(8, 0, 8000, 16 + snd.index);
        entries[snd.index] = {spl, DAT_SAMPLE, 16 + snd.index, nullptr};
    }
    entries[MUSIC_MIDI] = {nullptr, DAT_MIDI, 0, nullptr};
    entries[OBJECTS] = {nullptr, DAT_END, 0, nullptr};
    data = entries.data();

    screen = create_bitmap(SCREEN_W_PX, SCREEN_H_PX);
    buffer = create_bitmap(SCREEN_W_PX, SCREEN_H_PX);
    hook_drawing(buffer);
}

void fill(BITMAP *bmp, std::uint16_t value)
{
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            set_px(bmp, x, y, value);
}

} // namespace

int tag_of(std::uint16_t pixel)
{
    return pixel >> 11;
}

int tag_of_object(int index)
{
    return tags[index];
}

std::uint16_t px(BITMAP *bmp, int x, int y)
{
    return reinterpret_cast<std::uint16_t *>(bmp->line[y])[x];
}

void set_px(BITMAP *bmp, int x, int y, std::uint16_t value)
{
    reinterpret_cast<std::uint16_t *>(bmp->line[y])[x] = value;
}

std::string name_of(const BITMAP *bmp)
{
    if (bmp == buffer)
        return "buffer";
    if (bmp == screen)
        return "screen";
    for (const FixturePicture &pic : PICTURES)
        if (entries[pic.index].dat == bmp)
            return pic.name;
    return "?";
}

std::string name_of(const SAMPLE *spl)
{
    for (const FixtureSample &snd : SAMPLES)
        if (entries[snd.index].dat == spl)
            return snd.name;
    return "?";
}

BITMAP *copy_bitmap(BITMAP *bmp)
{
    BITMAP *copy = create_bitmap(bmp->w, bmp->h);
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            set_px(copy, x, y, px(bmp, x, y));
    return copy;
}

void paint(BITMAP *dst, BITMAP *src, int dx, int dy, int w, int h, bool masked)
{
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int tx = dx + x;
            const int ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= dst->w || ty >= dst->h)
                continue;
            const std::uint16_t value = px(src, x, y);
            if (!(masked && value == MAGENTA))
                set_px(dst, tx, ty, value);
        }
    }
}

testing::AssertionResult same_image(BITMAP *actual, BITMAP *expected, const std::string &name)
{
    if (actual->w != expected->w || actual->h != expected->h)
        return testing::AssertionFailure() << name << ": sizes differ";
    long wrong = 0;
    int first_x = -1;
    int first_y = -1;
    for (int y = 0; y < actual->h; ++y) {
        for (int x = 0; x < actual->w; ++x) {
            if (px(actual, x, y) != px(expected, x, y)) {
                if (wrong++ == 0) {
                    first_x = x;
                    first_y = y;
                }
            }
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    save_bitmap((name + ".actual.bmp").c_str(), actual, nullptr);
    save_bitmap((name + ".expected.bmp").c_str(), expected, nullptr);
    char at[160];
    std::snprintf(at, sizeof at, "first at (%d, %d): 0x%04X, expected 0x%04X", first_x, first_y,
                  px(actual, first_x, first_y), px(expected, first_x, first_y));
    return testing::AssertionFailure() << name << ": " << wrong << " pixels differ, " << at
                                       << "; saved " << name << ".actual.bmp and .expected.bmp";
}

void SceneTest::SetUp()
{
    start_once();
    fill(screen, SCREEN_FILL);
    fill(buffer, BUFFER_FILL);
    rec().reset();
    timer.store(0, std::memory_order_relaxed);
    srand(1);
}

void SceneTest::TearDown()
{
    rec().reset();
}
