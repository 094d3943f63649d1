// The title and the end picture: big crisp lettering on knitted wool.
#include "pic_makers.h"
#include "pic_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pic {

namespace {

constexpr int W = 640, H = 480;

// palette
constexpr Rgb NAVY    = {28, 44, 96};
constexpr Rgb NIGHT   = {26, 24, 40};
constexpr Rgb CREAM   = {244, 234, 208};
constexpr Rgb RED     = {190, 36, 44};
constexpr Rgb GOLD    = {250, 200, 70};
constexpr Rgb INK     = {24, 14, 20};

// knit cells: stitch width and height in pixels
constexpr float TITLE_CW = 16.0f, TITLE_CH = 13.0f;
constexpr float END_CW   = 12.0f, END_CH   = 10.0f;

// A zigzag border band of `rows` stitch rows starting at row `top`.
bool zigzag(int i, int j, int top, int rows)
{
    const int r = j - top;
    if (r < 0 || r >= rows)
        return false;
    if (r == 0 || r == rows - 1)
        return true;
    return std::abs(i % 6 - 3) == r - 1;
}

// A small snowflake every eight stitches, shifted on alternate rows of flakes.
bool flake(int i, int j)
{
    const int fi = (i + (j / 8 % 2) * 4) % 8, fj = j % 8;
    return (fi == 4 && fj >= 3 && fj <= 5) || (fj == 4 && fi >= 3 && fi <= 5);
}

// Darkens a rectangle with soft edges, so lettering over wool stays legible.
void panel(BITMAP *bmp, int x0, int y0, int x1, int y1, Rgb tint, float k)
{
    for (int y = y0 - 8; y <= y1 + 8; ++y)
        for (int x = x0 - 8; x <= x1 + 8; ++x) {
            const float dx = static_cast<float>(std::max({x0 - x, x - x1, 0})), dy = static_cast<float>(std::max({y0 - y, y - y1, 0}));
            const float a = k * (1.0f - smooth(0.0f, 8.0f, std::hypot(dx, dy)));
            blend(bmp, x, y, tint, a);
        }
}

} // namespace

BITMAP *paint_title()
{
    BITMAP *bmp = create_bitmap_ex(24, W, H);

    // navy wool with snowflakes between red-and-cream zigzag borders
    knit(bmp, 0, 0, W, H, TITLE_CW, TITLE_CH, 601, [](int i, int j) {
        if (j < 7)
            return zigzag(i, j, 1, 5) ? RED : CREAM;
        if (j >= 30)
            return zigzag(i, j, 31, 5) ? RED : CREAM;
        return flake(i, j) ? CREAM * 0.85f : NAVY;
    });

    // the name, large, with a deep shadow, and a line beneath it
    panel(bmp, 40, 150, 600, 330, NIGHT, 0.55f);
    const TextStyle name = {GOLD * 1.05f, Rgb{236, 120, 40}, INK, true, Rgb{8, 6, 14}, 8, 8};
    big_text_centred(bmp, "strikk", W / 2, 160, 12, 12, name);
    const TextStyle line = {CREAM, CREAM * 0.8f, INK, true, NIGHT, 3, 3};
    big_text_centred(bmp, "a show in five scenes", W / 2, 290, 3, 3, line);
    return bmp;
}

BITMAP *paint_end()
{
    BITMAP *bmp = create_bitmap_ex(24, W, H);

    // dark wool in broad stripes, with a gold zigzag at top and bottom
    knit(bmp, 0, 0, W, H, END_CW, END_CH, 603, [](int i, int j) {
        if (zigzag(i, j, 2, 5) || zigzag(i, j, 41, 5))
            return GOLD * 0.8f;
        return (j / 6) % 2 ? NIGHT : NAVY * 0.7f;
    });

    // the credits on a darkened panel
    panel(bmp, 60, 90, 580, 400, NIGHT * 0.5f, 0.72f);
    const TextStyle heading = {GOLD * 1.05f, Rgb{236, 120, 40}, INK, true, Rgb{4, 4, 8}, 5, 5};
    const TextStyle body = {CREAM, CREAM * 0.78f, INK, false, Rgb{4, 4, 8}, 2, 2};
    const TextStyle accent = {Rgb{255, 150, 140}, RED * 1.2f, INK, true, Rgb{4, 4, 8}, 3, 3};
    big_text_centred(bmp, "strikk", W / 2, 104, 7, 7, heading);
    big_text_centred(bmp, "pictures, sounds and music", W / 2, 200, 2, 2, body);
    big_text_centred(bmp, "all made by the show's own code", W / 2, 224, 2, 2, body);
    big_text_centred(bmp, "made with Allegro", W / 2, 276, 3, 3, accent);
    big_text_centred(bmp, "thanks for watching", W / 2, 346, 2, 2, body);
    return bmp;
}

} // namespace pic
