// Preview driver: paints every picture into the directory given as argument.
#include "pictures.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pic_preview DIR\n");
        return 2;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    return make_pictures(argv[1]) ? 0 : 1;
}
END_OF_MAIN()
