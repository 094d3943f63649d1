// A tiny writer of Allegro datafiles for tests: objects, properties, nested
// files, and LZSS packing per object or over the whole file, byte for byte
// in the layout Allegro's own writer uses.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace datw {

using Bytes = std::vector<unsigned char>;

// Identifier from four characters, as AL_ID builds it.
constexpr std::uint32_t id(const char (&s)[5])
{
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

// Appends big-endian numbers and raw bytes.
inline void put32(Bytes &b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(std::uint8_t(v >> s));
}
inline void put16(Bytes &b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v >> 8));
    b.push_back(std::uint8_t(v));
}
inline void append(Bytes &b, const Bytes &more) { b.insert(b.end(), more.begin(), more.end()); }

// LZSS as Allegro unpacks it (4 KiB ring starting at 4078, matches of 3 to
// 18 bytes); greedy, nearest match first. Small inputs only.
inline Bytes lzss_pack(const Bytes &in)
{
    constexpr std::size_t ring = 4096, max_match = 18, min_match = 3, window = ring - max_match;
    Bytes out;
    std::size_t flag_at = 0;
    int items = 8;
    for (std::size_t cur = 0; cur < in.size();) {
        if (items == 8) {
            flag_at = out.size();
            out.push_back(0);
            items = 0;
        }
        // longest match among the last `window` bytes written
        std::size_t best_len = 0, best_from = 0;
        const std::size_t lo = cur > window ? cur - window : 0;
        for (std::size_t s = cur; s-- > lo && best_len < max_match;) {
            std::size_t len = 0;
            while (len < max_match && cur + len < in.size() && in[s + len] == in[cur + len])
                ++len;
            if (len > best_len) {
                best_len = len;
                best_from = s;
            }
        }
        if (best_len >= min_match) {
            const std::size_t pos = (ring - max_match + best_from) & (ring - 1);
            out.push_back(std::uint8_t(pos & 0xFF));
            out.push_back(std::uint8_t(((pos >> 4) & 0xF0) | (best_len - min_match)));
            cur += best_len;
        } else {
            out[flag_at] = std::uint8_t(out[flag_at] | (1u << items));
            out.push_back(in[cur++]);
        }
        ++items;
    }
    return out;
}

// One object: its properties, type and data.
struct Object {
    std::uint32_t type;
    Bytes data;
    std::vector<std::pair<std::uint32_t, std::string>> props = {};
};

// Properties, type, both sizes and the data; LZSS packed when `pack`.
inline Bytes object_bytes(const Object &o, bool pack)
{
    Bytes b;
    for (const auto &[pid, text] : o.props) {
        put32(b, id("prop"));
        put32(b, pid);
        put32(b, std::uint32_t(text.size()));
        b.insert(b.end(), text.begin(), text.end());
    }
    put32(b, o.type);
    if (pack) {
        const Bytes packed = lzss_pack(o.data);
        put32(b, std::uint32_t(packed.size()));
        put32(b, std::uint32_t(-std::int32_t(o.data.size())));
        append(b, packed);
    } else {
        put32(b, std::uint32_t(o.data.size()));
        put32(b, std::uint32_t(o.data.size()));
        append(b, o.data);
    }
    return b;
}

// Object count and objects: the body of a datafile or of a nested FILE.
inline Bytes list_bytes(const std::vector<Object> &objects, bool pack_objects)
{
    Bytes b;
    put32(b, std::uint32_t(objects.size()));
    for (const Object &o : objects)
        append(b, object_bytes(o, pack_objects));
    return b;
}

enum class Packing { none, objects, whole, both };

// A whole datafile: packfile magic, then "ALL." and the list, LZSS packed
// as a whole for Packing::whole and Packing::both.
inline Bytes datafile(const std::vector<Object> &objects, Packing packing = Packing::none)
{
    const bool per_object = packing == Packing::objects || packing == Packing::both;
    Bytes body;
    put32(body, id("ALL."));
    append(body, list_bytes(objects, per_object));
    Bytes file;
    if (packing == Packing::whole || packing == Packing::both) {
        put32(file, id("slh!"));
        append(file, lzss_pack(body));
    } else {
        put32(file, id("slh."));
        append(file, body);
    }
    return file;
}

// Bitmap chunk: depth, width, height, then `pixel_bytes` bytes of a pattern
// (the exact size for that depth unless given).
inline Bytes bitmap(int bits, int w, int h, long pixel_bytes = -1)
{
    const int bpp = bits == 8 ? 1 : bits == 15 || bits == 16 ? 2 : bits == -32 ? 4 : 3;
    if (pixel_bytes < 0)
        pixel_bytes = long(w) * h * bpp;
    Bytes b;
    put16(b, std::uint32_t(bits));
    put16(b, std::uint32_t(w));
    put16(b, std::uint32_t(h));
    for (long i = 0; i < pixel_bytes; ++i)
        b.push_back(std::uint8_t(i * 7 + i / 13));
    return b;
}

// Sample chunk: bits (negative = stereo), rate, frames, then `data_bytes`
// bytes of a waveform (the exact size unless given).
inline Bytes sample(int bits, unsigned freq, std::uint32_t frames, long data_bytes = -1)
{
    const int depth = bits < 0 ? -bits : bits;
    if (data_bytes < 0)
        data_bytes = long(frames) * (bits < 0 ? 2 : 1) * (depth / 8);
    Bytes b;
    put16(b, std::uint32_t(bits));
    put16(b, freq);
    put32(b, frames);
    for (long i = 0; i < data_bytes; ++i)
        b.push_back(std::uint8_t(128 + (i % 32) * 3));
    return b;
}

// A short MIDI track: tempo, a few notes, end of track.
inline Bytes midi_track()
{
    Bytes t = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x00};
    for (unsigned char note : {60, 64, 67}) {
        const Bytes ev = {0x00, 0x90, note, 100, 0x60, 0x80, note, 0};
        append(t, ev);
    }
    append(t, Bytes{0x00, 0x90, 72, 100, 0x60, 72, 0});   // running status
    append(t, Bytes{0x00, 0xFF, 0x2F, 0x00});
    return t;
}

// MIDI chunk: divisions, then 32 tracks (missing ones empty).
inline Bytes midi(unsigned divisions, const std::vector<Bytes> &tracks = {midi_track()})
{
    Bytes b;
    put16(b, divisions);
    for (std::size_t i = 0; i < 32; ++i) {
        const Bytes empty;
        const Bytes &t = i < tracks.size() ? tracks[i] : empty;
        put32(b, std::uint32_t(t.size()));
        append(b, t);
    }
    return b;
}

// Font chunk in the current format: one range of `count` glyphs from 'A',
// mono (depth 1) or colour (depth 8), w x h each.
inline Bytes font(int depth, unsigned count, unsigned w, unsigned h)
{
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    b.push_back(std::uint8_t(depth));
    put32(b, 'A');
    put32(b, 'A' + count - 1);
    const std::size_t glyph = depth == 1 ? ((w + 7) / 8) * h : std::size_t(w) * h;
    for (unsigned c = 0; c < count; ++c) {
        put16(b, w);
        put16(b, h);
        for (std::size_t i = 0; i < glyph; ++i)
            b.push_back(std::uint8_t(c + i));
    }
    return b;
}

} // namespace datw
