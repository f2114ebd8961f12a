// Message-loop layer of the win32 backend: the hidden utility window, timers on
// SetTimer, synchronized and deferred calls through that window, the application object.
#include "toolkit/win32/MessageLoop.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Application.h"
#include "toolkit/Threads.h"
#include "toolkit/win32/Gdi.h"

namespace Toolkit {

using namespace Win32;

namespace {

// The thread that loaded the program (or the DLL).
const DWORD gMainThreadId = GetCurrentThreadId();

constexpr UINT WM_RELEASE_UTILITY = WM_APP + 3;  // a utility window asked to go

class TWin32TimerPeer;

// Every thread that runs the toolkit's windows (the program's, or each apartment thread a
// control lives on) has a utility window of its own: its timers, synchronized calls and
// deferred calls arrive there and run on that thread. The tables are shared by those
// threads, under one lock, and never destroyed: windows and controls may still go while
// the process exits.
struct TLoopTables {
    std::mutex Lock;
    std::map<DWORD, HWND> Utility;  // by thread id
    std::map<UINT_PTR, TWin32TimerPeer*> Timers;
    std::map<TDeferredCall, std::function<void()>> Deferred;
    std::set<std::wstring> Classes;
    std::vector<TMessageFilter> Filters;
};
TLoopTables& Tables() {
    static auto* tables = new TLoopTables;
    return *tables;
}

std::atomic<UINT_PTR> gNextTimerId{1};
std::atomic<TDeferredCall> gNextTicket{0};

void RunDeferred(TDeferredCall ticket) {
    std::function<void()> call;
    {
        TLoopTables& t = Tables();
        std::lock_guard<std::mutex> lock(t.Lock);
        const auto it = t.Deferred.find(ticket);
        if (it == t.Deferred.end()) return;  // cancelled
        call = std::move(it->second);
        t.Deferred.erase(it);
    }
    CallGuarded(call);
}

class TWin32TimerPeer final : public TTimerPeer {
public:
    explicit TWin32TimerPeer(TTimer& timer) : FTimer(timer), FId(gNextTimerId++) {}
    ~TWin32TimerPeer() override { Update(0); }
    // On the thread the timer belongs to: its ticks arrive at that thread's utility window.
    void Update(std::uint32_t interval) override {
        if (FArmed) {
            KillTimer(FWindow, FId);
            std::lock_guard<std::mutex> lock(Tables().Lock);
            Tables().Timers.erase(FId);
            FArmed = false;
        }
        if (interval == 0) return;
        FWindow = UtilityWindow();
        if (!FWindow || !SetTimer(FWindow, FId, interval, nullptr)) throw EOutOfResources("Unable to start a timer.");
        std::lock_guard<std::mutex> lock(Tables().Lock);
        Tables().Timers[FId] = this;
        FArmed = true;
    }
    TTimer& Timer() { return FTimer; }

private:
    TTimer& FTimer;
    const UINT_PTR FId;
    HWND FWindow = nullptr;
    bool FArmed = false;
};

TWin32TimerPeer* TimerOf(UINT_PTR id) {
    std::lock_guard<std::mutex> lock(Tables().Lock);
    const auto it = Tables().Timers.find(id);
    return it != Tables().Timers.end() ? it->second : nullptr;
}

// The window of thread id, while it exists.
HWND UtilityWindowOf(DWORD thread) {
    std::lock_guard<std::mutex> lock(Tables().Lock);
    const auto it = Tables().Utility.find(thread);
    if (it == Tables().Utility.end()) return nullptr;
    // A thread that ended took its windows along.
    if (!IsWindow(it->second)) {
        Tables().Utility.erase(it);
        return nullptr;
    }
    return it->second;
}

// Destroys the calling thread's utility window.
void DestroyOwnUtilityWindow() {
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(Tables().Lock);
        const auto it = Tables().Utility.find(GetCurrentThreadId());
        if (it == Tables().Utility.end()) return;
        window = it->second;
        Tables().Utility.erase(it);
    }
    DestroyWindow(window);
}

LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SYNCHRONIZE:
            RunSynchronizedCalls();
            return 0;
        case WM_TIMER:
            if (TWin32TimerPeer* peer = TimerOf(wParam)) peer->Timer().Tick();  // may free the timer
            return 0;
        case WM_DEFERRED_CALL:
            RunDeferred(TDeferredCall(lParam));
            return 0;
        case WM_RELEASE_UTILITY:
            DestroyOwnUtilityWindow();
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

bool Win32::RegisterToolkitClass(const WNDCLASSW& wc) {
    {
        std::lock_guard<std::mutex> lock(Tables().Lock);
        if (Tables().Classes.count(wc.lpszClassName)) return true;
    }
    WNDCLASSW own = wc;
    own.hInstance = ToolkitModule();
    if (!RegisterClassW(&own) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    std::lock_guard<std::mutex> lock(Tables().Lock);
    Tables().Classes.insert(wc.lpszClassName);
    return true;
}

bool Win32::ReleaseModuleWindows() {
    DestroyOwnUtilityWindow();
    bool othersLeft = false;
    {
        // Another thread's window can only be destroyed by that thread: it is asked to.
        std::lock_guard<std::mutex> lock(Tables().Lock);
        for (auto it = Tables().Utility.begin(); it != Tables().Utility.end();) {
            if (!IsWindow(it->second)) {
                it = Tables().Utility.erase(it);
                continue;
            }
            PostMessageW(it->second, WM_RELEASE_UTILITY, 0, 0);
            othersLeft = true;
            ++it;
        }
    }
    if (othersLeft) return false;
    std::lock_guard<std::mutex> lock(Tables().Lock);
    for (auto it = Tables().Classes.begin(); it != Tables().Classes.end();) {
        // A class still in use by a window stays registered.
        if (UnregisterClassW(it->c_str(), ToolkitModule()))
            it = Tables().Classes.erase(it);
        else
            ++it;
    }
    return true;
}

HWND Win32::UtilityWindow() {
    const DWORD thread = GetCurrentThreadId();
    if (HWND window = UtilityWindowOf(thread)) return window;
    WNDCLASSW wc{};
    wc.lpfnWndProc = UtilityProc;
    wc.lpszClassName = L"LumawipeUtility";
    RegisterToolkitClass(wc);
    HWND window = CreateWindowExW(0, L"LumawipeUtility", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ToolkitModule(),
                                  nullptr);
    if (window) {
        std::lock_guard<std::mutex> lock(Tables().Lock);
        Tables().Utility[thread] = window;
    }
    return window;
}

std::unique_ptr<TTimerPeer> NewTimerPeer(TTimer& timer) { return std::make_unique<TWin32TimerPeer>(timer); }

std::uint32_t CurrentThreadToken() { return GetCurrentThreadId(); }

void NotifyThread(std::uint32_t thread) {
    // The window's message also arrives inside modal loops (message boxes, menus), where
    // a thread message would be lost; before the window exists the thread's queue is all
    // there is, and the toolkit's loops look there too.
    if (HWND window = UtilityWindowOf(thread))
        PostMessageW(window, WM_SYNCHRONIZE, 0, 0);
    else
        PostThreadMessageW(thread, WM_SYNCHRONIZE, 0, 0);
}

TDeferredCall Win32::PostDeferred(std::function<void()> call) {
    const TDeferredCall ticket = ++gNextTicket;
    HWND window = UtilityWindow();
    {
        std::lock_guard<std::mutex> lock(Tables().Lock);
        Tables().Deferred[ticket] = std::move(call);
    }
    PostMessageW(window, WM_DEFERRED_CALL, 0, LPARAM(ticket));
    return ticket;
}

void Win32::CancelDeferred(TDeferredCall ticket) {
    std::function<void()> dropped;  // released after the lock: it may hold objects
    std::lock_guard<std::mutex> lock(Tables().Lock);
    const auto it = Tables().Deferred.find(ticket);
    if (it == Tables().Deferred.end()) return;
    dropped = std::move(it->second);
    Tables().Deferred.erase(it);
}

void Win32::AddMessageFilter(TMessageFilter filter) {
    std::lock_guard<std::mutex> lock(Tables().Lock);
    Tables().Filters.push_back(std::move(filter));
}

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
    std::vector<TMessageFilter> filters;
    {
        std::lock_guard<std::mutex> lock(Tables().Lock);
        filters = Tables().Filters;
    }
    for (const TMessageFilter& filter : filters)
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
