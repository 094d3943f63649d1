// The spline pan and the still picture: the path, the windows and the waits.
#include "data.h"
#include "fixture.h"

#include <cstdlib>
#include <vector>

namespace {

// The 320x200 window of PAN at (x, y), stretched over the screen by the real library.
BITMAP *expected_window(int x, int y)
{
    BITMAP *window = create_bitmap(320, 200);
    for (int row = 0; row < 200; ++row)
        for (int col = 0; col < 320; ++col)
            set_px(window, col, row, px(bmp(PAN_BMP), x + col, y + row));
    BITMAP *frame = create_bitmap(640, 480);
    __real_stretch_blit(window, frame, 0, 0, 320, 200, 0, 0, 640, 480);
    destroy_bitmap(window);
    return frame;
}

} // namespace

TEST_F(SceneTest, PanPathRunsFromTheLowerRightCornerToTheOriginInSmallSteps)
{
    calc_v1_path();

    EXPECT_EQ(v1_x[0], 320);
    EXPECT_EQ(v1_y[0], 280);
    EXPECT_EQ(v1_x[PAN_FRAMES - 1], 0);
    EXPECT_EQ(v1_y[PAN_FRAMES - 1], 0);
    // half-way along the parameter the curve passes (139, 164)
    EXPECT_LE(std::abs(v1_x[255] - 139), 1);
    EXPECT_LE(std::abs(v1_y[256] - 164), 1);
    for (int i = 0; i < PAN_FRAMES; ++i) {
        EXPECT_TRUE(v1_x[i] >= 0 && v1_x[i] <= 320) << "sample " << i << " x " << v1_x[i];
        EXPECT_TRUE(v1_y[i] >= 0 && v1_y[i] <= 280) << "sample " << i << " y " << v1_y[i];
        if (i > 0) {
            EXPECT_TRUE(v1_x[i] == v1_x[i - 1] || v1_x[i] == v1_x[i - 1] - 1) << "sample " << i;
            EXPECT_TRUE(v1_y[i] == v1_y[i - 1] || v1_y[i] == v1_y[i - 1] - 1) << "sample " << i;
        }
    }

    // the same path again, whatever the arrays held
    const std::vector<int> xs(v1_x, v1_x + PAN_FRAMES);
    const std::vector<int> ys(v1_y, v1_y + PAN_FRAMES);
    for (int i = 0; i < PAN_FRAMES; ++i)
        v1_x[i] = v1_y[i] = -1;
    calc_v1_path();
    EXPECT_EQ(std::vector<int>(v1_x, v1_x + PAN_FRAMES), xs);
    EXPECT_EQ(std::vector<int>(v1_y, v1_y + PAN_FRAMES), ys);
    EXPECT_TRUE(rec().draws.empty());
}

TEST_F(SceneTest, PanStretchesOneWindowPerSampleStraightOntoTheScreen)
{
    const auto run = [] {
        rec().reset();
        scene_landskapsbilde();
        std::vector<std::array<int, 8>> windows;
        const std::vector<Event> &events = rec().events;
        EXPECT_EQ(events.size(), 2u * PAN_FRAMES);
        for (size_t i = 0; i + 1 < events.size(); i += 2) {
            EXPECT_EQ(events[i].call, Call::stretch_blit) << "event " << i;
            EXPECT_EQ(events[i].src, bmp(PAN_BMP));
            EXPECT_EQ(events[i].dst, screen);
            EXPECT_EQ(events[i + 1].call, Call::rest);
            EXPECT_EQ(events[i + 1].arg[0], 1);
            windows.push_back(events[i].arg);
        }
        EXPECT_TRUE(rec().draws.empty());
        return windows;
    };
    const std::vector<std::array<int, 8>> first = run();
    ASSERT_EQ(first.size(), static_cast<size_t>(PAN_FRAMES));
    for (int i = 0; i < PAN_FRAMES; ++i) {
        const std::array<int, 8> want{v1_x[i], v1_y[i], 320, 200, 0, 0, 640, 480};
        EXPECT_EQ(first[i], want) << "frame " << i;
        // inside the 640x480 picture
        EXPECT_TRUE(first[i][0] >= 0 && first[i][1] >= 0 && first[i][0] + 320 <= 640 && first[i][1] + 200 <= 480);
    }
    // the next cycle shows the same frames; the back buffer is never touched
    EXPECT_EQ(run(), first);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(px(buffer, x, y), BUFFER_FILL);
}

TEST_F(SceneTest, PanFirstAndLastWindowsAreThePicturesCorners)
{
    rec().capture = {0, PAN_FRAMES - 1};
    scene_landskapsbilde();

    BITMAP *first = rec().captured[0];
    BITMAP *last = rec().captured[PAN_FRAMES - 1];
    EXPECT_EQ(px(first, 0, 0), px(bmp(PAN_BMP), 320, 280));
    EXPECT_EQ(px(first, 639, 479), px(bmp(PAN_BMP), 639, 479));
    EXPECT_EQ(px(last, 0, 0), px(bmp(PAN_BMP), 0, 0));
    EXPECT_EQ(px(last, 639, 479), px(bmp(PAN_BMP), 319, 199));

    BITMAP *lower_right = expected_window(320, 280);
    BITMAP *upper_left = expected_window(0, 0);
    EXPECT_TRUE(same_image(first, lower_right, "pan_first"));
    EXPECT_TRUE(same_image(last, upper_left, "pan_last"));
    destroy_bitmap(lower_right);
    destroy_bitmap(upper_left);
}

TEST_F(SceneTest, ZoomShowsItsPictureOnceAndHolds)
{
    scene_zoom();

    ASSERT_EQ(rec().events.size(), 2u);
    const Event &shown = rec().events[0];
    EXPECT_EQ(shown.call, Call::screen_blit);
    EXPECT_EQ(shown.src, bmp(ZOOM_BMP));
    EXPECT_EQ(shown.arg, (std::array<int, 8>{0, 0, 0, 0, 640, 480}));
    EXPECT_EQ(rec().events[1].call, Call::rest);
    EXPECT_EQ(rec().events[1].arg[0], 3500);
    EXPECT_TRUE(rec().draws.empty());
    EXPECT_TRUE(same_image(screen, bmp(ZOOM_BMP), "zoom_screen"));
}
