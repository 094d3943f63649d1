// Structural check of a datafile before Allegro's loader sees it.
//
// The file is walked the way load_datafile reads it: packfile header, an
// optional LZSS layer over the whole file, "ALL.", the object list, and each
// object's chunk (stored or LZSS packed). Every size must fit inside the data
// that holds it and every object must take exactly its chunk, so the loader
// never reads past an end, never allocates from a size the file cannot back,
// and never builds an object (a MIDI with no time division, a sample with a
// nonsense width) that crashes whoever uses it later.
#include "datcheck.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// four-character identifiers, as Allegro's AL_ID builds them
constexpr std::uint32_t four_cc(const char (&s)[5])
{
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

constexpr std::uint32_t PACKED_MAGIC   = four_cc("slh!");   // F_PACK_MAGIC: LZSS over the whole file
constexpr std::uint32_t UNPACKED_MAGIC = four_cc("slh.");   // F_NOPACK_MAGIC: stored
constexpr std::uint32_t LIST_MAGIC     = four_cc("ALL.");   // DAT_MAGIC
constexpr std::uint32_t OLD_LIST_MAGIC = four_cc("all.");   // format of Allegro 2.1 and before
constexpr std::uint32_t TYPE_PROPERTY  = four_cc("prop");
constexpr std::uint32_t TYPE_FILE      = four_cc("FILE");
constexpr std::uint32_t TYPE_BITMAP    = four_cc("BMP ");
constexpr std::uint32_t TYPE_C_SPRITE  = four_cc("CMP ");
constexpr std::uint32_t TYPE_XC_SPRITE = four_cc("XCMP");
constexpr std::uint32_t TYPE_RLE       = four_cc("RLE ");
constexpr std::uint32_t TYPE_SAMPLE    = four_cc("SAMP");
constexpr std::uint32_t TYPE_MIDI      = four_cc("MIDI");
constexpr std::uint32_t TYPE_FONT      = four_cc("FONT");
constexpr std::uint32_t TYPE_END       = 0xFFFFFFFFu;       // DAT_END, the loaded list's end marker

// limits that keep the loader's allocations to what a show can use
constexpr std::size_t MAX_FILE_BYTES     = std::size_t(256) << 20;
constexpr std::size_t MAX_UNPACKED_BYTES = std::size_t(256) << 20;
constexpr int MAX_NESTING                = 8;
constexpr int MAX_PROPERTIES             = 64;       // per object; the loader grows its list one by one
constexpr std::uint32_t MAX_BITMAP_SIDE  = 8192;
constexpr std::uint64_t MAX_BITMAP_PIXELS = 4096 * 4096;
constexpr std::uint32_t MAX_GLYPH_SIDE   = 1024;
constexpr std::uint32_t MAX_CODE_POINT   = 0x10FFFF;
constexpr int MIDI_TRACK_COUNT           = 32;       // MIDI_TRACKS
constexpr int MAX_VARLEN_BYTES           = 4;

// Allegro's LZSS: 4 KiB ring, matches of 3 to 18 bytes, writing starts at N - F
constexpr unsigned LZ_RING      = 4096;
constexpr unsigned LZ_MAX_MATCH = 18;
constexpr unsigned LZ_THRESHOLD = 2;

using Problem = std::optional<std::string>;

// Bounds-checked big-endian reader over one stretch of bytes. Messages name
// the object it holds (`label`, may be empty) and the position as `unit`
// ("offset" in the file, "unpacked offset" in unpacked data) plus `base`.
class Reader {
public:
    Reader(const unsigned char *data, std::size_t size, std::string label, const char *unit, std::size_t base)
        : data_(data), size_(size), label_(std::move(label)), unit_(unit), base_(base) {}

    std::size_t pos() const { return pos_; }
    std::size_t left() const { return size_ - pos_; }
    const unsigned char *here() const { return data_ + pos_; }

    // True and the value when the bytes are there; false (nothing read) otherwise.
    bool u8(std::uint32_t &v) { return take(1, v); }
    bool u16(std::uint32_t &v) { return take(2, v); }
    bool u32(std::uint32_t &v) { return take(4, v); }

    // Skips n bytes; false when fewer are left.
    bool skip(std::size_t n)
    {
        if (n > left())
            return false;
        pos_ += n;
        return true;
    }

    // "offset 1234: what", with the position given (default: the current one).
    std::string at(const std::string &what) const { return at(pos_, what); }
    std::string at(std::size_t pos, const std::string &what) const
    {
        const std::string place = std::string(unit_) + " " + std::to_string(base_ + pos) + ": ";
        return label_.empty() ? place + what : label_ + ", " + place + what;
    }

    // A reader over the next n bytes, which this one skips; its messages
    // start with `label`.
    Reader sub(std::size_t n, const std::string &label)
    {
        Reader r(data_ + pos_, n, label, unit_, base_ + pos_);
        pos_ += n;
        return r;
    }

private:
    bool take(int n, std::uint32_t &v)
    {
        if (left() < std::size_t(n))
            return false;
        v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | data_[pos_++];
        return true;
    }

    const unsigned char *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::string label_;
    const char *unit_;
    std::size_t base_;
};

// "'BMP '" for printable identifiers, "0x..." otherwise.
std::string type_text(std::uint32_t type)
{
    char text[16];
    bool printable = true;
    for (int shift = 24; shift >= 0; shift -= 8)
        printable = printable && (((type >> shift) & 0xFF) >= 0x20 && ((type >> shift) & 0xFF) < 0x7F);
    if (printable)
        std::snprintf(text, sizeof text, "'%c%c%c%c'", char(type >> 24), char(type >> 16), char(type >> 8),
                      char(type));
    else
        std::snprintf(text, sizeof text, "0x%08X", unsigned(type));
    return text;
}

// Bytes per stored pixel for a bitmap depth field, 0 when read_bitmap cannot
// take it. 32 without alpha is stored as three bytes.
int stored_pixel_bytes(int bits)
{
    switch (bits) {
    case 8:   return 1;
    case 15:
    case 16:  return 2;
    case 24:
    case 32:  return 3;
    case -32: return 4;
    }
    return 0;
}

struct Unpacked {
    std::vector<unsigned char> bytes;
    std::size_t consumed = 0;   // input bytes read
};

// Unpacks LZSS the way Allegro's lzss_read does: until `want` bytes are out
// (it stops there, mid-match if need be) or the input ends. Refuses a match
// that reads ring bytes the loader never set, whose value would be chance.
Problem lzss_unpack(const unsigned char *in, std::size_t in_size, std::size_t want, Unpacked &out)
{
    // ring: the first N - F bytes start as zero, the rest only once written
    std::array<unsigned char, LZ_RING> ring{};
    const unsigned first_unset = LZ_RING - LZ_MAX_MATCH;
    unsigned r = first_unset;
    out.bytes.clear();
    out.bytes.reserve(std::min<std::size_t>(want, in_size * 9 + 16));
    std::size_t ip = 0;
    unsigned flags = 0;
    int items_left = 0;

    // items: one flag bit each, 1 = literal byte, 0 = (position, length) pair
    while (out.bytes.size() < want) {
        if (items_left == 0) {
            if (ip >= in_size)
                break;
            flags = in[ip++];
            items_left = 8;
        }
        const bool literal = (flags & 1) != 0;
        flags >>= 1;
        --items_left;
        if (literal) {
            if (ip >= in_size)
                break;
            const unsigned char c = in[ip++];
            ring[r] = c;
            r = (r + 1) & (LZ_RING - 1);
            out.bytes.push_back(c);
            continue;
        }
        if (ip + 2 > in_size) {
            ip = in_size;
            break;
        }
        const unsigned lo = in[ip++];
        const unsigned hi = in[ip++];
        const unsigned from = lo | ((hi & 0xF0) << 4);
        const unsigned length = (hi & 0x0F) + LZ_THRESHOLD + 1;
        for (unsigned k = 0; k < length && out.bytes.size() < want; ++k) {
            const unsigned at = (from + k) & (LZ_RING - 1);
            if (at >= first_unset && out.bytes.size() <= at - first_unset)
                return "packed data at input byte " + std::to_string(ip - 2) +
                       " copies ring bytes that were never written";
            const unsigned char c = ring[at];
            ring[r] = c;
            r = (r + 1) & (LZ_RING - 1);
            out.bytes.push_back(c);
        }
    }
    out.consumed = ip;
    return std::nullopt;
}

Problem check_object_list(Reader &r, const std::string &prefix, int depth);

// A MIDI variable-length number inside a track, at most four bytes.
bool read_varlen(const unsigned char *track, std::size_t len, std::size_t &p, std::uint32_t &v)
{
    v = 0;
    for (int n = 0; n < MAX_VARLEN_BYTES; ++n) {
        if (p >= len)
            return false;
        const unsigned char b = track[p++];
        v = (v << 7) | (b & 0x7F);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

// Nullopt when Allegro's MIDI player, which reads tracks without bounds,
// stays inside this track: every event and delta is whole and an
// end-of-track meta event comes before the data runs out. Mirrors
// process_midi_event, including its look-ahead of two bytes.
Problem check_midi_track(const unsigned char *t, std::size_t len)
{
    std::size_t p = 0;
    std::uint32_t v = 0;
    unsigned running = 0;
    if (!read_varlen(t, len, p, v))
        return "bad first delta time";
    for (;;) {
        // status byte, or a data byte under running status
        if (p >= len)
            return "ends without an end-of-track event";
        unsigned event = t[p++];
        if (event & 0x80) {
            if (event != 0xF0 && event != 0xF7 && event != 0xFF)
                running = event;
            if (p + 2 > len)
                return "event at byte " + std::to_string(p - 1) + " is cut off";
        } else {
            if (running == 0)
                return "data byte at " + std::to_string(p - 1) + " without a status";
            if (p >= len)
                return "event at byte " + std::to_string(p - 1) + " is cut off";
            --p;
            event = running;
        }

        // the event's data, as far as the player skips it
        std::size_t skip = 0;
        switch (event >> 4) {
        case 0x8: case 0x9: case 0xA: case 0xB: case 0xE: skip = 2; break;
        case 0xC: case 0xD: skip = 1; break;
        case 0xF:
            if (event == 0xF0 || event == 0xF7) {
                if (!read_varlen(t, len, p, v))
                    return "bad system-exclusive length";
                skip = v;
            } else if (event == 0xF2) {
                skip = 2;
            } else if (event == 0xF3) {
                skip = 1;
            } else if (event == 0xFF) {
                if (p >= len)
                    return "meta event cut off";
                const unsigned meta = t[p++];
                if (!read_varlen(t, len, p, v))
                    return "bad meta event length";
                if (meta == 0x2F)
                    return std::nullopt;
                if (meta == 0x51 && v < 3)
                    return "tempo event shorter than 3 bytes";
                skip = v;
            }
            break;
        }
        if (skip > len - p)
            return "event data runs past the end of the track";
        p += skip;
        if (!read_varlen(t, len, p, v))
            return "ends without an end-of-track event";
    }
}

// Nullopt when a bitmap chunk (bits, width, height, pixels) is exactly what
// read_bitmap reads and its size is one the show could use.
Problem check_bitmap(Reader &r)
{
    std::uint32_t bits16 = 0, w = 0, h = 0;
    if (!r.u16(bits16) || !r.u16(w) || !r.u16(h))
        return r.at("bitmap header cut off");
    const int bits = std::int16_t(bits16);
    const int bpp = stored_pixel_bytes(bits);
    if (bpp == 0)
        return r.at(0, "bitmap colour depth " + std::to_string(bits) + ", needs 8, 15, 16, 24, 32 or -32");
    if (w == 0 || h == 0 || w > MAX_BITMAP_SIDE || h > MAX_BITMAP_SIDE ||
        std::uint64_t(w) * h > MAX_BITMAP_PIXELS)
        return r.at(2, "bitmap of " + std::to_string(w) + "x" + std::to_string(h) +
                           " pixels, needs sides of 1 to " + std::to_string(MAX_BITMAP_SIDE) +
                           " and at most " + std::to_string(MAX_BITMAP_PIXELS) + " pixels");
    const std::uint64_t need = std::uint64_t(w) * h * bpp;
    if (need != r.left())
        return r.at("bitmap of " + std::to_string(w) + "x" + std::to_string(h) + " at " +
                    std::to_string(bits) + " bits needs " + std::to_string(need) + " bytes of pixels, the chunk has " +
                    std::to_string(r.left()));
    r.skip(r.left());
    return std::nullopt;
}

// Nullopt when a sample chunk is 8 or 16 bit, mono or stereo, has a rate
// and at least one frame, and holds exactly its frames.
Problem check_sample(Reader &r)
{
    std::uint32_t bits16 = 0, freq = 0, frames = 0;
    if (!r.u16(bits16) || !r.u16(freq) || !r.u32(frames))
        return r.at("sample header cut off");
    const int bits = std::int16_t(bits16);
    const int channels = bits < 0 ? 2 : 1;
    const int depth = bits < 0 ? -bits : bits;
    if (depth != 8 && depth != 16)
        return r.at(0, "sample of " + std::to_string(bits) + " bits, needs 8 or 16 (negative for stereo)");
    if (freq == 0)
        return r.at(2, "sample rate of 0");
    if (frames == 0)
        return r.at(4, "empty sample");
    const std::uint64_t need = std::uint64_t(frames) * channels * (depth / 8);
    if (need != r.left())
        return r.at(4, "sample of " + std::to_string(frames) + " frames needs " + std::to_string(need) +
                           " bytes of data, the chunk has " + std::to_string(r.left()));
    r.skip(r.left());
    return std::nullopt;
}

// Nullopt when a MIDI chunk has a positive time division and 32 tracks of
// non-negative length that fill the chunk exactly and each play safely.
Problem check_midi(Reader &r)
{
    std::uint32_t divisions = 0;
    if (!r.u16(divisions))
        return r.at("MIDI header cut off");
    if (divisions == 0)
        return r.at(0, "MIDI time division of 0");
    for (int track = 0; track < MIDI_TRACK_COUNT; ++track) {
        std::uint32_t len = 0;
        const std::size_t start = r.pos();
        if (!r.u32(len))
            return r.at("MIDI track " + std::to_string(track) + " length cut off");
        if (std::int32_t(len) < 0 || len > r.left())
            return r.at(start, "MIDI track " + std::to_string(track) + " of " + std::to_string(std::int32_t(len)) +
                                   " bytes, " + std::to_string(r.left()) + " are left");
        if (len == 0)
            continue;
        if (Problem bad = check_midi_track(r.here(), len))
            return r.at("MIDI track " + std::to_string(track) + ": " + *bad);
        r.skip(len);
    }
    if (r.left() != 0)
        return r.at(std::to_string(r.left()) + " bytes after the 32 MIDI tracks");
    return std::nullopt;
}

// Nullopt when a font chunk is in the current format (height 0, then ranges
// of one kind, mono or colour) and read_font takes exactly the chunk. The
// older fixed and proportional forms are refused: nothing writes them now.
Problem check_font(Reader &r)
{
    std::uint32_t height = 0, ranges = 0;
    if (!r.u16(height) || !r.u16(ranges))
        return r.at("font header cut off");
    if (height != 0)
        return r.at(0, "font in an obsolete format");
    if (ranges == 0)
        return r.at(2, "font without character ranges");
    int kind = -1;   // 1 mono, 0 colour; the loader keeps one vtable for all ranges
    for (std::uint32_t range = 0; range < ranges; ++range) {
        // range header: glyph kind, first and last character
        std::uint32_t depth = 0, first = 0, last = 0;
        const std::size_t start = r.pos();
        if (!r.u8(depth) || !r.u32(first) || !r.u32(last))
            return r.at(start, "font range " + std::to_string(range) + " header cut off");
        const bool mono = depth == 1 || depth == 255;
        if (kind >= 0 && kind != int(mono))
            return r.at(start, "font mixes mono and colour ranges");
        kind = int(mono);
        const int bits = depth == 0 ? 8 : int(depth);
        if (!mono && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)
            return r.at(start, "font range of " + std::to_string(bits) + "-bit glyphs");
        if (first > last || last > MAX_CODE_POINT || (last - first + 1) > r.left() / 4)
            return r.at(start + 1, "font range " + std::to_string(first) + " to " + std::to_string(last) +
                                       " does not fit the chunk");

        // glyphs: width, height, then packed bits or pixels
        for (std::uint32_t c = first; c <= last; ++c) {
            std::uint32_t w = 0, h = 0;
            const std::size_t glyph = r.pos();
            if (!r.u16(w) || !r.u16(h))
                return r.at(glyph, "glyph " + std::to_string(c) + " header cut off");
            if (w > MAX_GLYPH_SIDE || h > MAX_GLYPH_SIDE || (!mono && (w == 0 || h == 0)))
                return r.at(glyph, "glyph " + std::to_string(c) + " of " + std::to_string(w) + "x" +
                                        std::to_string(h) + " pixels");
            const std::size_t bytes = mono ? std::size_t((w + 7) / 8) * h
                                           : std::size_t(w) * h * std::size_t(stored_pixel_bytes(bits));
            if (!r.skip(bytes))
                return r.at(glyph, "glyph " + std::to_string(c) + " data cut off");
        }
    }
    if (r.left() != 0)
        return r.at(std::to_string(r.left()) + " bytes after the last font range");
    return std::nullopt;
}

// Nullopt when one object's data, as its type's loader reads it, takes
// exactly the chunk and is safe to build. `index` is the object's place,
// "5" or "2.0" inside a nested datafile.
Problem check_payload(std::uint32_t type, Reader &r, const std::string &index, int depth)
{
    switch (type) {
    case TYPE_FILE:
        if (depth >= MAX_NESTING)
            return r.at(0, "datafiles nested more than " + std::to_string(MAX_NESTING) + " deep");
        if (Problem bad = check_object_list(r, index + ".", depth + 1))
            return bad;
        if (r.left() != 0)
            return r.at(std::to_string(r.left()) + " bytes after the nested datafile's last object");
        return std::nullopt;
    case TYPE_BITMAP:
    case TYPE_C_SPRITE:
    case TYPE_XC_SPRITE:
        return check_bitmap(r);
    case TYPE_SAMPLE:
        return check_sample(r);
    case TYPE_MIDI:
        return check_midi(r);
    case TYPE_FONT:
        return check_font(r);
    case TYPE_RLE:
        // read_rle_sprite writes its runs into a buffer sized by the file, unchecked
        return r.at(0, "RLE sprites are not accepted");
    }
    // any other type is read as a block; an empty block makes malloc(0),
    // which may fail and send the loader down its double-free path
    if (r.left() == 0)
        return r.at(0, "empty object");
    r.skip(r.left());
    return std::nullopt;
}

// Nullopt when one object (properties, type, sizes, data) is whole and sound.
// `index` is its place, "5" or "2.0" inside a nested datafile.
Problem check_object(Reader &r, const std::string &index, int depth)
{
    const std::string path = "object " + index;
    // properties: "prop", id, size, text
    std::uint32_t type = 0;
    for (int count = 0;; ++count) {
        const std::size_t start = r.pos();
        if (!r.u32(type))
            return r.at(path + " is missing (file ends)");
        if (type != TYPE_PROPERTY)
            break;
        if (count == MAX_PROPERTIES)
            return r.at(start, path + " has more than " + std::to_string(MAX_PROPERTIES) + " properties");
        std::uint32_t id = 0, size = 0;
        if (!r.u32(id) || !r.u32(size))
            return r.at(start, path + ": property header cut off");
        if (id == TYPE_END)
            return r.at(start + 4, path + ": property id -1, the end-of-list marker");
        if (std::int32_t(size) < 0 || size > r.left())
            return r.at(start + 8, path + ": property of " + std::to_string(std::int32_t(size)) + " bytes, " +
                                       std::to_string(r.left()) + " are left");
        r.skip(size);
    }

    // object header: type, size in the file, size unpacked (negative = LZSS)
    const std::size_t header = r.pos() - 4;
    const std::string label = path + " (" + type_text(type) + ")";
    if (type == TYPE_END)
        return r.at(header, path + " has type -1, the end-of-list marker");
    std::uint32_t stored = 0, unpacked = 0;
    if (!r.u32(stored) || !r.u32(unpacked))
        return r.at(header, label + ": object header cut off");

    // stored chunk: both sizes agree and the data is there
    if (std::int32_t(unpacked) >= 0) {
        if (stored != unpacked)
            return r.at(header + 4, label + ": stored size " + std::to_string(stored) + " and unpacked size " +
                                        std::to_string(unpacked) + " differ");
        if (unpacked > r.left())
            return r.at(header + 4, label + ": chunk of " + std::to_string(unpacked) + " bytes, " +
                                        std::to_string(r.left()) + " are left");
        Reader chunk = r.sub(unpacked, label);
        return check_payload(type, chunk, index, depth);
    }

    // packed chunk: unpacks to its size, using exactly the stored bytes
    const std::uint64_t want = std::uint64_t(-std::int64_t(std::int32_t(unpacked)));
    if (want > MAX_UNPACKED_BYTES)
        return r.at(header + 8, label + ": unpacks to " + std::to_string(want) + " bytes, more than " +
                                    std::to_string(MAX_UNPACKED_BYTES));
    Unpacked out;
    if (Problem bad = lzss_unpack(r.here(), r.left(), std::size_t(want), out))
        return r.at(header + 12, label + ": " + *bad);
    if (out.bytes.size() < want)
        return r.at(header + 12, label + ": packed data ends after " + std::to_string(out.bytes.size()) + " of " +
                                     std::to_string(want) + " bytes");
    if (out.consumed != stored)
        return r.at(header + 4, label + ": packed chunk says " + std::to_string(stored) + " bytes, its data takes " +
                                    std::to_string(out.consumed));
    r.skip(out.consumed);
    Reader chunk(out.bytes.data(), out.bytes.size(), label, "unpacked offset", 0);
    return check_payload(type, chunk, index, depth);
}

// Nullopt when an object count and that many objects follow, as
// load_file_object reads them.
Problem check_object_list(Reader &r, const std::string &prefix, int depth)
{
    std::uint32_t count = 0;
    if (!r.u32(count))
        return r.at("object count missing");
    // every object takes at least its type and two sizes
    if (std::int32_t(count) < 0 || count > r.left() / 12)
        return r.at(r.pos() - 4, "object count " + std::to_string(std::int32_t(count)) + " cannot fit in the " +
                                     std::to_string(r.left()) + " bytes left");
    if (depth == 0 && count == 0)
        return r.at(r.pos() - 4, "datafile holds no objects");
    for (std::uint32_t i = 0; i < count; ++i)
        if (Problem bad = check_object(r, prefix + std::to_string(i), depth))
            return bad;
    return std::nullopt;
}

// Nullopt when the bytes after the packfile header are "ALL." and the root
// object list, with nothing after it.
Problem check_list(Reader &r)
{
    std::uint32_t magic = 0;
    const std::size_t start = r.pos();
    if (!r.u32(magic))
        return r.at("datafile header cut off");
    if (magic == OLD_LIST_MAGIC)
        return r.at(start, "datafile in the format of Allegro 2.1, not supported");
    if (magic != LIST_MAGIC)
        return r.at(start, "no \"ALL.\" after the packfile header (damaged, or needs a password)");
    if (Problem bad = check_object_list(r, "", 0))
        return bad;
    if (r.left() != 0)
        return r.at(std::to_string(r.left()) + " bytes after the last object (object count too small?)");
    return std::nullopt;
}

} // namespace

std::optional<std::string> check_datafile_bytes(const unsigned char *bytes, std::size_t size)
{
    // packfile header: stored or packed as a whole
    Reader file(bytes, size, "", "offset", 0);
    std::uint32_t magic = 0;
    if (!file.u32(magic))
        return file.at(0, "too short for a datafile (" + std::to_string(size) + " bytes)");
    if (size > MAX_FILE_BYTES)
        return file.at(0, "datafile of " + std::to_string(size) + " bytes, more than " +
                              std::to_string(MAX_FILE_BYTES));
    if (magic == UNPACKED_MAGIC)
        return check_list(file);
    if (magic == LIST_MAGIC)
        return file.at(0, "datafile without its packfile header \"slh.\" or \"slh!\"");
    if (magic != PACKED_MAGIC)
        return file.at(0, "not an Allegro datafile (magic " + type_text(magic) + ")");

    // packed as a whole: the rest of the file is one LZSS stream
    Unpacked whole;
    if (Problem bad = lzss_unpack(file.here(), file.left(), MAX_UNPACKED_BYTES + 1, whole))
        return file.at(*bad);
    if (whole.bytes.size() > MAX_UNPACKED_BYTES)
        return file.at("unpacks to more than " + std::to_string(MAX_UNPACKED_BYTES) + " bytes");
    Reader inner(whole.bytes.data(), whole.bytes.size(), "", "unpacked offset", 0);
    return check_list(inner);
}

std::optional<std::string> check_datafile_file(const char *path)
{
    // size first, so a huge file is refused before it is read
    std::FILE *f = std::fopen(path, "rb");
    if (!f)
        return std::string(std::strerror(errno));
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && std::uint64_t(st.st_size) > MAX_FILE_BYTES) {
        std::fclose(f);
        return "datafile of " + std::to_string(st.st_size) + " bytes, more than " + std::to_string(MAX_FILE_BYTES);
    }

    // whole file, never more than the limit and one byte
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t n;
    while (bytes.size() <= MAX_FILE_BYTES && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed)
        return std::string(std::strerror(err));
    return check_datafile_bytes(bytes.data(), bytes.size());
}
