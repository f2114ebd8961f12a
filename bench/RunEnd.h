// The frame that ends a run, for the benchmarks: every routine draws its last frame for
// any frame beyond it, so the end test is monotonic and a bisection finds it.
#pragma once

#include <cstdint>

// draw(f) draws frame f and answers whether it is the last one.
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
