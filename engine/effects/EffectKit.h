// Drawing helpers shared by the effect routines.
#pragma once

#include "engine/Wipekit.h"

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

// Raised by a table row whose routine is not part of this build.
[[noreturn]] void NotBuilt(TTransitionOperation op);

}  // namespace Wipekit::Effects
