// The show's three sound effects, synthesised.
#pragma once

#include <string>

// Writes gaar.wav (footsteps), title.wav (title sting) and terror.wav
// (crash and rumble) into `dir`: 16-bit mono PCM at 44.1 kHz, the same
// bytes on every run. False when a file cannot be written.
bool make_sounds(const std::string &dir);
