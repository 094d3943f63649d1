// Fixture pictures, a fake show datafile and image helpers for the scene tests.
#pragma once

#include "seam.h"
#include "show.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// raw 16-bit pixel values
inline constexpr std::uint16_t MAGENTA = 0xF81F;
inline constexpr std::uint16_t BLACK   = 0x0000;

// Every fixture picture carries its own red value (the tag), so a screen pixel
// tells which picture it came from; green and blue encode the source position.
int tag_of(std::uint16_t pixel);
int tag_of_object(int index);

std::uint16_t px(BITMAP *bmp, int x, int y);
void set_px(BITMAP *bmp, int x, int y, std::uint16_t value);

// Name of a fixture object, "buffer", "screen" or "?".
std::string name_of(const BITMAP *bmp);
std::string name_of(const SAMPLE *spl);

// A 640x480 copy of a bitmap, made pixel by pixel.
BITMAP *copy_bitmap(BITMAP *bmp);

// Reference drawing: copies a w x h region from (0, 0) of src to (dx, dy) of dst,
// clipped to dst, leaving out magenta when masked.
void paint(BITMAP *dst, BITMAP *src, int dx, int dy, int w, int h, bool masked);

// Equal pixel by pixel; on a mismatch both pictures are saved as <name>.actual.bmp
// and <name>.expected.bmp in the working directory.
testing::AssertionResult same_image(BITMAP *actual, BITMAP *expected, const std::string &name);

// Each test starts with Allegro up (no display), a 640x480 16-bit memory bitmap as
// the screen, a fresh back buffer, the fixture datafile, an empty recorder, the
// clock at 0 and the random sequence seeded with 1.
class SceneTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

inline constexpr std::uint16_t SCREEN_FILL = 0x2965;
inline constexpr std::uint16_t BUFFER_FILL = 0x5AAB;
