// The 3-D drawing routines shared by the colour button, the pop-up and its dialog button.
#include "colorpicker/Drawing.h"

namespace W95Color {

using namespace Toolkit;

void FillWith(TCanvas& canvas, const TRect& r, TColor color) {
    const TBrush saved = canvas.Brush;
    canvas.Brush = TBrush{color, TBrushStyle::bsSolid};
    canvas.FillRect(r);
    canvas.Brush = saved;
}

void FrameWith(TCanvas& canvas, const TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    FillWith(canvas, Rect(r.Left, r.Top, r.Right, r.Top + 1), color);
    FillWith(canvas, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), color);
    FillWith(canvas, Rect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), color);
    FillWith(canvas, Rect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1), color);
}

void DrawEtchedLine(TCanvas& canvas, const TRect& line, int dx, int dy) {
    FillWith(canvas, line, clBtnShadow);
    FillWith(canvas, Offset(line, dx, dy), clBtnHighlight);
}

namespace {

// Pixels of the axis-parallel segment from a towards b, b itself left out, as a
// one-pixel pen draws a line.
TRect SegmentPixels(TPoint a, TPoint b) {
    if (a.Y == b.Y)
        return b.X >= a.X ? Rect(a.X, a.Y, b.X, a.Y + 1) : Rect(b.X + 1, a.Y, a.X + 1, a.Y + 1);
    return b.Y >= a.Y ? Rect(a.X, a.Y, a.X + 1, b.Y) : Rect(a.X, b.Y + 1, a.X + 1, a.Y + 1);
}

// Joined axis-parallel segments in the pen colour; the last point is not drawn.
void Polyline(TCanvas& canvas, TPoint a, TPoint b, TPoint c) {
    FillWith(canvas, SegmentPixels(a, b), canvas.Pen.Color);
    FillWith(canvas, SegmentPixels(b, c), canvas.Pen.Color);
}

}  // namespace

void DrawFrame3D(TCanvas& canvas, TRect& r, TColor top, TColor bottom, int width) {
    --r.Right;
    --r.Bottom;
    for (int i = 0; i < width; ++i) {
        canvas.Pen.Color = top;
        Polyline(canvas, {r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top});
        canvas.Pen.Color = bottom;
        Polyline(canvas, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom});
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
    ++r.Right;
    ++r.Bottom;
}

TRect DrawButtonFace(TCanvas& canvas, const TRect& r, int bevel, bool pressed) {
    canvas.Pen = TPen{clBtnFace, TPenStyle::psSolid};
    canvas.Brush = TBrush{clBtnFace, TBrushStyle::bsSolid};
    canvas.Rectangle(r);
    TRect inner = r;
    if (pressed) {
        DrawFrame3D(canvas, inner, clBtnShadow, clBtnHighlight, bevel);
        DrawFrame3D(canvas, inner, clWindowFrame, clBtnFace, bevel);
    } else {
        DrawFrame3D(canvas, inner, clBtnHighlight, clWindowFrame, bevel);
        DrawFrame3D(canvas, inner, clBtnFace, clBtnShadow, bevel);
    }
    return inner;
}

void DrawDropArrow(TCanvas& canvas, const TRect& r) {
    const int rows = (r.Bottom - r.Top) / 2;
    const int x0 = r.Left + (r.Right - r.Left + 1) / 2;
    const int base = r.Bottom - (r.Bottom - r.Top - 1) / 4;
    for (int a = rows; a >= 1; --a) FillWith(canvas, Rect(x0 - a, base - a, x0 + a - 1, base - a + 1), clBlack);
}

void DrawFocusRect(TCanvas& canvas, const TRect& r) {
    if (r.IsEmpty()) return;
    auto invert = [&canvas](int x, int y) {
        if ((x + y) % 2 != 0) return;
        const TColor c = canvas.Pixel(x, y);
        if (c != clNone) canvas.SetPixel(x, y, c ^ 0xFFFFFF);
    };
    // Each outline pixel once, also when the rectangle is one pixel wide or high.
    for (int x = r.Left; x < r.Right; ++x) {
        invert(x, r.Top);
        if (r.Bottom - 1 > r.Top) invert(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        invert(r.Left, y);
        if (r.Right - 1 > r.Left) invert(r.Right - 1, y);
    }
}

}  // namespace W95Color
