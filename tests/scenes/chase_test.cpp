// The bouncing-chain chase and the screen shake.
#include "data.h"
#include "fixture.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Start = std::array<std::pair<int, int>, 12>;  // (vx draw, vy draw) per point, chain order

struct Segment {
    int x1, y1, x2, y2;
    bool operator==(const Segment &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Segment &s)
{
    return out << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ")";
}

// Scripts the chase: the start draws, then `during` for every draw up to the
// black rectangle, then the real sequence for the shake.
void script_chase(const Start &start, int during)
{
    for (const auto &[vx, vy] : start) {
        rec().script.push_back(vx);
        rec().script.push_back(vy);
    }
    rec().after_script = [during] { return rec().at_rectfill ? __real_rand() : during; };
}

Start all_points(int vx, int vy)
{
    Start start;
    start.fill({vx, vy});
    return start;
}

// The black segments drawn in chase frame `frame` (the unfinished last frame included).
std::vector<Segment> segments(long frame)
{
    std::vector<Segment> found;
    for (const Event &e : rec().between(Call::line, frame, frame + 1)) {
        EXPECT_EQ(e.src, buffer);
        EXPECT_EQ(e.arg[4], makecol(0, 0, 0));
        found.push_back({e.arg[0], e.arg[1], e.arg[2], e.arg[3]});
    }
    return found;
}

// The blits onto the screen after the rectangle; a pass moved by (0, 0) looks like a present.
std::vector<Event> shake_passes()
{
    std::vector<Event> passes;
    bool ending = false;
    for (const Event &e : rec().events) {
        ending = ending || e.call == Call::rectfill;
        if (ending && (e.call == Call::screen_blit || e.call == Call::present))
            passes.push_back(e);
    }
    return passes;
}

// The presents of the chase, before the rectangle.
std::vector<Event> chase_presents()
{
    std::vector<Event> presents;
    for (const Event &e : rec().events) {
        if (e.call == Call::rectfill)
            break;
        if (e.call == Call::present)
            presents.push_back(e);
    }
    return presents;
}

bool has_walk_pixels(BITMAP *bmp)
{
    for (int y = 0; y < bmp->h; ++y) {
        for (int x = 0; x < bmp->w; ++x) {
            const int tag = tag_of(px(bmp, x, y));
            if (px(bmp, x, y) != MAGENTA && tag >= tag_of_object(WALK1_BMP) && tag <= tag_of_object(WALK5_BMP))
                return true;
        }
    }
    return false;
}

// all points with vx 1.5 and vy -1 reach the floor in frame 28 and bounce to vx 2
// (draw 70); from then on x = 2 * frames - 12 after each frame, so the x tested in
// frame 142 equals lx = 270 and the one tested in frame 143 is 272 > 271
constexpr int BOUNCE_TO_VX_2 = 70;
constexpr long PASSING_FRAME = 143;

} // namespace

TEST_F(SceneTest, ChainPointMovesAsWorkedByHand)
{
    struct Case {
        const char *why;
        std::array<float, 4> in;
        std::vector<int> draws;
        std::array<float, 4> out;
    };
    const Case cases[] = {
        {"free flight: gravity, then x and y", {0, 416, 1.5f, -1}, {}, {1.5f, 415.100006f, 1.5f, -0.899999976f}},
        {"exactly on the floor: no bounce", {10, 428, 2, 0.5f}, {}, {12, 428.600006f, 2, 0.600000024f}},
        {"below the floor: vx = 35/35, vy = -70/50, then gravity",
         {10, 428.5f, 2, 0.5f}, {135, 270}, {11, 427.200012f, 1, -1.29999995f}},
        {"bounce divides vx by 35 and vy by 50", {0, 500, 0, 0}, {99, 99}, {2.82857132f, 498.119995f, 2.82857132f, -1.88f}},
        {"gravity is added in double: -0.1f + 0.1 is not 0", {0, 416, 0, -0.1f}, {}, {0, 416, 0, -1.49011614e-09f}},
        {"a new vy above -0.1 still sinks", {0, 430, 0, 0}, {0, 3}, {0, 430.040009f, 0, 0.0400000028f}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        rec().reset();
        rec().script.assign(c.draws.begin(), c.draws.end());
        rec().after_script = [] { return 0; };
        std::array<float, 4> point = c.in;
        move_chain_point(point.data());
        EXPECT_EQ(point, c.out);
        EXPECT_EQ(rec().draws, c.draws) << "draws taken";
    }
}

TEST_F(SceneTest, ChaseWithoutAPassingPointRunsTenThousandFrames)
{
    // bounces give vx 1, so no point gains on the figure; point 3 (vx 1.5, vy -1)
    // bounces in frame 28 and then has x = frames + 15, exactly 666 after frame 651
    const Start start{{{0, 0}, {99, 99}, {150, 250}, {75, 50}, {49, 60}, {25, 5},
                       {74, 0}, {76, 98}, {10, 45}, {199, 199}, {50, 54}, {100, 1}}};
    script_chase(start, 35);
    rec().capture = {511, 512, 9999};
    terror_strikk();

    const std::vector<Event> presents = chase_presents();
    ASSERT_EQ(presents.size(), 10000u);
    EXPECT_EQ(rec().of(Call::rest).size(), 10000u);
    const std::vector<Event> &events = rec().events;
    for (size_t i = 0; i + 1 < events.size() && events[i].call != Call::rectfill; ++i)
        if (events[i].call == Call::present) {
            ASSERT_TRUE(events[i + 1].call == Call::rest && events[i + 1].arg[0] == 1) << "event " << i;
        }

    // the figure: one draw per frame, at (128 + frame, 300)
    const std::vector<Event> figures = rec().of(Call::masked_blit);
    ASSERT_EQ(figures.size(), 10000u);
    for (int frame = 0; frame < 10000; ++frame) {
        const Event &f = figures[frame];
        EXPECT_EQ(f.src, bmp(WALK1_BMP + rec().draws[f.draws - 1] % 5));
        ASSERT_EQ(f.arg, (std::array<int, 8>{0, 0, 128 + frame, 300, 75, 127})) << "frame " << frame;
    }
    EXPECT_TRUE(has_walk_pixels(rec().captured[511]));
    EXPECT_FALSE(has_walk_pixels(rec().captured[512])) << "off the right edge from frame 512";

    // frame 0: start velocities, one polyline in chain order, truncated positions
    const std::vector<Segment> first{{0, 416, 1, 414}, {1, 414, 1, 415}, {1, 415, 1, 415}, {1, 415, 0, 414},
                                     {0, 414, 0, 416}, {0, 416, 1, 416}, {1, 416, 1, 414}, {1, 414, 0, 415},
                                     {0, 415, 1, 414}, {1, 414, 1, 415}, {1, 415, 0, 416}};
    EXPECT_EQ(segments(0), first);

    // frame 651: point 3 at x = 666 reads as "no predecessor" for point 4
    const std::vector<Segment> marked = segments(651);
    ASSERT_EQ(marked.size(), 10u);
    EXPECT_EQ(marked[2].x2, 666);
    for (size_t i = 0; i + 1 < marked.size(); ++i)
        if (i != 2) {
            EXPECT_TRUE(marked[i].x2 == marked[i + 1].x1 && marked[i].y2 == marked[i + 1].y1) << "segment " << i;
        }
    EXPECT_NE(marked[3].x1, 666);

    // the last frame is complete and presented; the rectangle goes over it
    ASSERT_TRUE(rec().at_rectfill);
    EXPECT_TRUE(same_image(rec().at_rectfill, rec().captured[9999], "chase_last_frame"));
}

TEST_F(SceneTest, ChaseEndsMidFrameAtTheFirstPointPastTheFigure)
{
    struct Case {
        const char *why;
        Start start;
        std::vector<int> xs;  // x of the points drawn in the unfinished frame, chain order
    };
    // vx 1, 0, 0.5 give x = 260, 232, 246 after frame 143; point 8 has vx 1.5 and passes
    Start later = all_points(50, 50);
    const int vx_draws[8] = {50, 0, 25, 50, 0, 25, 50, 0};
    for (int i = 0; i < 8; ++i)
        later[i].first = vx_draws[i];
    later[8].first = 75;
    const Case cases[] = {
        {"the first point passes: the frame holds only its background", all_points(75, 50), {}},
        {"point 8 passes: the segments up to point 7 are drawn", later, {260, 232, 246, 260, 232, 246, 260, 232}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        script_chase(c.start, BOUNCE_TO_VX_2);
        terror_strikk();

        // frame 142 (x equal to lx) is complete and presented; frame 143 is never presented
        const std::vector<Event> presents = chase_presents();
        ASSERT_EQ(static_cast<long>(presents.size()), PASSING_FRAME);
        EXPECT_EQ(presents[0].draws, 24 + 1);
        for (long frame = 1; frame < PASSING_FRAME; ++frame) {
            const long draws = presents[frame].draws - presents[frame - 1].draws;
            if (frame <= 28)
                EXPECT_EQ(draws, frame == 28 ? 25 : 1) << "frame " << frame << ": first bounce in frame 28";
            else
                EXPECT_TRUE(draws == 1 || draws == 25) << "frame " << frame << ": the figure, after all or no bounces";
        }

        // the unfinished frame: no draw, no figure, segments between the points before
        const std::vector<Event> ending = rec().of(Call::rectfill);
        ASSERT_EQ(ending.size(), 1u);
        EXPECT_EQ(ending[0].draws, presents.back().draws);
        EXPECT_TRUE(rec().between(Call::masked_blit, PASSING_FRAME, PASSING_FRAME + 1).empty());
        const std::vector<Segment> drawn = segments(PASSING_FRAME);
        ASSERT_EQ(drawn.size(), c.xs.empty() ? 0 : c.xs.size() - 1);
        BITMAP *expected = copy_bitmap(bmp(BACKGROUND_BMP));
        for (size_t i = 0; i < drawn.size(); ++i) {
            const Segment want{c.xs[i], drawn[0].y1, c.xs[i + 1], drawn[0].y1};
            EXPECT_EQ(drawn[i], want);
            for (int x = std::min(want.x1, want.x2); x <= std::max(want.x1, want.x2); ++x)
                set_px(expected, x, want.y1, BLACK);
        }
        EXPECT_TRUE(same_image(rec().at_rectfill, expected, "chase_unfinished_frame"));
        destroy_bitmap(expected);
    }
}

TEST_F(SceneTest, ChaseEndingBlacksOutTheRectangleAndShakesTheFrozenPicture)
{
    script_chase(all_points(75, 50), BOUNCE_TO_VX_2);
    terror_strikk();

    // rectangle (160, 256)-(480, 438), both corners inclusive
    const std::vector<Event> ending = rec().of(Call::rectfill);
    ASSERT_EQ(ending.size(), 1u);
    EXPECT_EQ(ending[0].arg, (std::array<int, 8>{160, 256, 480, 438, 0}));
    BITMAP *expected = copy_bitmap(rec().at_rectfill);
    for (int y = 256; y < 256 + 183; ++y)
        for (int x = 160; x < 160 + 321; ++x)
            set_px(expected, x, y, BLACK);
    EXPECT_TRUE(same_image(buffer, expected, "chase_ending_buffer"));
    destroy_bitmap(expected);

    // the sound starts once, after the rectangle and before the first pass
    const std::vector<Event> sounds = rec().of(Call::sample);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(name_of(sounds[0].sample), "TERROR");
    EXPECT_EQ(sounds[0].arg, (std::array<int, 8>{255, 128, 1000, 0}));
    EXPECT_TRUE(rec().between(Call::sample, PASSING_FRAME, PASSING_FRAME + 1).size() == 1);

    // 9280 ms at the seam's 10 ms a pass; each pass moved by two fresh draws mod 32
    const std::vector<Event> passes = shake_passes();
    ASSERT_EQ(passes.size(), 928u);
    const long first_draw = ending[0].draws;
    EXPECT_EQ(static_cast<long>(rec().draws.size()), first_draw + 2 * 928);
    std::array<bool, 32> seen{};
    for (size_t i = 0; i < passes.size(); ++i) {
        const int r1 = rec().draws[first_draw + 2 * i] % 32;
        const int r2 = rec().draws[first_draw + 2 * i + 1] % 32;
        seen[r1] = seen[r2] = true;
        EXPECT_EQ(passes[i].src, buffer);
        ASSERT_EQ(passes[i].arg, (std::array<int, 8>{r1, r2, 0, 0, 640 - r1, 480 - r2})) << "pass " << i;
        EXPECT_EQ(passes[i].draws, first_draw + 2 * static_cast<long>(i) + 2);
    }
    for (int r = 0; r < 32; ++r)
        EXPECT_TRUE(seen[r]) << "displacement " << r << " never drawn";
    EXPECT_TRUE(rec().of(Call::rest).size() == PASSING_FRAME) << "no wait in the shake";

    // the screen shows the last pass
    const int r1 = passes.back().arg[0];
    const int r2 = passes.back().arg[1];
    for (int y = 0; y < 480 - r2; ++y)
        for (int x = 0; x < 640 - r1; ++x)
            ASSERT_EQ(px(screen, x, y), px(buffer, x + r1, y + r2)) << "(" << x << ", " << y << ")";
}

TEST_F(SceneTest, ShakeLastsItsFullLengthWhereverTheCounterStands)
{
    struct Case {
        std::uint32_t start;
        std::uint32_t ms_per_pass;
        size_t passes;
        const char *why;
    };
    const Case cases[] = {
        {0, 10, 928, "counter at 0"},
        {1000, 7, 1326, "9280 ms is not a multiple of the pass time"},
        {2147483645u, 10, 928, "across the signed 32-bit limit"},
        {4294967295u - 9279u, 10, 928, "start + 9280 is exactly 2^32"},
        {4294967291u, 10, 928, "counter just below the wrap"},
        {4294967295u, 1, 9280, "counter at its last value, 1 ms a pass"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        script_chase(all_points(75, 50), BOUNCE_TO_VX_2);
        rec().clock_set_at_rectfill = true;
        rec().clock_at_rectfill = c.start;
        rec().ms_per_screen_update = c.ms_per_pass;
        terror_strikk();

        const std::vector<Event> passes = shake_passes();
        ASSERT_EQ(passes.size(), c.passes);
        EXPECT_EQ(passes.front().clock, c.start);
        EXPECT_EQ(passes.back().clock - c.start, (c.passes - 1) * c.ms_per_pass);
    }
}
