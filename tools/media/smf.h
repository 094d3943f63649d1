// Standard MIDI files (format 1), written from lists of timed events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One track: events at absolute ticks, kept in the order they were added
// when ticks are equal.
class SmfTrack {
public:
    // A channel message: status | channel, then one or two data bytes.
    void message(std::uint32_t tick, int status, int channel, int d1, int d2 = -1);

    // Note on at `tick`, note off at `tick + length`.
    void note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);

    // Tempo meta event: microseconds per quarter note.
    void tempo(std::uint32_t tick, std::uint32_t us_per_quarter);

    // Track-name meta event.
    void name(const std::string &text);

    // The track chunk's body: delta-timed events, sorted, with note offs
    // before note ons at the same tick, ended by end-of-track.
    std::vector<unsigned char> encode() const;

private:
    struct Event {
        std::uint32_t tick;
        int order;  // note offs first at equal ticks, then in adding order
        std::vector<unsigned char> bytes;
    };
    std::vector<Event> events_;
};

// Writes a format 1 file with `division` ticks per quarter note (positive);
// false when the file cannot be written.
bool write_smf(const std::string &path, int division, const std::vector<SmfTrack> &tracks);
