// Drawing helpers shared by the effect routines.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "engine/EffectApi.h"

namespace Wipekit::Effects {

using Toolkit::Rect;
using Toolkit::TCopyMode;

// Copies rectangle from of picture src onto rectangle to of work (stretching when the
// two differ in size), clipped to both bitmaps.
inline void Blit(TBitmap& work, const TBitmap& src, const TRect& from, const TRect& to) {
    work.Canvas().CopyRect(to, src.Canvas(), from);
}

// Copies rectangle r of src onto the same rectangle of work.
inline void Uncover(TBitmap& work, const TBitmap& src, const TRect& r) { Blit(work, src, r, r); }

// As Blit, combining source and destination by exclusive-or.
inline void BlitInvert(TBitmap& work, const TBitmap& src, const TRect& from, const TRect& to) {
    auto& canvas = work.Canvas();
    canvas.CopyMode = TCopyMode::cmSrcInvert;
    canvas.CopyRect(to, src.Canvas(), from);
    canvas.CopyMode = TCopyMode::cmSrcCopy;
}

constexpr bool IsHorizontal(TTransitionModifier m) {
    return m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmRight;
}

// tmLeft <-> tmRight, tmUp <-> tmDown.
constexpr TTransitionModifier Mirror(TTransitionModifier m) {
    switch (m) {
        case TTransitionModifier::tmLeft: return TTransitionModifier::tmRight;
        case TTransitionModifier::tmRight: return TTransitionModifier::tmLeft;
        case TTransitionModifier::tmUp: return TTransitionModifier::tmDown;
        case TTransitionModifier::tmDown: return TTransitionModifier::tmUp;
    }
    return m;
}

// The incoming and outgoing pictures of a routine that swaps them itself on Reverse.
struct Pictures {
    const TBitmap& In;
    const TBitmap& Out;
};

inline Pictures ByDirection(const TBitmap& from, const TBitmap& to, bool reverse) {
    return reverse ? Pictures{from, to} : Pictures{to, from};
}

// ---------------------------------------------------------------------------------------
// Band geometry in 64 bits. Effects add, subtract and double 32-bit frames and Delta
// values (x + Delta, 2s - d, L - f); doing that in 64 bits and clipping exactly draws
// the same pixels as unbounded arithmetic would, with no overflow for any input.

// The interval [Lo, Hi) along one axis; empty when Hi <= Lo.
struct Span {
    std::int64_t Lo;
    std::int64_t Hi;
};

// (Left, Top, Right, Bottom), Right and Bottom exclusive, in 64-bit coordinates.
struct TRect64 {
    std::int64_t Left;
    std::int64_t Top;
    std::int64_t Right;
    std::int64_t Bottom;
};

// Copies rectangle from of src pixel for pixel onto rectangle to of work, the two of
// equal size. As Blit without stretching: only the pixels that lie inside both bitmaps
// are copied, whatever the range of the coordinates.
inline void CopyBand(TBitmap& work, const TBitmap& src, const TRect64& from, const TRect64& to) {
    assert(to.Right - to.Left == from.Right - from.Left && to.Bottom - to.Top == from.Bottom - from.Top);
    const std::int64_t dx = from.Left - to.Left;
    const std::int64_t dy = from.Top - to.Top;
    const std::int64_t left = std::max({to.Left, std::int64_t(0), -dx});
    const std::int64_t top = std::max({to.Top, std::int64_t(0), -dy});
    const std::int64_t right = std::min({to.Right, std::int64_t(work.Width()), src.Width() - dx});
    const std::int64_t bottom = std::min({to.Bottom, std::int64_t(work.Height()), src.Height() - dy});
    if (right <= left || bottom <= top) return;
    // Every coordinate now lies within one of the two bitmaps.
    Blit(work, src, Rect(int(left + dx), int(top + dy), int(right + dx), int(bottom + dy)),
         Rect(int(left), int(top), int(right), int(bottom)));
}

// Copies rectangle r of src onto the same rectangle of work.
inline void UncoverBand(TBitmap& work, const TBitmap& src, const TRect64& r) { CopyBand(work, src, r, r); }

// The travel of an effect that moves or wipes along x (Horizontal) or y, entering at
// the near edge (left or top) or, with FromFar, at the far edge (right or bottom).
// Geometry is written once, for entry at the near edge; FromFar mirrors every span
// along the travel within the extent it is measured in.
struct Axis {
    bool Horizontal;
    bool FromFar;

    std::int64_t Travel(std::int64_t w, std::int64_t h) const { return Horizontal ? w : h; }
    std::int64_t Across(std::int64_t w, std::int64_t h) const { return Horizontal ? h : w; }

    // Rectangle of the span along the travel (seen from the entry edge of an extent)
    // and the span across it.
    TRect64 Band(Span along, std::int64_t extent, Span across) const {
        const Span a = FromFar ? Span{extent - along.Hi, extent - along.Lo} : along;
        return Horizontal ? TRect64{a.Lo, across.Lo, a.Hi, across.Hi} : TRect64{across.Lo, a.Lo, across.Hi, a.Hi};
    }
};

// The axis of a motion in direction m: tmLeft and tmUp move towards the near edge, so
// they enter at the far one.
constexpr Axis MotionAxis(TTransitionModifier m) {
    return Axis{IsHorizontal(m), m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmUp};
}

// Slides picture in at the entry edge of axis, depth pixels deep: the part of the
// picture nearest its far side (measured in srcExtent) shows at the entry edge of the
// frame (measured in dstExtent).
inline void SlideIn(TBitmap& work, const TBitmap& picture, const Axis& axis, Span across, std::int64_t depth,
                    std::int64_t srcExtent, std::int64_t dstExtent) {
    CopyBand(work, picture, axis.Band({srcExtent - depth, srcExtent}, srcExtent, across),
             axis.Band({0, depth}, dstExtent, across));
}

// Split motions open about the centre line for tmLeft and tmUp and close in from both
// edges for tmRight and tmDown.
constexpr bool SplitsOutward(TTransitionModifier m) {
    return m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmUp;
}

struct SpanPair {
    Span First;
    Span Second;
};

// The two spans, each depth deep, of a travel of twice half that opens about its
// centre line (outward) or closes in from both edges (inward).
constexpr SpanPair SplitSpans(bool outward, std::int64_t half, std::int64_t depth) {
    return outward ? SpanPair{{half - depth, half}, {half, half + depth}}
                   : SpanPair{{0, depth}, {2 * half - depth, 2 * half}};
}

// ---------------------------------------------------------------------------------------
// Frame limits of the cell and level effects.

// Delta as the size of a cell, blind or ring. A routine called directly with a Delta
// below 1 treats it as 1, so that loops advancing by it end and nothing divides by zero.
constexpr std::int64_t CellSize(std::int32_t delta) { return delta < 1 ? 1 : delta; }

// Whether frame f has reached a last frame computed in 64 bits (2 x Delta, Delta x Delta).
// A last frame beyond the 32-bit frame range is reached at the largest frame instead, so
// that such a run still ends.
constexpr bool ReachedEnd(std::int32_t f, std::int64_t last) {
    return f >= std::min<std::int64_t>(last, INT32_MAX);
}

// Routines whose rectangles grow without bound as the frame goes negative draw frames
// below this one as this one: with sides of at most 32768 pixels their coordinates then
// stay within 32 bits.
constexpr std::int32_t LowestFrame = -(1 << 30);

}  // namespace Wipekit::Effects
