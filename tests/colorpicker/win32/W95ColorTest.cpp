// The colour picker on real windows, driven with mouse and key messages as a user would:
// the button's pixels on the screen, press tracking, Space and Enter, where the pop-up
// opens, choosing a cell, closing without a choice, and the colour dialog behind
// "More...".
#include <gtest/gtest.h>

#include <colordlg.h>

#include <optional>
#include <string>
#include <vector>

#include "colorpicker/W95Color.h"
#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace W95Color;
using namespace WinFixtures;
using Fixtures::ColorPx;
using Fixtures::FrameEquals;
using Fixtures::PixelOf;
using Fixtures::Px;

namespace {

constexpr TColor Swatch = 0x123456;  // outside the palette; no system colour resolves to it
constexpr int ButtonX = 10, ButtonY = 10;

void Send(HWND hwnd, UINT msg, int x, int y) {
    const WPARAM buttons = msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE ? MK_LBUTTON : 0;
    SendMessageW(hwnd, msg, buttons, MAKELPARAM(x, y));
}

// Posted, so that the forms' keyboard handling sees it as it sees typing.
void PostKey(HWND hwnd, UINT msg, WPARAM key) {
    const LPARAM flags = msg == WM_KEYUP ? LPARAM(0xC0000001) : msg == WM_SYSCHAR ? LPARAM(1) << 29 : 1;
    PostMessageW(hwnd, msg, key, flags);
    PumpFor(30);
}

// The window's client area on the screen shows expected (but in skip).
::testing::AssertionResult Shows(HWND hwnd, const TBitmap& expected, const TRect& skip = TRect{}) {
    TBitmap shot;
    CaptureWindow(hwnd, Rect(0, 0, expected.Width(), expected.Height()), shot);
    return FrameEquals(shot, expected.Width(), expected.Height(), [&](int x, int y) {
        const bool skipped = x >= skip.Left && x < skip.Right && y >= skip.Top && y < skip.Bottom;
        return skipped ? PixelOf(shot, x, y) : PixelOf(expected, x, y);
    });
}

TPoint Centre(int cell) {
    const TRect r = CellRect(cell);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

class ColorPicker : public ::testing::Test {
protected:
    void SetUp() override {
        // The pointer out of the way: a window appearing under it would get its moves.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, 0);
        host = new TForm(nullptr);
        host->SetBorderStyle(TFormBorderStyle::bsNone);  // client origin = window origin
        host->SetPosition(TPosition::poDesigned);
        host->SetBounds(100, 100, 200, 100);
        button = new TWin95ColorButton(host);
        button->SetLeft(ButtonX);
        button->SetTop(ButtonY);
        button->SetParent(host);
        button->SetColor(Swatch);
        button->OnColorChange = [this](TObject* sender) {
            EXPECT_EQ(sender, button);
            changes.push_back(button->Color());
        };
        button->OnClick = [this](TObject*) { ++clicks; };
        host->Show();
        PumpFor(30);
        changes.clear();
        gdi = GdiObjectCount();
    }

    void TearDown() override {
        if (TPopUpColorBox* popup = LastPopUp()) popup->Close();
        EXPECT_TRUE(PumpUntil([] { return LastPopUp() == nullptr; }, 2000));
        if (host) {
            EXPECT_EQ(GdiObjectCount(), gdi) << "GDI objects left behind";
        }
        delete host;
    }

    HWND Button() { return button->Handle(); }

    // The button shows what the core paints for it in its present state.
    ::testing::AssertionResult ButtonShowsItsState() {
        TBitmap painted;
        painted.SetSize(button->Width(), button->Height());
        PaintColorButton(painted.Canvas(), painted.Width(), painted.Height(), button->Color(), button->Pressed(),
                         button->Focused(), button->Enabled());
        return Shows(Button(), painted);
    }

    // Clicks the button with the mouse; the pop-up it opens.
    TPopUpColorBox& Open() {
        Send(Button(), WM_LBUTTONDOWN, 5, 5);
        Send(Button(), WM_LBUTTONUP, 5, 5);
        PumpFor(30);
        EXPECT_NE(LastPopUp(), nullptr);
        return *LastPopUp();
    }

    bool ClosedAndFreed() { return PumpUntil([] { return LastPopUp() == nullptr; }, 2000); }

    TForm* host = nullptr;
    TWin95ColorButton* button = nullptr;
    std::vector<TColor> changes;
    int clicks = 0;
    long gdi = 0;
};

// The swatch's inside, its outline, the etched line and the arrow, where the geometry
// puts them, in the colours the core draws.
TEST_F(ColorPicker, ButtonOnTheScreenIsTheCorePaintWithItsGeometry) {
    struct Case {
        const char* name;
        int W, H;
        bool focused, pressed, enabled;
        TRect swatch;  // inside the black outline
        int arrowTop, arrowCentre;
    } const cases[] = {
        {"46 x 24", 46, 24, false, false, true, Rect(6, 6, 31, 17), 11, 39},
        {"46 x 22", 46, 22, false, false, true, Rect(6, 6, 31, 15), 10, 39},
        {"focused", 46, 24, true, false, true, Rect(6, 6, 31, 17), 11, 39},
        {"pressed", 46, 24, true, true, true, Rect(7, 7, 32, 18), 12, 40},
        {"disabled", 46, 24, false, false, false, Rect(6, 6, 31, 17), 11, 39},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        button->SetBounds(ButtonX, ButtonY, c.W, c.H);
        button->SetEnabled(c.enabled);
        if (c.focused) {
            button->SetFocus();
        } else {
            ::SetFocus(host->Handle());
        }
        if (c.pressed) Send(Button(), WM_LBUTTONDOWN, 5, 5);
        PumpFor(30);
        ASSERT_EQ(button->Focused(), c.focused);
        ASSERT_EQ(button->Pressed(), c.pressed);
        EXPECT_TRUE(ButtonShowsItsState());
        TBitmap shot;
        CaptureWindow(Button(), Rect(0, 0, c.W, c.H), shot);

        const TRect& s = c.swatch;
        const Px inside = ColorPx(c.enabled ? Swatch : clBtnFace), black = ColorPx(clBlack);
        for (int y = s.Top; y < s.Bottom; ++y)
            for (int x = s.Left; x < s.Right; ++x) ASSERT_EQ(PixelOf(shot, x, y), inside) << x << ", " << y;
        for (int y = s.Top - 1; y <= s.Bottom; ++y) {
            EXPECT_EQ(PixelOf(shot, s.Left - 1, y), black);
            EXPECT_EQ(PixelOf(shot, s.Right, y), black);
            EXPECT_EQ(PixelOf(shot, s.Right + 3, y), ColorPx(clBtnShadow));
            EXPECT_EQ(PixelOf(shot, s.Right + 4, y), ColorPx(clBtnHighlight));
        }
        for (int row = 0; row < 3; ++row) {  // 5, 3 and 1 pixels wide
            const int y = c.arrowTop + row, half = 2 - row;
            for (int x = c.arrowCentre - half - 1; x <= c.arrowCentre + half + 1; ++x)
                EXPECT_EQ(PixelOf(shot, x, y) == black, x >= c.arrowCentre - half && x <= c.arrowCentre + half)
                    << x << ", " << y;
        }
        if (c.pressed) Send(Button(), WM_LBUTTONUP, 100, 100);  // released away: no click
    }
    button->SetEnabled(true);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ColorPicker, ColorChangeIsRaisedOnlyOnARealChange) {
    const struct {
        TColor color;
        bool raised;
    } steps[] = {{Swatch, false}, {clRed, true}, {clRed, false}, {clBtnFace, true}, {clNone, true}, {Swatch, true}};
    for (const auto& step : steps) {
        changes.clear();
        button->SetColor(step.color);
        PumpFor(20);
        EXPECT_EQ(changes, step.raised ? std::vector<TColor>{step.color} : std::vector<TColor>{}) << step.color;
        TBitmap shot;
        CaptureWindow(Button(), Rect(10, 10, 11, 11), shot);
        EXPECT_EQ(PixelOf(shot, 0, 0), ColorPx(step.color)) << step.color;
    }
}

TEST_F(ColorPicker, PressDragOutDragBackAndRelease) {
    struct Step {
        UINT msg;
        int x, y;
        bool pressed;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int clicks;
    } const cases[] = {
        {"click", {{WM_LBUTTONDOWN, 5, 5, true}, {WM_LBUTTONUP, 5, 5, false}}, 1},
        {"out and back",
         {{WM_LBUTTONDOWN, 5, 5, true},
          {WM_MOUSEMOVE, 46, 5, false},
          {WM_MOUSEMOVE, 45, 24, true},  // the bottom edge still counts as over it
          {WM_MOUSEMOVE, 10, -1, false},
          {WM_MOUSEMOVE, 10, 10, true},
          {WM_LBUTTONUP, 10, 10, false}},
         1},
        {"released outside", {{WM_LBUTTONDOWN, 5, 5, true}, {WM_MOUSEMOVE, 60, 5, false}, {WM_LBUTTONUP, 60, 5, false}}, 0},
        {"right button", {{WM_RBUTTONDOWN, 5, 5, false}, {WM_RBUTTONUP, 5, 5, false}}, 0},
        {"moves without a press", {{WM_MOUSEMOVE, 5, 5, false}, {WM_MOUSEMOVE, 60, 5, false}}, 0},
    };
    for (const auto& c : cases) {
        clicks = 0;
        for (const Step& step : c.steps) {
            Send(Button(), step.msg, step.x, step.y);
            PumpFor(20);
            EXPECT_EQ(button->Pressed(), step.pressed) << c.name << ", message " << step.msg << " at " << step.x;
            EXPECT_TRUE(ButtonShowsItsState()) << c.name << ", message " << step.msg << " at " << step.x;
        }
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_FALSE(button->Tracking()) << c.name;
        EXPECT_EQ(LastPopUp() != nullptr, c.clicks > 0) << c.name;
        if (LastPopUp()) LastPopUp()->Close();
        ClosedAndFreed();
    }
}

TEST_F(ColorPicker, SpaceAndEnter) {
    struct Key {
        UINT msg;
        WPARAM key;
        bool pressed;
    };
    struct Case {
        const char* name;
        bool enabled;
        std::vector<Key> keys;
        int clicks, keyUps;
    } const cases[] = {
        {"space", true, {{WM_KEYDOWN, VK_SPACE, true}, {WM_KEYUP, VK_SPACE, false}}, 1, 1},
        {"space repeating", true,
         {{WM_KEYDOWN, VK_SPACE, true}, {WM_KEYDOWN, VK_SPACE, true}, {WM_KEYUP, VK_SPACE, false}}, 1, 1},
        {"enter", true, {{WM_KEYDOWN, VK_RETURN, false}}, 1, 0},
        {"another key", true, {{WM_KEYDOWN, 'A', false}, {WM_KEYUP, 'A', false}}, 0, 1},
        {"disabled", false, {{WM_KEYDOWN, VK_SPACE, false}, {WM_KEYUP, VK_SPACE, false}, {WM_KEYDOWN, VK_RETURN, false}},
         0, 1},
    };
    int keyDowns = 0, keyUps = 0;
    button->OnKeyDown = [&](TObject*, WORD&) { ++keyDowns; };
    button->OnKeyUp = [&](TObject*, WORD&) { ++keyUps; };
    for (const auto& c : cases) {
        clicks = keyDowns = keyUps = 0;
        button->SetEnabled(c.enabled);
        if (c.enabled) button->SetFocus();
        PumpFor(20);
        for (const Key& k : c.keys) {
            PostKey(Button(), k.msg, k.key);
            EXPECT_EQ(button->Pressed(), k.pressed) << c.name << ", key " << k.key;
            EXPECT_TRUE(ButtonShowsItsState()) << c.name << ", key " << k.key;
        }
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_EQ(keyDowns, 0) << c.name;  // key down is not passed on
        EXPECT_EQ(keyUps, c.keyUps) << c.name;
        if (LastPopUp()) LastPopUp()->Close();
        ClosedAndFreed();
    }
}

// Away from a pop-up the dialog button is a plain push button with a caption.
TEST_F(ColorPicker, DialogButtonPaintsItsCaptionOnTheFaceAndTakesItsAccessKey) {
    auto* go = new TWin95Button(host);
    go->SetBounds(70, 10, 53, 22);
    go->SetCaption("&Go");
    go->SetParent(host);
    int goClicks = 0;
    go->OnClick = [&](TObject*) { ++goClicks; };
    go->SetFocus();
    PumpFor(30);
    ASSERT_TRUE(go->Focused());
    TBitmap face, shot;
    face.SetSize(53, 22);
    PaintButtonFrame(face.Canvas(), 53, 22, false, true);
    CaptureWindow(go->Handle(), Rect(0, 0, 53, 22), shot);
    const TRect caption = CaptionRect(53, 22, false, true);
    int ink = 0, stray = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 53; ++x) {
            if (PixelOf(shot, x, y) == PixelOf(face, x, y)) continue;
            const bool inCaption = x >= caption.Left && x < caption.Right && y >= caption.Top && y < caption.Bottom;
            ++(inCaption ? ink : stray);
        }
    EXPECT_GT(ink, 10);
    EXPECT_EQ(stray, 0);

    const struct {
        wchar_t key;
        bool enabled;
        int clicks;
    } cases[] = {{L'g', true, 1}, {L'x', true, 0}, {L'g', false, 0}};
    for (const auto& c : cases) {
        goClicks = 0;
        go->SetEnabled(c.enabled);
        PostKey(host->Handle(), WM_SYSCHAR, c.key);
        EXPECT_EQ(goClicks, c.clicks) << char(c.key) << (c.enabled ? "" : ", disabled");
    }
    EXPECT_EQ(LastPopUp(), nullptr);
    delete go;  // with its surface and font
}

// The pop-up opens below the button with the left edges aligned, above it where it
// would leave the bottom of the work area of the button's monitor, and moved into that
// work area at the sides.
TEST_F(ColorPicker, PopUpOpensUnderTheButtonAndStaysInTheWorkArea) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(host->Handle(), MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    enum class X { Middle, Right, Left };
    enum class Y { Middle, Bottom };
    for (const X x : {X::Middle, X::Right, X::Left})
        for (const Y y : {Y::Middle, Y::Bottom}) {
            const int x0 = x == X::Middle ? work.left + 300 : x == X::Right ? work.right - 24 : work.left - 20;
            const int y0 = y == Y::Middle ? work.top + 300 : work.bottom - 40;
            SCOPED_TRACE("button at " + std::to_string(x0) + ", " + std::to_string(y0));
            host->SetBounds(x0 - ButtonX, y0 - ButtonY, 200, 100);
            PumpFor(20);
            POINT origin{0, 0};
            ClientToScreen(Button(), &origin);
            ASSERT_EQ(origin.x, x0);
            ASSERT_EQ(origin.y, y0);

            TPopUpColorBox& popup = Open();
            const int left = x == X::Middle ? x0 : x == X::Right ? work.right - PopupWidth : work.left;
            const int top = y == Y::Middle ? y0 + 24 : y0 - PopupHeight;
            RECT r{};
            GetWindowRect(popup.Handle(), &r);
            EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), Rect(left, top, left + PopupWidth, top + PopupHeight));
            EXPECT_TRUE(IsWindowVisible(popup.Handle()));
            EXPECT_EQ(GetForegroundWindow(), popup.Handle());
            EXPECT_TRUE(popup.DialogButton().Focused());
            EXPECT_EQ(popup.Name, "PopUpColorBox");
            EXPECT_EQ(popup.Owner(), button);
            EXPECT_EQ(clicks, 1);
            clicks = 0;
            popup.Close();
            EXPECT_TRUE(ClosedAndFreed());
        }
}

// What the pop-up should show after the moves: the core's paint of a model that saw them.
void PopUpPicture(TColor color, const std::vector<TPoint>& moves, TBitmap& b) {
    b.SetSize(PopupWidth, PopupHeight);
    TPopUpModel model(color);
    PaintPopUp(b.Canvas(), model);
    for (const TPoint& p : moves)
        for (const TCellDraw& d : model.MouseMove(p.X, p.Y)) DrawCell(b.Canvas(), d.Index, d.Color, d.Marked);
}

TEST_F(ColorPicker, ChoosingACell) {
    struct Case {
        const char* name;
        TColor start;
        int marked;                // on opening
        std::vector<TPoint> moves;  // then a press and a release at the last one (or at press)
        TPoint press, release;
        TColor end;
        bool changed, stays;
    } const cases[] = {
        {"silver is cell 10; a click on blue", clSilver, 10, {Centre(3)}, Centre(3), Centre(3), clBlue, true, false},
        {"outside the palette: cell 20, chosen again", Swatch, 20, {Centre(0), Centre(20)}, Centre(20), Centre(20),
         Swatch, false, false},
        {"button face shows in cell 20", clBtnFace, 20, {Centre(19)}, Centre(19), Centre(19), PaletteColors[19], true,
         false},
        {"first move onto the marked cell, then a click", clSilver, 10, {Centre(10)}, Centre(10), Centre(10), clSilver,
         false, false},
        {"pressed on one cell, released on another", clWhite, 0, {Centre(5)}, Centre(5), Centre(6), clWhite, false,
         true},
        {"a click without a move", clSilver, 10, {}, Centre(3), Centre(3), clSilver, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        button->SetColor(c.start);
        changes.clear();
        TPopUpColorBox& popup = Open();
        HWND window = popup.Handle();
        EXPECT_EQ(popup.Model().MarkedIndex(), c.marked);
        EXPECT_EQ(popup.Model().ShowCustom(), c.marked == CustomIndex);
        TBitmap want;
        PopUpPicture(c.start, {}, want);
        EXPECT_TRUE(Shows(window, want, DialogButtonRect));

        for (const TPoint& p : c.moves) Send(window, WM_MOUSEMOVE, p.X, p.Y);
        PumpFor(20);
        PopUpPicture(c.start, c.moves, want);
        EXPECT_TRUE(Shows(window, want, DialogButtonRect));
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // the mark survives a repaint
        EXPECT_TRUE(Shows(window, want, DialogButtonRect));

        Send(window, WM_LBUTTONDOWN, c.press.X, c.press.Y);
        if (c.release.X != c.press.X || c.release.Y != c.press.Y) Send(window, WM_MOUSEMOVE, c.release.X, c.release.Y);
        Send(window, WM_LBUTTONUP, c.release.X, c.release.Y);
        PumpFor(20);
        EXPECT_EQ(button->Color(), c.end);
        EXPECT_EQ(changes, c.changed ? std::vector<TColor>{c.end} : std::vector<TColor>{});
        if (c.stays) {
            EXPECT_EQ(LastPopUp(), &popup);
            EXPECT_TRUE(IsWindowVisible(window));
            popup.Close();
        }
        EXPECT_TRUE(ClosedAndFreed());
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(ColorPicker, EscapeAnotherWindowOrTheButtonGoingCloseThePopUpUnchanged) {
    enum class How { Escape, ClickOutside, OtherWindowActivated, ButtonFreed };  // the last frees the button
    for (const How how : {How::Escape, How::ClickOutside, How::OtherWindowActivated, How::ButtonFreed}) {
        SCOPED_TRACE(int(how));
        TPopUpColorBox& popup = Open();
        HWND window = popup.Handle();
        Send(window, WM_MOUSEMOVE, Centre(7).X, Centre(7).Y);  // a mark moved is no choice
        switch (how) {
            case How::Escape:
                PostKey(GetFocus(), WM_KEYDOWN, VK_ESCAPE);
                break;
            case How::ClickOutside: {
                RECT r{};
                GetWindowRect(host->Handle(), &r);
                ClickOnScreen(POINT{r.right - 5, r.bottom - 5});
                break;
            }
            case How::OtherWindowActivated:
                SetForegroundWindow(host->Handle());
                break;
            case How::ButtonFreed:
                delete host;
                host = nullptr;
                break;
        }
        EXPECT_TRUE(ClosedAndFreed());
        EXPECT_FALSE(IsWindow(window));
        if (!host) continue;
        EXPECT_EQ(button->Color(), Swatch);
        EXPECT_TRUE(changes.empty());
    }
}

// The dialog button opens the system colour dialog with the colour button's options,
// custom colours and colour, while the pop-up hides; afterwards the pop-up closes.
TEST_F(ColorPicker, ColourDialogBehindTheDialogButton) {
    enum class Way { Mouse, Enter, Space, AccessKey };
    struct Case {
        const char* name;
        Way open;
        std::optional<TColor> confirm;  // typed in, then OK; none: Cancel
    } const cases[] = {
        {"clicked, cancelled", Way::Mouse, std::nullopt},
        {"Enter, confirmed", Way::Enter, 0x405060},
        {"Space, cancelled", Way::Space, std::nullopt},
        {"Alt+M, confirmed with the same colour", Way::AccessKey, Swatch},
    };
    button->ColorDlgOptions = {TColorDialogOption::cdFullOpen};
    const TStrings custom = Fixtures::Lines({"ColorB=00FF00"});
    button->SetColorDlgCustomColors(custom);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        changes.clear();
        TPopUpColorBox& popup = Open();
        HWND window = popup.Handle();
        TWin95Button& more = popup.DialogButton();
        EXPECT_EQ(more.Caption(), "&More...");
        int moreClicks = 0;
        more.OnClick = [&](TObject*) { ++moreClicks; };
        bool hidden = false, keptOpen = false, ownedByHost = false;
        TColor shown = 0;
        WhenDialogShows([&](HWND box) {
            hidden = !IsWindowVisible(window);
            keptOpen = LastPopUp() == &popup && !popup.CloseOnDeactivate;
            ownedByHost = GetWindow(box, GW_OWNER) == host->Handle();
            shown = RGB(BYTE(GetDlgItemInt(box, COLOR_RED, nullptr, FALSE)),
                        BYTE(GetDlgItemInt(box, COLOR_GREEN, nullptr, FALSE)),
                        BYTE(GetDlgItemInt(box, COLOR_BLUE, nullptr, FALSE)));
            if (c.confirm) {
                SetDlgItemInt(box, COLOR_RED, GetRValue(*c.confirm), FALSE);
                SetDlgItemInt(box, COLOR_GREEN, GetGValue(*c.confirm), FALSE);
                SetDlgItemInt(box, COLOR_BLUE, GetBValue(*c.confirm), FALSE);
            }
            PostMessageW(box, WM_COMMAND, c.confirm ? IDOK : IDCANCEL, 0);
        });
        HWND focus = more.Handle();
        ASSERT_EQ(GetFocus(), focus);
        switch (c.open) {
            case Way::Mouse:
                Send(focus, WM_LBUTTONDOWN, 5, 5);
                Send(focus, WM_LBUTTONUP, 5, 5);
                break;
            case Way::Enter:
                PostKey(focus, WM_KEYDOWN, VK_RETURN);
                break;
            case Way::Space:
                PostKey(focus, WM_KEYDOWN, VK_SPACE);
                PostKey(focus, WM_KEYUP, VK_SPACE);
                break;
            case Way::AccessKey:
                PostKey(focus, WM_SYSCHAR, 'm');
                break;
        }
        EXPECT_TRUE(PumpUntil([] { return !DialogPending(); }));
        EXPECT_TRUE(ClosedAndFreed());
        EXPECT_TRUE(hidden);
        EXPECT_TRUE(keptOpen);
        EXPECT_TRUE(ownedByHost);
        EXPECT_EQ(shown, Swatch);
        EXPECT_EQ(moreClicks, 1);
        const TColor end = c.confirm.value_or(Swatch);
        EXPECT_EQ(button->Color(), end);
        EXPECT_EQ(changes, end != Swatch ? std::vector<TColor>{end} : std::vector<TColor>{});
        EXPECT_EQ(button->ColorDlgCustomColors(), custom);  // the dialog's boxes are not copied back
        button->SetColor(Swatch);
    }
}

}  // namespace
