// The show's music, composed in code.
#pragma once

#include <string>

// Writes music.mid into `dir`: a format 1 standard MIDI file for General
// MIDI (melody, pad, bass, arpeggio, drums on channel 10), about 47.5 s
// long. False when the file cannot be written.
bool make_music(const std::string &dir);
