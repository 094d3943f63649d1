// The walking-figure scene: call order, pacing, draws and the composed frames.
#include "data.h"
#include "fixture.h"

#include <string>
#include <vector>

namespace {

constexpr int FRAMES = 448;
constexpr int PROP_HOLES = 8 * 79;  // PROP's magenta columns 4, 13, ... 67, full height

std::string describe(const Event &e)
{
    const auto coords = [&](int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += (i ? "," : "") + std::to_string(e.arg[i]);
        return text;
    };
    switch (e.call) {
    case Call::present:      return "present";
    case Call::blit:         return "blit " + name_of(e.src) + "->" + name_of(e.dst) + " " + coords(6);
    case Call::masked_blit:  return "masked " + name_of(e.src) + "->" + name_of(e.dst) + " " + coords(6) +
                                    " after draw " + std::to_string(e.draws);
    case Call::rest:         return "rest " + std::to_string(e.arg[0]);
    case Call::sample:       return "sample " + name_of(e.sample) + " " + coords(4) + " after draw " +
                                    std::to_string(e.draws);
    default:                 return "other call";
    }
}

const char *const WALK_NAMES[] = {"WALK1", "WALK2", "WALK3", "WALK4", "WALK5"};

} // namespace

TEST_F(SceneTest, WalkStartsItsSoundOnceThenDrawsPresentsAndWaitsEveryFrame)
{
    scene_gaar();

    ASSERT_EQ(rec().draws.size(), static_cast<size_t>(FRAMES)) << "one draw per frame and no others";
    std::vector<std::string> expected{"sample GAAR 255,128,1000,0 after draw 0"};
    for (int frame = 0; frame < FRAMES; ++frame) {
        const std::string walk = WALK_NAMES[rec().draws[frame] % 5];
        expected.push_back("blit BACKGROUND->buffer 0,0,0,0,640,480");
        expected.push_back("masked " + walk + "->buffer 0,0," + std::to_string(frame) +
                           ",300,75,127 after draw " + std::to_string(frame + 1));
        expected.push_back("blit PROP->buffer 0,0,500,375,70,79");
        expected.push_back("present");
        expected.push_back("rest 4");
    }
    std::vector<std::string> actual;
    for (const Event &e : rec().events)
        actual.push_back(describe(e));
    EXPECT_EQ(actual, expected);
}

TEST_F(SceneTest, WalkFigureMovesOnePixelPerFrameAtRow300AndPropStaysUnmasked)
{
    // bounding box of the figure's pixels and the magenta count, on every frame
    std::vector<std::array<int, 4>> boxes;
    std::vector<int> magenta;
    rec().on_screen_update = [&](long) {
        std::array<int, 4> box{640, 480, -1, -1};
        int holes = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const std::uint16_t p = px(screen, x, y);
                holes += p == MAGENTA;
                const int tag = tag_of(p);
                if (p != MAGENTA && tag >= tag_of_object(WALK1_BMP) && tag <= tag_of_object(WALK5_BMP))
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
            }
        }
        boxes.push_back(box);
        magenta.push_back(holes);
    };
    scene_gaar();

    ASSERT_EQ(boxes.size(), static_cast<size_t>(FRAMES));
    for (int frame = 0; frame < FRAMES; ++frame) {
        const std::array<int, 4> want{frame, 300, frame + 74, 426};
        EXPECT_EQ(boxes[frame], want) << "frame " << frame;
        EXPECT_EQ(magenta[frame], PROP_HOLES) << "frame " << frame << ": only PROP's own holes are magenta";
    }
}

TEST_F(SceneTest, WalkFramesMatchTheirComposition)
{
    struct Case {
        int frame;
        const char *why;
    };
    const Case cases[] = {
        {0, "figure at the left edge"},
        {425, "last frame before the prop covers the figure"},
        {426, "figure's right edge reaches column 500, behind the prop"},
        {447, "last frame: columns 500-521 of rows 375-426 show the prop"},
    };
    for (const Case &c : cases)
        rec().capture.insert(c.frame);
    scene_gaar();

    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        BITMAP *expected = copy_bitmap(bmp(BACKGROUND_BMP));
        paint(expected, bmp(WALK1_BMP + rec().draws[c.frame] % 5), c.frame, 300, 75, 127, true);
        paint(expected, bmp(PROP_BMP), 500, 375, 70, 79, false);
        ASSERT_TRUE(rec().captured.count(c.frame));
        EXPECT_TRUE(same_image(rec().captured[c.frame], expected, "walk_frame_" + std::to_string(c.frame)));
        destroy_bitmap(expected);
    }
    // the buffer keeps the last frame
    EXPECT_TRUE(same_image(buffer, rec().captured[447], "walk_buffer_after"));
}
