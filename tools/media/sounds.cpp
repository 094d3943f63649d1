// Footsteps, title sting and the finale's crash, built from noise, sines and
// filtered saws with a small reverb; fixed seeds make every run identical.
#include "sounds.h"

#include "wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int RATE = 44100;
constexpr double PI = std::numbers::pi;
constexpr double TWO_PI = 2.0 * std::numbers::pi;

using Signal = std::vector<double>;

// Seconds to a sample count.
constexpr std::size_t samples(double seconds)
{
    return static_cast<std::size_t>(seconds * RATE + 0.5);
}

// Frequency of a MIDI note number.
double note_hz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// xorshift64*: small, fast and the same on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed ? seed : 1) {}

    // Uniform in [0, 1).
    double unit()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<double>((state_ * 0x2545F4914F6CDD1DULL) >> 11) * 0x1.0p-53;
    }

    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

    // Uniform in [-1, 1): white noise.
    double noise() { return range(-1.0, 1.0); }

private:
    std::uint64_t state_;
};

// Second-order filter after the RBJ cookbook, transposed direct form II.
class Biquad {
public:
    // Low-pass at `hz` with quality `q`.
    void lowpass(double hz, double q)
    {
        const double w = TWO_PI * std::min(hz, 0.45 * RATE) / RATE;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }

    // High-pass at `hz` with quality `q`.
    void highpass(double hz, double q)
    {
        const double w = TWO_PI * std::min(hz, 0.45 * RATE) / RATE;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }

    // Band-pass around `hz` with 0 dB peak gain.
    void bandpass(double hz, double q)
    {
        const double w = TWO_PI * std::min(hz, 0.45 * RATE) / RATE;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
    }

    // One sample through the filter.
    double operator()(double x)
    {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return y;
    }

private:
    void set(double b0, double b1, double b2, double a0, double a1, double a2)
    {
        b0_ = b0 / a0; b1_ = b1 / a0; b2_ = b2 / a0;
        a1_ = a1 / a0; a2_ = a2 / a0;
    }

    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0, z1_ = 0, z2_ = 0;
};

// Attack-then-exponential-decay envelope at `t` seconds after the onset.
double strike(double t, double attack, double decay)
{
    if (t < 0)
        return 0;
    return (1.0 - std::exp(-t / attack)) * std::exp(-t / decay);
}

// Adds `part` into `mix` from `at` seconds on, scaled by `gain`. The part's
// last 10 ms fade out so that a cut-off tail cannot click; whatever would
// fall past the end of `mix` is dropped.
void add_at(Signal &mix, double at, const Signal &part, double gain = 1.0)
{
    const std::size_t start = samples(at);
    const std::size_t fade = std::min(samples(0.01), part.size());
    for (std::size_t i = 0; i < part.size() && start + i < mix.size(); ++i) {
        const std::size_t left = part.size() - i;
        const double taper = left > fade ? 1.0 : 0.5 - 0.5 * std::cos(PI * static_cast<double>(left) /
                                                                       static_cast<double>(fade + 1));
        mix[start + i] += gain * part[i] * taper;
    }
}

// Largest absolute sample.
double peak_of(const Signal &s)
{
    double p = 0;
    for (double v : s)
        p = std::max(p, std::abs(v));
    return p;
}

// Scales `s` so that its peak is `peak`.
void scale_to_peak(Signal &s, double peak)
{
    const double p = peak_of(s);
    if (p > 0)
        for (double &v : s)
            v *= peak / p;
}

// `seconds` of a noise burst: white noise through `filter`, shaped by `env`.
Signal burst(Rng &rng, double seconds, Biquad filter, const std::function<double(double)> &env)
{
    Signal out(samples(seconds));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = filter(rng.noise()) * env(static_cast<double>(i) / RATE);
    return out;
}

// A sine whose frequency glides from `hz_from` down to `hz_to` with time
// constant `glide`, shaped by `env`: thumps and booms.
Signal thump(double seconds, double hz_from, double hz_to, double glide,
             const std::function<double(double)> &env)
{
    Signal out(samples(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / RATE;
        phase += TWO_PI * (hz_to + (hz_from - hz_to) * std::exp(-t / glide)) / RATE;
        out[i] = std::sin(phase) * env(t);
    }
    return out;
}

// Mono reverb: four damped feedback combs in parallel, two allpasses in
// series; `size` scales the delays, `feedback` sets the tail length.
Signal reverb(const Signal &in, double size, double feedback, double damp)
{
    constexpr int COMBS[] = {1557, 1617, 1491, 1422};
    constexpr int ALLPASSES[] = {556, 441};
    Signal wet(in.size(), 0.0);
    for (int length : COMBS) {
        Signal line(static_cast<std::size_t>(length * size), 0.0);
        std::size_t pos = 0;
        double low = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const double out = line[pos];
            low = out * (1 - damp) + low * damp;
            line[pos] = in[i] + low * feedback;
            pos = (pos + 1) % line.size();
            wet[i] += out / 4;
        }
    }
    for (int length : ALLPASSES) {
        Signal line(static_cast<std::size_t>(length * size), 0.0);
        std::size_t pos = 0;
        for (double &v : wet) {
            const double delayed = line[pos];
            line[pos] = v + delayed * 0.5;
            v = delayed - v * 0.5;
            pos = (pos + 1) % line.size();
        }
    }
    return wet;
}

// Mixes `dry` with its reverb at `mix` (0 dry only, 1 wet only).
void add_room(Signal &dry, double mix, double size, double feedback, double damp)
{
    const Signal wet = reverb(dry, size, feedback, damp);
    const double dry_peak = peak_of(dry);
    const double wet_peak = peak_of(wet);
    const double match = wet_peak > 0 ? dry_peak / wet_peak : 0;
    for (std::size_t i = 0; i < dry.size(); ++i)
        dry[i] = (1 - mix) * dry[i] + mix * match * wet[i];
}

// Removes DC and rumble below 25 Hz, fades both ends (no clicks), scales to
// `peak` and rounds to 16 bits.
std::vector<std::int16_t> finish(Signal s, double peak, double fade_in, double fade_out)
{
    // dc: a gentle high-pass, run twice for 24 dB per octave
    for (int pass = 0; pass < 2; ++pass) {
        Biquad hp;
        hp.highpass(25.0, 0.707);
        for (double &v : s)
            v = hp(v);
    }

    // fades: raised-cosine ramps that reach exactly zero at both ends
    const std::size_t in_len = samples(fade_in);
    const std::size_t out_len = samples(fade_out);
    for (std::size_t i = 0; i < in_len && i < s.size(); ++i)
        s[i] *= 0.5 - 0.5 * std::cos(PI * static_cast<double>(i) / static_cast<double>(in_len));
    for (std::size_t i = 0; i < out_len && i < s.size(); ++i)
        s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(PI * static_cast<double>(i) / static_cast<double>(out_len));

    // level and rounding
    scale_to_peak(s, peak);
    std::vector<std::int16_t> pcm(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767.0));
    return pcm;
}

// ---------------------------------------------------------------- footsteps

constexpr double STEPS_LENGTH   = 2.6;   // the walk takes about two seconds
constexpr int    STEP_COUNT     = 8;
constexpr double STEP_FIRST     = 0.03;
constexpr double STEP_INTERVAL  = 0.27;
constexpr double STEP_JITTER    = 0.012;
constexpr double TOE_DELAY      = 0.055;
constexpr int    GRIT_GRAINS    = 10;
constexpr double STEPS_PEAK     = 0.71;  // -3 dBFS: under the music

// Footsteps on a gravel path: heel thud, toe scuff, a little grit.
Signal footsteps()
{
    Rng rng(0x6A61A2);
    Signal mix(samples(STEPS_LENGTH), 0.0);

    for (int step = 0; step < STEP_COUNT; ++step) {
        // timing and weight: left and right feet differ a little
        const double at = STEP_FIRST + step * STEP_INTERVAL + rng.range(-1, 1) * STEP_JITTER;
        const bool left = step % 2 == 0;
        const double weight = (left ? 1.0 : 0.85) * rng.range(0.9, 1.0);
        const double tone = left ? 1.0 : 1.12;

        // heel: a low thud and a muffled slap
        add_at(mix, at, thump(0.25, 150 * tone, 75 * tone, 0.012,
                              [](double t) { return strike(t, 0.002, 0.045); }), 0.55 * weight);
        Biquad slap;
        slap.lowpass(1100 * tone, 0.8);
        add_at(mix, at, burst(rng, 0.15, slap, [](double t) { return strike(t, 0.0008, 0.022); }),
               0.9 * weight);

        // toe: a brighter, shorter scuff
        Biquad scuff;
        scuff.bandpass(2300 * tone, 0.9);
        const double toe = at + TOE_DELAY + rng.range(0, 0.015);
        add_at(mix, toe, burst(rng, 0.12, scuff, [](double t) { return strike(t, 0.002, 0.028); }),
               0.45 * weight);
        add_at(mix, toe, thump(0.15, 180 * tone, 110 * tone, 0.01,
                               [](double t) { return strike(t, 0.002, 0.025); }), 0.18 * weight);

        // grit: tiny grains of gravel shifting under the foot
        for (int grain = 0; grain < GRIT_GRAINS; ++grain) {
            Biquad crunch;
            crunch.bandpass(rng.range(2500, 6000), 1.2);
            add_at(mix, at + rng.range(0, 0.11),
                   burst(rng, 0.03, crunch, [](double t) { return strike(t, 0.0004, 0.004); }),
                   rng.range(0.08, 0.22) * weight);
        }
    }

    // space: a small room
    add_room(mix, 0.12, 0.5, 0.6, 0.4);
    return mix;
}

// ------------------------------------------------------------- title sting

constexpr double STING_LENGTH   = 6.9;   // the title holds 7.5 s
constexpr double STING_LAND     = 0.45;  // the chord lands here
constexpr double STING_PEAK     = 0.89;  // -1 dBFS

// Notes of the rising arpeggio (A minor, with the music's key), and when.
struct Arp { int note; double at; };
constexpr Arp STING_ARP[] = {{57, 0.00}, {64, 0.08}, {69, 0.16}, {72, 0.24}, {76, 0.32}, {81, 0.40}};

// The landing chord: A minor with an added ninth, spread wide.
constexpr int STING_CHORD[] = {45, 52, 57, 60, 64, 71, 76};

// A struck FM bell-piano tone: bright at the strike, mellowing as it rings.
Signal bell(double hz, double seconds)
{
    Signal out(samples(seconds));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / RATE;
        const double index = 2.2 * std::exp(-t / 0.25) + 0.3;
        const double modulator = std::sin(TWO_PI * 2.0 * hz * t);
        const double shimmer = 0.12 * std::sin(TWO_PI * 3.01 * hz * t) * std::exp(-t / 0.4);
        out[i] = (std::sin(TWO_PI * hz * t + index * modulator) + shimmer) * strike(t, 0.003, 1.4);
    }
    return out;
}

// Band-limited sawtooth step (polyBLEP) at phase `p` in [0, 1) advancing `dp`.
double saw(double p, double dp)
{
    double v = 2.0 * p - 1.0;
    if (p < dp) {
        const double x = p / dp;
        v -= x + x - x * x - 1.0;
    } else if (p > 1.0 - dp) {
        const double x = (p - 1.0) / dp;
        v -= x * x + x + x + 1.0;
    }
    return v;
}

// A brass-like chord: three detuned saws per note through a low-pass that
// opens at the hit and closes as the chord sustains, then releases.
Signal brass_chord(double seconds)
{
    constexpr double DETUNE[] = {-0.0035, 0.0, 0.0041};
    constexpr double RELEASE_AT = 3.9;
    constexpr double RELEASE = 2.4;
    const std::size_t n = samples(seconds);
    Signal raw(n, 0.0);
    for (int note : STING_CHORD)
        for (double detune : DETUNE) {
            const double dp = note_hz(note) * (1.0 + detune) / RATE;
            double p = detune < 0 ? 0.31 : detune > 0 ? 0.67 : 0.0;
            for (std::size_t i = 0; i < n; ++i) {
                raw[i] += saw(p, dp);
                p += dp;
                if (p >= 1.0)
                    p -= 1.0;
            }
        }

    // filter sweep and amplitude: swell in, settle, release smoothly
    Biquad first, second;
    Signal out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / RATE;
        if (i % 32 == 0) {
            const double cutoff = 700 + 4200 * std::exp(-t / 0.5) * (1 - std::exp(-t / 0.03));
            first.lowpass(cutoff, 0.9);
            second.lowpass(cutoff, 0.6);
        }
        double amp = (1 - std::exp(-t / 0.015)) * (0.6 + 0.4 * std::exp(-t / 0.6));
        if (t > RELEASE_AT)
            amp *= std::max(0.0, std::cos(0.5 * PI * std::min(1.0, (t - RELEASE_AT) / RELEASE)));
        out[i] = second(first(raw[i])) * amp;
    }
    return out;
}

// The title sting: rising bells over a cymbal swell, landing on a brass chord
// with a timpani boom and a ringing cymbal, in a hall.
Signal title_sting()
{
    Rng rng(0x717E);
    Signal mix(samples(STING_LENGTH), 0.0);

    // arpeggio: bells climbing to the landing
    for (const Arp &a : STING_ARP)
        add_at(mix, a.at, bell(note_hz(a.note), STING_LENGTH - a.at), 0.16);

    // swell: a reversed-cymbal rush into the landing
    Biquad hiss;
    hiss.highpass(5000, 0.7);
    add_at(mix, 0.0, burst(rng, STING_LAND, hiss, [](double t) {
               const double x = t / STING_LAND;
               return x * x * x;
           }), 0.18);

    // landing: brass chord, boom and crash
    Signal chord = brass_chord(STING_LENGTH - STING_LAND);
    scale_to_peak(chord, 1.0);
    add_at(mix, STING_LAND, chord, 0.55);
    add_at(mix, STING_LAND, thump(2.5, 110, 55, 0.04, [](double t) { return strike(t, 0.002, 0.7); }),
           0.6);
    Biquad thud;
    thud.lowpass(220, 0.7);
    add_at(mix, STING_LAND, burst(rng, 0.6, thud, [](double t) { return strike(t, 0.001, 0.12); }),
           0.9);
    Biquad ring;
    ring.highpass(4000, 0.7);
    add_at(mix, STING_LAND, burst(rng, STING_LENGTH - STING_LAND, ring, [](double t) { return strike(t, 0.002, 0.9); }),
           0.14);

    // shimmer: a high bell an octave and a fifth above, ringing on
    add_at(mix, STING_LAND, bell(note_hz(88), STING_LENGTH - STING_LAND), 0.07);

    // space: a hall
    add_room(mix, 0.3, 1.0, 0.84, 0.3);
    return mix;
}

// -------------------------------------------------------------- crash, rumble

constexpr double TERROR_LENGTH  = 9.2;   // the shake lasts 9.28 s
constexpr double RUMBLE_FADE_AT = 6.4;
constexpr int    DEBRIS_HITS    = 40;
constexpr double TERROR_PEAK    = 0.94;  // -0.5 dBFS

// One impact: a falling boom, a crash of broadband noise whose brightness
// dies away, and inharmonic metal ringing; `size` scales weight and length.
Signal impact(Rng &rng, double size)
{
    constexpr double METAL[] = {113, 187, 261, 349, 503, 731, 1013, 1427};
    Signal out(samples(6.0 * size), 0.0);  // long enough to ring out

    // boom: deep and long, slightly overdriven
    const double boom_decay = 1.6 * size;
    Signal boom = thump(static_cast<double>(out.size()) / RATE, 95, 30, 0.35,
                        [boom_decay](double t) { return strike(t, 0.003, boom_decay); });
    for (double &v : boom)
        v = std::tanh(1.8 * v) / std::tanh(1.8);
    add_at(out, 0, boom, 1.0);

    // crash: noise through a closing low-pass
    Biquad sweep;
    Signal crash(out.size());
    for (std::size_t i = 0; i < crash.size(); ++i) {
        const double t = static_cast<double>(i) / RATE;
        if (i % 32 == 0)
            sweep.lowpass(600 + 9000 * std::exp(-t / (0.25 * size)), 0.7);
        crash[i] = sweep(rng.noise()) * strike(t, 0.001, 0.55 * size);
    }
    add_at(out, 0, crash, 0.8);

    // metal: a bent girder ringing
    for (std::size_t k = 0; k < std::size(METAL); ++k) {
        const double hz = METAL[k] * rng.range(0.97, 1.03);
        const double phase = rng.range(0, TWO_PI);
        const double decay = 1.4 * size * (1.0 - 0.08 * static_cast<double>(k));
        const double gain = 0.09 / (1.0 + 0.3 * static_cast<double>(k));
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / RATE;
            out[i] += gain * std::sin(TWO_PI * hz * t + phase) * strike(t, 0.004, decay);
        }
    }
    return out;
}

// A long low rumble of brown noise that swells and wavers, then dies away.
Signal rumble(Rng &rng, double seconds)
{
    Signal out(samples(seconds));
    Biquad low1, low2, wobble;
    low1.lowpass(170, 0.7);
    low2.lowpass(170, 0.7);
    wobble.lowpass(2.0, 0.7);
    double brown = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / RATE;
        brown = 0.997 * brown + 0.06 * rng.noise();
        const double waver = 1.0 + 0.3 * std::sin(TWO_PI * 0.7 * t) +
                             0.2 * std::sin(TWO_PI * 1.9 * t + 1.0) + 3.0 * wobble(rng.noise());
        double amp = 1.0 - std::exp(-t / 0.25);
        if (t > RUMBLE_FADE_AT)
            amp *= std::max(0.0, std::cos(0.5 * PI * std::min(1.0, (t - RUMBLE_FADE_AT) /
                                                                    (seconds - RUMBLE_FADE_AT))));
        out[i] = low2(low1(brown)) * std::max(0.0, waver) * amp;
    }
    return out;
}

// The finale: a heavy crash, aftershocks, falling debris over a long rumble.
Signal terror()
{
    Rng rng(0x7E6606);
    Signal mix(samples(TERROR_LENGTH), 0.0);

    // impacts: the big one, then two aftershocks
    struct Shock { double at, size, gain; };
    constexpr Shock SHOCKS[] = {{0.0, 1.0, 1.0}, {2.9, 0.7, 0.55}, {5.4, 0.5, 0.3}};
    for (const Shock &s : SHOCKS) {
        Signal hit = impact(rng, s.size);
        scale_to_peak(hit, 1.0);
        add_at(mix, s.at, hit, s.gain);
    }

    // rumble: under everything until the end
    Signal ground = rumble(rng, TERROR_LENGTH);
    scale_to_peak(ground, 1.0);
    add_at(mix, 0.0, ground, 0.55);

    // debris: dense just after the crash, thinning out
    for (int i = 0; i < DEBRIS_HITS; ++i) {
        const double at = 0.08 + 5.5 * std::pow(rng.unit(), 1.7);
        Biquad ring;
        ring.bandpass(rng.range(350, 3200), 2.0);
        const double decay = rng.range(0.01, 0.06);
        add_at(mix, at, burst(rng, 0.3, ring, [decay](double t) { return strike(t, 0.0008, decay); }),
               rng.range(0.1, 0.35) * (1.0 - at / 7.0));
    }

    // glue: soft saturation, then a big space
    scale_to_peak(mix, 1.0);
    for (double &v : mix)
        v = std::tanh(1.4 * v);
    add_room(mix, 0.25, 1.3, 0.86, 0.45);
    return mix;
}

// Table of the effects and how each is finished.
struct Effect {
    const char *file;
    Signal (*make)();
    double peak, fade_in, fade_out;
};

constexpr Effect EFFECTS[] = {
    // file          synth         peak          fade in  fade out
    {"gaar.wav",     footsteps,    STEPS_PEAK,   0.002,   0.10},
    {"title.wav",    title_sting,  STING_PEAK,   0.002,   0.40},
    {"terror.wav",   terror,       TERROR_PEAK,  0.001,   0.50},
};

} // namespace

bool make_sounds(const std::string &dir)
{
    for (const Effect &e : EFFECTS)
        if (!write_wav(dir + "/" + e.file, RATE, 1, finish(e.make(), e.peak, e.fade_in, e.fade_out)))
            return false;
    return true;
}
