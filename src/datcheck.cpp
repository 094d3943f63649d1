// Structural check of a datafile before Allegro's loader sees it.
#include "datcheck.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

std::optional<std::string> check_datafile_bytes(const unsigned char *bytes, std::size_t size)
{
    // magic: "slh!" (packed) or "ALL." (plain), big-endian
    if (size < 8)
        return "offset 0: too short for a datafile (" + std::to_string(size) + " bytes)";
    const bool packed = std::memcmp(bytes, "slh!", 4) == 0;
    const bool plain = std::memcmp(bytes, "ALL.", 4) == 0;
    if (!packed && !plain)
        return std::string("offset 0: not an Allegro datafile (bad magic number)");
    return std::nullopt;
}

std::optional<std::string> check_datafile_file(const char *path)
{
    std::FILE *f = std::fopen(path, "rb");
    if (!f)
        return std::string(std::strerror(errno));
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed)
        return std::string(std::strerror(err));
    return check_datafile_bytes(bytes.data(), bytes.size());
}
