// Shared painting helpers of the picture makers: colours, noise, gradients,
// shaded shapes, knitted surfaces and big crisp text, all on 24-bit bitmaps.
#pragma once

#include <allegro.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace pic {

// a colour with float channels in 0..255, so shading can overshoot before clamping
struct Rgb {
    float r, g, b;
};

constexpr Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
constexpr Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
// Linear mix: t = 0 gives a, t = 1 gives b.
constexpr Rgb mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }

// the mask colour of the show's sprites and the slide scene's stage
inline constexpr Rgb MAGENTA = {255, 0, 255};

// Allegro colour value of c for a 24-bit bitmap, channels rounded and clamped.
int col(Rgb c);
// Colour of the pixel at (x, y) of a 24-bit bitmap.
Rgb pixel(BITMAP *bmp, int x, int y);
// Sets one pixel; outside the bitmap nothing happens.
void plot(BITMAP *bmp, int x, int y, Rgb c);
// Mixes c over the pixel with opacity a (0..1); outside the bitmap nothing happens.
void blend(BITMAP *bmp, int x, int y, Rgb c, float a);

// Small deterministic generator (xorshift32) for textures and scatter.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next();
    float unit();                    // 0 <= u < 1
    float range(float lo, float hi); // lo <= v < hi
    int below(int n);                // 0 <= v < n
private:
    std::uint32_t s_;
};

// Smooth value noise in 0..1, the same for the same arguments.
float noise(float x, float y, std::uint32_t seed);
// Sum of `octaves` noise layers, each twice as fine and half as strong; 0..1.
float fbm(float x, float y, std::uint32_t seed, int octaves);
// Smooth step from 0 at e0 to 1 at e1.
float smooth(float e0, float e1, float x);

// A mountain peak seen from the side: where it stands, its top row and how steeply its flanks fall.
struct Peak {
    float x, top, steep;
};
// Top row of a range of peaks at column x (the highest flank there), never below `floor`.
float ridge_top(std::span<const Peak> peaks, float x, float floor);

// One colour stop of a ramp.
struct Stop {
    float at;
    Rgb c;
};
// Colour of a ramp of stops (ascending `at`) at t, clamped to the ends.
Rgb ramp(std::initializer_list<Stop> stops, float t);
// Fills rows y0..y1 (inclusive) of columns x0..x1 with a vertical ramp.
void vgradient(BITMAP *bmp, int x0, int y0, int x1, int y1, std::initializer_list<Stop> stops);

// Brightness of a bulging surface point with normalised offset (ox, oy) from
// its centre line, lit from the upper left: 0.5 at the dark rim, about 1.3 at the highlight.
float bulge_light(float ox, float oy);

// A shaded tube from a to b of radius r with a rim line `rim` wide; no antialiasing,
// so every pixel is either untouched or painted. Fill colour per pixel from `fill`.
template <class Fill>
void tube(BITMAP *bmp, float ax, float ay, float bx, float by, float r, float rim, Rgb rim_colour, Fill fill)
{
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float reach = r + rim;
    const int x0 = static_cast<int>(std::floor(std::fmin(ax, bx) - reach));
    const int x1 = static_cast<int>(std::ceil(std::fmax(ax, bx) + reach));
    const int y0 = static_cast<int>(std::floor(std::fmin(ay, by) - reach));
    const int y1 = static_cast<int>(std::ceil(std::fmax(ay, by) + reach));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0f;
            t = std::fmax(0.0f, std::fmin(1.0f, t));
            const float ox = px - (ax + t * dx), oy = py - (ay + t * dy);
            const float d = std::sqrt(ox * ox + oy * oy);
            if (d <= r)
                plot(bmp, x, y, fill(x, y, ox / r, oy / r));
            else if (d <= reach)
                plot(bmp, x, y, rim_colour);
        }
    }
}

// A tube in one colour, shaded as a lit cylinder.
void tube(BITMAP *bmp, float ax, float ay, float bx, float by, float r, Rgb base, Rgb rim_colour, float rim = 1.0f);
// A shaded ellipse (a lit dome) with a rim line.
void dome(BITMAP *bmp, float cx, float cy, float rx, float ry, Rgb base, Rgb rim_colour, float rim = 1.0f);

// Darkens the bitmap under a soft elliptical shadow of strength `k` (0..1).
void soft_shadow(BITMAP *bmp, float cx, float cy, float rx, float ry, float k);

// A knitted surface: columns of V stitches `cw` x `ch` pixels, stitch (i, j)
// in the colour `wool(i, j)`, drawn over x0..x0+w-1, y0..y0+h-1.
template <class Wool>
void knit(BITMAP *bmp, int x0, int y0, int w, int h, float cw, float ch, std::uint32_t seed, Wool wool);

// Width in pixels of `text` in Allegro's 8x8 font scaled by sx.
int text_width(const char *text, int sx);
// Crisp text in Allegro's font scaled by (sx, sy): each font pixel becomes an
// sx x sy block, filled with a top-to-bottom ramp, with an outline and a drop shadow.
struct TextStyle {
    Rgb top, bottom;  // fill ramp over the glyph height
    Rgb outline;      // one-block outline around the glyphs
    bool outlined;
    Rgb shadow;       // drop shadow colour
    int shadow_dx, shadow_dy; // in pixels; 0, 0 for none
};
void big_text(BITMAP *bmp, const char *text, int x, int y, int sx, int sy, const TextStyle &style);
// The same, centred on column cx.
void big_text_centred(BITMAP *bmp, const char *text, int cx, int y, int sx, int sy, const TextStyle &style);

// Which stitch a pixel at (px, py) of a knit with cells cw x ch belongs to, and how lit it is.
struct StitchHit {
    int i, j;
    float light; // 0 in the gaps between stitches, up to about 1.2 on a leg's crest
};
StitchHit stitch_at(float px, float py, float cw, float ch, std::uint32_t seed);

template <class Wool>
void knit(BITMAP *bmp, int x0, int y0, int w, int h, float cw, float ch, std::uint32_t seed, Wool wool)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const StitchHit s = stitch_at(static_cast<float>(x - x0) + 0.5f, static_cast<float>(y - y0) + 0.5f, cw, ch, seed);
            plot(bmp, x, y, wool(s.i, s.j) * s.light);
        }
}

} // namespace pic
