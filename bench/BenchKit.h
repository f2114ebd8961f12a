// What both benchmarks share: pictures of noise, a frame drawn as in a fresh run, and the
// frame that ends a run.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/Wipekit.h"

namespace BenchKit {

using namespace Wipekit;

// Bytes that vary from pixel to pixel, so that no branch or table lookup is predictable.
inline void Noise(TBitmap& bitmap, int width, int height, std::uint32_t seed) {
    bitmap.SetSize(width, height);
    std::uint8_t* bits = bitmap.Bits();
    for (std::size_t i = 0; i < bitmap.ImageSize(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        bits[i] = std::uint8_t(seed >> 24);
    }
}

// Draws frame f of a forward run of op as the f-th frame of a fresh run: the state object
// its row asks for is made and prepared anew into state, which keeps it for redrawing.
inline bool DrawFreshFrame(TTransitionOperation op, const TBitmap& from, const TBitmap& to, TBitmap& work,
                           TTransitionParams& params, std::unique_ptr<TFXState>& state, std::int32_t f) {
    const TEffectEntry& row = OperationTable[int(op)];
    if (row.StateClass) {
        state.reset(row.StateClass());
        state->BarCount = OperationBarCount(op, params.Modifier, work.Width(), work.Height());
        state->Prepare(&params);
    }
    params.State = state.get();
    params.CurrentFrame = f;
    return row.Forward(from, to, work, &params);
}

// draw(f) draws frame f and answers whether it is the last one. Every routine draws its
// last frame for any frame beyond it, so the end test is monotonic and a bisection finds
// the first ending frame.
template <class Draw>
std::int32_t FirstEndingFrame(Draw&& draw) {
    constexpr std::int32_t Longest = 1 << 30;
    std::int32_t below = -1, end = 1;
    while (end < Longest && !draw(end)) {
        below = end;
        end *= 2;
    }
    while (end - below > 1) {
        const std::int32_t mid = below + (end - below) / 2;
        (draw(mid) ? end : below) = mid;
    }
    return end;
}

}  // namespace BenchKit
