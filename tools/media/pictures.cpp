// Writes the show's pictures: each painter makes one bitmap, saved as a 24-bit BMP.
#include "pictures.h"

#include "pic_makers.h"

#include <allegro.h>

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
    Painter paint;
};

// every picture of the show, by file name
constexpr Picture PICTURES[] = {
    {"background.bmp", pic::paint_background},
    {"title.bmp",      pic::paint_title},
    {"walk1.bmp",      walk1},
    {"walk2.bmp",      walk2},
    {"walk3.bmp",      walk3},
    {"walk4.bmp",      walk4},
    {"walk5.bmp",      walk5},
    {"pan.bmp",        pic::paint_pan},
    {"riser.bmp",      pic::paint_riser},
    {"end.bmp",        pic::paint_end},
    {"prop.bmp",       pic::paint_prop},
    {"mover.bmp",      pic::paint_mover},
    {"corner.bmp",     pic::paint_corner},
    {"zoom.bmp",       pic::paint_zoom},
};

} // namespace

bool make_pictures(const std::string &dir)
{
    for (const Picture &p : PICTURES) {
        BITMAP *bmp = p.paint();
        const std::string path = dir + "/" + p.file;
        const bool ok = bmp && save_bitmap(path.c_str(), bmp, nullptr) == 0;
        if (bmp)
            destroy_bitmap(bmp);
        if (!ok)
            return false;
    }
    return true;
}
