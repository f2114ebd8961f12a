// The message-loop layer of the win32 backend: the hidden utility window of the
// user-interface thread, timers, synchronized calls, deferred calls and the application
// object's loop. It knows nothing of controls or forms; what those need from the loop
// they register here (message filters, deferred calls).
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <cstdint>
#include <functional>

namespace Toolkit::Win32 {

// The module holding the toolkit's code (a program or a DLL): its window classes are
// registered for it.
HINSTANCE ToolkitModule();

// Registers a window class of the toolkit for ToolkitModule() once (until
// ReleaseModuleWindows); true when it is registered.
bool RegisterToolkitClass(const WNDCLASSW& wc);

// For a toolkit inside a DLL that is about to be unloaded: destroys the calling thread's
// utility window, asks the other threads to destroy theirs, and once none is left
// unregisters the toolkit's window classes (those no window uses any more), so that no
// window is left whose procedure lies in the unloaded code. All are made again when next
// needed. Returns false while another thread's utility window still exists.
bool ReleaseModuleWindows();

// The hidden message-only window of the calling thread (each thread that runs the
// toolkit's windows has its own): the synchronized calls of the workers it made, its
// timers and its deferred calls arrive there. Made on first use; nullptr when it cannot
// be made.
HWND UtilityWindow();
constexpr UINT WM_SYNCHRONIZE = WM_APP + 1;
constexpr UINT WM_DEFERRED_CALL = WM_APP + 2;

// Runs call on the calling thread once the message now being handled is done (it is
// queued behind what is already waiting). The ticket cancels it, on the same thread.
using TDeferredCall = std::uintptr_t;  // travels in a message's LPARAM
TDeferredCall PostDeferred(std::function<void()> call);
// Drops a deferred call that has not run yet; one that ran or was dropped is ignored.
void CancelDeferred(TDeferredCall ticket);

// Sees each message before it is translated and dispatched; true when it consumed the
// message. Higher layers install theirs (the forms' keyboard handling), in order.
using TMessageFilter = std::function<bool(MSG& msg)>;
void AddMessageFilter(TMessageFilter filter);

// Handles the toolkit's messages posted to the thread rather than a window.
bool HandleThreadMessage(const MSG& msg);
// One message: handled by a filter, or translated and dispatched.
void DispatchOne(MSG& msg);
// Pumps what is waiting, without blocking.
void PumpWaiting();

}  // namespace Toolkit::Win32
