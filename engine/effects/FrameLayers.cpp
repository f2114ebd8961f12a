#include "engine/effects/FrameLayers.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Wipekit::Effects {

namespace {

bool Overlaps(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool Holds(const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

// memcpy for the short runs of thin layers (a few pixels of a stripe, thousands a frame):
// fixed-size pieces the compiler copies inline, so no call is made per run; long runs
// go to the library's memcpy.
inline void CopyRun(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    if (n >= 256) {
        std::memcpy(d, s, n);
        return;
    }
    for (; n > 16; n -= 16, d += 16, s += 16) std::memcpy(d, s, 16);
    // 0 to 16 bytes left: two pieces that may overlap.
    if (n >= 8) {
        std::memcpy(d, s, 8);
        std::memcpy(d + n - 8, s + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(d, s, 4);
        std::memcpy(d + n - 4, s + n - 4, 4);
    } else if (n >= 2) {
        std::memcpy(d, s, 2);
        std::memcpy(d + n - 2, s + n - 2, 2);
    } else if (n == 1) {
        *d = *s;
    }
}

}  // namespace

void TFrameLayers::Copy(const TBitmap& src, const TRect64& from, const TRect64& to, TCopyMode mode) {
    const bool sameSize = from.Width() == to.Width() && from.Height() == to.Height();
    if (sameSize && &src != &FWork && FLayers.size() < MaxLayers) {
        TRect target{};
        int dx = 0, dy = 0;
        if (!ClipBand(FWork, src, from, to, target, dx, dy)) return;  // CopyBand draws nothing either
        if (mode == TCopyMode::cmSrcCopy) {
            FLayers.push_back({&src, target, dx, dy, nullptr, 0, 0});
            return;
        }
        if (mode == TCopyMode::cmSrcInvert) {
            // Onto the pixels of the topmost layer under it, when that one covers it all.
            for (auto layer = FLayers.rbegin(); layer != FLayers.rend(); ++layer) {
                if (!Overlaps(layer->Target, target)) continue;
                if (!layer->Under && Holds(layer->Target, target)) {
                    FLayers.push_back({&src, target, dx, dy, layer->Src, layer->Dx, layer->Dy});
                    return;
                }
                break;
            }
        }
    }
    Draw();
    CopyBand(FWork, src, from, to, mode);
}

void TFrameLayers::DrawRun(const Layer& layer, int left, int right, int top, int bottom) const {
    const Toolkit::TPixelView work = FWork.Pixels();
    const Toolkit::TConstPixelView src = layer.Src->Pixels();
    const std::size_t bytes = std::size_t(right - left) * 3;
    if (!layer.Under) {
        Toolkit::ForLinesInMemoryOrder(work, top, bottom, [&](int y) {
            CopyRun(work.At(left, y), src.At(left + layer.Dx, y + layer.Dy), bytes);
        });
        return;
    }
    const Toolkit::TConstPixelView under = layer.Under->Pixels();
    Toolkit::ForLinesInMemoryOrder(work, top, bottom, [&](int y) {
        std::uint8_t* d = work.At(left, y);
        const std::uint8_t* a = src.At(left + layer.Dx, y + layer.Dy);
        const std::uint8_t* b = under.At(left + layer.UnderDx, y + layer.UnderDy);
        for (std::size_t i = 0; i < bytes; ++i) d[i] = std::uint8_t(a[i] ^ b[i]);
    });
}

TFrameLayers::~TFrameLayers() {
    if (FLayers.empty()) return;
    // Reached by an exception of the routine: the frame so far still shows what it drew,
    // and no second exception may leave here.
    Compose();
    try {
        FWork.Changed();
    } catch (...) {
    }
}

void TFrameLayers::Draw() {
    if (FLayers.empty()) return;
    Compose();
    FWork.Changed();
}

void TFrameLayers::Compose() noexcept {
    try {
        // Between two neighbouring edges every layer spans the whole stripe or none of it.
        std::vector<int> edges;
        edges.reserve(2 * FLayers.size());
        for (const Layer& layer : FLayers) {
            edges.push_back(layer.Target.Top);
            edges.push_back(layer.Target.Bottom);
        }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        // The columns of the stripe drawn so far, by layers above: disjoint, in order.
        std::vector<std::pair<int, int>> covered;
        // Stripes in the order they lie in memory, as the rows within them.
        const bool bottomUp = FWork.Pixels().Stride < 0;
        for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
            const std::size_t e = bottomUp ? edges.size() - 2 - i : i;
            const int top = edges[e], bottom = edges[e + 1];
            covered.clear();
            for (auto layer = FLayers.rbegin(); layer != FLayers.rend(); ++layer) {
                const TRect& t = layer->Target;
                if (t.Top > top || t.Bottom < bottom) continue;
                // Draw the columns of [Left, Right) no layer above has drawn.
                auto run = std::lower_bound(covered.begin(), covered.end(), t.Left,
                                            [](const std::pair<int, int>& c, int x) { return c.second < x; });
                const auto firstTouched = run;
                int x = t.Left;
                for (; run != covered.end() && run->first <= t.Right; ++run) {
                    if (run->first > x) DrawRun(*layer, x, run->first, top, bottom);
                    x = std::max(x, run->second);
                }
                if (x < t.Right) DrawRun(*layer, x, t.Right, top, bottom);
                // The touched runs [firstTouched, run) merge with [Left, Right) into one.
                int left = t.Left, right = t.Right;
                if (firstTouched != run) {
                    left = std::min(left, firstTouched->first);
                    right = std::max(right, std::prev(run)->second);
                }
                const auto at = covered.erase(firstTouched, run);
                covered.insert(at, {left, right});
            }
        }
    } catch (...) {
        // No memory for the pass: every layer over the ones before it, in order.
        for (const Layer& layer : FLayers)
            DrawRun(layer, layer.Target.Left, layer.Target.Right, layer.Target.Top, layer.Target.Bottom);
    }
    FLayers.clear();
}

}  // namespace Wipekit::Effects
