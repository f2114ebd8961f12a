#include "win32/WinFixtures.h"

#include <psapi.h>

#include "toolkit/Forms.h"

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

std::size_t PagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

}  // namespace WinFixtures
