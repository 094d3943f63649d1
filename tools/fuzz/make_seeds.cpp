// make_seeds DIR: small valid datafiles of every accepted type and packing,
// the fuzzer's starting corpus.
#include "../../tests/datfile/dat_writer.h"

#include <cstdio>
#include <string>

namespace {

// Writes one file; false on failure.
bool save(const std::string &path, const datw::Bytes &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 64;
    }
    using datw::id;
    using datw::Object;
    const std::vector<Object> objects = {
        {id("MIDI"), datw::midi(96), {{id("NAME"), "MUSIC_MIDI"}}},
        {id("SAMP"), datw::sample(16, 22050, 12)},
        {id("SAMP"), datw::sample(-8, 11025, 9)},
        {id("BMP "), datw::bitmap(16, 5, 3), {{id("NAME"), "B16"}, {id("ORIG"), "b.bmp"}}},
        {id("BMP "), datw::bitmap(8, 4, 2)},
        {id("BMP "), datw::bitmap(24, 3, 3)},
        {id("BMP "), datw::bitmap(-32, 2, 2)},
        {id("FONT"), datw::font(1, 3, 6, 8)},
        {id("DATA"), datw::Bytes{1, 2, 3, 4, 5}},
    };
    datw::Bytes nested = datw::list_bytes({{id("BMP "), datw::bitmap(15, 2, 2)},
                                           {id("FONT"), datw::font(8, 2, 3, 4)}},
                                          false);
    std::vector<Object> with_nested = objects;
    with_nested.push_back({id("FILE"), nested});

    const std::string dir = argv[1];
    bool ok = true;
    ok &= save(dir + "/plain.dat", datw::datafile(objects, datw::Packing::none));
    ok &= save(dir + "/objects.dat", datw::datafile(objects, datw::Packing::objects));
    ok &= save(dir + "/whole.dat", datw::datafile(objects, datw::Packing::whole));
    ok &= save(dir + "/both.dat", datw::datafile(objects, datw::Packing::both));
    ok &= save(dir + "/nested.dat", datw::datafile(with_nested, datw::Packing::none));
    ok &= save(dir + "/nested_packed.dat", datw::datafile(with_nested, datw::Packing::objects));
    return ok ? 0 : 1;
}
