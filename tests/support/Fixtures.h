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
// outside it (coordinates of any size).
std::optional<Px> PictureAt(const TBitmap& picture, std::int64_t x, std::int64_t y);

// The engine's random generator, kept apart from the engine's code: each call advances
// Seed and picks a number below n.
struct ModelRandom {
    std::uint32_t Seed;
    std::uint32_t operator()(std::uint32_t n) {
        Seed = Seed * 134775813u + 1u;
        return std::uint32_t((std::uint64_t(Seed) * n) >> 32);
    }
};

// A from/to pair of coordinate pictures; To is w x h unless given a size of its own.
struct Pictures {
    TBitmap From, To;
    Pictures(int w, int h, int toW = -1, int toH = -1) {
        MakeCoordPicture(From, w, h, FromTag);
        MakeCoordPicture(To, toW < 0 ? w : toW, toH < 0 ? h : toH, ToTag);
    }
};

// Runs an effect routine directly, the way the component does: the width x height frame
// filled with Background first, then the routine on From and To with P.
struct Direct {
    TBitmap From, To, Work;
    Wipekit::TTransitionParams P{};
    TColor Background = 0x00FF00;

    bool Frame(Wipekit::TEffectProc proc, int width, int height, int f) {
        Work.SetSize(width, height);
        Work.Canvas().Brush.Color = Background;
        Work.Canvas().FillRect(Toolkit::Rect(0, 0, width, height));
        P.ClientRect = Toolkit::Rect(0, 0, width, height);
        P.CurrentFrame = f;
        return proc(From, To, Work, &P);
    }
};

// Waits in real time until at least n worker threads sleep on the virtual clock, each
// having seen every change made before the call.
bool WaitForSleepers(int n);

// Serves synchronized calls until one beyond count has run (true), or until one worker is
// at rest with no call queued (false): after the clock has moved, a worker either queues
// its tick or waits again, so the answer never depends on how long the test waited. Fails
// the test after 5 s of neither.
bool SynchronizedCallOrRest(std::uint64_t count);

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
