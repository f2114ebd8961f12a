// Message-loop layer of the win32 backend: the hidden utility window, timers on
// SetTimer, synchronized and deferred calls through that window, the application object.
#include "toolkit/win32/MessageLoop.h"

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Threads.h"
#include "toolkit/win32/Gdi.h"

namespace Toolkit {

using namespace Win32;

namespace {

// The user-interface thread: the one that loads the program (or the DLL).
const DWORD gMainThreadId = GetCurrentThreadId();

class TWin32TimerPeer;
std::map<UINT_PTR, TWin32TimerPeer*>& Timers() {
    static std::map<UINT_PTR, TWin32TimerPeer*> timers;
    return timers;
}

std::map<TDeferredCall, std::function<void()>>& DeferredCalls() {
    static std::map<TDeferredCall, std::function<void()>> calls;
    return calls;
}

void RunDeferred(TDeferredCall ticket) {
    const auto it = DeferredCalls().find(ticket);
    if (it == DeferredCalls().end()) return;  // cancelled
    const std::function<void()> call = std::move(it->second);
    DeferredCalls().erase(it);
    CallGuarded(call);
}

std::vector<TMessageFilter>& MessageFilters() {
    static std::vector<TMessageFilter> filters;
    return filters;
}

class TWin32TimerPeer final : public TTimerPeer {
public:
    explicit TWin32TimerPeer(TTimer& timer) : FTimer(timer) {
        static UINT_PTR nextId = 1;
        FId = nextId++;
    }
    ~TWin32TimerPeer() override { Update(0); }
    void Update(std::uint32_t interval) override {
        if (FArmed) {
            KillTimer(UtilityWindow(), FId);
            Timers().erase(FId);
            FArmed = false;
        }
        if (interval == 0) return;
        if (!UtilityWindow() || !SetTimer(UtilityWindow(), FId, interval, nullptr))
            throw EOutOfResources("Unable to start a timer.");
        Timers()[FId] = this;
        FArmed = true;
    }
    TTimer& Timer() { return FTimer; }

private:
    TTimer& FTimer;
    UINT_PTR FId = 0;
    bool FArmed = false;
};

LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SYNCHRONIZE:
            RunSynchronizedCalls();
            return 0;
        case WM_TIMER: {
            const auto it = Timers().find(wParam);
            if (it != Timers().end()) it->second->Timer().Tick();  // may free the timer
            return 0;
        }
        case WM_DEFERRED_CALL:
            RunDeferred(TDeferredCall(lParam));
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

HINSTANCE Win32::ToolkitModule() {
    static const HINSTANCE module = [] {
        HMODULE m = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&UtilityProc), &m);
        return m ? m : GetModuleHandleW(nullptr);
    }();
    return module;
}

namespace {
std::atomic<HWND> gUtilityWindow{nullptr};

std::set<std::wstring>& RegisteredClasses() {
    static std::set<std::wstring> names;
    return names;
}
}  // namespace

bool Win32::RegisterToolkitClass(const WNDCLASSW& wc) {
    if (RegisteredClasses().count(wc.lpszClassName)) return true;
    WNDCLASSW own = wc;
    own.hInstance = ToolkitModule();
    if (!RegisterClassW(&own) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    RegisteredClasses().insert(wc.lpszClassName);
    return true;
}

void Win32::ReleaseModuleWindows() {
    if (GetCurrentThreadId() != gMainThreadId) return;
    if (HWND window = gUtilityWindow.exchange(nullptr)) DestroyWindow(window);
    for (auto it = RegisteredClasses().begin(); it != RegisteredClasses().end();) {
        // A class still in use by a window stays registered.
        if (UnregisterClassW(it->c_str(), ToolkitModule()))
            it = RegisteredClasses().erase(it);
        else
            ++it;
    }
}

HWND Win32::UtilityWindow() {
    if (HWND window = gUtilityWindow.load()) return window;
    if (GetCurrentThreadId() != gMainThreadId) return nullptr;  // only the UI thread may own it
    WNDCLASSW wc{};
    wc.lpfnWndProc = UtilityProc;
    wc.lpszClassName = L"LumawipeUtility";
    RegisterToolkitClass(wc);
    HWND window = CreateWindowExW(0, L"LumawipeUtility", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ToolkitModule(),
                                  nullptr);
    gUtilityWindow.store(window);
    return window;
}

std::unique_ptr<TTimerPeer> NewTimerPeer(TTimer& timer) { return std::make_unique<TWin32TimerPeer>(timer); }

void NotifyMainThread() {
    // The window's message also arrives inside modal loops (message boxes, menus), where
    // a thread message would be lost; before the window exists the thread's queue is all
    // there is, and the toolkit's loops look there too.
    if (HWND window = UtilityWindow())
        PostMessageW(window, WM_SYNCHRONIZE, 0, 0);
    else
        PostThreadMessageW(gMainThreadId, WM_SYNCHRONIZE, 0, 0);
}

TDeferredCall Win32::PostDeferred(std::function<void()> call) {
    static TDeferredCall lastTicket = 0;
    const TDeferredCall ticket = ++lastTicket;
    DeferredCalls()[ticket] = std::move(call);
    PostMessageW(UtilityWindow(), WM_DEFERRED_CALL, 0, LPARAM(ticket));
    return ticket;
}

void Win32::CancelDeferred(TDeferredCall ticket) { DeferredCalls().erase(ticket); }

void Win32::AddMessageFilter(TMessageFilter filter) { MessageFilters().push_back(std::move(filter)); }

// ---------------------------------------------------------------------------------------
// Application

TApplication& Application() {
    static TApplication app;
    return app;
}

namespace {
bool gReporting = false;  // a message box of HandleException is open
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException) {
        OnException(e);
        return;
    }
    // Every tick of a failing timer lands here while the box is open: one box is enough.
    if (gReporting) return;
    gReporting = true;
    const std::wstring caption = Widen(Title.empty() ? std::string("Error") : Title);
    MessageBoxW(GetActiveWindow(), Widen(e.what()).c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
    gReporting = false;
}

void Win32::PumpWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            Application().Terminate();
            PostQuitMessage(int(msg.wParam));  // leave it for the outer loop as well
            break;
        }
        DispatchOne(msg);
    }
}

void TApplication::ProcessMessages() {
    UtilityWindow();
    PumpWaiting();
    RunSynchronizedCalls();
}

bool TApplication::IsMainThread() const { return GetCurrentThreadId() == gMainThreadId; }

// A thread message of the toolkit (posted before its window existed).
bool Win32::HandleThreadMessage(const MSG& msg) {
    if (msg.hwnd || msg.message != WM_SYNCHRONIZE) return false;
    RunSynchronizedCalls();
    return true;
}

void Win32::DispatchOne(MSG& msg) {
    if (HandleThreadMessage(msg)) return;
    for (const TMessageFilter& filter : MessageFilters())
        if (filter(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TApplication::Run() {
    UtilityWindow();
    MSG msg;
    while (!FTerminated) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        DispatchOne(msg);
    }
    FTerminated = true;
}

}  // namespace Toolkit
