#include "win32/WinFixtures.h"

#include <psapi.h>

#include <string>

#include "toolkit/Application.h"

namespace WinFixtures {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Toolkit::Application().ProcessMessages();
    }
    return true;
}

void PumpFor(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    PumpUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, ms + 1000);
}

std::string WindowText(HWND hwnd) {
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return Toolkit::Narrow(text);
}

void CaptureWindow(HWND hwnd, const Toolkit::TRect& r, Toolkit::TBitmap& out) {
    out.SetSize(r.Width(), r.Height());
    HDC window = GetDC(hwnd);
    ASSERT_NE(window, nullptr);
    {
        Toolkit::TBitmapDC dc(out);
        BitBlt(dc.Handle(), 0, 0, r.Width(), r.Height(), window, r.Left, r.Top, SRCCOPY);
    }
    ReleaseDC(hwnd, window);
}

void CaptureScreen(const Toolkit::TRect& r, Toolkit::TBitmap& out) { CaptureWindow(nullptr, r, out); }

Toolkit::TRect ScreenRect(HWND hwnd, const Toolkit::TRect& r) {
    POINT corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
    MapWindowPoints(hwnd, nullptr, corners, 2);
    return Toolkit::TRect{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

Toolkit::TRect ScreenRect(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return ScreenRect(hwnd, Toolkit::TRect{0, 0, client.right, client.bottom});
}

namespace {

std::function<bool(HWND)> gDialogMatch;
std::function<void(HWND)> gDialogAction;
UINT_PTR gDialogTimer = 0;
std::chrono::steady_clock::time_point gDialogDeadline;
constexpr UINT DialogPollMs = 20;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
    if (!IsWindowVisible(hwnd) || !gDialogMatch(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

void StopDialogTimer() {
    KillTimer(nullptr, gDialogTimer);
    gDialogTimer = 0;
}

void CALLBACK PollDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        if (std::chrono::steady_clock::now() < gDialogDeadline) return;
        StopDialogTimer();
        gDialogAction = nullptr;
        ADD_FAILURE() << "the awaited window did not show";
        return;
    }
    StopDialogTimer();
    auto act = std::move(gDialogAction);
    gDialogAction = nullptr;
    act(dialog);
}

}  // namespace

void WhenWindowShows(std::function<bool(HWND)> match, std::function<void(HWND)> act, int timeoutMs) {
    gDialogMatch = std::move(match);
    gDialogAction = std::move(act);
    gDialogDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!gDialogTimer) gDialogTimer = SetTimer(nullptr, 0, DialogPollMs, PollDialog);
}

void WhenDialogShows(std::function<void(HWND dialog)> act, int timeoutMs) {
    WhenWindowShows(
        [](HWND hwnd) {
            wchar_t cls[8] = {};
            GetClassNameW(hwnd, cls, 8);
            return std::wstring(cls) == L"#32770";
        },
        std::move(act), timeoutMs);
}

bool DialogPending() { return gDialogTimer != 0; }

void ClickOnScreen(POINT p) {
    SetCursorPos(p.x, p.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

namespace {

struct EditSearch {
    const wchar_t* Text;
    HWND Found = nullptr;
};

// A plain callback (a lambda does not convert to the i686 build's stdcall callbacks).
BOOL CALLBACK MatchEdit(HWND hwnd, LPARAM p) {
    auto& s = *reinterpret_cast<EditSearch*>(p);
    wchar_t cls[16] = {}, content[32] = {};
    GetClassNameW(hwnd, cls, 16);
    GetWindowTextW(hwnd, content, 32);
    if (lstrcmpiW(cls, L"Edit") != 0 || std::wstring(content) != s.Text) return TRUE;
    s.Found = hwnd;
    return FALSE;
}

}  // namespace

HWND EditShowing(HWND window, const wchar_t* text) {
    EditSearch search{text};
    EnumChildWindows(window, MatchEdit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::size_t PagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

}  // namespace WinFixtures
