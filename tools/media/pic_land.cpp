// The landscape that the pan flies over (a fjord with snowy peaks, a village,
// a meadow and birches, textured down to single pixels because the pan shows
// it magnified), and the close-up still of a knitting basket.
#include "pic_makers.h"
#include "pic_paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pic {

namespace {

constexpr int W = 640, H = 480;
constexpr float PI = std::numbers::pi_v<float>;

// ---- landscape ----

constexpr float WATER_Y = 272.0f; // the fjord's surface and the mountains' mirror line

// the mountain range: peaks high on the left, where the pan ends
constexpr Peak PEAKS[] = {
    { -20.0f,  60.0f, 0.9f},
    { 110.0f,  34.0f, 1.1f},
    { 240.0f,  78.0f, 0.9f},
    { 360.0f, 118.0f, 0.8f},
    { 480.0f, 150.0f, 0.7f},
    { 610.0f, 132.0f, 0.9f},
};

// palette
constexpr Rgb SKY_TOP    = {30, 70, 150};
constexpr Rgb SKY_MID    = {110, 162, 216};
constexpr Rgb SKY_LOW    = {232, 224, 210};
constexpr Rgb CLOUD      = {255, 252, 246};
constexpr Rgb CLOUD_BASE = {170, 170, 200};
constexpr Rgb ROCK       = {98, 104, 130};
constexpr Rgb ROCK_WARM  = {150, 132, 120};
constexpr Rgb SNOW       = {246, 248, 255};
constexpr Rgb SNOW_SHADE = {150, 170, 210};
constexpr Rgb FOREST     = {34, 76, 52};
constexpr Rgb WATER      = {40, 90, 130};
constexpr Rgb SHORE      = {150, 140, 110};
constexpr Rgb GRASS_FAR  = {92, 140, 64};
constexpr Rgb GRASS_NEAR = {118, 170, 56};
constexpr Rgb ROAD       = {196, 172, 126};
constexpr Rgb BARK       = {236, 232, 220};
constexpr Rgb LEAVES     = {140, 178, 48};

float mountain_top(float x)
{
    return ridge_top(PEAKS, x, 400.0f) + 22.0f * (fbm(x / 26.0f, 0.5f, 201, 6) - 0.5f);
}

// Light on the mountain face at (x, y): faces turned left catch the sun; the edge between faces is ragged.
float face_light(float x, float y)
{
    float best = 1e9f, light = 1.0f;
    const float wx = x + 40.0f * (fbm(x / 20.0f, y / 16.0f, 205, 5) - 0.5f);
    for (const Peak &p : PEAKS) {
        const float d = std::fabs(wx - p.x);
        if (y >= p.top + d * p.steep - 10.0f && d < best) {
            best = d;
            light = wx < p.x + (y - p.top) * 0.3f ? 1.2f : 0.66f;
        }
    }
    return light;
}

// Top row of the land in front of the fjord: low on the left, rising to a shore on the right.
float land_top(float x)
{
    return 352.0f - 74.0f * smooth(250.0f, 430.0f, x) + 10.0f * (fbm(x / 30.0f, 2.5f, 203, 4) - 0.5f);
}

// Centre column of the road at row y: it winds from the bottom edge up to the village.
float road_x(float y)
{
    const float t = (y - 300.0f) / 180.0f;
    return 470.0f - 50.0f * t + 40.0f * std::sin(t * 5.0f) * t;
}

void sky(BITMAP *bmp)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            Rgb c = ramp({{0.0f, SKY_TOP}, {0.5f, SKY_MID}, {1.0f, SKY_LOW}}, fy / WATER_Y);
            const float cloud = fbm(fx / 90.0f, fy / 24.0f, 211, 6) - 0.56f + 0.08f * std::sin(fy / 40.0f);
            if (cloud > 0.0f) {
                const float below = fbm(fx / 90.0f, (fy + 4) / 24.0f, 211, 6) - 0.56f + 0.08f * std::sin((fy + 4) / 40.0f);
                const Rgb cc = mix(CLOUD_BASE, CLOUD, std::clamp(0.5f + (cloud - below) * 12.0f, 0.0f, 1.0f));
                c = mix(c, cc, std::min(1.0f, cloud * 7.0f));
            }
            plot(bmp, x, y, c);
        }
}

// Rock with relief lit from the left, snow fields above a ragged line, forest at the foot.
void mountains(BITMAP *bmp)
{
    for (int x = 0; x < W; ++x) {
        const float fx = static_cast<float>(x), top = mountain_top(fx);
        for (int y = std::max(0, static_cast<int>(top)); y < static_cast<int>(WATER_Y); ++y) {
            const float fy = static_cast<float>(y);
            const float h = fbm(fx / 34.0f, fy / 22.0f, 221, 6);
            const float relief = (fbm((fx + 1.0f) / 14.0f, fy / 10.0f, 221, 5) - fbm((fx - 1.0f) / 14.0f, fy / 10.0f, 221, 5)) * -4.0f;
            const float strata = 0.92f + 0.16f * noise(fx / 30.0f + fy / 2.5f, fy / 50.0f, 223);
            const float lit = std::clamp(face_light(fx, fy) + relief + 0.3f * (h - 0.5f), 0.45f, 1.5f);
            Rgb c = mix(ROCK, ROCK_WARM, std::clamp(lit - 0.8f, 0.0f, 1.0f)) * lit * strata;
            const float snow_line = 120.0f + 60.0f * fbm(fx / 20.0f, fy / 14.0f, 225, 5) + (fx - 200.0f) * 0.05f;
            if (fy < snow_line && h > 0.36f)
                c = mix(SNOW_SHADE, SNOW, std::clamp(lit - 0.35f, 0.0f, 1.0f));
            const float tree_line = 236.0f + 16.0f * fbm(fx / 12.0f, 0.0f, 227, 4);
            if (fy > tree_line) {
                const float crowns = noise(fx / 2.5f, fy / 3.5f, 229);
                c = FOREST * (0.7f + 0.6f * crowns) * (0.9f + 0.2f * (fy - tree_line) / 40.0f);
            }
            // haze grows with distance down the range
            plot(bmp, x, y, mix(c, SKY_MID, 0.05f + 0.25f * smooth(180.0f, 270.0f, fy) * (fy < tree_line)));
        }
    }
}

// The fjord: the mountains mirrored, broken by ripples, with glints of sky.
void fjord(BITMAP *bmp)
{
    for (int y = static_cast<int>(WATER_Y); y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float depth = (fy - WATER_Y) / 90.0f;
            const float ripple = (noise(fx / 14.0f, fy / 1.6f, 231) - 0.5f) * (4.0f + 10.0f * depth);
            const int sx = std::clamp(static_cast<int>(fx + ripple), 0, W - 1);
            const int sy = std::clamp(static_cast<int>(2.0f * WATER_Y - fy - 1.0f), 0, H - 1);
            Rgb c = mix(pixel(bmp, sx, sy), WATER, 0.38f + 0.2f * depth);
            const float glint = noise(fx / 6.0f, fy / 1.2f, 233);
            if (glint > 0.78f)
                c = mix(c, SKY_LOW, (glint - 0.78f) * 3.0f);
            plot(bmp, x, y, c);
        }
}

// Meadow in front of the fjord: grass in strokes, a pebble shore, a winding road, flowers.
void land(BITMAP *bmp, Rng &rng)
{
    for (int x = 0; x < W; ++x) {
        const float fx = static_cast<float>(x), top = land_top(fx);
        for (int y = static_cast<int>(top); y < H; ++y) {
            const float fy = static_cast<float>(y);
            const float t = (fy - top) / (H - top);
            Rgb c = mix(GRASS_FAR, GRASS_NEAR, t) * (0.8f + 0.4f * fbm(fx / 16.0f, fy / 9.0f, 241, 5));
            if (fy < top + 4.0f)
                c = SHORE * (0.8f + 0.4f * noise(fx / 1.5f, fy / 1.5f, 243));
            const float rx = road_x(fy), rw = 2.0f + (fy - 290.0f) * 0.13f;
            if (fy > 292.0f && std::fabs(fx - rx) < rw) {
                const float track = std::fabs(std::fabs(fx - rx) / rw - 0.5f);
                c = ROAD * (0.85f + 0.25f * noise(fx / 2.0f, fy / 2.0f, 245)) * (track < 0.1f ? 0.85f : 1.0f);
            }
            plot(bmp, x, y, c);
        }
    }
    // grass blades, longer nearer the viewer
    for (int k = 0; k < 9000; ++k) {
        const float x = rng.range(0, W);
        const float y = rng.range(land_top(x) + 4, H + 6);
        if (std::fabs(x - road_x(y)) < 2.0f + (y - 290.0f) * 0.13f)
            continue;
        const float len = 1.0f + (y - 280.0f) * 0.045f, lean = rng.range(-0.6f, 0.6f) * len;
        const Rgb c = mix(GRASS_FAR, GRASS_NEAR, (y - 280.0f) / 200.0f) * rng.range(0.7f, 1.35f);
        line(bmp, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + lean), static_cast<int>(y - len), col(c));
    }
    constexpr Rgb FLOWERS[] = {{252, 250, 240}, {250, 214, 50}, {226, 70, 96}, {140, 110, 230}, {250, 150, 40}};
    for (int k = 0; k < 900; ++k) {
        const float x = rng.range(0, W), y = rng.range(land_top(x) + 8, H);
        const Rgb c = FLOWERS[rng.below(5)];
        const int s = y > 400 ? 2 : 1;
        rectfill(bmp, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + s - 1, static_cast<int>(y) + s - 1, col(c));
        if (s > 1)
            plot(bmp, static_cast<int>(x), static_cast<int>(y), c * 1.2f + Rgb{40, 40, 40});
    }
}

// One wooden house: lit front, shaded gable side, a roof of turf or tiles, white windows.
struct House {
    float x, base, w, h;
    Rgb wall;
    bool turf;
};
constexpr House HOUSES[] = {
    {372, 296, 22, 14, {176, 48, 40},   true},
    {402, 300, 28, 16, {226, 196, 110}, false},
    {440, 294, 20, 13, {240, 238, 228}, false},
    {470, 304, 30, 18, {176, 48, 40},   false},
    {512, 298, 24, 15, {90, 120, 150},  true},
    {548, 306, 28, 17, {226, 196, 110}, true},
    {590, 300, 22, 14, {176, 48, 40},   false},
    {430, 322, 26, 17, {240, 238, 228}, true},
    {500, 330, 30, 19, {176, 48, 40},   false},
    {566, 334, 26, 18, {240, 238, 228}, false},
};

void house(BITMAP *bmp, const House &h)
{
    const int x0 = static_cast<int>(h.x), x1 = static_cast<int>(h.x + h.w), yb = static_cast<int>(h.base);
    const int yt = static_cast<int>(h.base - h.h), side = x0 + static_cast<int>(h.w * 0.65f);
    for (int x = x0; x <= x1; ++x)
        for (int y = yt; y <= yb; ++y)
            plot(bmp, x, y, h.wall * (x < side ? 1.0f : 0.72f) * ((x - x0) % 3 == 0 ? 0.9f : 1.0f));
    for (int wx = x0 + 3; wx + 3 < side; wx += 7) {
        rectfill(bmp, wx, yt + 4, wx + 3, yt + 8, col({250, 248, 238}));
        rectfill(bmp, wx + 1, yt + 5, wx + 2, yt + 7, col({60, 80, 110}));
    }
    const Rgb roof = h.turf ? Rgb{86, 120, 50} : Rgb{70, 52, 50};
    const int ridge = static_cast<int>(h.h * 0.55f);
    for (int k = 0; k <= ridge; ++k)
        for (int x = x0 - 2 + k / 2; x <= x1 + 2 - k / 2; ++x)
            plot(bmp, x, yt - k, roof * (0.8f + 0.4f * noise(static_cast<float>(x) / 1.5f, static_cast<float>(yt - k) / 1.5f, 251)) * (k == 0 ? 0.7f : 1.0f));
    soft_shadow(bmp, h.x + h.w * 0.5f, h.base + 2.0f, h.w * 0.7f, 3.0f, 0.4f);
}

// A birch: white trunk with dark marks, a crown of leaf clusters lit from the left.
void birch(BITMAP *bmp, float x, float foot, float height, std::uint32_t seed)
{
    const float r = height * 0.03f;
    tube(bmp, x, foot, x + height * 0.04f, foot - height, r, 1.0f, Rgb{60, 60, 56}, [&](int px, int py, float ox, float oy) {
        const float mark = noise(static_cast<float>(px) / 2.0f, static_cast<float>(py) / 3.0f, seed);
        return (mark > 0.72f ? Rgb{40, 40, 36} : BARK) * bulge_light(ox, oy * 0.2f);
    });
    const float cx = x + height * 0.04f, cy = foot - height * 0.85f, rx = height * 0.34f, ry = height * 0.42f;
    for (int py = static_cast<int>(cy - ry); py <= static_cast<int>(cy + ry); ++py)
        for (int px = static_cast<int>(cx - rx); px <= static_cast<int>(cx + rx); ++px) {
            const float ox = (static_cast<float>(px) - cx) / rx, oy = (static_cast<float>(py) - cy) / ry;
            const float d = ox * ox + oy * oy;
            const float leaf = fbm(static_cast<float>(px) / 5.0f, static_cast<float>(py) / 5.0f, seed + 1, 4);
            if (d < 1.0f && leaf > 0.32f + 0.35f * d)
                plot(bmp, px, py, LEAVES * bulge_light(ox, oy) * (0.7f + 0.6f * noise(static_cast<float>(px) / 1.3f, static_cast<float>(py) / 1.3f, seed + 2)));
        }
}

// ---- close-up: a ball of yarn, knitting needles and a knitted swatch on a table ----

constexpr Rgb WOOD       = {150, 96, 56};
constexpr Rgb WOOD_DARK  = {96, 56, 32};
constexpr Rgb YARN       = {196, 40, 52};
constexpr Rgb SWATCH_A   = {242, 232, 210};
constexpr Rgb SWATCH_B   = {40, 70, 140};
constexpr Rgb NEEDLE     = {200, 206, 214};
constexpr Rgb KNOB       = {236, 170, 40};

// the star that is knitted into the swatch, 13 x 13 stitches
constexpr const char *STAR[] = {
    "......#......",
    ".....###.....",
    "..#..###..#..",
    "...#..#..#...",
    "....#.#.#....",
    ".##..###..##.",
    "######.######",
    ".##..###..##.",
    "....#.#.#....",
    "...#..#..#...",
    "..#..###..#..",
    ".....###.....",
    "......#......",
};

} // namespace

BITMAP *paint_pan()
{
    BITMAP *bmp = create_bitmap_ex(24, W, H);
    Rng rng(301);

    // sky, mountains, the fjord mirroring them
    sky(bmp);
    mountains(bmp);
    fjord(bmp);

    // the land in front, the village on the shore, birches nearest the viewer
    land(bmp, rng);
    for (const House &h : HOUSES)
        house(bmp, h);
    {
        // the white church with its steeple
        constexpr int CX = 618, CB = 292;
        rectfill(bmp, CX - 12, CB - 12, CX + 8, CB, col({244, 242, 232}));
        rectfill(bmp, CX + 3, CB - 12, CX + 8, CB, col({200, 198, 190}));
        rectfill(bmp, CX - 12, CB - 26, CX - 6, CB - 12, col({244, 242, 232}));
        for (int k = 0; k < 12; ++k)
            hline(bmp, CX - 12 + k / 3, CB - 26 - k, CX - 6 - k / 3, col({70, 52, 50}));
        for (int k = 0; k < 6; ++k)
            hline(bmp, CX - 13 + k, CB - 12 - k, CX + 9 - k, col({70, 52, 50}));
        rectfill(bmp, CX - 10, CB - 22, CX - 8, CB - 19, col({60, 80, 110}));
    }
    constexpr float BIRCHES[][2] = {{596, 150}, {632, 120}, {548, 96}, {24, 70}, {60, 56}};
    for (int k = 0; k < 5; ++k)
        birch(bmp, BIRCHES[k][0], BIRCHES[k][0] > 500 ? 486.0f : 392.0f + static_cast<float>(k) * 6.0f, BIRCHES[k][1], 400u + static_cast<std::uint32_t>(k) * 7u);
    return bmp;
}

BITMAP *paint_zoom()
{
    BITMAP *bmp = create_bitmap_ex(24, W, H);

    // the table: planks of grained wood, darker at the seams and towards the edges
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const int plank = y / 120;
            const float grain = std::sin(fx / 9.0f + 8.0f * fbm(fx / 180.0f, fy / 22.0f + static_cast<float>(plank) * 7.0f, 501, 5));
            Rgb c = mix(WOOD_DARK, WOOD, 0.55f + 0.35f * grain) * (0.9f + 0.2f * noise(fx / 3.0f, fy / 1.0f, 503));
            if (y % 120 < 2)
                c = WOOD_DARK * 0.45f;
            const float vig = std::hypot((fx - 320.0f) / 420.0f, (fy - 240.0f) / 330.0f);
            plot(bmp, x, y, c * (1.15f - 0.5f * vig * vig));
        }

    // the swatch: cream wool with a blue star, slightly tilted into the picture
    constexpr int SX = 40, SY = 150, SW = 330, SH = 290;
    soft_shadow(bmp, SX + SW * 0.5f + 14, SY + SH * 0.5f + 16, SW * 0.62f, SH * 0.62f, 0.55f);
    knit(bmp, SX, SY, SW, SH, 22.0f, 18.0f, 505, [](int i, int j) {
        const int si = i - 1, sj = j - 1;
        const bool star = si >= 0 && sj >= 0 && si < 13 && sj < 13 && STAR[sj][si] == '#';
        const bool border = j == 14 || j == 15;
        return (star || border) ? SWATCH_B : SWATCH_A;
    });

    // a needle stuck into the ball, drawn first so the ball hides its tip
    constexpr float BX = 480, BY = 220, BR = 128;
    soft_shadow(bmp, BX + 30, BY + BR * 0.8f, BR * 1.1f, BR * 0.45f, 0.6f);
    tube(bmp, 300, 34, 470, 200, 5.5f, NEEDLE, Rgb{60, 64, 70}, 1.2f);
    dome(bmp, 300, 34, 12, 12, KNOB, KNOB * 0.4f, 1.5f);

    // the ball of yarn: a lit sphere wound in bands of parallel strands, the last band on top
    constexpr float BANDS[][3] = {
        { 0.00f,  0.00f, 1.00f}, { 0.80f,  0.50f, 0.33f}, {-0.60f,  0.70f, 0.38f},
        { 0.20f, -0.90f, 0.39f}, {-0.85f, -0.20f, 0.49f}, { 0.50f, -0.30f, 0.81f},
    };
    for (int y = static_cast<int>(BY - BR); y <= static_cast<int>(BY + BR); ++y)
        for (int x = static_cast<int>(BX - BR); x <= static_cast<int>(BX + BR); ++x) {
            const float ox = (static_cast<float>(x) - BX) / BR, oy = (static_cast<float>(y) - BY) / BR;
            const float d2 = ox * ox + oy * oy;
            if (d2 > 1.0f)
                continue;
            const float oz = std::sqrt(1.0f - d2);
            float strand = 1.0f, edge = 1.0f;
            for (const auto &b : BANDS) {
                const float n = std::hypot(b[0], std::hypot(b[1], b[2]));
                const float a = (ox * b[0] + oy * b[1] + oz * b[2]) / n;
                if (&b == &BANDS[0] || std::fabs(a) < 0.42f) {
                    strand = 0.5f + 0.5f * std::cos(a * 70.0f);
                    edge = &b == &BANDS[0] ? 1.0f : smooth(0.42f, 0.36f, std::fabs(a)) * 0.4f + 0.6f;
                }
            }
            const float fuzz = 0.9f + 0.2f * noise(static_cast<float>(x) / 1.2f, static_cast<float>(y) / 1.2f, 507);
            plot(bmp, x, y, YARN * bulge_light(ox, oy) * (0.5f + 0.55f * std::sqrt(strand)) * edge * fuzz);
        }

    // the loose strand from the ball across the swatch to the needle
    for (float t = 0.0f; t <= 1.0f; t += 0.002f) {
        const float u = 1.0f - t;
        const float x = u * u * u * 392 + 3 * u * u * t * 380 + 3 * u * t * t * 300 + t * t * t * 330;
        const float y = u * u * u * 300 + 3 * u * u * t * 440 + 3 * u * t * t * 330 + t * t * t * 152;
        dome(bmp, x, y, 3.2f, 3.2f, YARN, YARN * 0.35f, 0.8f);
    }

    // the working needle through the top row of the swatch
    tube(bmp, 16, 160, 392, 139, 5.5f, NEEDLE, Rgb{60, 64, 70}, 1.2f);
    dome(bmp, 16, 160, 12, 12, KNOB, KNOB * 0.4f, 1.5f);
    return bmp;
}

} // namespace pic
