// datload FILE [--no-check]: the program's load path without a display.
// Runs the structural check, then load_datafile at 16 bpp, then the
// catalogue check, and says which step stopped the file:
//   0 accepted, 2 refused by the check, 3 refused by the catalogue,
//   4 the loader failed on a file the check passed.
// --no-check skips the structural check, to see what Allegro alone does.
#include "catalogue.h"
#include "datcheck.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: datload FILE [--no-check]\n");
        return 64;
    }
    const char *path = argv[1];
    const bool checked = !(argc > 2 && std::strcmp(argv[2], "--no-check") == 0);

    // structural check, before Allegro sees the file
    if (checked) {
        if (std::optional<std::string> problem = check_datafile_file(path)) {
            std::printf("refused: %s\n", problem->c_str());
            return 2;
        }
    }

    // Allegro without drivers; pictures come in at the show's depth
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::printf("install_allegro failed\n");
        return 70;
    }
    set_color_depth(16);

    // load and catalogue
    DATAFILE *d = load_datafile(path);
    if (!d) {
        std::printf("load failed\n");
        return 4;
    }
    if (std::optional<std::string> problem = check_catalogue(d)) {
        std::printf("catalogue: %s\n", problem->c_str());
        unload_datafile(d);
        return 3;
    }
    unload_datafile(d);
    std::printf("accepted\n");
    return 0;
}
