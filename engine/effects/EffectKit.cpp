#include "engine/effects/EffectKit.h"

#include <cassert>

namespace Wipekit::Effects {

namespace {

// Rectangles of a stretching copy; their coordinates are 32-bit by contract.
TRect Narrow(const TRect64& r) {
    assert(r.Left >= INT32_MIN && r.Top >= INT32_MIN && r.Right <= INT32_MAX && r.Bottom <= INT32_MAX);
    return Rect(int(r.Left), int(r.Top), int(r.Right), int(r.Bottom));
}

}  // namespace

bool ClipBand(const TBitmap& work, const TBitmap& src, const TRect64& from, const TRect64& to, TRect& target,
              int& dx, int& dy) {
    // Clip to both bitmaps first: every coordinate then lies within one of them.
    const std::int64_t ox = from.Left - to.Left;
    const std::int64_t oy = from.Top - to.Top;
    const std::int64_t left = std::max({to.Left, std::int64_t(0), -ox});
    const std::int64_t top = std::max({to.Top, std::int64_t(0), -oy});
    const std::int64_t right = std::min({to.Right, std::int64_t(work.Width()), src.Width() - ox});
    const std::int64_t bottom = std::min({to.Bottom, std::int64_t(work.Height()), src.Height() - oy});
    if (right <= left || bottom <= top) return false;
    target = Rect(int(left), int(top), int(right), int(bottom));
    dx = int(ox);
    dy = int(oy);
    return true;
}

void CopyBand(TBitmap& work, const TBitmap& src, const TRect64& from, const TRect64& to, TCopyMode mode) {
    TRect source = {}, target = {};
    if (from.Width() == to.Width() && from.Height() == to.Height()) {
        int dx = 0, dy = 0;
        if (!ClipBand(work, src, from, to, target, dx, dy)) return;
        source = Rect(target.Left + dx, target.Top + dy, target.Right + dx, target.Bottom + dy);
    } else {
        source = Narrow(from);
        target = Narrow(to);
    }
    auto& canvas = work.Canvas();
    const TCopyMode previous = canvas.CopyMode;
    canvas.CopyMode = mode;
    canvas.CopyRect(target, src.Canvas(), source);
    canvas.CopyMode = previous;
}

}  // namespace Wipekit::Effects
