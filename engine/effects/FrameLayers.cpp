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

bool SameRect(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

// Whether two layers take each pixel they both cover from the same place.
bool SameMapping(const TFrameLayer& a, const TFrameLayer& b) {
    return a.Src == b.Src && a.Dx == b.Dx && a.Dy == b.Dy && a.Under == b.Under &&
           (!a.Under || (a.UnderDx == b.UnderDx && a.UnderDy == b.UnderDy));
}

std::int64_t Area(const TRect& r) { return std::int64_t(r.Right - r.Left) * (r.Bottom - r.Top); }

// Lists of at most this many layers are searched whole for the ones a rectangle meets;
// longer ones through an index of strips.
constexpr std::size_t ScannedLayers = 24;
constexpr int IndexStrips = 128;

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

TFrameLayers::TFrameLayers(TBitmap& work, TFrameMemory* memory) : FWork(work), FMemory(memory) {
    if (FMemory) FLayers.reserve(FMemory->Layers.size() + 4);
}

void TFrameLayers::Copy(const TBitmap& src, const TRect64& from, const TRect64& to, TCopyMode mode) {
    const bool sameSize = from.Width() == to.Width() && from.Height() == to.Height();
    // With a memory every copy of the frame is kept; long lists are composed in parts.
    if (sameSize && &src != &FWork && (FMemory || FLayers.size() < MaxLayers)) {
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
    // A copy outside the list: the frame is no longer the list's alone.
    FWhole = true;
    Draw();
    CopyBand(FWork, src, from, to, mode);
}

void TFrameLayers::DrawRun(const Layer& layer, int left, int right, int top, int bottom) {
    FPixels += std::int64_t(right - left) * (bottom - top);
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
    Compose(FLayers.data(), FLayers.size());
    if (FMemory) FMemory->Valid = false;
    try {
        FWork.Changed();
    } catch (...) {
    }
}

void TFrameLayers::Draw() {
    if (!FMemory) {
        if (FLayers.empty()) return;
        Compose(FLayers.data(), FLayers.size());
        FLayers.clear();
        FWork.Changed();
        return;
    }
    FPixels = 0;
    if (FMemory->Partial && !FWhole)
        ComposeChanges();
    else
        Compose(FLayers.data(), FLayers.size());
    FMemory->PixelsDrawn += FPixels;
    FMemory->Partial = false;
    if (FWhole) {
        FMemory->Valid = false;
        FMemory->Layers.clear();
    } else {
        FMemory->Layers.swap(FLayers);
        FMemory->Valid = true;
    }
    FLayers.clear();
    // Layers recorded after this draw are not in the memory's list.
    FWhole = true;
    FWork.Changed();
}

void TFrameLayers::ComposeChanges() {
    const std::vector<Layer>& was = FMemory->Layers;
    const std::vector<Layer>& now = FLayers;
    FDamage.clear();
    std::int64_t area = 0;
    auto add = [&](const TRect& r) {
        if (r.Right <= r.Left || r.Bottom <= r.Top) return;
        FDamage.push_back(r);
        area += Area(r);
    };
    // The part of a that b does not cover, as up to four rectangles.
    auto addDifference = [&](const TRect& a, const TRect& b) {
        if (!Overlaps(a, b)) {
            add(a);
            return;
        }
        const int top = std::max(a.Top, b.Top), bottom = std::min(a.Bottom, b.Bottom);
        add(TRect{a.Left, a.Top, a.Right, top});
        add(TRect{a.Left, bottom, a.Right, a.Bottom});
        add(TRect{a.Left, top, std::min(a.Right, b.Left), bottom});
        add(TRect{std::max(a.Left, b.Right), top, a.Right, bottom});
    };
    for (std::size_t i = 0; i < std::max(was.size(), now.size()); ++i) {
        if (i >= was.size()) {
            add(now[i].Target);
        } else if (i >= now.size()) {
            add(was[i].Target);
        } else if (SameMapping(was[i], now[i])) {
            if (SameRect(was[i].Target, now[i].Target)) continue;
            addDifference(was[i].Target, now[i].Target);
            addDifference(now[i].Target, was[i].Target);
        } else {
            // Both targets; the second without what the first covers, so no pixel is drawn twice.
            add(was[i].Target);
            if (!SameRect(was[i].Target, now[i].Target)) addDifference(now[i].Target, was[i].Target);
        }
    }
    if (FDamage.empty()) return;
    // Changes as large as the frame: one pass over it costs less.
    if (area >= std::int64_t(FWork.Width()) * FWork.Height()) {
        Compose(now.data(), now.size());
        return;
    }
    FBucketStart.clear();
    if (now.size() > ScannedLayers) {
        // An index of strips across the axis the layers are thinner along (rows for bands
        // of rows): each strip lists the layers that reach into it, in list order.
        std::int64_t tall = 0, wide = 0;
        for (const Layer& l : now) {
            tall += std::int64_t(l.Target.Bottom - l.Target.Top) * FWork.Width();
            wide += std::int64_t(l.Target.Right - l.Target.Left) * FWork.Height();
        }
        const bool byRows = tall <= wide;
        const int extent = byRows ? FWork.Height() : FWork.Width();
        const int strip = std::max(1, (extent + IndexStrips - 1) / IndexStrips);
        const int strips = (extent + strip - 1) / strip;
        auto span = [&](const TRect& r, int& first, int& last) {
            const int lo = byRows ? r.Top : r.Left, hi = byRows ? r.Bottom : r.Right;
            first = std::max(0, lo) / strip;
            last = std::min(extent - 1, hi - 1) / strip;
        };
        FBucketStart.assign(std::size_t(strips) + 2, 0);
        for (const Layer& l : now) {
            int first, last;
            span(l.Target, first, last);
            for (int b = first; b <= last; ++b) ++FBucketStart[std::size_t(b) + 2];
        }
        for (std::size_t b = 2; b < FBucketStart.size(); ++b) FBucketStart[b] += FBucketStart[b - 1];
        FBuckets.resize(FBucketStart.back());
        for (std::uint32_t i = 0; i < now.size(); ++i) {
            int first, last;
            span(now[i].Target, first, last);
            for (int b = first; b <= last; ++b) FBuckets[FBucketStart[std::size_t(b) + 1]++] = i;
        }
        FSeen.assign(now.size(), 0);
        std::uint32_t query = 0;
        for (const TRect& r : FDamage) {
            ++query;
            int first, last;
            span(r, first, last);
            FCandidates.clear();
            for (int b = first; b <= last; ++b)
                for (std::uint32_t k = FBucketStart[std::size_t(b)]; k < FBucketStart[std::size_t(b) + 1]; ++k) {
                    const std::uint32_t i = FBuckets[k];
                    if (FSeen[i] == query) continue;
                    FSeen[i] = query;
                    FCandidates.push_back(i);
                }
            std::sort(FCandidates.begin(), FCandidates.end());
            ComposeWithin(r);
        }
        return;
    }
    for (const TRect& r : FDamage) {
        FCandidates.resize(now.size());
        for (std::uint32_t i = 0; i < now.size(); ++i) FCandidates[i] = i;
        ComposeWithin(r);
    }
}

void TFrameLayers::ComposeWithin(const TRect& r) {
    // The topmost layer that meets r shows alone there when it covers r.
    for (auto i = FCandidates.rbegin(); i != FCandidates.rend(); ++i) {
        const Layer& layer = FLayers[*i];
        if (!Overlaps(layer.Target, r)) continue;
        if (Holds(layer.Target, r)) {
            DrawRun(layer, r.Left, r.Right, r.Top, r.Bottom);
            return;
        }
        break;
    }
    FClipped.clear();
    for (const std::uint32_t i : FCandidates) {
        Layer layer = FLayers[i];
        if (!Overlaps(layer.Target, r)) continue;
        layer.Target = TRect{std::max(layer.Target.Left, r.Left), std::max(layer.Target.Top, r.Top),
                             std::min(layer.Target.Right, r.Right), std::min(layer.Target.Bottom, r.Bottom)};
        FClipped.push_back(layer);
    }
    Compose(FClipped.data(), FClipped.size());
}

void TFrameLayers::Compose(const Layer* layers, std::size_t count) noexcept {
    for (std::size_t at = 0; at < count; at += MaxLayers) ComposePart(layers + at, std::min(MaxLayers, count - at));
}

void TFrameLayers::ComposePart(const Layer* layers, std::size_t count) noexcept {
    try {
        // Between two neighbouring edges every layer spans the whole stripe or none of it.
        std::vector<int>& edges = FEdges;
        edges.clear();
        edges.reserve(2 * count);
        for (std::size_t i = 0; i < count; ++i) {
            edges.push_back(layers[i].Target.Top);
            edges.push_back(layers[i].Target.Bottom);
        }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        // The columns of the stripe drawn so far, by layers above: disjoint, in order.
        std::vector<std::pair<int, int>>& covered = FCovered;
        // Stripes in the order they lie in memory, as the rows within them.
        const bool bottomUp = FWork.Pixels().Stride < 0;
        for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
            const std::size_t e = bottomUp ? edges.size() - 2 - i : i;
            const int top = edges[e], bottom = edges[e + 1];
            covered.clear();
            for (std::size_t l = count; l-- > 0;) {
                const Layer* layer = layers + l;
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
        for (std::size_t i = 0; i < count; ++i) {
            const Layer& layer = layers[i];
            DrawRun(layer, layer.Target.Left, layer.Target.Right, layer.Target.Top, layer.Target.Bottom);
        }
    }
}

}  // namespace Wipekit::Effects
