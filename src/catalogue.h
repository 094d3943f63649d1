// What the show needs of its datafile, checked once after loading.
#pragma once

#include <allegro.h>

#include <optional>
#include <string>

inline constexpr int CATALOGUE_SIZE = 18;

// One entry of the show's object table.
struct CatalogueEntry {
    const char *name;
    int type;     // DAT_MIDI, DAT_SAMPLE or DAT_BITMAP
    int min_w;    // smallest picture region the show draws (0 for sounds)
    int min_h;
};

// The 18 objects the show uses, by index.
extern const CatalogueEntry catalogue[CATALOGUE_SIZE];

// Nullopt when `d` holds at least the catalogue's 18 objects with their
// types, regions and formats; otherwise the first problem, naming the index
// and constant, e.g. "object 10 (PAN_BMP) is 320x200, needs at least 640x480".
std::optional<std::string> check_catalogue(const DATAFILE *d);
