// The shell and the clipboard, as the toolkit's programs use them: opening a document or
// an address with its registered program, and plain text on the clipboard.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <functional>
#include <string>

namespace Toolkit::Win32 {

// Asks the shell to carry out verb on file (ShellExecute with no parameters and no
// directory). The result is not examined: the shell reports its own failures.
void ShellExecuteText(HWND parent, const std::string& verb, const std::string& file, int show);

// Replaces what ShellExecuteText calls, so tests see the request without starting a
// program; an empty handler restores the shell. Returns the previous handler.
using TShellHandler = std::function<void(HWND parent, const std::string& verb, const std::string& file, int show)>;
TShellHandler SetShellHandler(TShellHandler handler);

// Plain text on the clipboard (CF_UNICODETEXT). SetClipboardText returns false when the
// clipboard could not be opened; ClipboardText gives "" when it holds no text.
bool SetClipboardText(const std::string& text);
std::string ClipboardText();

}  // namespace Toolkit::Win32
