// The colour button: its paint in exact pixels, press tracking, and where its pop-up opens.
#include <gtest/gtest.h>

#include <cstdlib>

#include "colorpicker/W95ColorCore.h"
#include "support/Fixtures.h"

using namespace Toolkit;
using namespace W95Color;
using Fixtures::ColorPx;
using Fixtures::FrameEquals;
using Fixtures::Px;

namespace {

constexpr TColor Swatch = 0x123456;  // no system colour resolves to it

// Where a painted colour button shows what, written out per case.
struct ButtonCase {
    const char* name;
    int W, H;
    bool pressed, enabled;
    TRect swatch;     // inside the black outline
    int separatorX;   // shadow column; the highlight column follows
    int arrowTop;     // rows 5, 3 and 1 pixels wide from here down
    int arrowCentre;
};

Px Expected(const ButtonCase& c, int x, int y) {
    const bool p = c.pressed;
    if (x == c.W - 1 || y == c.H - 1) return ColorPx(p ? clBtnHighlight : clWindowFrame);
    if (x == 0 || y == 0) return ColorPx(p ? clBtnShadow : clBtnHighlight);
    if (x == c.W - 2 || y == c.H - 2) return ColorPx(p ? clBtnFace : clBtnShadow);
    if (p && (x == 1 || y == 1)) return ColorPx(clWindowFrame);
    const TRect& s = c.swatch;
    if (x >= s.Left && x < s.Right && y >= s.Top && y < s.Bottom) return ColorPx(c.enabled ? Swatch : clBtnFace);
    const bool outlineRows = y >= s.Top - 1 && y <= s.Bottom;
    if (outlineRows && x >= s.Left - 1 && x <= s.Right) return ColorPx(clBlack);
    if (outlineRows && x == c.separatorX) return ColorPx(clBtnShadow);
    if (outlineRows && x == c.separatorX + 1) return ColorPx(clBtnHighlight);
    const int row = y - c.arrowTop;
    if (row >= 0 && row < 3 && std::abs(x - c.arrowCentre) <= 2 - row) return ColorPx(clBlack);
    return ColorPx(clBtnFace);
}

TBitmap& Painted(TBitmap& b, int w, int h, bool pressed, bool focused, bool enabled) {
    b.SetSize(w, h);
    PaintColorButton(b.Canvas(), w, h, Swatch, pressed, focused, enabled);
    return b;
}

}  // namespace

TEST(ColorButton, PaintsFaceSwatchSeparatorAndArrow) {
    const ButtonCase cases[] = {
        {"46 x 24", 46, 24, false, true, Rect(6, 6, 31, 17), 34, 11, 39},
        {"46 x 22", 46, 22, false, true, Rect(6, 6, 31, 15), 34, 10, 39},
        {"pressed", 46, 24, true, true, Rect(7, 7, 32, 18), 35, 12, 40},
        {"disabled", 46, 24, false, false, Rect(6, 6, 31, 17), 34, 11, 39},
        {"60 x 30", 60, 30, false, true, Rect(6, 6, 45, 23), 48, 14, 53},
    };
    for (const auto& c : cases) {
        TBitmap b;
        Painted(b, c.W, c.H, c.pressed, false, c.enabled);
        EXPECT_TRUE(FrameEquals(b, c.W, c.H, [&](int x, int y) { return Expected(c, x, y); })) << c.name;
    }
}

TEST(ColorButton, FocusInvertsEveryOtherPixelOfItsRectangle) {
    struct Case {
        bool pressed;
        TRect focus;
    } const cases[] = {{false, Rect(2, 2, 43, 21)}, {true, Rect(3, 3, 44, 22)}};
    for (const auto& c : cases) {
        TBitmap plain, focused;
        Painted(plain, 46, 24, c.pressed, false, true);
        Painted(focused, 46, 24, c.pressed, true, true);
        const TRect& f = c.focus;
        EXPECT_TRUE(FrameEquals(focused, 46, 24, [&](int x, int y) {
            const bool inside = x >= f.Left && x < f.Right && y >= f.Top && y < f.Bottom;
            const bool edge = x == f.Left || x == f.Right - 1 || y == f.Top || y == f.Bottom - 1;
            Px p = Fixtures::PixelOf(plain, x, y);
            if (inside && edge && (x + y) % 2 == 0) p = Px{std::uint8_t(~p.B), std::uint8_t(~p.G), std::uint8_t(~p.R)};
            return p;
        })) << "pressed " << c.pressed;
    }
}

TEST(ColorButton, CaptionStartsAFifthDownItsRectangle) {
    // The pop-up's dialog button, 53 x 22.
    struct Case {
        bool pressed, focused;
        TRect caption;
    } const cases[] = {
        {false, false, Rect(2, 4, 51, 20)},
        {true, false, Rect(2, 5, 51, 21)},
        {false, true, Rect(2, 3, 50, 19)},
        {true, true, Rect(3, 5, 51, 21)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaptionRect(53, 22, c.pressed, c.focused), c.caption) << c.pressed << c.focused;
}

TEST(PushTracker, PressedFollowsThePointerWhileTracking) {
    enum Op { Down, DownDisabled, Move, Up };
    struct Step {
        Op op;
        int x, y;
        bool repaint, pressed, tracking;
    } const steps[] = {
        {Move, 10, 10, false, false, false},  // not tracking yet
        {DownDisabled, 0, 0, false, false, false},
        {Down, 0, 0, true, true, true},
        {Move, 10, 10, false, true, true},
        {Move, 46, 10, true, false, true},  // x = width is outside
        {Move, 45, 24, true, true, true},   // y = height still inside
        {Move, 45, 25, true, false, true},
        {Move, -1, 5, false, false, true},
        {Move, 0, 0, true, true, true},
        {Up, 0, 0, true, false, false},
        {Move, 5, 5, false, false, false},
        {Up, 0, 0, false, false, false},
    };
    TPushTracker t;
    int n = 0;
    for (const auto& s : steps) {
        bool repaint = false;
        switch (s.op) {
            case Down: repaint = t.LeftDown(true); break;
            case DownDisabled: repaint = t.LeftDown(false); break;
            case Move: repaint = t.Move(s.x, s.y, 46, 24); break;
            case Up: repaint = t.LeftUp(); break;
        }
        EXPECT_EQ(repaint, s.repaint) << "step " << n;
        EXPECT_EQ(t.Pressed(), s.pressed) << "step " << n;
        EXPECT_EQ(t.Tracking(), s.tracking) << "step " << n;
        ++n;
    }
}

TEST(PushTracker, SpacePressesAndReleasesEnterClicks) {
    using A = TPushKeyAction;
    struct Case {
        std::uint16_t key;
        bool enabled, pressed;
        A down, up;
    } const cases[] = {
        {VkSpace, true, false, A::MouseDown, A::MouseUpThenClick},
        {VkSpace, true, true, A::None, A::MouseUpThenClick},
        {VkReturn, true, false, A::Click, A::None},
        {VkReturn, true, true, A::Click, A::None},
        {VkSpace, false, false, A::None, A::None},
        {VkReturn, false, false, A::None, A::None},
        {VkEscape, true, false, A::None, A::None},
        {'A', true, false, A::None, A::None},
    };
    for (const auto& c : cases) {
        TPushTracker t;
        if (c.pressed) t.LeftDown(true);
        EXPECT_EQ(t.KeyDown(c.key, c.enabled), c.down) << c.key << " " << c.enabled << c.pressed;
        EXPECT_EQ(t.KeyUp(c.key, c.enabled), c.up) << c.key << " " << c.enabled << c.pressed;
    }
}

// Where the pop-up (78 x 128) opens for a 46 x 24 button, inside the work area of the
// button's monitor.
TEST(PopupPlacement, OpensBelowOrAboveTheButtonInsideTheWorkArea) {
    constexpr int W = 46, H = 24;
    constexpr TRect Screen = Rect(0, 0, 800, 600);
    struct Case {
        const char* where;
        TRect work;
        TPoint button;  // its top-left corner on the screen
        TPoint popup;   // the pop-up's
    } const cases[] = {
        {"middle", Screen, {100, 100}, {100, 124}},
        {"right edge", Screen, {780, 100}, {722, 124}},
        {"left edge", Screen, {-20, 100}, {0, 124}},
        {"left edge at -1", Screen, {-1, 100}, {0, 124}},
        {"just fits at the right", Screen, {722, 100}, {722, 124}},
        {"one past the right", Screen, {723, 100}, {722, 124}},
        {"bottom edge", Screen, {100, 550}, {100, 422}},
        {"just fits at the bottom", Screen, {100, 448}, {100, 472}},
        {"one past the bottom", Screen, {100, 449}, {100, 321}},
        {"bottom-right corner", Screen, {780, 550}, {722, 422}},
        {"bottom-left corner", Screen, {-20, 550}, {0, 422}},
        {"top-right corner", Screen, {780, -5}, {722, 19}},
        {"top-left corner", Screen, {-20, -5}, {0, 19}},
        // A work area away from the screen's origin: its own edges count.
        {"offset work area, left of it", Rect(100, 50, 900, 650), {90, 300}, {100, 324}},
        {"offset work area, at its bottom", Rect(100, 50, 900, 650), {500, 540}, {500, 412}},
        {"offset work area, at its right", Rect(100, 50, 900, 650), {880, 300}, {822, 324}},
        // A second monitor left of and above the first.
        {"second monitor, middle", Rect(-1280, -200, 0, 824), {-700, 100}, {-700, 124}},
        {"second monitor, at its right", Rect(-1280, -200, 0, 824), {-60, 300}, {-78, 324}},
        {"second monitor, at its bottom", Rect(-1280, -200, 0, 824), {-60, 700}, {-78, 572}},
        {"second monitor, at its top-left", Rect(-1280, -200, 0, 824), {-1290, -210}, {-1280, -186}},
        // A task bar takes the screen's bottom or left: the pop-up stays off it.
        {"task bar at the bottom", Rect(0, 0, 1024, 728), {100, 596}, {100, 468}},
        {"above a task bar, just fits", Rect(0, 0, 1024, 728), {100, 576}, {100, 600}},
        {"task bar at the left", Rect(60, 0, 1024, 768), {40, 300}, {60, 324}},
        // Room for it on neither side: the roomier side, pushed into the work area.
        {"short work area, more room below", Rect(0, 0, 800, 200), {100, 70}, {100, 72}},
        {"short work area, more room above", Rect(0, 0, 800, 200), {100, 110}, {100, 0}},
        {"short work area, even", Rect(0, 0, 800, 150), {100, 63}, {100, 22}},
        {"button below the work area", Rect(0, 0, 800, 600), {100, 700}, {100, 472}},
    };
    for (const auto& c : cases) {
        const TRect button = Rect(c.button.X, c.button.Y, c.button.X + W, c.button.Y + H);
        const TRect popup = PopupPlacement(button, c.work);
        EXPECT_EQ(popup, Rect(c.popup.X, c.popup.Y, c.popup.X + PopupWidth, c.popup.Y + PopupHeight)) << c.where;
        EXPECT_EQ(Intersect(popup, c.work), popup) << c.where << ": not inside the work area";
        if (popup.Top >= button.Bottom || popup.Bottom <= button.Top) continue;
        EXPECT_TRUE(popup.Top == c.work.Top || popup.Bottom == c.work.Bottom)
            << c.where << ": covers the button while there is room beside it";
    }
}

// A work area smaller than the pop-up holds its left and top edges.
TEST(PopupPlacement, AWorkAreaSmallerThanThePopUpHoldsItsTopLeft) {
    EXPECT_EQ(PopupPlacement(Rect(30, 40, 76, 64), Rect(10, 20, 60, 100)), Rect(10, 20, 10 + PopupWidth, 20 + PopupHeight));
}
