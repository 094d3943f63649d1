// mkmedia OUTDIR: writes every picture, sound and the music of the show into
// OUTDIR as files for `dat` and `pat2dat` to pack.
#include "music.h"
#include "pictures.h"
#include "sounds.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkmedia OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];

    // Allegro without drivers: pictures are drawn into memory bitmaps
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "mkmedia: cannot start Allegro\n");
        return 1;
    }

    // media, each family into its own files
    struct Step { const char *what; bool (*make)(const std::string &); };
    constexpr Step STEPS[] = {
        {"pictures", make_pictures},
        {"sounds",   make_sounds},
        {"music",    make_music},
    };
    for (const Step &s : STEPS)
        if (!s.make(dir)) {
            std::fprintf(stderr, "mkmedia: cannot write the %s into %s\n", s.what, dir.c_str());
            return 1;
        }
    return 0;
}
END_OF_MAIN()
