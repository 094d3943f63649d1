// PCM WAV files, written by hand: Allegro can read them but not write them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM `frames` (interleaved when `channels` is 2) with a
// canonical 44-byte RIFF header; false when the file cannot be written.
bool write_wav(const std::string &path, int rate, int channels,
               const std::vector<std::int16_t> &frames);
