// Tells which moment of the show each captured screen frame shows, from the
// media pictures alone, and compares captured sound with the media samples.
//
//   e2e_frames classify MEDIA_DIR TIMES KEEP_DIR < frames.rgb
//       frames: raw 640x480 RGB24, one per line of TIMES (seconds); prints
//       one line per frame: "index seconds LABEL details"
//   e2e_frames is LABEL MEDIA_DIR < frame.rgb
//       exit 0 when the one frame is LABEL (TITLE, END, ZOOM)
//   e2e_frames sound CAPTURE.wav SAMPLE.wav SECONDS
//       prints how well CAPTURE's loudness from SECONDS on follows SAMPLE's
#include <allegro.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr int TOLERANCE = 2;          // per channel: 16-bit colours read through a 24-bit server
constexpr std::uint16_t MASK16 = 0xF81F;

// walking figure and fixed pictures, as the scenes place them
constexpr int FIG_W = 75, FIG_H = 127, FIG_Y = 300;
constexpr int PROP_X = 500, PROP_Y = 375, PROP_W = 70, PROP_H = 79;
constexpr int WALK_FRAMES = 448;
constexpr int CHASE_X0 = 128;
constexpr int MOVER_W = 164, MOVER_H = 182, MOVER_Y = 232;
constexpr int CORNER_X = 386, CORNER_W = 254, CORNER_H = 224;
constexpr int RISER_X = 446, RISER_Y = 399, RISER_W = 187, RISER_H = 78;
constexpr int SLIDE_LAST_X = 458, RISE_X = 460, RISE_FRAMES = 87;
constexpr int PAN_W = 320, PAN_H = 200, PAN_STEPS = 512;
constexpr int TEAR_STEPS = 4;         // a torn pan frame mixes steps at most this far apart
constexpr int RECT_X1 = 160, RECT_Y1 = 256, RECT_X2 = 480, RECT_Y2 = 438;
constexpr int SHAKE_MAX = 31;

struct Rgb { std::uint8_t r, g, b; };

// A picture as the screen shows it: 16-bit values and their 24-bit reading.
struct Pic {
    int w = 0, h = 0;
    std::vector<std::uint16_t> raw;
    std::uint16_t at(int x, int y) const { return raw[y * w + x]; }
};

// 16-bit r5g6b5 widened the way Allegro does when it converts to 24/32 bits.
Rgb expand(std::uint16_t c)
{
    const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {static_cast<std::uint8_t>(r * 255 / 31), static_cast<std::uint8_t>(g * 255 / 63),
            static_cast<std::uint8_t>(b * 255 / 31)};
}

// r5g6b5, red in the top bits, as the show's 16-bit mode lays pixels out.
std::uint16_t pack(int r, int g, int b)
{
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

bool close(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) <= TOLERANCE && std::abs(a.g - b.g) <= TOLERANCE &&
           std::abs(a.b - b.b) <= TOLERANCE;
}

bool is_black(Rgb a) { return a.r <= TOLERANCE && a.g <= TOLERANCE && a.b <= TOLERANCE; }

// One captured frame.
struct Frame {
    std::vector<Rgb> px = std::vector<Rgb>(W * H);
    Rgb at(int x, int y) const { return px[y * W + x]; }
    bool is(int x, int y, std::uint16_t c) const { return close(at(x, y), expand(c)); }
};

// Loads a 24-bit media BMP and reduces it to 16 bits as `dat -bpp 16` does.
Pic load_pic(const std::string &dir, const char *name)
{
    const std::string path = dir + "/" + name;
    set_color_conversion(COLORCONV_NONE);
    BITMAP *src = load_bitmap(path.c_str(), nullptr);
    if (!src) {
        std::fprintf(stderr, "e2e_frames: cannot load %s\n", path.c_str());
        std::exit(2);
    }
    Pic p;
    p.w = src->w;
    p.h = src->h;
    p.raw.resize(static_cast<std::size_t>(p.w) * p.h);
    for (int y = 0; y < src->h; ++y)
        for (int x = 0; x < src->w; ++x) {
            const int c = getpixel(src, x, y);
            const int d = bitmap_color_depth(src);
            p.raw[y * p.w + x] = pack(getr_depth(d, c), getg_depth(d, c), getb_depth(d, c));
        }
    destroy_bitmap(src);
    return p;
}

// Every media picture the checks use.
struct Media {
    Pic background, title, end, zoom, pan, prop, mover, corner, riser;
    std::array<Pic, 5> walk;
    std::array<int, PAN_STEPS> path_x{}, path_y{};
    std::vector<int> stretch_col, stretch_row;  // source offset of each screen column / row
};

// Source offsets of Allegro's 320x200 -> 640x480 stretch, measured on a coded picture.
void measure_stretch(Media &m)
{
    BITMAP *coded = create_bitmap_ex(16, PAN_W, PAN_H);
    BITMAP *out = create_bitmap_ex(16, W, H);
    for (int y = 0; y < PAN_H; ++y)
        for (int x = 0; x < PAN_W; ++x)
            putpixel(coded, x, y, y * PAN_W + x);
    stretch_blit(coded, out, 0, 0, PAN_W, PAN_H, 0, 0, W, H);
    m.stretch_col.resize(W);
    m.stretch_row.resize(H);
    for (int x = 0; x < W; ++x)
        m.stretch_col[x] = getpixel(out, x, 0) % PAN_W;
    for (int y = 0; y < H; ++y)
        m.stretch_row[y] = getpixel(out, 0, y) / PAN_W;
    destroy_bitmap(out);
    destroy_bitmap(coded);
}

Media load_media(const std::string &dir)
{
    Media m;
    m.background = load_pic(dir, "background.bmp");
    m.title = load_pic(dir, "title.bmp");
    m.end = load_pic(dir, "end.bmp");
    m.zoom = load_pic(dir, "zoom.bmp");
    m.pan = load_pic(dir, "pan.bmp");
    m.prop = load_pic(dir, "prop.bmp");
    m.mover = load_pic(dir, "mover.bmp");
    m.corner = load_pic(dir, "corner.bmp");
    m.riser = load_pic(dir, "riser.bmp");
    for (int i = 0; i < 5; ++i)
        m.walk[i] = load_pic(dir, ("walk" + std::to_string(i + 1) + ".bmp").c_str());
    const int points[8] = {320, 280, 200, 280, 64, 64, 0, 0};
    calc_spline(points, PAN_STEPS, m.path_x.data(), m.path_y.data());
    measure_stretch(m);
    return m;
}

// A 640x480 16-bit composition, the way a scene builds its back buffer.
struct Canvas {
    std::vector<std::uint16_t> raw = std::vector<std::uint16_t>(W * H);
    void fill(std::uint16_t c) { std::fill(raw.begin(), raw.end(), c); }
    void put(const Pic &p, int x0, int y0, int w, int h, bool masked)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = x0 + x, sy = y0 + y;
                if (sx < 0 || sy < 0 || sx >= W || sy >= H)
                    continue;
                const std::uint16_t c = p.at(x, y);
                if (!masked || c != MASK16)
                    raw[sy * W + sx] = c;
            }
    }
    std::uint16_t at(int x, int y) const { return raw[y * W + x]; }
};

// Number of pixels of the frame that differ from the canvas (stops past `limit`).
long differences(const Frame &f, const Canvas &c, long limit = 0)
{
    long n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!f.is(x, y, c.at(x, y)) && ++n > limit)
                return n;
    return n;
}

// True when the whole frame shows the picture's top-left 640x480.
bool shows(const Frame &f, const Pic &p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!f.is(x, y, p.at(x, y)))
                return false;
    return true;
}

// True when the rectangle of the frame at (x0,y0) shows the picture (masked: only its opaque pixels).
bool region_shows(const Frame &f, const Pic &p, int x0, int y0, int w, int h, bool masked)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = x0 + x, sy = y0 + y;
            if (sx >= W || sy >= H)
                continue;
            const std::uint16_t c = p.at(x, y);
            if (masked && c == MASK16)
                continue;
            if (!f.is(sx, sy, c))
                return false;
        }
    return true;
}

// Walk scene: figure pose (1-5) at x, background and the prop elsewhere.
std::optional<std::string> walk(const Frame &f, const Media &m)
{
    if (!region_shows(f, m.prop, PROP_X, PROP_Y, PROP_W, PROP_H, false))
        return std::nullopt;
    for (int x = 0; x < WALK_FRAMES; ++x)
        for (int n = 0; n < 5; ++n) {
            if (!region_shows(f, m.walk[n], x, FIG_Y, FIG_W, FIG_H, true))
                continue;
            Canvas c;
            c.put(m.background, 0, 0, W, H, false);
            c.put(m.walk[n], x, FIG_Y, FIG_W, FIG_H, true);
            c.put(m.prop, PROP_X, PROP_Y, PROP_W, PROP_H, false);
            if (differences(f, c) == 0)
                return "x=" + std::to_string(x) + " pose=" + std::to_string(n + 1);
        }
    return std::nullopt;
}

// Slide and rise frames over magenta.
Canvas slide_rise(const Media &m, int mover_x, int mover_y, int riser_y)
{
    Canvas c;
    c.fill(MASK16);
    c.put(m.mover, mover_x, mover_y, MOVER_W, MOVER_H, false);
    c.put(m.corner, CORNER_X, 0, CORNER_W, CORNER_H, false);
    c.put(m.riser, RISER_X, riser_y, RISER_W, RISER_H, false);
    return c;
}

std::optional<std::string> slide(const Frame &f, const Media &m)
{
    if (!region_shows(f, m.corner, CORNER_X, 0, CORNER_W, CORNER_H, false))
        return std::nullopt;
    for (int x = 0; x <= SLIDE_LAST_X; x += 2)
        if (region_shows(f, m.mover, x, MOVER_Y, MOVER_W, 1, false) &&
            region_shows(f, m.riser, RISER_X, RISER_Y, RISER_W, RISER_H, false) && differences(f, slide_rise(m, x, MOVER_Y, RISER_Y)) == 0)
            return "x=" + std::to_string(x);
    return std::nullopt;
}

// The rise frame with counter 2k: mover 232 - 2*floor(2k/3), riser 399 - 2k.
Canvas rise_frame(const Media &m, int k)
{
    return slide_rise(m, RISE_X, MOVER_Y - 2 * (2 * k / 3), RISER_Y - 2 * k);
}

std::optional<std::string> rise(const Frame &f, const Media &m)
{
    if (!region_shows(f, m.corner, CORNER_X, 0, CORNER_W, CORNER_H, false))
        return std::nullopt;
    for (int k = 0; k < RISE_FRAMES; ++k)
        if (region_shows(f, m.riser, RISER_X, RISER_Y - 2 * k, RISER_W, RISER_H, false) && differences(f, rise_frame(m, k)) == 0)
            return "frame=" + std::to_string(k);
    return std::nullopt;
}

// Noise over the last rise frame: most pixels unchanged, changed ones on magenta lose blue.
std::optional<std::string> noise(const Frame &f, const Media &m)
{
    const Canvas last = rise_frame(m, RISE_FRAMES - 1);
    long changed = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (f.is(x, y, last.at(x, y)))
                continue;
            ++changed;
            const Rgb a = f.at(x, y);
            if (last.at(x, y) == MASK16 && (a.r < 255 - TOLERANCE || (a.g <= TOLERANCE && a.b >= 255 - TOLERANCE)))
                return std::nullopt;
        }
    if (changed == 0 || changed > W * H / 3)
        return std::nullopt;
    return "changed=" + std::to_string(changed);
}

// Pan: the frame is the 320x200 window at a point of the path, stretched 2x and 2.4x. A frame
// grabbed while the stretch was being drawn shows a later step above an earlier one.
std::optional<std::string> pan(const Frame &f, const Media &m)
{
    auto row_matches = [&](int step, int y) {
        for (int x = 0; x < W; ++x)
            if (!f.is(x, y, m.pan.at(m.path_x[step] + m.stretch_col[x], m.path_y[step] + m.stretch_row[y])))
                return false;
        return true;
    };
    // rows from `from` down that show the step
    auto rows = [&](int step, int from) {
        int y = from;
        while (y < H && row_matches(step, y))
            ++y;
        return y - from;
    };
    auto where = [&](int step) {
        return std::to_string(step) + " window=" + std::to_string(m.path_x[step]) + "," +
               std::to_string(m.path_y[step]);
    };
    // steps (distinct windows) whose top row fits, the whole frame first
    std::vector<int> steps;
    for (int i = 0; i < PAN_STEPS; ++i) {
        if (i > 0 && m.path_x[i] == m.path_x[i - 1] && m.path_y[i] == m.path_y[i - 1])
            continue;
        steps.push_back(i);
        if (row_matches(i, 0) && rows(i, 0) == H)
            return "step=" + where(i);
    }
    // torn: bands of rows from nearby steps, at most one mixed row between bands
    std::string bands;
    int y = 0, pieces = 0, skipped = 0, first = 0;
    while (y < H && pieces < 6) {
        int best = -1, best_rows = 0;
        for (int i : steps)
            if ((pieces == 0 || std::abs(i - first) <= TEAR_STEPS) && row_matches(i, y)) {
                const int n = rows(i, y);
                if (n > best_rows) {
                    best = i;
                    best_rows = n;
                }
            }
        if (best < 0) {
            if (++skipped > pieces || y == 0)
                return std::nullopt;
            ++y;
            continue;
        }
        if (pieces == 0)
            first = best;
        bands += (bands.empty() ? "" : ",") + std::to_string(best) + "@" + std::to_string(y);
        y += best_rows;
        ++pieces;
    }
    if (y < H)
        return std::nullopt;
    return "steps=" + bands + " torn";
}

bool in_rect(int x, int y) { return x >= RECT_X1 && x <= RECT_X2 && y >= RECT_Y1 && y <= RECT_Y2; }

// Chase: background, black chain, the figure at x >= 128 drawn over it.
std::optional<std::string> chase(const Frame &f, const Media &m)
{
    for (int x = CHASE_X0; x < W; ++x)
        for (int n = 0; n < 5; ++n) {
            if (!region_shows(f, m.walk[n], x, FIG_Y, FIG_W, FIG_H, true))
                continue;
            long chain = 0;
            bool ok = true;
            for (int y = 0; y < H && ok; ++y)
                for (int sx = 0; sx < W; ++sx) {
                    const bool figure = sx >= x && sx < x + FIG_W && y >= FIG_Y && y < FIG_Y + FIG_H &&
                                        m.walk[n].at(sx - x, y - FIG_Y) != MASK16;
                    if (figure || f.is(sx, y, m.background.at(sx, y)))
                        continue;
                    if (!is_black(f.at(sx, y))) {
                        ok = false;
                        break;
                    }
                    ++chain;
                }
            if (ok && chain > 0 && chain < W * H / 4)
                return "x=" + std::to_string(x) + " pose=" + std::to_string(n + 1);
        }
    return std::nullopt;
}

// Shake: the frozen buffer (background, chain, black rectangle) moved left and up by r1, r2.
// The chain's pixels over the part every pass shows make the frame's signature.
std::optional<std::string> shake(const Frame &f, const Media &m)
{
    auto fits = [&](int r1, int r2, int step) {
        for (int y = 0; y < H - r2; y += step)
            for (int x = 0; x < W - r1; x += step) {
                const int bx = x + r1, by = y + r2;
                const Rgb a = f.at(x, y);
                const bool ok = in_rect(bx, by) ? is_black(a)
                                                : is_black(a) || close(a, expand(m.background.at(bx, by)));
                if (!ok)
                    return false;
            }
        return true;
    };
    for (int r2 = 0; r2 <= SHAKE_MAX; ++r2)
        for (int r1 = 0; r1 <= SHAKE_MAX; ++r1) {
            const bool ok = fits(r1, r2, 16) && fits(r1, r2, 1);
            if (!ok)
                continue;
            long scenery = 0;
            for (int y = 0; y < H - r2; y += 4)
                for (int x = 0; x < W - r1; x += 4)
                    scenery += !is_black(f.at(x, y));
            if (scenery < (W - r1) * (H - r2) / 32)
                continue;
            std::uint64_t hash = 1469598103934665603ull;
            long chain = 0;
            for (int by = SHAKE_MAX; by < H; ++by)
                for (int bx = SHAKE_MAX; bx < W; ++bx) {
                    if (in_rect(bx, by) || !is_black(f.at(bx - r1, by - r2)) ||
                        is_black(expand(m.background.at(bx, by))))
                        continue;
                    ++chain;
                    hash = (hash ^ static_cast<std::uint64_t>(by * W + bx)) * 1099511628211ull;
                }
            char sig[32];
            std::snprintf(sig, sizeof sig, "%016llx", static_cast<unsigned long long>(hash));
            return "shift=" + std::to_string(r1) + "," + std::to_string(r2) + " chain=" +
                   std::to_string(chain) + " sig=" + sig;
        }
    return std::nullopt;
}

bool black(const Frame &f)
{
    return std::all_of(f.px.begin(), f.px.end(), [](Rgb a) { return is_black(a); });
}

// First label that fits the frame, with its details.
std::pair<std::string, std::string> classify(const Frame &f, const Media &m)
{
    if (shows(f, m.title))
        return {"TITLE", ""};
    if (shows(f, m.end))
        return {"END", ""};
    if (shows(f, m.zoom))
        return {"ZOOM", ""};
    if (auto d = walk(f, m))
        return {"WALK", *d};
    if (auto d = slide(f, m))
        return {"SLIDE", *d};
    if (auto d = rise(f, m))
        return {"RISE", *d};
    if (auto d = noise(f, m))
        return {"NOISE", *d};
    if (auto d = pan(f, m))
        return {"PAN", *d};
    if (auto d = shake(f, m))
        return {"SHAKE", *d};
    if (auto d = chase(f, m))
        return {"CHASE", *d};
    if (black(f))
        return {"BLACK", ""};
    return {"OTHER", ""};
}

bool read_frame(std::FILE *in, Frame &f)
{
    return std::fread(f.px.data(), sizeof(Rgb), f.px.size(), in) == f.px.size();
}

// Writes a frame, or a 16-bit picture's screen reading, as a 24-bit BMP.
void save_frame(const std::string &path, const Frame &f)
{
    BITMAP *b = create_bitmap_ex(24, W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            putpixel(b, x, y, makecol24(f.at(x, y).r, f.at(x, y).g, f.at(x, y).b));
    save_bitmap(path.c_str(), b, nullptr);
    destroy_bitmap(b);
}

void save_expected(const std::string &path, const Pic &p)
{
    Frame f;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            f.px[y * W + x] = expand(p.at(x, y));
    save_frame(path, f);
}

// classify: one line per frame; unlabelled frames and the expected stills are kept for inspection.
int run_classify(const std::string &media_dir, const std::string &times_path, const std::string &keep)
{
    const Media m = load_media(media_dir);
    std::ifstream times(times_path);
    Frame f;
    int kept = 0;
    std::string t;
    for (int i = 0; std::getline(times, t) && read_frame(stdin, f); ++i) {
        const auto [label, details] = classify(f, m);
        std::printf("%d %s %s %s\n", i, t.c_str(), label.c_str(), details.c_str());
        std::fflush(stdout);
        if (label == "OTHER" && kept < 12)
            save_frame(keep + "/other-" + std::to_string(kept++) + ".bmp", f);
    }
    save_expected(keep + "/expected-title.bmp", m.title);
    save_expected(keep + "/expected-end.bmp", m.end);
    save_expected(keep + "/expected-zoom.bmp", m.zoom);
    return 0;
}

// is: whether one frame shows a whole-screen still.
int run_is(const std::string &label, const std::string &media_dir)
{
    const char *file = label == "TITLE" ? "title.bmp" : label == "END" ? "end.bmp" : "zoom.bmp";
    const Pic p = load_pic(media_dir, file);
    Frame f;
    if (!read_frame(stdin, f))
        return 2;
    return shows(f, p) ? 0 : 1;
}

// Mono samples of a 16-bit PCM WAV; a zero or oversized data length (killed writer) means "to the end".
std::vector<float> read_wav(const std::string &path, int &rate)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, &bytes[at], 4);
        return v;
    };
    auto u16 = [&](std::size_t at) {
        std::uint16_t v;
        std::memcpy(&v, &bytes[at], 2);
        return v;
    };
    int channels = 1;
    rate = 0;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id(&bytes[at], 4);
        std::size_t len = u32(at + 4);
        if (id == "fmt ") {
            channels = u16(at + 10);
            rate = static_cast<int>(u32(at + 12));
        } else if (id == "data") {
            if (len == 0 || at + 8 + len > bytes.size())
                len = bytes.size() - at - 8;
            std::vector<float> out;
            const std::size_t frames = len / (2 * channels);
            out.reserve(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                float sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += static_cast<std::int16_t>(u16(at + 8 + (i * channels + c) * 2));
                out.push_back(sum / static_cast<float>(channels) / 32768.0f);
            }
            return out;
        }
        at += 8 + len + (len & 1);
    }
    std::fprintf(stderr, "e2e_frames: %s is not a 16-bit PCM WAV\n", path.c_str());
    std::exit(2);
}

constexpr double SEARCH_S = 0.6;  // how far the sample may be from where the screen says
constexpr double PROBE_S = 0.5;   // length of the sample's start used to find it

// Normalised correlation of the sample with the capture from `start` on, over `len` frames.
double match(const std::vector<float> &capture, std::size_t start, const std::vector<float> &smp, std::size_t len)
{
    double sc = 0, ss = 0, cc = 0;
    for (std::size_t i = 0; i < len && start + i < capture.size(); ++i) {
        const double c = capture[start + i], v = smp[i];
        sc += v * c;
        ss += v * v;
        cc += c * c;
    }
    return ss > 0 && cc > 0 ? sc / std::sqrt(ss * cc) : 0.0;
}

// sound: the mixer adds the sample unchanged (full volume, centre, normal pitch) on top of the
// music, so its waveform correlates with the capture at the moment it was started. Searches
// +-SEARCH_S around SECONDS with the sample's start, then scores the whole sample there.
int run_sound(const std::string &capture_path, const std::string &sample_path, double at)
{
    int crate = 0, srate = 0;
    const std::vector<float> capture = read_wav(capture_path, crate);
    const std::vector<float> smp = read_wav(sample_path, srate);
    if (crate != srate) {
        std::fprintf(stderr, "e2e_frames: capture at %d Hz, sample at %d Hz\n", crate, srate);
        return 2;
    }
    const long centre = static_cast<long>(at * crate);
    const long reach = static_cast<long>(SEARCH_S * crate);
    const std::size_t probe = std::min<std::size_t>(smp.size(), static_cast<std::size_t>(PROBE_S * crate));
    double best = -2;
    long best_start = 0;
    for (long start = std::max(0L, centre - reach); start <= centre + reach; ++start) {
        const double c = match(capture, static_cast<std::size_t>(start), smp, probe);
        if (c > best) {
            best = c;
            best_start = start;
        }
    }
    const double whole = match(capture, static_cast<std::size_t>(best_start), smp, smp.size());
    const double elsewhere = match(capture, static_cast<std::size_t>(best_start + crate / 2), smp, smp.size());
    std::printf("correlation=%.3f lag=%.3f start=%.3f half-a-second-later=%.3f\n", whole,
                static_cast<double>(best_start - centre) / crate, best, elsewhere);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 2;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "classify" && argc == 5)
        return run_classify(argv[2], argv[3], argv[4]);
    if (mode == "is" && argc == 4)
        return run_is(argv[2], argv[3]);
    if (mode == "sound" && argc == 5)
        return run_sound(argv[2], argv[3], std::atof(argv[4]));
    std::fprintf(stderr, "usage: e2e_frames classify MEDIA_DIR TIMES KEEP_DIR < frames.rgb\n"
                         "       e2e_frames is TITLE|END|ZOOM MEDIA_DIR < frame.rgb\n"
                         "       e2e_frames sound CAPTURE.wav SAMPLE.wav SECONDS\n");
    return 2;
}
