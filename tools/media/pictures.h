// The show's pictures, painted with Allegro's drawing API into memory bitmaps.
#pragma once

#include <string>

// Writes the show's 13 pictures as 24-bit BMP files into `dir`; Allegro must be installed (SYSTEM_NONE is enough). Returns false on a write failure.
bool make_pictures(const std::string &dir);
