// Demo.exe as a person uses it, driven from another process: each session opens the
// windows the program can open (the colour palette, the colour dialog behind "More...",
// the About form), closes each of them in every way, plays transitions, and ends with
// Close; the program must then exit with 0. Clicks and keys are posted to its windows,
// so its own message loop and keyboard handling see them, and what it shows is read
// back from the screen.
#include <gtest/gtest.h>

#include <colordlg.h>

#include <algorithm>
#include <functional>
#include <string>

#include "colorpicker/W95ColorCore.h"
#include "toolkit/win32/Gdi.h"
#include "win32/WinFixtures.h"

namespace {

using Toolkit::TColor;

constexpr int WaitMs = 15000;
const wchar_t* const MainCaption = L"Lumawipe ActiveX Control 3.0 Demonstration";
const wchar_t* const AboutCaption = L"About Lumawipe";
// The colour button on the main form's client area (its group box's place plus its own).
constexpr RECT ColorButtonPlace{192, 169, 238, 191};
// A point of the main form's own background, left of its group box.
constexpr POINT FormBackground{3, 200};

// Waits for a state of the other process. Its windows send nothing to this one, so the
// state is looked at until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = WaitMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > DWORD(timeoutMs)) return false;
        Sleep(5);
    }
    return true;
}

// The window's text, asked of the window itself (an edit keeps its own).
std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, LPARAM(text), SMTO_ABORTIFHUNG, WaitMs, &length)) return {};
    return std::wstring(text, std::min<std::size_t>(length, 255));
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// Demo.exe of this build tree, found from this program's own place.
std::wstring DemoPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L"\\/") + 1);
    for (const char* c = LUMAWIPE_DEMO_FROM_TESTS; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

// A window search: the first window Match accepts.
struct TSearch {
    std::function<bool(HWND)> Match;
    HWND Found = nullptr;
};
BOOL CALLBACK FindFirst(HWND hwnd, LPARAM search) {
    auto* s = reinterpret_cast<TSearch*>(search);
    if (!s->Match(hwnd)) return TRUE;
    s->Found = hwnd;
    return FALSE;
}

// The colour on the screen at a point.
COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

class DemoSession : public ::testing::Test {
protected:
    void SetUp() override {
        // The pointer away from where windows open: a window appearing under it gets its moves.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + DemoPath() + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &Process))
            << "cannot start " << Toolkit::Narrow(DemoPath()) << " (error " << GetLastError() << ")";
        Main = WaitForWindow([](HWND w) { return Text(w) == MainCaption; });
        ASSERT_NE(Main, nullptr) << "the main form did not show";
        ASSERT_TRUE(WaitUntil([&] { return ScreenPixel(OnScreen(Main, FormBackground)) == GetSysColor(COLOR_BTNFACE); }))
            << "the main form is not painted";
        const HWND main = Main;
        ColorButton = FindChild(Main, [main](HWND w) {
            RECT r;
            GetWindowRect(w, &r);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
            return ClassOf(w) == L"LumawipeControl" && EqualRect(&r, &ColorButtonPlace);
        });
        ASSERT_NE(ColorButton, nullptr);
    }

    void TearDown() override {
        if (!Process.hProcess) return;
        if (WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Process.hProcess, 1);
        CloseHandle(Process.hThread);
        CloseHandle(Process.hProcess);
    }

    // The first visible top-level window of the demo's user-interface thread that match
    // accepts, once it shows; nullptr when none does in time.
    HWND WaitForWindow(std::function<bool(HWND)> match) {
        TSearch search{[&match](HWND w) { return IsWindowVisible(w) && match(w); }};
        WaitUntil([&] {
            EnumThreadWindows(Process.dwThreadId, FindFirst, reinterpret_cast<LPARAM>(&search));
            return search.Found != nullptr;
        });
        return search.Found;
    }

    static HWND FindChild(HWND parent, std::function<bool(HWND)> match) {
        TSearch search{std::move(match)};
        EnumChildWindows(parent, FindFirst, reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }
    static HWND Child(HWND parent, const wchar_t* text) {
        return FindChild(parent, [text](HWND w) { return Text(w) == text; });
    }
    HWND Button(const wchar_t* text) {
        HWND b = Child(Main, text);
        EXPECT_NE(b, nullptr) << Toolkit::Narrow(text);
        return b;
    }

    // The window that has the keyboard focus in the demo.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(Process.dwThreadId, &info) ? info.hwndFocus : nullptr;
    }
    static bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
    static void Key(HWND window, WPARAM key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, LPARAM(0xC0000001));
    }
    static void Mouse(HWND window, POINT p, UINT message) {
        const WPARAM buttons = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
        PostMessageW(window, message, buttons, MAKELPARAM(p.x, p.y));
    }
    static void MouseClick(HWND window, POINT p) {
        Mouse(window, p, WM_MOUSEMOVE);
        Mouse(window, p, WM_LBUTTONDOWN);
        Mouse(window, p, WM_LBUTTONUP);
    }
    // A real click of the left button at a screen point.
    POINT OnScreen(HWND window, POINT p) const {
        ClientToScreen(window, &p);
        return p;
    }

    // The colour the colour button shows in its swatch, as seen on the screen.
    COLORREF Swatch() const { return ScreenPixel(OnScreen(ColorButton, POINT{10, 10})); }

    // Opens the palette with a click on the colour button; its window.
    HWND OpenPalette() {
        const HWND main = Main;
        MouseClick(ColorButton, POINT{5, 5});
        HWND palette = WaitForWindow([main](HWND w) {
            RECT r;
            GetWindowRect(w, &r);
            return w != main && ClassOf(w) == L"LumawipeControl" && r.right - r.left == W95Color::PopupWidth &&
                   r.bottom - r.top == W95Color::PopupHeight;
        });
        EXPECT_NE(palette, nullptr) << "the palette did not open";
        EXPECT_TRUE(WaitUntil([&] { return GetParent(Focus()) == palette; })) << "its dialog button has no focus";
        return palette;
    }
    bool Gone(HWND window) {
        return WaitUntil([&] { return !IsWindow(window); });
    }

    enum class PaletteClose { Escape, ClickOutside, Cell, MoreCancelled, MoreConfirmed };
    // Opens the palette and closes it the given way; cell is the palette cell chosen, or
    // the colour typed into the colour dialog.
    void UsePalette(PaletteClose how, int cell = 0, COLORREF typed = 0) {
        static const char* const ways[] = {"Escape", "a click outside", "a cell", "the colour dialog cancelled",
                                           "the colour dialog confirmed"};
        SCOPED_TRACE(std::string("the palette, closed by ") + ways[int(how)]);
        const COLORREF before = Swatch();
        HWND palette = OpenPalette();
        if (!palette) return;
        COLORREF expected = before;
        switch (how) {
            case PaletteClose::Escape:
                Key(Focus(), VK_ESCAPE);
                break;
            case PaletteClose::ClickOutside:
                WinFixtures::ClickOnScreen(OnScreen(Main, FormBackground));
                break;
            case PaletteClose::Cell: {
                const Toolkit::TRect r = W95Color::CellRect(cell);
                MouseClick(palette, POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
                expected = W95Color::PaletteColors[std::size_t(cell)];
                break;
            }
            case PaletteClose::MoreCancelled:
            case PaletteClose::MoreConfirmed: {
                HWND more = Focus();
                MouseClick(more, POINT{5, 5});
                HWND dialog = WaitForWindow([](HWND w) { return ClassOf(w) == L"#32770"; });
                ASSERT_NE(dialog, nullptr) << "the colour dialog did not open";
                if (how == PaletteClose::MoreConfirmed) {
                    SetDlgItemInt(dialog, COLOR_RED, Toolkit::GetRValue(typed), FALSE);
                    SetDlgItemInt(dialog, COLOR_GREEN, Toolkit::GetGValue(typed), FALSE);
                    SetDlgItemInt(dialog, COLOR_BLUE, Toolkit::GetBValue(typed), FALSE);
                    expected = typed;
                }
                PostMessageW(dialog, WM_COMMAND, how == PaletteClose::MoreConfirmed ? IDOK : IDCANCEL, 0);
                EXPECT_TRUE(Gone(dialog));
                break;
            }
        }
        EXPECT_TRUE(Gone(palette)) << "the palette stays open";
        EXPECT_TRUE(WaitUntil([&] { return Swatch() == expected; }))
            << std::hex << "the button shows " << Swatch() << ", not " << expected;
    }

    // Picks an operation by its item's caption.
    void ChooseOperation(const wchar_t* caption) {
        HWND item = Button(caption);
        Click(item);
        EXPECT_TRUE(WaitUntil([&] { return Checked(item); }));
    }

    // Plays until "Reverse on done" has turned the run round twice.
    void PlayReversing() {
        HWND reverse = Button(L"Reverse");
        ASSERT_TRUE(Checked(Button(L"Reverse on done")));
        const bool start = Checked(reverse);
        Click(Button(L"Play"));
        ASSERT_TRUE(WaitUntil([&] { return Child(Main, L"Stop") != nullptr; }));
        EXPECT_TRUE(WaitUntil([&] { return Checked(reverse) != start; })) << "the run did not turn round";
        EXPECT_TRUE(WaitUntil([&] { return Checked(reverse) == start; })) << "the run did not turn round again";
    }

    void Stop() {
        HWND stop = Child(Main, L"Stop");
        ASSERT_NE(stop, nullptr);
        Click(stop);
        EXPECT_TRUE(WaitUntil([&] { return Text(stop) == L"Play"; }));
    }

    enum class AboutClose { Ok, Escape, EscapeInText };
    // Opens About and closes it the given way (Escape typed in its text, where the focus
    // goes by a click, is Escape for the form too).
    void UseAbout(AboutClose how) {
        static const char* const ways[] = {"OK", "Escape", "Escape in its text"};
        SCOPED_TRACE(std::string("About, closed by ") + ways[int(how)]);
        Click(Button(L"About..."));
        HWND about = WaitForWindow([](HWND w) { return Text(w) == AboutCaption; });
        ASSERT_NE(about, nullptr) << "About did not open";
        EXPECT_FALSE(IsWindowEnabled(Main)) << "About is modal";
        HWND text = FindChild(about, [](HWND w) { return ClassOf(w) == L"Edit"; });
        ASSERT_NE(text, nullptr);
        RECT r;
        GetWindowRect(text, &r);
        const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_TRUE(WaitUntil([&] { return WindowFromPoint(middle) == text; })) << "its text is not on show";
        switch (how) {
            case AboutClose::Ok:
                Click(Child(about, L"OK"));
                break;
            case AboutClose::Escape:
                Key(Focus(), VK_ESCAPE);
                break;
            case AboutClose::EscapeInText:
                Mouse(text, POINT{5, 5}, WM_LBUTTONDOWN);
                Mouse(text, POINT{5, 5}, WM_LBUTTONUP);
                ASSERT_TRUE(WaitUntil([&] { return Focus() == text; }));
                Key(text, VK_ESCAPE);
                break;
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); })) << "About stays open";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Main) != FALSE; }));
    }

    // Closes the program with its Close button; its exit code.
    DWORD CloseAndWait() {
        Click(Button(L"Close"));
        return WaitForExit();
    }
    DWORD WaitForExit() {
        if (WaitForSingleObject(Process.hProcess, WaitMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the program did not end";
            return DWORD(-1);
        }
        DWORD code = 0;
        GetExitCodeProcess(Process.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION Process{};
    HWND Main = nullptr;
    HWND ColorButton = nullptr;
};

TEST_F(DemoSession, OpeningAndClosingAtOnceExitsWithZero) { EXPECT_EQ(CloseAndWait(), 0u); }

// The session of the report: palette closed by Escape, a cell chosen, a Fade run
// turning round, About closed by OK and by Escape, then Close.
TEST_F(DemoSession, AfterPaletteFadeReversingRunsAndAboutTheProgramExitsWithZero) {
    ChooseOperation(L"Fade");
    UsePalette(PaletteClose::Escape);
    UsePalette(PaletteClose::Cell, 1);  // red
    PlayReversing();
    UseAbout(AboutClose::Ok);
    UseAbout(AboutClose::Escape);
    EXPECT_EQ(CloseAndWait(), 0u);
}

// Every window the program opens, opened and closed in every way.
TEST_F(DemoSession, EveryWindowClosedEveryWayThenTheProgramExitsWithZero) {
    ChooseOperation(L"Fade");
    UsePalette(PaletteClose::Escape);
    UsePalette(PaletteClose::Cell, 3);  // blue
    UsePalette(PaletteClose::ClickOutside);
    UsePalette(PaletteClose::MoreCancelled);
    UsePalette(PaletteClose::MoreConfirmed, 0, Toolkit::RGB(0x40, 0x50, 0x60));
    UseAbout(AboutClose::Ok);
    UseAbout(AboutClose::Escape);
    UseAbout(AboutClose::EscapeInText);
    UseAbout(AboutClose::Ok);  // and once more after Escape in its text
    PlayReversing();
    Stop();
    Click(Button(L"UseThreads"));
    PlayReversing();
    EXPECT_EQ(CloseAndWait(), 0u);
}

// Closing while a run plays (a step a frame makes it last), and while "Reverse on done"
// waits to turn it round (runs of one frame leave little else to close in).
class DemoSessionClosing : public DemoSession, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(DemoSessionClosing, WhilePlayingExitsWithZero) {
    const std::wstring steps = GetParam();
    ChooseOperation(L"Fade");
    UsePalette(PaletteClose::Cell, 1);
    HWND edit = FindChild(Main, [](HWND w) { return ClassOf(w) == L"Edit" && Text(w) == L"5"; });
    ASSERT_NE(edit, nullptr) << "the Steps edit, holding the preset of Fade";
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(steps.c_str()));
    if (steps == L"1")
        Click(Button(L"Play"));
    else
        PlayReversing();
    ASSERT_TRUE(WaitUntil([&] { return Child(Main, L"Stop") != nullptr; }));
    EXPECT_EQ(CloseAndWait(), 0u);
}

INSTANTIATE_TEST_SUITE_P(DuringARunOrItsWait, DemoSessionClosing, ::testing::Values(L"1", L"100000"));

// Closed from outside (as a task list or a window manager closes a window) while one of
// its other windows is open, whose own loop then runs on: the program ends with 0.
enum class OpenWindow { Palette, ColourDialog, About };
class DemoSessionClosedFromOutside : public DemoSession, public ::testing::WithParamInterface<OpenWindow> {};

TEST_P(DemoSessionClosedFromOutside, WhileAWindowIsOpenExitsWithZero) {
    ChooseOperation(L"Fade");
    switch (GetParam()) {
        case OpenWindow::Palette:
            ASSERT_NE(OpenPalette(), nullptr);
            break;
        case OpenWindow::ColourDialog: {
            HWND palette = OpenPalette();
            ASSERT_NE(palette, nullptr);
            MouseClick(Focus(), POINT{5, 5});  // "More..."
            ASSERT_NE(WaitForWindow([](HWND w) { return ClassOf(w) == L"#32770"; }), nullptr);
            break;
        }
        case OpenWindow::About:
            Click(Button(L"About..."));
            ASSERT_NE(WaitForWindow([](HWND w) { return Text(w) == AboutCaption; }), nullptr);
            break;
    }
    PostMessageW(Main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Windows, DemoSessionClosedFromOutside,
                         ::testing::Values(OpenWindow::Palette, OpenWindow::ColourDialog, OpenWindow::About));

}  // namespace
