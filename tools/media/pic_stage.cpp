// The walking scene's stage: a summer valley seen from the side, cut open at
// the ground line, and the milestone that stands in front of the walker.
#include "pic_makers.h"
#include "pic_paint.h"

#include <algorithm>
#include <cmath>

namespace pic {

namespace {

constexpr int W = 640, H = 480;
constexpr int GROUND_Y = 427;          // first row of ground: the walker's feet stand on row 426
constexpr int PROP_X = 500, PROP_Y = 375;
constexpr int PROP_W = 70, PROP_H = 79;

// where each layer of the valley lies: ridge line = base - rise * noise(x / scale)
struct Ridge {
    float base, rise, scale;
    std::uint32_t seed;
};
constexpr Ridge HILLS     = {330.0f, 48.0f,  95.0f,  23};
constexpr Ridge MEADOW    = {366.0f, 14.0f,  70.0f,  37};

// palette
constexpr Rgb SKY_TOP     = {52, 98, 176};
constexpr Rgb SKY_MID     = {118, 168, 222};
constexpr Rgb SKY_LOW     = {246, 216, 172};
constexpr Rgb SUN         = {255, 244, 200};
constexpr Rgb CLOUD       = {255, 250, 242};
constexpr Rgb CLOUD_SHADE = {188, 170, 196};
constexpr Rgb ROCK        = {118, 124, 170};
constexpr Rgb SNOW        = {242, 240, 252};
constexpr Rgb HILL        = {58, 112, 98};
constexpr Rgb FIR         = {30, 70, 56};
constexpr Rgb GRASS_FAR   = {116, 164, 72};
constexpr Rgb GRASS_NEAR  = {150, 196, 84};
constexpr Rgb TURF        = {88, 150, 52};
constexpr Rgb SOIL_TOP    = {112, 76, 46};
constexpr Rgb SOIL_DEEP   = {64, 42, 30};
constexpr Rgb STONE       = {150, 146, 138};

constexpr float SUN_X = 118.0f, SUN_Y = 150.0f, SUN_R = 24.0f;

float ridge(const Ridge &r, float x)
{
    return r.base - r.rise * fbm(x / r.scale, 0.5f, r.seed, 4);
}

// Grass edge along the ground line: a bright turf band with blades poking up.
// (dx, dy) is the bitmap's place on the stage, so the prop's turf lines up with the background's.
void ground_edge(BITMAP *bmp, int x_from, int x_to, int dx, int dy)
{
    for (int x = x_from; x <= x_to; ++x) {
        const int wx = x + dx; // position on the stage
        for (int y = GROUND_Y; y < GROUND_Y + 6; ++y)
            plot(bmp, x, y - dy, TURF * (1.15f - 0.07f * static_cast<float>(y - GROUND_Y)) * (0.85f + 0.3f * noise(static_cast<float>(wx) * 0.7f, static_cast<float>(y), 5)));
        const float blade = noise(static_cast<float>(wx) * 0.9f, 3.0f, 9);
        const int tall = static_cast<int>(blade * blade * 8.0f);
        for (int k = 1; k <= tall; ++k)
            plot(bmp, x, GROUND_Y - k - dy, mix(TURF, GRASS_NEAR, static_cast<float>(k) / 8.0f) * 1.1f);
    }
}

// the mountain range: a few sharp peaks
constexpr Peak PEAKS[] = {
    {  30.0f, 214.0f, 0.55f},
    { 170.0f, 176.0f, 0.75f},
    { 290.0f, 222.0f, 0.50f},
    { 420.0f, 168.0f, 0.70f},
    { 520.0f, 200.0f, 0.60f},
    { 630.0f, 186.0f, 0.80f},
};

// Top of the mountain range: the highest peak at x, roughened by noise.
float peaks(float x)
{
    return ridge_top(PEAKS, x, 300.0f) + 14.0f * (fbm(x / 18.0f, 0.5f, 11, 4) - 0.5f);
}

// Light on the mountain face at (x, y): faces turned left catch the sun.
float face_light(float x, float y)
{
    float best = 1e9f, light = 1.0f;
    const float wx = x + 10.0f * (fbm(x / 12.0f, y / 12.0f, 45, 3) - 0.5f); // ragged edge between faces
    for (const Peak &p : PEAKS) {
        const float d = std::fabs(x - p.x);
        if (y >= p.top + d * p.steep - 6.0f && d < best) {
            best = d;
            light = wx < p.x ? 1.18f : 0.78f;
        }
    }
    return light;
}

// One fir tree: stacked triangles of shaded needles with a trunk.
void fir(BITMAP *bmp, float x, float foot, float height, Rgb c)
{
    rectfill(bmp, static_cast<int>(x - 1), static_cast<int>(foot - height * 0.2f), static_cast<int>(x + 1), static_cast<int>(foot), col({70, 46, 34}));
    for (int tier = 0; tier < 3; ++tier) {
        const float top = foot - height + static_cast<float>(tier) * height * 0.22f;
        const float bottom = top + height * 0.45f;
        for (int y = static_cast<int>(top); y <= static_cast<int>(bottom); ++y) {
            const float half = (static_cast<float>(y) - top) / (bottom - top) * height * 0.26f;
            for (int px = static_cast<int>(x - half); px <= static_cast<int>(x + half); ++px)
                plot(bmp, px, y, c * (static_cast<float>(px) < x ? 1.15f : 0.8f) * (0.85f + 0.3f * noise(static_cast<float>(px) * 0.8f, static_cast<float>(y) * 0.8f, 3)));
        }
    }
}

} // namespace

BITMAP *paint_background()
{
    BITMAP *bmp = create_bitmap_ex(24, W, H);

    // sky: blue overhead, warm towards the horizon, with a low sun and drifting clouds
    for (int y = 0; y < GROUND_Y; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            Rgb c = ramp({{0.0f, SKY_TOP}, {0.45f, SKY_MID}, {0.95f, SKY_LOW}}, fy / 330.0f);
            const float sd = std::hypot(fx - SUN_X, (fy - SUN_Y) * 1.1f);
            c = mix(c, SUN, 0.55f * std::exp(-sd / 60.0f));
            if (sd < SUN_R)
                c = SUN;
            const float band = smooth(0.0f, 40.0f, fy) * (1.0f - smooth(120.0f, 200.0f, fy));
            const float cloud = fbm(fx / 110.0f, fy / 26.0f, 3, 4) - 0.62f + 0.1f * band;
            if (cloud > 0.0f) {
                const float below = fbm(fx / 110.0f, (fy + 5) / 26.0f, 3, 4) - 0.62f + 0.1f * band;
                const Rgb cc = mix(CLOUD_SHADE, CLOUD, std::clamp(0.55f + (cloud - below) * 14.0f, 0.0f, 1.0f));
                c = mix(c, cc, std::min(1.0f, cloud * 9.0f));
            }
            plot(bmp, x, y, c);
        }

    // mountains: hazy rock lit from the left, snow on the peaks
    for (int x = 0; x < W; ++x) {
        const float fx = static_cast<float>(x);
        const float top = peaks(fx);
        for (int y = static_cast<int>(top); y < GROUND_Y; ++y) {
            const float fy = static_cast<float>(y);
            const float depth = (fy - top) / 90.0f;
            const float strata = fbm(fx / 22.0f + fy / 40.0f, fy / 7.0f, 41, 4);
            const float lit = face_light(fx, fy);
            Rgb c = ROCK * (lit + 0.35f * (strata - 0.5f));
            const float snow_line = 205.0f + 18.0f * noise(fx / 7.0f, fy / 9.0f, 43);
            if (fy < snow_line && fy < top + 40.0f)
                c = SNOW * std::min(1.0f, lit * 0.95f);
            plot(bmp, x, y, mix(c, SKY_LOW, 0.45f * std::clamp(depth, 0.0f, 1.0f)));
        }
    }

    // hills: green slopes with firs along them
    for (int x = 0; x < W; ++x) {
        const float fx = static_cast<float>(x), top = ridge(HILLS, fx);
        for (int y = static_cast<int>(top); y < GROUND_Y; ++y) {
            const float fy = static_cast<float>(y);
            plot(bmp, x, y, HILL * (0.8f + 0.45f * fbm(fx / 10.0f, fy / 6.0f, 51, 4)) * (1.0f + (fy - top) / 300.0f));
        }
    }
    Rng rng(77);
    for (int k = 0; k < 70; ++k) {
        const float x = rng.range(0, W);
        fir(bmp, x, ridge(HILLS, x) + rng.range(4, 30), rng.range(14, 26), FIR);
    }

    // meadow: sunlit grass running down to the ground line, a cabin, flowers
    for (int x = 0; x < W; ++x) {
        const float fx = static_cast<float>(x), top = ridge(MEADOW, fx);
        for (int y = static_cast<int>(top); y < GROUND_Y; ++y) {
            const float fy = static_cast<float>(y);
            const float t = (fy - top) / (GROUND_Y - top);
            const float streak = noise(fx / 2.0f, fy / 7.0f, 61);
            plot(bmp, x, y, mix(GRASS_FAR, GRASS_NEAR, t) * (0.86f + 0.26f * streak));
        }
    }
    {
        constexpr int CX = 330, CY = 374; // cabin: bottom left corner
        rectfill(bmp, CX, CY - 22, CX + 40, CY, col({170, 46, 38}));
        for (int x = CX; x <= CX + 40; x += 4)
            vline(bmp, x, CY - 22, CY, col({120, 30, 28}));
        rectfill(bmp, CX + 6, CY - 15, CX + 13, CY - 8, col({250, 240, 220}));
        rectfill(bmp, CX + 8, CY - 13, CX + 11, CY - 10, col({60, 80, 110}));
        rectfill(bmp, CX + 26, CY - 14, CX + 33, CY, col({250, 240, 220}));
        rectfill(bmp, CX + 28, CY - 12, CX + 31, CY, col({110, 70, 40}));
        for (int k = 0; k < 14; ++k)
            hline(bmp, CX - 4 + k, CY - 23 - k, CX + 44 - k, col(mix({80, 60, 50}, {120, 96, 80}, static_cast<float>(k) / 14.0f)));
    }
    for (int k = 0; k < 260; ++k) {
        const float x = rng.range(0, W);
        const float top = ridge(MEADOW, x);
        const float y = rng.range(top + 4, GROUND_Y - 2);
        constexpr Rgb FLOWERS[] = {{250, 250, 240}, {250, 220, 60}, {230, 90, 120}, {150, 120, 230}};
        plot(bmp, static_cast<int>(x), static_cast<int>(y), FLOWERS[rng.below(4)]);
    }

    // ground: turf along the ground line, then the cut earth with stones
    for (int y = GROUND_Y; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float t = (fy - GROUND_Y) / static_cast<float>(H - GROUND_Y);
            const float grain = fbm(fx / 6.0f, fy / 3.0f, 71, 4);
            plot(bmp, x, y, mix(SOIL_TOP, SOIL_DEEP, t) * (0.75f + 0.5f * grain));
        }
    for (int k = 0; k < 46; ++k) {
        const float x = rng.range(0, W), y = rng.range(GROUND_Y + 12, H + 4);
        const float r = rng.range(3, 9);
        dome(bmp, x, y, r * 1.4f, r, STONE * rng.range(0.7f, 1.05f), SOIL_DEEP * 0.6f);
    }
    ground_edge(bmp, 0, W - 1, 0, 0);
    return bmp;
}

BITMAP *paint_prop()
{
    BITMAP *bmp = create_bitmap_ex(24, PROP_W, PROP_H);
    constexpr int BURIED = GROUND_Y - PROP_Y; // first row below the ground line

    // granite block: speckled, bevelled edges lit from the upper left
    for (int y = 0; y < PROP_H; ++y)
        for (int x = 0; x < PROP_W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            float k = 0.85f + 0.3f * fbm(fx / 5.0f, fy / 5.0f, 81, 4) + 0.12f * (noise(fx * 1.7f, fy * 1.7f, 83) - 0.5f);
            if (x < 3 || y < 3)
                k *= 1.25f;
            if (x >= PROP_W - 3)
                k *= 0.68f;
            Rgb c = STONE * k;
            const float moss = fbm(fx / 7.0f, fy / 5.0f, 85, 3) - fy / 90.0f - (fx > 20 ? 0.25f : 0.0f);
            if (moss > 0.42f)
                c = mix(c, Rgb{86, 128, 54} * k, 0.8f);
            if (y >= BURIED)
                c = mix(c, SOIL_TOP, 0.55f) * 0.62f;
            plot(bmp, x, y, c);
        }
    rect(bmp, 0, 0, PROP_W - 1, PROP_H - 1, col(STONE * 0.45f));

    // carved lettering: shadowed upper edges, lit lower edges
    auto carve = [&](const char *text, int y) {
        const int x = (PROP_W - text_length(font, text)) / 2;
        textout_ex(bmp, font, text, x + 1, y + 1, col(STONE * 1.35f), -1);
        textout_ex(bmp, font, text, x, y, col(STONE * 0.35f), -1);
    };
    carve("strikk", 9);
    carve("-->", 22);
    carve("1 km", 34);

    // the turf of the stage runs across the foot of the stone
    ground_edge(bmp, 0, PROP_W - 1, PROP_X, PROP_Y);
    return bmp;
}

} // namespace pic
