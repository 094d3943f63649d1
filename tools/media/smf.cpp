// Standard MIDI file writer.
#include "smf.h"

#include <algorithm>
#include <cstdio>

namespace {

// Appends `v` big-endian in `bytes` bytes.
void put_be(std::vector<unsigned char> &out, std::uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

// Appends `v` as a variable-length quantity (7 bits per byte, high bit = more).
void put_vlq(std::vector<unsigned char> &out, std::uint32_t v)
{
    unsigned char buf[5];
    int n = 0;
    do {
        buf[n++] = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1)
        out.push_back(static_cast<unsigned char>(buf[--n] | 0x80));
    out.push_back(buf[0]);
}

// Appends a chunk: id, 32-bit length, body.
void put_chunk(std::vector<unsigned char> &out, const char id[5], const std::vector<unsigned char> &body)
{
    out.insert(out.end(), id, id + 4);
    put_be(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

constexpr int NOTE_OFF = 0x80;
constexpr int NOTE_ON = 0x90;

} // namespace

void SmfTrack::message(std::uint32_t tick, int status, int channel, int d1, int d2)
{
    std::vector<unsigned char> bytes{static_cast<unsigned char>(status | (channel & 0x0F)),
                                     static_cast<unsigned char>(d1 & 0x7F)};
    if (d2 >= 0)
        bytes.push_back(static_cast<unsigned char>(d2 & 0x7F));
    events_.push_back({tick, status == NOTE_OFF ? 0 : 1, std::move(bytes)});
}

void SmfTrack::note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity)
{
    message(tick, NOTE_ON, channel, key, velocity);
    message(tick + length, NOTE_OFF, channel, key, 0);
}

void SmfTrack::tempo(std::uint32_t tick, std::uint32_t us_per_quarter)
{
    std::vector<unsigned char> bytes{0xFF, 0x51, 0x03};
    put_be(bytes, us_per_quarter, 3);
    events_.push_back({tick, 1, std::move(bytes)});
}

void SmfTrack::name(const std::string &text)
{
    std::vector<unsigned char> bytes{0xFF, 0x03};
    put_vlq(bytes, static_cast<std::uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    events_.push_back({0, 1, std::move(bytes)});
}

std::vector<unsigned char> SmfTrack::encode() const
{
    // order: by tick, note offs first, otherwise as added
    std::vector<const Event *> sorted;
    for (const Event &e : events_)
        sorted.push_back(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event *a, const Event *b) {
        return a->tick != b->tick ? a->tick < b->tick : a->order < b->order;
    });

    // body: delta times, full status bytes (no running status), end of track
    std::vector<unsigned char> body;
    std::uint32_t now = 0;
    for (const Event *e : sorted) {
        put_vlq(body, e->tick - now);
        now = e->tick;
        body.insert(body.end(), e->bytes.begin(), e->bytes.end());
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    return body;
}

bool write_smf(const std::string &path, int division, const std::vector<SmfTrack> &tracks)
{
    // header chunk, then one chunk per track
    std::vector<unsigned char> out;
    std::vector<unsigned char> header;
    put_be(header, 1, 2);
    put_be(header, static_cast<std::uint32_t>(tracks.size()), 2);
    put_be(header, static_cast<std::uint32_t>(division), 2);
    put_chunk(out, "MThd", header);
    for (const SmfTrack &t : tracks)
        put_chunk(out, "MTrk", t.encode());

    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}
