// Writes the show's pictures: each painter makes one bitmap, saved as a 24-bit BMP.
#include "pictures.h"

#include "pic_makers.h"

#include "catalogue.h"
#include "data.h"

#include <allegro.h>

#include <cstdio>

namespace {

using Painter = BITMAP *(*)();

// the five walk frames as parameterless painters
BITMAP *walk1() { return pic::paint_walk(0); }
BITMAP *walk2() { return pic::paint_walk(1); }
BITMAP *walk3() { return pic::paint_walk(2); }
BITMAP *walk4() { return pic::paint_walk(3); }
BITMAP *walk5() { return pic::paint_walk(4); }

struct Picture {
    const char *file;
    int index;    // the object it becomes in data.wee
    Painter paint;
};

// every picture of the show, by file name
constexpr Picture PICTURES[] = {
    {"background.bmp", BACKGROUND_BMP, pic::paint_background},
    {"title.bmp",      TITLE_BMP,      pic::paint_title},
    {"walk1.bmp",      WALK1_BMP,      walk1},
    {"walk2.bmp",      WALK2_BMP,      walk2},
    {"walk3.bmp",      WALK3_BMP,      walk3},
    {"walk4.bmp",      WALK4_BMP,      walk4},
    {"walk5.bmp",      WALK5_BMP,      walk5},
    {"pan.bmp",        PAN_BMP,        pic::paint_pan},
    {"riser.bmp",      RISER_BMP,      pic::paint_riser},
    {"end.bmp",        END_BMP,        pic::paint_end},
    {"prop.bmp",       PROP_BMP,       pic::paint_prop},
    {"mover.bmp",      MOVER_BMP,      pic::paint_mover},
    {"corner.bmp",     CORNER_BMP,     pic::paint_corner},
    {"zoom.bmp",       ZOOM_BMP,       pic::paint_zoom},
};

// True when the picture is exactly the region the show draws of its object.
bool fits_region(const BITMAP *bmp, const Picture &p)
{
    const CatalogueEntry &want = catalogue[p.index];
    if (bmp->w == want.min_w && bmp->h == want.min_h)
        return true;
    std::fprintf(stderr, "mkmedia: %s is %dx%d, %s is drawn as %dx%d\n", p.file, bmp->w, bmp->h,
                 want.name, want.min_w, want.min_h);
    return false;
}

} // namespace

bool make_pictures(const std::string &dir)
{
    for (const Picture &p : PICTURES) {
        BITMAP *bmp = p.paint();
        const std::string path = dir + "/" + p.file;
        const bool ok = bmp && fits_region(bmp, p) && save_bitmap(path.c_str(), bmp, nullptr) == 0;
        if (bmp)
            destroy_bitmap(bmp);
        if (!ok)
            return false;
    }
    return true;
}
