// Small pictures whose pixels tell where they came from, and frame comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "engine/Wipekit.h"

namespace Fixtures {

using Toolkit::TBitmap;
using Toolkit::TColor;

struct Px {
    std::uint8_t B = 0, G = 0, R = 0;
    friend bool operator==(const Px&, const Px&) = default;
};
std::string ToString(const Px& p);

// Pixel (x, y) of a coordinate picture: blue = x, green = y, red = tag (x, y < 256).
constexpr Px Coord(int x, int y, std::uint8_t tag) {
    return Px{std::uint8_t(x), std::uint8_t(y), tag};
}
constexpr std::uint8_t FromTag = 0x40;
constexpr std::uint8_t ToTag = 0x80;

// Fills bitmap with a width x height coordinate picture.
void MakeCoordPicture(TBitmap& bitmap, int width, int height, std::uint8_t tag);
// Pixel of a plain colour (system colours resolved).
Px ColorPx(TColor color);
Px PixelOf(const TBitmap& bitmap, int x, int y);

// Compares every pixel of frame with expected(x, y); the message names the first
// mismatches and their coordinates.
::testing::AssertionResult FrameEquals(const TBitmap& frame, int width, int height,
                                       const std::function<Px(int x, int y)>& expected);

// What a picture shows at (x, y) of the frame when it is copied unshifted, or nullopt
// outside it.
std::optional<Px> PictureAt(const TBitmap& picture, int x, int y);

// A string list of the given lines.
Toolkit::TStrings Lines(std::initializer_list<const char*> items);

// A component that counts its renders (a repeated frame leaves CurrentFrame as it was).
class CountingWipe : public Wipekit::TLumawipe {
public:
    using TLumawipe::TLumawipe;
    void RenderFrame() override {
        ++Renders;
        TLumawipe::RenderFrame();
    }
    int Renders = 0;
};

}  // namespace Fixtures
