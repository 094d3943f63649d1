// The slide, rise and noise scene: frame counts, positions and the raw pixel noise.
#include "data.h"
#include "fixture.h"

#include <set>
#include <vector>

namespace {

constexpr long SLIDE_FRAMES = 230;
constexpr long RISE_FRAMES = 87;
constexpr long LAST_RISE = SLIDE_FRAMES + RISE_FRAMES - 1;  // screen update number
constexpr long NOISE_PRESENTS = 1960;
constexpr long NOISE_DRAWS = 300000;

// The slide/rise frame with the pictures at the given places, drawn by reference.
BITMAP *expected_frame(int mover_x, int mover_y, int riser_y)
{
    BITMAP *frame = create_bitmap(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            set_px(frame, x, y, MAGENTA);
    paint(frame, bmp(MOVER_BMP), mover_x, mover_y, 164, 182, false);
    paint(frame, bmp(CORNER_BMP), 386, 0, 254, 224, false);
    paint(frame, bmp(RISER_BMP), 446, riser_y, 187, 78, false);
    return frame;
}

// one noise step as three scripted draws: pixel add, row step, column step
struct Step {
    int add, dy, dx;
};

// Scripts the noise walk: the given steps, then zeros (no add, no move).
void script_noise(const std::vector<Step> &steps)
{
    for (const Step &s : steps) {
        rec().script.push_back(s.add);
        rec().script.push_back(s.dy);
        rec().script.push_back(s.dx);
    }
    rec().after_script = [] { return 0; };
}

std::vector<Step> repeat(int times, Step step, std::vector<Step> then = {})
{
    std::vector<Step> steps(static_cast<size_t>(times), step);
    steps.insert(steps.end(), then.begin(), then.end());
    return steps;
}

} // namespace

TEST_F(SceneTest, EtesoppPhasesHaveTheirFrameCountsWaitsAndDraws)
{
    scene_etesopp();

    const std::vector<Event> presents = rec().of(Call::present);
    ASSERT_EQ(presents.size(), static_cast<size_t>(SLIDE_FRAMES + RISE_FRAMES + NOISE_PRESENTS));
    EXPECT_EQ(rec().of(Call::screen_blit).size(), 0u);
    EXPECT_EQ(rec().of(Call::sample).size(), 0u);

    // a 1 ms wait after each slide frame, none afterwards
    const std::vector<Event> rests = rec().of(Call::rest);
    ASSERT_EQ(rests.size(), static_cast<size_t>(SLIDE_FRAMES));
    for (long frame = 0; frame < SLIDE_FRAMES; ++frame) {
        EXPECT_EQ(rec().between(Call::rest, frame + 1, frame + 2).size(), 1u) << "slide frame " << frame;
        EXPECT_EQ(rests[frame].arg[0], 1);
    }

    // no draws before the noise; a present after every 51st step, none after the last
    EXPECT_EQ(presents[LAST_RISE].draws, 0);
    for (long n = 1; n <= NOISE_PRESENTS; ++n)
        ASSERT_EQ(presents[LAST_RISE + n].draws, 3 * 51 * n) << "noise present " << n;
    EXPECT_EQ(static_cast<long>(rec().draws.size()), NOISE_DRAWS);
}

TEST_F(SceneTest, EtesoppSlideAndRiseFramesShowThePicturesInPlace)
{
    struct Case {
        long update;
        int mover_x, mover_y, riser_y;
        const char *why;
    };
    const Case cases[] = {
        {0,   0,   232, 399, "first slide frame"},
        {142, 284, 232, 399, "mover's lowest rows pass behind the riser"},
        {229, 458, 232, 399, "last slide frame"},
        {230, 460, 232, 399, "first rise frame: mover one step on, riser not yet risen"},
        {231, 460, 232, 397, "mover holds on the second rise frame"},
        {232, 460, 230, 395, "mover rises"},
        {233, 460, 228, 393, "mover rises"},
        {234, 460, 228, 391, "mover holds on every third frame"},
        {238, 460, 222, 383, "mover's top goes behind the corner"},
        {LAST_RISE, 460, 118, 227, "last rise frame"},
    };
    for (const Case &c : cases)
        rec().capture.insert(c.update);
    scene_etesopp();

    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        BITMAP *expected = expected_frame(c.mover_x, c.mover_y, c.riser_y);
        EXPECT_TRUE(same_image(rec().captured[c.update], expected, "etesopp_frame_" + std::to_string(c.update)));
        destroy_bitmap(expected);
    }

    // in the last rise frame the mover shows only between the corner and the riser
    std::set<int> mover_rows;
    BITMAP *last = rec().captured[LAST_RISE];
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (px(last, x, y) != MAGENTA && tag_of(px(last, x, y)) == tag_of_object(MOVER_BMP))
                mover_rows.insert(y);
    EXPECT_EQ(mover_rows, (std::set<int>{224, 225, 226}));
}

TEST_F(SceneTest, EtesoppNoiseAddsRawValuesAlongTheWalk)
{
    struct Change {
        int x, y;
        std::uint16_t raw;
    };
    struct Case {
        const char *why;
        std::vector<Step> steps;
        std::vector<Change> changes;
    };
    // (386, 0) is CORNER's white pixel; (639, 0) is CORNER (253, 0), raw 0x4FA0
    const Case cases[] = {
        {"the first step adds the first draw mod 16 to (0, 0) only", {{23, 3, 4}}, {{0, 0, 0xF826}}},
        {"magenta + 1 carries out of blue", {{1, 0, 0}}, {{0, 0, 0xF820}}},
        {"magenta + 15 becomes 0xF820 + 14", {{15, 0, 0}}, {{0, 0, 0xF82E}}},
        {"a pixel hit twice gets both adds", {{5, 0, 0}, {6, 0, 0}}, {{0, 0, 0xF82A}}},
        {"0xFFFF + 1 wraps to 0", repeat(42, {0, 0, 9}, {{0, 0, 8}, {1, 0, 0}}), {{386, 0, 0x0000}}},
        {"0xFFFF + 15 wraps to 14", repeat(42, {0, 0, 9}, {{0, 0, 8}, {15, 0, 0}}), {{386, 0, 0x000E}}},
        {"row 479 is written", repeat(53, {0, 9, 0}, {{0, 2, 0}, {1, 0, 0}}), {{0, 479, 0xF820}}},
        {"row 480 starts over at row 0", repeat(53, {0, 9, 0}, {{0, 3, 0}, {1, 0, 0}}), {{0, 0, 0xF820}}},
        {"row 488 starts over at row 0, not 8", repeat(53, {0, 9, 0}, {{0, 2, 0}, {0, 9, 0}, {1, 0, 0}}),
         {{0, 0, 0xF820}}},
        {"column 639 is written", repeat(71, {0, 0, 9}, {{1, 0, 0}}), {{639, 0, 0x4FA1}}},
        {"column 640 starts over at column 0", repeat(71, {0, 0, 9}, {{0, 0, 1}, {1, 0, 0}}), {{0, 0, 0xF820}}},
        {"column 648 starts over at column 0", repeat(71, {0, 0, 9}, {{0, 0, 9}, {1, 0, 0}}), {{0, 0, 0xF820}}},
        {"the row starts over, the column goes on", repeat(53, {0, 9, 1}, {{0, 3, 0}, {2, 0, 0}}), {{53, 0, 0xF821}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        rec().capture.insert(LAST_RISE);
        script_noise(c.steps);
        scene_etesopp();

        ASSERT_EQ(static_cast<long>(rec().draws.size()), NOISE_DRAWS);
        BITMAP *expected = copy_bitmap(rec().captured[LAST_RISE]);
        for (const Change &change : c.changes)
            set_px(expected, change.x, change.y, change.raw);
        EXPECT_TRUE(same_image(buffer, expected, "etesopp_noise"));
        destroy_bitmap(expected);
    }
}

TEST_F(SceneTest, EtesoppNoiseOnTheRealSequenceStaysInTheBufferAndAddsRaw)
{
    // every change of a magenta pixel is a raw add of 1 to 15 per hit
    rec().capture.insert(LAST_RISE);
    scene_etesopp();

    BITMAP *before = rec().captured[LAST_RISE];
    long changed = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const std::uint16_t was = px(before, x, y);
            const std::uint16_t now = px(buffer, x, y);
            if (was == now)
                continue;
            ++changed;
            if (was == MAGENTA) {
                EXPECT_GE(now, 0xF820) << "(" << x << ", " << y << ")";
            }
        }
    }
    // about 100000 * 15/16 adds spread over a track of at most 100000 pixels
    EXPECT_GT(changed, 50000);
    EXPECT_LE(changed, 100000);
}
