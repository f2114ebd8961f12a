// Checks of frames drawn by stretching copies, whose scaled pixel values depend on the
// stretching method. Each pixel of a coordinate picture names its picture (tag) and its
// place, so a check can demand the picture and a place inside the part of the source
// that the destination pixel covers, without fixing how the copy picks within it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/EffectScene.h"

namespace Provenance {

using namespace EffectScene;

// Whether a stretching copy of [srcLo, srcHi) onto [dstLo, dstHi) may have put source
// coordinate s at destination coordinate n: source pixel s must overlap the footprint of
// destination pixel n, [k sw / dw, (k + 1) sw / dw) with k = n - dstLo. For copies of
// equal size that is s = n - dstLo + srcLo exactly.
inline bool InFootprint(int s, int n, int srcLo, int srcHi, int dstLo, int dstHi) {
    const std::int64_t sw = std::int64_t(srcHi) - srcLo, dw = std::int64_t(dstHi) - dstLo;
    const std::int64_t k = std::int64_t(n) - dstLo, t = std::int64_t(s) - srcLo;
    return t * dw < (k + 1) * sw && (t + 1) * dw > k * sw;
}

// A copy of rectangle Src of the picture tagged Tag onto rectangle Dst.
struct Copy {
    std::uint8_t Tag;
    Toolkit::TRect Src;
    Toolkit::TRect Dst;
};

// Checks every pixel against the last copy whose destination covers it (copies in
// drawing order); pixels no copy covers must keep the fill.
inline ::testing::AssertionResult ShowsCopies(const TBitmap& frame, int W, int H, const std::vector<Copy>& copies) {
    if (frame.Width() != W || frame.Height() != H)
        return ::testing::AssertionFailure() << "frame is " << frame.Width() << " x " << frame.Height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Copy* last = nullptr;
            for (const Copy& c : copies)
                if (x >= c.Dst.Left && x < c.Dst.Right && y >= c.Dst.Top && y < c.Dst.Bottom) last = &c;
            const Px got = PixelOf(frame, x, y);
            const bool ok =
                last ? got.R == last->Tag &&
                           InFootprint(got.B, x, last->Src.Left, last->Src.Right, last->Dst.Left, last->Dst.Right) &&
                           InFootprint(got.G, y, last->Src.Top, last->Src.Bottom, last->Dst.Top, last->Dst.Bottom)
                     : got == ColorPx(Fill);
            if (!ok)
                return ::testing::AssertionFailure()
                       << "at (" << x << ", " << y << "): got " << ToString(got) << ", expected "
                       << (last ? "a pixel of copy " + std::to_string(last - copies.data()) : "the fill");
        }
    return ::testing::AssertionSuccess();
}

// Checks only which picture each pixel came from: expected(x, y) gives its tag, or
// nothing where the frame keeps its fill.
inline ::testing::AssertionResult ShowsTags(const TBitmap& frame, int W, int H,
                                            const std::function<std::optional<std::uint8_t>(int x, int y)>& expected) {
    if (frame.Width() != W || frame.Height() != H)
        return ::testing::AssertionFailure() << "frame is " << frame.Width() << " x " << frame.Height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Px got = PixelOf(frame, x, y);
            const auto tag = expected(x, y);
            if (tag ? got.R != *tag : got != ColorPx(Fill))
                return ::testing::AssertionFailure() << "at (" << x << ", " << y << "): got " << ToString(got)
                                                     << ", expected "
                                                     << (tag ? "tag " + std::to_string(*tag) : "the fill");
        }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult AllTagged(const TBitmap& frame, std::uint8_t tag) {
    return ShowsTags(frame, frame.Width(), frame.Height(), [&](int, int) { return tag; });
}

}  // namespace Provenance
