// The slide scene's three pictures. The stage is plain magenta, so the monster
// that eats the mushroom is magenta too: its skin is the stage itself, and only
// its contours, eyes, lips and teeth show. Its upper jaw hangs in the top right
// corner, its lower jaw rises from below; the mushroom slides in between.
#include "pic_makers.h"
#include "pic_paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pic {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

// palette
constexpr Rgb CONTOUR    = {120, 0, 120};   // the monster's outline strokes
constexpr Rgb SKIN_SHADE = {205, 0, 205};
constexpr Rgb SKIN_LIGHT = {255, 120, 255};
constexpr Rgb LIP        = {96, 8, 92};
constexpr Rgb MOUTH_TOP  = {120, 18, 52};
constexpr Rgb MOUTH_DEEP = {44, 4, 22};
constexpr Rgb TOOTH      = {252, 246, 222};
constexpr Rgb TOOTH_RIM  = {70, 30, 50};
constexpr Rgb EYE_WHITE  = {250, 250, 244};
constexpr Rgb IRIS       = {160, 210, 40};
constexpr Rgb PUPIL      = {16, 12, 20};
constexpr Rgb CAP        = {150, 86, 40};
constexpr Rgb CAP_LIGHT  = {214, 150, 84};
constexpr Rgb PORES      = {236, 208, 112};
constexpr Rgb STEM       = {240, 226, 194};
constexpr Rgb STEM_NET   = {196, 170, 128};
constexpr Rgb CHEEK      = {240, 140, 130};
constexpr Rgb LEAF       = {70, 150, 50};

// Fills the pixels of columns x0..x1 between rows top(x) and bottom(x) with colour(x, y).
template <class Top, class Bottom, class Colour>
void band(BITMAP *bmp, int x0, int x1, Top top, Bottom bottom, Colour colour)
{
    for (int x = x0; x <= x1; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        for (int y = static_cast<int>(std::floor(top(fx))); y <= static_cast<int>(std::ceil(bottom(fx))); ++y)
            if (static_cast<float>(y) + 0.5f >= top(fx) && static_cast<float>(y) + 0.5f <= bottom(fx))
                plot(bmp, x, y, colour(x, y));
    }
}

// A tooth from its root row to its tip row, `half` wide at the root, rounded and lit from the left.
void tooth(BITMAP *bmp, float cx, float root, float tip, float half)
{
    const float dir = tip > root ? 1.0f : -1.0f;
    for (float y = root; (tip - y) * dir >= 0; y += dir) {
        const float t = (y - root) / (tip - root);
        const float w = half * std::sqrt(std::max(0.0f, 1.0f - t * t * t));
        for (int x = static_cast<int>(cx - w - 1); x <= static_cast<int>(cx + w + 1); ++x) {
            const float o = (static_cast<float>(x) + 0.5f - cx) / std::max(w, 0.5f);
            if (std::fabs(o) <= 1.0f && std::fabs(o) * w < w - 0.9f)
                plot(bmp, x, static_cast<int>(y), TOOTH * bulge_light(o, -0.3f * dir) * (1.0f - 0.15f * t));
            else if (std::fabs(o) * w <= w + 0.6f)
                plot(bmp, x, static_cast<int>(y), TOOTH_RIM);
        }
    }
}

// A stroke along a curve y = f(x), `r` thick.
template <class Curve>
void stroke(BITMAP *bmp, float x0, float x1, Curve f, float r, Rgb c)
{
    for (float x = x0; x < x1; x += 1.0f)
        tube(bmp, x, f(x), x + 1.0f, f(x + 1.0f), r, c, c, 0.0f);
}

// A bulging eye looking towards (lx, ly), under a heavy brow.
void eye(BITMAP *bmp, float cx, float cy, float r, float lx, float ly, float brow_tilt)
{
    dome(bmp, cx + 3, cy + 4, r + 3, r + 3, SKIN_SHADE, SKIN_SHADE, 0.0f);
    dome(bmp, cx, cy, r, r, EYE_WHITE, CONTOUR, 2.0f);
    const float d = std::hypot(lx, ly);
    const float ix = cx + lx / d * r * 0.45f, iy = cy + ly / d * r * 0.45f;
    dome(bmp, ix, iy, r * 0.5f, r * 0.5f, IRIS, IRIS * 0.5f, 1.0f);
    dome(bmp, ix + lx / d * 2, iy + ly / d * 2, r * 0.26f, r * 0.3f, PUPIL, PUPIL, 0.0f);
    dome(bmp, ix - r * 0.16f, iy - r * 0.2f, 2.5f, 2.5f, EYE_WHITE * 0.9f, EYE_WHITE, 0.0f);
    tube(bmp, cx - r - 4, cy - r + 2 - brow_tilt, cx + r + 4, cy - r - 4 + brow_tilt, 5.0f, CONTOUR * 1.3f, CONTOUR * 0.7f);
}

} // namespace

BITMAP *paint_mover()
{
    constexpr int W = 164, H = 182;
    constexpr float CX = 82.0f;                  // the mushroom's axis
    constexpr float CAP_Y = 80.0f, CAP_RX = 78.0f, CAP_RY = 72.0f;
    constexpr float STEM_TOP = 84.0f, STEM_BOTTOM = 172.0f;
    BITMAP *bmp = create_bitmap_ex(24, W, H);
    clear_to_color(bmp, col(MAGENTA));

    // stem: a fat barrel with a net of fine ridges, shaded round
    auto stem_half = [&](float y) {
        const float t = (y - STEM_TOP) / (STEM_BOTTOM - STEM_TOP);
        return 26.0f + 14.0f * std::sin(PI * std::min(1.0f, t * 0.95f + 0.25f)) - (t > 0.92f ? (t - 0.92f) * 120.0f : 0.0f);
    };
    for (int y = static_cast<int>(STEM_TOP); y <= static_cast<int>(STEM_BOTTOM); ++y) {
        const float fy = static_cast<float>(y), half = stem_half(fy);
        for (int x = static_cast<int>(CX - half - 2); x <= static_cast<int>(CX + half + 2); ++x) {
            const float o = (static_cast<float>(x) + 0.5f - CX) / half;
            if (std::fabs(o) <= 1.0f) {
                const float net = noise(static_cast<float>(x) / 3.0f, fy / 5.0f, 91);
                const Rgb c = std::fabs(net - 0.5f) < 0.04f ? STEM_NET : STEM;
                plot(bmp, x, y, c * bulge_light(o, 0.0f) * 1.05f);
            } else if (std::fabs(o) <= 1.0f + 1.8f / half)
                plot(bmp, x, y, CAP * 0.45f);
        }
    }

    // face on the stem: eyes looking up and ahead, rosy cheeks, a small smile
    for (const float ex : {CX - 4.0f, CX + 18.0f}) {
        dome(bmp, ex, 118, 7, 9, EYE_WHITE, CAP * 0.4f, 1.2f);
        dome(bmp, ex + 3, 115, 3.5f, 4.5f, PUPIL, PUPIL, 0.0f);
        plot(bmp, static_cast<int>(ex + 2), 113, EYE_WHITE);
    }
    dome(bmp, CX - 16, 134, 6, 3.5f, CHEEK, CHEEK, 0.0f);
    dome(bmp, CX + 30, 132, 5, 3.5f, CHEEK, CHEEK, 0.0f);
    stroke(bmp, CX + 1, CX + 15, [&](float x) { return 136.0f + 0.06f * (x - CX - 8) * (x - CX - 8); }, 1.2f, CAP * 0.4f);

    // cap: the yellow pores underneath, then the brown dome, mottled and glossy
    dome(bmp, CX, CAP_Y + 4, CAP_RX - 4, 13, PORES, CAP * 0.45f, 1.5f);
    for (int y = 0; y <= static_cast<int>(CAP_Y); ++y)
        for (int x = 0; x < W; ++x) {
            const float ox = (static_cast<float>(x) + 0.5f - CX) / CAP_RX, oy = (static_cast<float>(y) + 0.5f - CAP_Y) / CAP_RY;
            const float d = ox * ox + oy * oy;
            const float rim = 2.2f / CAP_RX;
            if (d <= 1.0f) {
                const float mottle = fbm(static_cast<float>(x) / 9.0f, static_cast<float>(y) / 9.0f, 95, 4);
                const Rgb c = mix(CAP, CAP_LIGHT, 0.25f + 0.6f * (mottle - 0.4f));
                plot(bmp, x, y, c * bulge_light(ox, oy * 0.9f));
            } else if (d <= (1.0f + rim) * (1.0f + rim))
                plot(bmp, x, y, CAP * 0.4f);
        }

    // a tuft of grass at its foot
    Rng rng(97);
    for (int k = 0; k < 26; ++k) {
        const float x = rng.range(CX - 46, CX + 46);
        const float h = rng.range(6, 16), lean = rng.range(-5, 5);
        tube(bmp, x, static_cast<float>(H) - 2, x + lean, static_cast<float>(H) - 2 - h, 1.4f, LEAF * rng.range(0.75f, 1.2f), LEAF * 0.45f, 0.6f);
    }
    return bmp;
}

BITMAP *paint_corner()
{
    constexpr int W = 254, H = 224;
    BITMAP *bmp = create_bitmap_ex(24, W, H);
    clear_to_color(bmp, col(MAGENTA));

    // the head's outline: a big curve from the top edge down to the corner of the mouth
    auto outline = [](float y) { return 8.0f + 30.0f * std::pow(y / 224.0f, 1.8f) + 18.0f * std::sin(y / 224.0f * PI); };
    for (int y = 0; y < H; ++y) {
        const float ox = outline(static_cast<float>(y));
        for (int x = static_cast<int>(ox); x < static_cast<int>(ox) + 22 && x < W; ++x) {
            const float t = (static_cast<float>(x) - ox) / 22.0f;
            plot(bmp, x, y, t < 0.2f ? CONTOUR : mix(SKIN_SHADE, MAGENTA, smooth(0.2f, 1.0f, t)));
        }
    }
    // skin shading: a lit cheek, dimples of shade, a few warts
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float hx = (static_cast<float>(x) - 90.0f) / 60.0f, hy = (static_cast<float>(y) - 140.0f) / 30.0f;
            const float glow = std::exp(-(hx * hx + hy * hy));
            if (glow > 0.05f && static_cast<float>(x) > outline(static_cast<float>(y)) + 22)
                blend(bmp, x, y, SKIN_LIGHT, glow * 0.55f);
        }
    dome(bmp, 60, 40, 5, 5, SKIN_LIGHT, CONTOUR, 1.0f);
    dome(bmp, 232, 150, 4, 4, SKIN_LIGHT, CONTOUR, 1.0f);
    dome(bmp, 75, 110, 3, 3, SKIN_LIGHT, CONTOUR, 1.0f);

    // eyes looking down and left at whatever comes in
    eye(bmp, 112, 78, 27, -1.0f, 0.8f, 5.0f);
    eye(bmp, 196, 64, 24, -1.0f, 0.9f, -5.0f);

    // nostrils
    dome(bmp, 168, 134, 7, 5, CONTOUR * 0.6f, CONTOUR, 1.0f);
    dome(bmp, 196, 130, 7, 5, CONTOUR * 0.6f, CONTOUR, 1.0f);
    stroke(bmp, 150, 212, [](float x) { return 124.0f + 0.01f * (x - 182) * (x - 182); }, 1.5f, CONTOUR * 1.2f);

    // the open mouth along the bottom edge: dark inside, a thick lip, fangs hanging to the edge
    auto lip = [](float x) { return x < 44.0f ? 230.0f : 178.0f + 46.0f * std::pow(std::max(0.0f, 1.0f - (x - 44.0f) / 90.0f), 2.0f); };
    band(bmp, 40, W - 1, lip, [](float) { return 224.0f; }, [&](int, int y) { return mix(MOUTH_TOP, MOUTH_DEEP, static_cast<float>(y - 178) / 46.0f); });
    constexpr float FANGS[][2] = {{70, 9}, {94, 11}, {120, 13}, {146, 11}, {170, 13}, {196, 11}, {222, 13}, {246, 10}};
    for (const auto &f : FANGS)
        tooth(bmp, f[0], lip(f[0]) + 2, f[1] > 11 ? 223.0f : 214.0f, f[1]);
    stroke(bmp, 40, W + 2, lip, 4.5f, LIP);
    stroke(bmp, 40, W + 2, [&](float x) { return lip(x) - 3.5f; }, 1.2f, SKIN_LIGHT);
    return bmp;
}

BITMAP *paint_riser()
{
    constexpr int W = 187, H = 78;
    BITMAP *bmp = create_bitmap_ex(24, W, H);
    clear_to_color(bmp, col(MAGENTA));

    // the lip curve: low in the middle, meeting the top edge at the corners of the mouth
    auto lip = [](float x) { return 30.0f * std::pow(std::sin(PI * std::clamp(x / 187.0f, 0.0f, 1.0f)), 0.45f); };

    // the mouth inside, lower fangs pointing up to the top edge
    band(bmp, 0, W - 1, [](float) { return 0.0f; }, lip, [&](int, int y) { return mix(MOUTH_DEEP, MOUTH_TOP, static_cast<float>(y) / 30.0f); });
    constexpr float FANGS[][2] = {{28, 8}, {52, 11}, {78, 12}, {104, 11}, {130, 12}, {156, 10}};
    for (const auto &f : FANGS)
        tooth(bmp, f[0], lip(f[0]) - 2, f[1] > 11 ? 0.0f : 6.0f, f[1]);
    stroke(bmp, -2, W + 2, lip, 4.5f, LIP);
    stroke(bmp, -2, W + 2, [&](float x) { return lip(x) + 4.0f; }, 1.2f, SKIN_LIGHT);

    // the chin: a shaded crease and a few warts on the magenta skin
    stroke(bmp, 40, 150, [](float x) { return 62.0f - 0.0012f * (x - 95) * (x - 95) * 4.0f; }, 2.0f, CONTOUR);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float cy = 62.0f - 0.0048f * (static_cast<float>(x) - 95) * (static_cast<float>(x) - 95);
            const float under = static_cast<float>(y) - cy;
            if (under > 2 && under < 14 && x > 40 && x < 150)
                blend(bmp, x, y, SKIN_SHADE, 0.6f * (1.0f - under / 14.0f));
        }
    dome(bmp, 24, 52, 4, 4, SKIN_LIGHT, CONTOUR, 1.0f);
    dome(bmp, 168, 48, 3, 3, SKIN_LIGHT, CONTOUR, 1.0f);
    return bmp;
}

} // namespace pic
