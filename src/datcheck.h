// Structural check of a datafile before Allegro's loader sees it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Nullopt when the file at `path` can be read and is a well-formed datafile
// that load_datafile can parse safely; otherwise why not, e.g.
// "No such file or directory" or "offset 1234: object 5 ...".
std::optional<std::string> check_datafile_file(const char *path);

// The same check on a file image held in memory.
std::optional<std::string> check_datafile_bytes(const unsigned char *bytes, std::size_t size);
