// Helpers of the W95Color routines, for their own source files only.
#pragma once

#include "colorpicker/W95ColorCore.h"

namespace W95Color {

// Fills r with color, leaving the canvas's brush as it was.
void FillWith(TCanvas& canvas, const TRect& r, TColor color);
// A one-pixel outline just inside r in color.
void FrameWith(TCanvas& canvas, const TRect& r, TColor color);

// An etched line: line in button shadow, and beside it, moved by (dx, dy), in button
// highlight.
void DrawEtchedLine(TCanvas& canvas, const TRect& line, int dx, int dy);

constexpr TRect Offset(const TRect& r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace W95Color
