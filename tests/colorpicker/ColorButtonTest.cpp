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

TEST(PopupOrigin, OpensBelowOrAboveAndStaysOnTheScreen) {
    constexpr int SW = 800, SH = 600, H = 24;
    struct Case {
        const char* where;
        TPoint client;  // the button's client (0, 0) on the screen
        TPoint origin;
    } const cases[] = {
        {"middle", {100, 100}, {101, 122}},
        {"right edge", {780, 100}, {723, 122}},
        {"left edge", {-20, 100}, {1, 122}},
        {"bottom edge", {100, 550}, {101, 420}},
        {"bottom-right corner", {780, 550}, {723, 420}},
        {"bottom-left corner", {-20, 550}, {1, 420}},
        {"top-right corner", {780, -5}, {723, 17}},
        {"top-left corner", {-20, -5}, {1, 17}},
        {"just fits at the right", {721, 100}, {722, 122}},
        {"just fits at the bottom", {100, 450}, {101, 472}},
        {"left edge at 0", {-1, 100}, {0, 122}},
    };
    for (const auto& c : cases) EXPECT_EQ(PopupOrigin(c.client, H, SW, SH), c.origin) << c.where;

    // Near the bottom-right corner: above the button, right edge on the screen's.
    const TRect bounds = PopupBounds(PopupOrigin({780, 550}, H, SW, SH));
    EXPECT_EQ(bounds, Rect(SW - PopupWidth, 550 - PopupHeight, SW, 550));
    EXPECT_EQ(PopupBounds(PopupOrigin({-20, 100}, H, SW, SH)).Left, 0);
    EXPECT_EQ(PopupBounds(PopupOrigin({100, 100}, H, SW, SH)), Rect(100, 124, 178, 252));
}
