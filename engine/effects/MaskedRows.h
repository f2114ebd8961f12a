// Frames drawn a row at a time instead of one small band at a time: the effects whose
// bands repeat across the frame (blinds, checker blinds, spiral) describe the pixels the
// incoming picture covers as rows and columns that are marked, and every row of the frame
// is then copied or selected byte by byte from the two pictures' rows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/effects/EffectKit.h"

namespace Wipekit::Effects {

// One mark per pixel of a line: 1 marked, 0 not.
using TMarks = std::vector<std::uint8_t>;

// Marks, in a line of marks.size() pixels, the spans [o + span.Lo, o + span.Hi) of the
// origins o = 0, period, 2 period, ... below originEnd, as clipped to the line. The work
// is bounded by the line's length, whatever the period and span (period >= 1).
void MarkPeriodicSpans(TMarks& marks, std::int64_t period, std::int64_t originEnd, Span span);

// The pixels where a marked row crosses a marked column.
struct TCrossing {
    TMarks Rows;
    TMarks Columns;
};

// The crossing of marks along an axis's travel with marks across it.
inline TCrossing CrossingOf(const Axis& axis, TMarks along, TMarks across) {
    return axis.Horizontal ? TCrossing{std::move(across), std::move(along)}
                           : TCrossing{std::move(along), std::move(across)};
}

// Draws onto work what CopyBand(work, under, underRect) followed by a CopyBand of over
// onto every pixel of the crossings would draw (the same pixels, clipped to the bitmaps
// the same way), one row at a time, and raises work's change notification once. Each
// crossing's marks span work's height and width; at most two crossings.
void DrawCrossings(TBitmap& work, const TBitmap& under, const TRect64& underRect, const TBitmap& over,
                   std::span<const TCrossing> crossings);

}  // namespace Wipekit::Effects
