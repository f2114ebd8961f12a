// Internals shared by the files of the win32 backend.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <cstdint>

#include "toolkit/Graphics.h"

namespace Toolkit::Win32 {

// Counted creation and deletion of GDI objects.
void CountGdi(long delta);
HDC NewMemoryDC();
void DeleteMemoryDC(HDC dc);
HBRUSH NewSolidBrush(TColor color);
void DeleteGdiObject(HGDIOBJ object);

// The module holding the toolkit's code (a program or a DLL): its window classes are
// registered for it.
HINSTANCE ToolkitModule();

// The hidden message-only window of the user-interface thread: synchronized calls,
// timers and deferred frees arrive there. Made on first use on the UI thread; nullptr
// when asked for first from another thread.
HWND UtilityWindow();
constexpr UINT WM_SYNCHRONIZE = WM_APP + 1;
constexpr UINT WM_RELEASE_FORM = WM_APP + 2;
// Frees a form that Close released, unless it was freed meanwhile.
void FreeReleasedForm(LPARAM form);

// Keyboard handling of the forms before a message is dispatched (key preview, access
// keys, dialog navigation). True when the message was consumed.
bool PreTranslateMessage(MSG& msg);
// Handles the toolkit's messages posted to the thread rather than a window.
bool HandleThreadMessage(const MSG& msg);
// One message: pre-translated, or translated and dispatched.
void DispatchOne(MSG& msg);
// Pumps what is waiting, without blocking.
void PumpWaiting();

// Pixel store with an HBITMAP behind it.
class THandleStore : public TPixelStore {
public:
    virtual HBITMAP Handle() const = 0;
    // Reads the picture back from the handle after GDI drew on it (foreign formats).
    virtual void Reload() {}
};

// 24-bit bottom-up rows of a bitmap of the given size, as GetDIBits and SetDIBits take them.
BITMAPINFO DibInfo(int width, int height);

}  // namespace Toolkit::Win32
