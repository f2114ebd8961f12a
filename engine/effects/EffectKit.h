// What the effect routines share: the one copy, band geometry, direction as an Axis and
// the generated forward and reverse routines.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/EffectApi.h"

namespace Wipekit::Effects {

using Toolkit::Rect;
using Toolkit::TCopyMode;

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
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;

    constexpr TRect64() = default;
    constexpr TRect64(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom) {}
    constexpr TRect64(const TRect& r) : Left(r.Left), Top(r.Top), Right(r.Right), Bottom(r.Bottom) {}

    constexpr std::int64_t Width() const { return Right - Left; }
    constexpr std::int64_t Height() const { return Bottom - Top; }
};

// Copies rectangle from of src onto rectangle to of work, combined by mode; every effect
// draws through it. Rectangles of one size are copied pixel for pixel, whatever the range of their
// coordinates, and only the pixels that lie inside both bitmaps are drawn. Rectangles of
// different sizes (which must have 32-bit coordinates) are stretched by the canvas's
// nearest-neighbour copy, clipped to both bitmaps.
void CopyBand(TBitmap& work, const TBitmap& src, const TRect64& from, const TRect64& to,
              TCopyMode mode = TCopyMode::cmSrcCopy);

// The part of a copy of rectangle from of src onto rectangle to of work, rectangles of one
// size, that lies inside both bitmaps: its target, whose pixel (x, y) comes from src's
// (x + dx, y + dy). False when no pixel does.
bool ClipBand(const TBitmap& work, const TBitmap& src, const TRect64& from, const TRect64& to, TRect& target,
              int& dx, int& dy);
// Copies rectangle r of src onto the same rectangle of work.
inline void CopyBand(TBitmap& work, const TBitmap& src, const TRect64& r) { CopyBand(work, src, r, r); }

// ---------------------------------------------------------------------------------------
// Direction. Routines never test the modifier themselves: they read it once into an Axis.

// The travel of an effect that moves or wipes along x (Horizontal) or y, entering at
// the near edge (left or top) or, with FromFar, at the far edge (right or bottom).
// Geometry is written once, for entry at the near edge; FromFar mirrors every span
// along the travel within the extent it is measured in.
struct Axis {
    bool Horizontal;
    bool FromFar;

    constexpr std::int64_t Travel(std::int64_t w, std::int64_t h) const { return Horizontal ? w : h; }
    constexpr std::int64_t Across(std::int64_t w, std::int64_t h) const { return Horizontal ? h : w; }
    constexpr Axis Mirrored() const { return Axis{Horizontal, !FromFar}; }

    // Rectangle of the span along the travel, as it lies, and the span across it.
    constexpr TRect64 Place(Span along, Span across) const {
        return Horizontal ? TRect64{along.Lo, across.Lo, along.Hi, across.Hi}
                          : TRect64{across.Lo, along.Lo, across.Hi, along.Hi};
    }
    // Rectangle of the span along the travel (seen from the entry edge of an extent)
    // and the span across it.
    constexpr TRect64 Band(Span along, std::int64_t extent, Span across) const {
        return Place(FromFar ? Span{extent - along.Hi, extent - along.Lo} : along, across);
    }

    // A motion split in two halves about the centre line opens outward from it where a
    // single motion enters at the far edge (tmLeft, tmUp), and closes in from both edges
    // otherwise. Its spans are placed as they lie, never mirrored.
    constexpr bool SplitsOutward() const { return FromFar; }
};

// The axis of a motion in direction m: tmLeft and tmUp move towards the near edge, so
// they enter at the far one.
constexpr Axis MotionAxis(TTransitionModifier m) {
    return Axis{m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmRight,
                m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmUp};
}

// The axis along which blinds open: from each blind's left edge for tmLeft, its right
// edge for tmRight, its bottom edge for tmUp and its top edge for tmDown. Blinds are laid
// from the edge the openings grow away from, so a narrower last one lies at the other side.
constexpr Axis BlindAxis(TTransitionModifier m) {
    const Axis motion = MotionAxis(m);
    return motion.Horizontal ? motion.Mirrored() : motion;
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
// Forward and reverse routines of the operations whose reverse run is a routine of its
// own: both call draw(FromBitmap, ToBitmap, WorkBitmap, params, backwards), which plays
// the forward run from its end back to its start when backwards is set.
#define WIPEKIT_FORWARD_AND_REVERSE(forward, reverse, ...)                                             \
    bool forward(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,              \
                 TTransitionParams* Params) {                                                          \
        return __VA_ARGS__(FromBitmap, ToBitmap, WorkBitmap, *Params, false);                          \
    }                                                                                                  \
    bool reverse(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,              \
                 TTransitionParams* Params) {                                                          \
        return __VA_ARGS__(FromBitmap, ToBitmap, WorkBitmap, *Params, true);                           \
    }

// ---------------------------------------------------------------------------------------
// Frame limits of the cell and level effects.

// Reports frame as the one the routine clamped its copy of CurrentFrame to (see
// TTransitionParams::ClampedFrame). A frame beyond 32 bits is reported as the largest
// one, which every routine draws and ends on as it does the frame itself.
inline void ReportFrame(TTransitionParams& params, std::int64_t frame) {
    params.ClampedFrame = std::int32_t(std::clamp<std::int64_t>(frame, INT32_MIN, INT32_MAX));
}

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
