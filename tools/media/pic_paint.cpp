// Shared painting helpers of the picture makers.
#include "pic_paint.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pic {

namespace {

// light direction for domes and tubes: from the upper left, towards the viewer
constexpr float LIGHT_X = -0.50f;
constexpr float LIGHT_Y = -0.62f;
constexpr float LIGHT_Z = 0.60f;

int channel(float v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

// Integer hash of a lattice point, 0..1.
float lattice(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x27d4eb2du ^ static_cast<std::uint32_t>(x) * 0x85ebca6bu ^ static_cast<std::uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffffu) / static_cast<float>(0xffffff);
}

// Distance from (px, py) to the segment a-b.
float seg_dist(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    float t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0f, 1.0f);
    const float ox = px - (ax + t * dx), oy = py - (ay + t * dy);
    return std::sqrt(ox * ox + oy * oy);
}

// 8x8 font coverage of `text`, one byte per font pixel.
std::vector<unsigned char> glyph_mask(const char *text, int &w)
{
    w = text_length(font, text);
    BITMAP *tmp = create_bitmap_ex(24, std::max(w, 1), 8);
    clear_to_color(tmp, 0);
    textout_ex(tmp, font, text, 0, 0, makecol24(255, 255, 255), -1);
    std::vector<unsigned char> m(static_cast<size_t>(w) * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < w; ++x)
            m[static_cast<size_t>(y * w + x)] = getpixel(tmp, x, y) != 0;
    destroy_bitmap(tmp);
    return m;
}

} // namespace

int col(Rgb c)
{
    return makecol24(channel(c.r), channel(c.g), channel(c.b));
}

Rgb pixel(BITMAP *bmp, int x, int y)
{
    const int c = getpixel(bmp, x, y);
    return {static_cast<float>(getr24(c)), static_cast<float>(getg24(c)), static_cast<float>(getb24(c))};
}

void plot(BITMAP *bmp, int x, int y, Rgb c)
{
    if (x >= 0 && y >= 0 && x < bmp->w && y < bmp->h)
        _putpixel24(bmp, x, y, col(c));
}

void blend(BITMAP *bmp, int x, int y, Rgb c, float a)
{
    if (x >= 0 && y >= 0 && x < bmp->w && y < bmp->h)
        plot(bmp, x, y, mix(pixel(bmp, x, y), c, std::clamp(a, 0.0f, 1.0f)));
}

std::uint32_t Rng::next()
{
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}

float Rng::unit()
{
    return static_cast<float>(next() >> 8) / static_cast<float>(1u << 24);
}

float Rng::range(float lo, float hi)
{
    return lo + (hi - lo) * unit();
}

int Rng::below(int n)
{
    return static_cast<int>(next() % static_cast<std::uint32_t>(n));
}

float smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float ridge_top(std::span<const Peak> peaks, float x, float floor)
{
    float top = floor;
    for (const Peak &p : peaks)
        top = std::min(top, p.top + std::fabs(x - p.x) * p.steep);
    return top;
}

float noise(float x, float y, std::uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = smooth(0, 1, x - fx), ty = smooth(0, 1, y - fy);
    const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

float fbm(float x, float y, std::uint32_t seed, int octaves)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise(x, y, seed + static_cast<std::uint32_t>(o) * 101u);
        norm += amp;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f + 5.3f;
        amp *= 0.5f;
    }
    return sum / norm;
}

Rgb ramp(std::initializer_list<Stop> stops, float t)
{
    const Stop *s = stops.begin();
    if (t <= s[0].at)
        return s[0].c;
    for (size_t k = 1; k < stops.size(); ++k)
        if (t <= s[k].at)
            return mix(s[k - 1].c, s[k].c, (t - s[k - 1].at) / (s[k].at - s[k - 1].at));
    return s[stops.size() - 1].c;
}

void vgradient(BITMAP *bmp, int x0, int y0, int x1, int y1, std::initializer_list<Stop> stops)
{
    for (int y = y0; y <= y1; ++y) {
        const float t = y1 > y0 ? static_cast<float>(y - y0) / static_cast<float>(y1 - y0) : 0.0f;
        hline(bmp, x0, y, x1, col(ramp(stops, t)));
    }
}

float bulge_light(float ox, float oy)
{
    const float d2 = std::min(1.0f, ox * ox + oy * oy);
    const float oz = std::sqrt(1.0f - d2);
    const float lambert = std::max(0.0f, ox * LIGHT_X + oy * LIGHT_Y + oz * LIGHT_Z);
    const float specular = std::pow(lambert, 12.0f);
    return 0.50f + 0.70f * lambert + 0.22f * specular;
}

void tube(BITMAP *bmp, float ax, float ay, float bx, float by, float r, Rgb base, Rgb rim_colour, float rim)
{
    tube(bmp, ax, ay, bx, by, r, rim, rim_colour, [&](int, int, float ox, float oy) { return base * bulge_light(ox, oy); });
}

void dome(BITMAP *bmp, float cx, float cy, float rx, float ry, Rgb base, Rgb rim_colour, float rim)
{
    const int x0 = static_cast<int>(cx - rx - rim - 1), x1 = static_cast<int>(cx + rx + rim + 1);
    const int y0 = static_cast<int>(cy - ry - rim - 1), y1 = static_cast<int>(cy + ry + rim + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f - cx, py = static_cast<float>(y) + 0.5f - cy;
            const float ox = px / rx, oy = py / ry;
            const float d = std::sqrt(ox * ox + oy * oy);
            if (d <= 1.0f)
                plot(bmp, x, y, base * bulge_light(ox, oy));
            else if (std::sqrt((px / (rx + rim)) * (px / (rx + rim)) + (py / (ry + rim)) * (py / (ry + rim))) <= 1.0f)
                plot(bmp, x, y, rim_colour);
        }
}

void soft_shadow(BITMAP *bmp, float cx, float cy, float rx, float ry, float k)
{
    for (int y = static_cast<int>(cy - ry); y <= static_cast<int>(cy + ry); ++y)
        for (int x = static_cast<int>(cx - rx); x <= static_cast<int>(cx + rx); ++x) {
            const float ox = (static_cast<float>(x) - cx) / rx, oy = (static_cast<float>(y) - cy) / ry;
            const float d = ox * ox + oy * oy;
            if (d < 1.0f && x >= 0 && y >= 0 && x < bmp->w && y < bmp->h)
                plot(bmp, x, y, pixel(bmp, x, y) * (1.0f - k * (1.0f - smooth(0.2f, 1.0f, d))));
        }
}

StitchHit stitch_at(float px, float py, float cw, float ch, std::uint32_t seed)
{
    // each V is two slanted legs reaching up into the row above
    constexpr float TOP = -0.30f, BOTTOM = 0.95f, OUTER = 0.10f, WIDTH = 0.25f;
    const int i = static_cast<int>(std::floor(px / cw));
    const float u = px - static_cast<float>(i) * cw;
    const int j0 = static_cast<int>(std::floor(py / ch));
    StitchHit best{i, j0, 0.16f};
    float best_z = 0;
    for (int j = j0; j <= j0 + 1; ++j) {
        const float v = py - static_cast<float>(j) * ch;
        for (int side = 0; side < 2; ++side) {
            const float ax = (side ? 1.0f - OUTER : OUTER) * cw, ay = TOP * ch;
            const float bx = 0.5f * cw, by = BOTTOM * ch;
            const float hw = WIDTH * cw;
            const float d = seg_dist(u, v, ax, ay, bx, by);
            const float z = 1.0f - (d / hw) * (d / hw);
            if (z > best_z) {
                best_z = z;
                // twist of the yarn: fine stripes across the leg, a little uneven per stitch
                const float along = (v - ay) / (by - ay);
                const float twist = 0.9f + 0.1f * std::sin(along * 14.0f + (side ? 1.0f : -1.0f) * u * 0.9f + lattice(i, j, seed) * 6.0f);
                const float sideways = (u - bx) / cw * (side ? 1.0f : -1.0f);
                const float lit = (0.35f + 0.8f * std::sqrt(z)) * twist * (1.0f - 0.35f * sideways * (side ? 1.0f : 0.4f));
                const float fuzz = 0.92f + 0.16f * lattice(static_cast<int>(px * 3), static_cast<int>(py * 3), seed + 7);
                best = {i, j, lit * fuzz * (0.93f + 0.14f * lattice(i, j, seed + 3))};
            }
        }
    }
    return best;
}

int text_width(const char *text, int sx)
{
    return text_length(font, text) * sx;
}

void big_text(BITMAP *bmp, const char *text, int x, int y, int sx, int sy, const TextStyle &style)
{
    int w = 0;
    const std::vector<unsigned char> m = glyph_mask(text, w);
    auto at = [&](int gx, int gy) { return gx >= 0 && gy >= 0 && gx < w && gy < 8 && m[static_cast<size_t>(gy * w + gx)]; };
    auto near = [&](int gx, int gy) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (at(gx + dx, gy + dy))
                    return true;
        return false;
    };
    auto block = [&](int gx, int gy, int ox, int oy, Rgb c) {
        rectfill(bmp, x + gx * sx + ox, y + gy * sy + oy, x + gx * sx + ox + sx - 1, y + gy * sy + oy + sy - 1, col(c));
    };
    // shadow, then outline, then the ramp-filled glyphs
    if (style.shadow_dx || style.shadow_dy)
        for (int gy = -1; gy <= 8; ++gy)
            for (int gx = -1; gx <= w; ++gx)
                if (style.outlined ? near(gx, gy) : at(gx, gy))
                    block(gx, gy, style.shadow_dx, style.shadow_dy, style.shadow);
    if (style.outlined)
        for (int gy = -1; gy <= 8; ++gy)
            for (int gx = -1; gx <= w; ++gx)
                if (near(gx, gy))
                    block(gx, gy, 0, 0, style.outline);
    for (int gy = 0; gy < 8; ++gy)
        for (int gx = 0; gx < w; ++gx)
            if (at(gx, gy))
                for (int py = 0; py < sy; ++py) {
                    const float t = (static_cast<float>(gy * sy + py) + 0.5f) / static_cast<float>(8 * sy);
                    hline(bmp, x + gx * sx, y + gy * sy + py, x + gx * sx + sx - 1, col(mix(style.top, style.bottom, t)));
                }
}

void big_text_centred(BITMAP *bmp, const char *text, int cx, int y, int sx, int sy, const TextStyle &style)
{
    big_text(bmp, text, cx - text_width(text, sx) / 2, y, sx, sy, style);
}

} // namespace pic
