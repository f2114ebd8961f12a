#include "toolkit/win32/Shell.h"

#include <shellapi.h>

#include <cstring>

#include "toolkit/win32/Gdi.h"

namespace Toolkit::Win32 {

namespace {
TShellHandler& Handler() {
    static TShellHandler handler;
    return handler;
}

// Opens the clipboard for the calling thread; another program may hold it for a moment.
bool OpenClipboardRetrying() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(10);
    }
    return false;
}
}  // namespace

void ShellExecuteText(HWND parent, const std::string& verb, const std::string& file, int show) {
    if (Handler()) {
        Handler()(parent, verb, file, show);
        return;
    }
    ShellExecuteW(parent, Widen(verb).c_str(), Widen(file).c_str(), nullptr, nullptr, show);
}

TShellHandler SetShellHandler(TShellHandler handler) {
    TShellHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

bool SetClipboardText(const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    if (void* p = GlobalLock(memory)) {
        std::memcpy(p, wide.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboardRetrying()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);  // the clipboard owns it only once placed
    return placed;
}

std::string ClipboardText() {
    if (!OpenClipboardRetrying()) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Narrow(p);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace Toolkit::Win32
