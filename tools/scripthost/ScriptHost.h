// Runs a script with the system's script engines and a global object `WScript`: Echo,
// Sleep (pumping messages), CreateObject / ConnectObject / DisconnectObject (events to
// prefixed script procedures), Quit, Arguments, and LoadPicture(file): a BMP file as a
// bitmap handle (an integer) for properties that take one, such as the control's
// FromBitmap (VBScript's own LoadPicture is missing under Wine, and JScript has none). The
// handle is the script's to hand over: whatever adopts it deletes it; one never handed
// over lives until the process ends.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <oaidl.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scripthost {

enum class Language { VBScript, JScript };

// By the file's extension, .vbs or .js (any case).
std::optional<Language> LanguageOf(std::wstring_view path);

// Exit codes besides a script's own Quit(code).
constexpr int kExitOk = 0;
constexpr int kExitScriptError = 1;
constexpr int kExitCannotRun = 2;

struct RunOptions {
    std::wstring scriptName;              // names the script in error messages
    std::vector<std::wstring> arguments;  // WScript.Arguments
    std::function<void(std::wstring_view)> out;  // one line of Echo, without its end
    std::function<void(std::wstring_view)> err;  // one error message
    // Further global objects besides WScript, by name.
    std::vector<std::pair<std::wstring, IDispatch*>> globals;
};

// Runs `code` on the calling thread, which must be in a single-threaded apartment. Returns
// kExitOk when the script ran to its end, the code given to Quit, kExitScriptError after
// an error in the script or in one of its event procedures (told through `err` as
// "name(line, col): description"), or kExitCannotRun when the engine cannot be started.
//
// Quit, and an error in an event procedure, end the script by an error raised from the
// call into WScript (Wine's engines cannot interrupt a script). A script that catches it
// (On Error Resume Next, try/catch) goes on until its next call into WScript, which
// raises it again, or its end; the exit code is the same either way.
//
// CreateObject(progId, prefix) and ConnectObject(object, prefix) connect the object's
// default source dispinterface (found through IProvideClassInfo) so that event E calls
// the script's procedure prefix + E, if there is one. An object whose events cannot be
// connected that way makes them raise an error telling why; the script may handle it.
// Events arrive when the object raises them during a call, or while the script sleeps:
// Sleep dispatches the thread's messages, so posted and sent messages and timers of the
// objects reach them.
int RunScript(Language language, std::wstring_view code, const RunOptions& options);

}  // namespace scripthost
