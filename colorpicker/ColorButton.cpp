// Push buttons: the colour button's paint, press tracking, and where its pop-up opens.
#include "colorpicker/Drawing.h"

namespace W95Color {

using namespace Toolkit;

namespace {

constexpr int Bevel = 1;
// Inset of the focus rectangle from the button's edges.
constexpr int FocusInset = 2;
// The swatch sits left of the arrow: its outline from (SwatchInset, SwatchInset) to
// (width - SwatchRightInset, height - SwatchBottomInset), both inclusive.
constexpr int SwatchInset = 5;
constexpr int SwatchRightInset = 15;
constexpr int SwatchBottomInset = 7;
// The arrow's box: its last ArrowBoxWidth columns, ArrowHalfHeight rows around the middle.
constexpr int ArrowBoxWidth = 12;
constexpr int ArrowHalfHeight = 3;
// Columns of the etched separator to the right of the swatch outline.
constexpr int SeparatorGap = 3;

}  // namespace

TRect FocusRect(int width, int height, bool pressed) {
    const TRect r = Rect(FocusInset, FocusInset, width - FocusInset - 1, height - FocusInset - 1);
    return pressed ? Offset(r, 1, 1) : r;
}

void PaintButtonFrame(TCanvas& canvas, int width, int height, bool pressed, bool focused) {
    DrawButtonFace(canvas, Rect(0, 0, width, height), Bevel, pressed);
    if (focused) DrawFocusRect(canvas, FocusRect(width, height, pressed));
}

TRect CaptionRect(int width, int height, bool pressed, bool focused) {
    // The face's interior, or the focus rectangle drawn inside it; the caption starts a
    // fifth of its bottom edge down, and one pixel lower while pressed.
    const int inner = 2 * Bevel;
    TRect r = focused ? FocusRect(width, height, pressed) : Rect(inner, inner, width - inner, height - inner);
    r.Top = r.Bottom / 5;
    return pressed ? Offset(r, 0, 1) : r;
}

void PaintColorButton(TCanvas& canvas, int width, int height, TColor color, bool pressed, bool focused,
                      bool enabled) {
    PaintButtonFrame(canvas, width, height, pressed, focused);
    const int shift = pressed ? 1 : 0;
    DrawDropArrow(canvas, Offset(Rect(width - ArrowBoxWidth, height / 2 - ArrowHalfHeight, width,
                                      height / 2 + ArrowHalfHeight),
                                 shift, shift));

    // s holds the swatch outline's last column and row, so the outline spans s inclusive.
    const TRect s = Offset(Rect(SwatchInset, SwatchInset, width - SwatchRightInset, height - SwatchBottomInset),
                           shift, shift);
    canvas.Pen = TPen{clBlack, TPenStyle::psSolid};
    canvas.Rectangle(s.Left, s.Top, s.Right + 1, s.Bottom + 1);
    DrawEtchedLine(canvas, Rect(s.Right + SeparatorGap, s.Top, s.Right + SeparatorGap + 1, s.Bottom + 1), 1, 0);
    FillWith(canvas, Rect(s.Left + 1, s.Top + 1, s.Right, s.Bottom), enabled ? color : clBtnFace);
}

// ---------------------------------------------------------------------------------------

bool TPushTracker::LeftDown(bool enabled) {
    if (!enabled) return false;
    FPressed = true;
    FTracking = true;
    return true;
}

bool TPushTracker::Move(int x, int y, int width, int height) {
    if (!FTracking) return false;
    // The bottom edge counts as inside: a release there still clicks.
    const bool inside = x >= 0 && x < width && y >= 0 && y <= height;
    if (inside == FPressed) return false;
    FPressed = inside;
    return true;
}

bool TPushTracker::LeftUp() {
    if (!FTracking) return false;
    FTracking = false;
    FPressed = false;
    return true;
}

TPushKeyAction TPushTracker::KeyDown(std::uint16_t key, bool enabled) const {
    if (!enabled) return TPushKeyAction::None;
    if (key == VkSpace && !FPressed) return TPushKeyAction::MouseDown;
    if (key == VkReturn) return TPushKeyAction::Click;
    return TPushKeyAction::None;
}

TPushKeyAction TPushTracker::KeyUp(std::uint16_t key, bool enabled) const {
    return enabled && key == VkSpace ? TPushKeyAction::MouseUpThenClick : TPushKeyAction::None;
}

// ---------------------------------------------------------------------------------------

TRect PopupPlacement(const TRect& button, const TRect& work) {
    int left = button.Left;
    if (left + PopupWidth > work.Right) left = work.Right - PopupWidth;
    if (left < work.Left) left = work.Left;

    const int roomBelow = work.Bottom - button.Bottom, roomAbove = button.Top - work.Top;
    int top = button.Bottom;
    if (roomBelow < PopupHeight && (roomAbove >= PopupHeight || roomAbove > roomBelow)) top = button.Top - PopupHeight;
    // Fitting on neither side: into the work area, over the button.
    if (top + PopupHeight > work.Bottom) top = work.Bottom - PopupHeight;
    if (top < work.Top) top = work.Top;
    return Rect(left, top, left + PopupWidth, top + PopupHeight);
}

}  // namespace W95Color
