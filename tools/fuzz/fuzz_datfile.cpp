// libFuzzer target: the structural check, and for every input it passes,
// Allegro's loader and the catalogue check on the same bytes. An input the
// check passes but the loader cannot load is a fault too.
#include "catalogue.h"
#include "datcheck.h"

#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string scratch_path;

} // namespace

// Allegro without drivers, 16 bpp loading, and a scratch file per process.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, std::atexit);
    set_color_depth(16);
    const char *dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    scratch_path = std::string(dir) + "/fuzz_datfile." + std::to_string(getpid()) + ".dat";
    return 0;
}

// One input: refused, or loaded in full.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (check_datafile_bytes(bytes, size))
        return 0;
    std::FILE *f = std::fopen(scratch_path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(bytes, 1, size, f);
    std::fclose(f);
    DATAFILE *d = load_datafile(scratch_path.c_str());
    if (!d) {
        std::fprintf(stderr, "check passed but load_datafile failed\n");
        std::abort();
    }
    (void)check_catalogue(d);
    unload_datafile(d);
    return 0;
}
