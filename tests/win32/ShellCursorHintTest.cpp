// The toolkit's cursor table, hints, the shell seam and clipboard text on real windows.
#include <gtest/gtest.h>

#include "toolkit/win32/WindowsApi.h"

#include <commctrl.h>

#include "toolkit/win32/Forms.h"
#include "toolkit/win32/Shell.h"
#include "toolkit/win32/StdCtrls.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;

TEST(CursorTable, ProgramShapesUnderPositiveIdsAndTheSystemsUnderNegativeOnes) {
    HCURSOR cross = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));  // the system's cross
    ASSERT_NE(cross, nullptr);
    Win32::SetCustomCursor(7, cross);
    EXPECT_EQ(Win32::CursorHandle(7), cross);
    EXPECT_EQ(Win32::CursorHandle(8), nullptr) << "an id nothing was installed under";
    EXPECT_EQ(Win32::CursorHandle(crDefault), nullptr) << "the window's own shape";
    EXPECT_NE(Win32::CursorHandle(crHandPoint), nullptr);
    EXPECT_NE(Win32::CursorHandle(crArrow), Win32::CursorHandle(crIBeam));
    Win32::SetCustomCursor(-3, cross);  // the system's ids are not the program's to replace
    EXPECT_NE(Win32::CursorHandle(crArrow), cross);
}

// A tip shows while the pointer rests on a control with a hint, and goes when it moves to
// one without, or leaves the window.
TEST(Hints, ShowUnderThePointerAndGo) {
    TForm form(nullptr);
    form.SetClientSize(200, 80);
    auto* with = new TLabel(&form);
    with->SetCaption("with a hint");
    with->SetBounds(10, 10, 80, 20);
    with->Hint = "the hint";
    with->ShowHint = true;
    with->SetParent(&form);
    auto* without = new TLabel(&form);
    without->SetCaption("without");
    without->SetBounds(110, 10, 80, 20);
    without->SetParent(&form);
    form.Show();
    PumpFor(30);
    const auto tipShown = [] {
        HWND tip = FindWindowW(TOOLTIPS_CLASSW, nullptr);
        return tip && IsWindowVisible(tip);
    };
    SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
    ASSERT_TRUE(PumpUntil(tipShown, 2000));
    wchar_t text[64] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    SendMessageW(FindWindowW(TOOLTIPS_CLASSW, nullptr), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Narrow(text), "the hint");
    SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(120, 15));
    EXPECT_TRUE(PumpUntil([&] { return !tipShown(); }, 2000)) << "a control without a hint";
    SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
    ASSERT_TRUE(PumpUntil(tipShown, 2000));
    SendMessageW(form.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !tipShown(); }, 2000)) << "the pointer left the window";
}

TEST(Shell, TheSeamSeesTheRequestAndTheClipboardHoldsText) {
    std::string seen;
    const auto previous = Win32::SetShellHandler([&](HWND, const std::string& verb, const std::string& file, int show) {
        seen = verb + " " + file + " " + std::to_string(show);
    });
    Win32::ShellExecuteText(nullptr, "open", "https://lumawipe.example/ä", SW_SHOWNORMAL);
    EXPECT_EQ(seen, "open https://lumawipe.example/ä " + std::to_string(SW_SHOWNORMAL));
    EXPECT_FALSE(bool(previous)) << "the shell itself was in place";
    EXPECT_TRUE(bool(Win32::SetShellHandler(previous))) << "restoring gives back the handler it replaces";

    ASSERT_TRUE(Win32::SetClipboardText("Grüße, 2 lines\r\nsecond"));
    EXPECT_EQ(Win32::ClipboardText(), "Grüße, 2 lines\r\nsecond");
    ASSERT_TRUE(Win32::SetClipboardText(""));
    EXPECT_EQ(Win32::ClipboardText(), "");
}
