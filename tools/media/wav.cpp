// Canonical RIFF/WAVE writer for 16-bit PCM.
#include "wav.h"

#include <cstdio>

namespace {

constexpr int BITS = 16;

// Appends `v` as `bytes` little-endian bytes.
void put_le(std::vector<unsigned char> &out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

// Appends a four-character chunk id.
void put_id(std::vector<unsigned char> &out, const char id[5])
{
    out.insert(out.end(), id, id + 4);
}

} // namespace

bool write_wav(const std::string &path, int rate, int channels,
               const std::vector<std::int16_t> &frames)
{
    // header: RIFF, the 16-byte PCM format chunk, then the data chunk's head
    const auto data_bytes = static_cast<std::uint32_t>(frames.size() * sizeof(std::int16_t));
    const auto block = static_cast<std::uint32_t>(channels * BITS / 8);
    std::vector<unsigned char> out;
    out.reserve(44 + data_bytes);
    put_id(out, "RIFF");
    put_le(out, 36 + data_bytes, 4);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    put_le(out, 16, 4);
    put_le(out, 1, 2);  // PCM
    put_le(out, static_cast<std::uint32_t>(channels), 2);
    put_le(out, static_cast<std::uint32_t>(rate), 4);
    put_le(out, static_cast<std::uint32_t>(rate) * block, 4);
    put_le(out, block, 2);
    put_le(out, BITS, 2);
    put_id(out, "data");
    put_le(out, data_bytes, 4);

    // samples, little-endian whatever the host
    for (std::int16_t s : frames)
        put_le(out, static_cast<std::uint16_t>(s), 2);

    // write all at once
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}
