// The show's object table and the check of a loaded datafile against it.
#include "catalogue.h"

#include "data.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

const CatalogueEntry catalogue[CATALOGUE_SIZE] = {
    // name              type        min_w  min_h
    {"MUSIC_MIDI",       DAT_MIDI,   0,     0},
    {"GAAR_SAMPLE",      DAT_SAMPLE, 0,     0},
    {"BACKGROUND_BMP",   DAT_BITMAP, 640,   480},
    {"TITLE_BMP",        DAT_BITMAP, 640,   480},
    {"TITLE_SAMPLE",     DAT_SAMPLE, 0,     0},
    {"WALK1_BMP",        DAT_BITMAP, 75,    127},
    {"WALK2_BMP",        DAT_BITMAP, 75,    127},
    {"WALK3_BMP",        DAT_BITMAP, 75,    127},
    {"WALK4_BMP",        DAT_BITMAP, 75,    127},
    {"WALK5_BMP",        DAT_BITMAP, 75,    127},
    {"PAN_BMP",          DAT_BITMAP, 640,   480},
    {"RISER_BMP",        DAT_BITMAP, 187,   78},
    {"END_BMP",          DAT_BITMAP, 640,   480},
    {"TERROR_SAMPLE",    DAT_SAMPLE, 0,     0},
    {"PROP_BMP",         DAT_BITMAP, 70,    79},
    {"MOVER_BMP",        DAT_BITMAP, 164,   182},
    {"CORNER_BMP",       DAT_BITMAP, 254,   224},
    {"ZOOM_BMP",         DAT_BITMAP, 640,   480},
};

static_assert(ZOOM_BMP == CATALOGUE_SIZE - 1, "catalogue and data.h disagree");

namespace {

std::string type_name(int type)
{
    switch (type) {
    case DAT_MIDI:   return "MIDI";
    case DAT_SAMPLE: return "sample";
    case DAT_BITMAP: return "bitmap";
    }
    // a damaged id may hold unprintable bytes: show those as a number
    const char bytes[4] = {static_cast<char>(type >> 24), static_cast<char>(type >> 16),
                           static_cast<char>(type >> 8), static_cast<char>(type)};
    const bool printable = std::all_of(std::begin(bytes), std::end(bytes),
                                       [](char c) { return std::isprint(static_cast<unsigned char>(c)); });
    char id[32];
    if (printable)
        std::snprintf(id, sizeof id, "type '%.4s'", bytes);
    else
        std::snprintf(id, sizeof id, "type 0x%08X", static_cast<unsigned>(type));
    return id;
}

std::string object_label(int index)
{
    return "object " + std::to_string(index) + " (" + catalogue[index].name + ")";
}

// Nullopt when the bitmap covers the region and is 16 bpp.
std::optional<std::string> check_bitmap(const BITMAP *b, const CatalogueEntry &want)
{
    if (b->w < want.min_w || b->h < want.min_h)
        return "is " + std::to_string(b->w) + "x" + std::to_string(b->h) + ", needs at least " +
               std::to_string(want.min_w) + "x" + std::to_string(want.min_h);
    const int depth = bitmap_color_depth(const_cast<BITMAP *>(b));
    if (depth != 16)
        return "is " + std::to_string(depth) + " bits per pixel, needs 16";
    return std::nullopt;
}

// Nullopt when the sample is 8 or 16 bit and not empty.
std::optional<std::string> check_sample(const SAMPLE *s)
{
    if (s->bits != 8 && s->bits != 16)
        return "has " + std::to_string(s->bits) + "-bit samples, needs 8 or 16";
    if (s->len == 0)
        return std::string("is an empty sample");
    return std::nullopt;
}

// Nullopt when the MIDI has a positive time division.
std::optional<std::string> check_midi(const MIDI *m)
{
    if (m->divisions <= 0)
        return "has a time division of " + std::to_string(m->divisions) + ", needs a positive one";
    return std::nullopt;
}

} // namespace

std::optional<std::string> check_catalogue(const DATAFILE *d)
{
    // count: the catalogue's objects must all be there, extra ones are ignored
    int count = 0;
    while (count < CATALOGUE_SIZE && d[count].type != DAT_END)
        ++count;
    if (count < CATALOGUE_SIZE)
        return "holds " + std::to_string(count) + " objects, needs at least " +
               std::to_string(CATALOGUE_SIZE);

    // each object: its type, then the format of that type
    for (int i = 0; i < CATALOGUE_SIZE; ++i) {
        const CatalogueEntry &want = catalogue[i];
        if (d[i].type != want.type || d[i].dat == nullptr)
            return object_label(i) + " is a " + type_name(d[i].type) + ", needs a " +
                   type_name(want.type);
        std::optional<std::string> problem;
        switch (want.type) {
        case DAT_BITMAP: problem = check_bitmap(static_cast<const BITMAP *>(d[i].dat), want); break;
        case DAT_SAMPLE: problem = check_sample(static_cast<const SAMPLE *>(d[i].dat)); break;
        case DAT_MIDI:   problem = check_midi(static_cast<const MIDI *>(d[i].dat)); break;
        }
        if (problem)
            return object_label(i) + " " + *problem;
    }
    return std::nullopt;
}
