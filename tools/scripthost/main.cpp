// lumawipe-script SCRIPT.vbs|SCRIPT.js [ARGUMENT...]: runs a script with the system's
// script engines; see ScriptHost.h for what the script finds and for the exit codes.
#include "Com.h"
#include "ScriptHost.h"

#include "toolkit/win32/WindowsApi.h"
#include <objbase.h>

#include <string>
#include <string_view>

namespace {

using scripthost::kExitCannotRun;

// One line to a console (as UTF-16) or to a file or pipe (as UTF-8, ending in LF).
void WriteLine(DWORD which, std::wstring_view text) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring line = std::wstring(text) + L"\r\n";
        WriteConsoleW(handle, line.data(), DWORD(line.size()), &written, nullptr);
        return;
    }
    std::string line;
    if (!text.empty()) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
        line.resize(size_t(n > 0 ? n : 0));
        if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), line.data(), n, nullptr, nullptr);
    }
    line += '\n';
    WriteFile(handle, line.data(), DWORD(line.size()), &written, nullptr);
}

void Out(std::wstring_view text) { WriteLine(STD_OUTPUT_HANDLE, text); }
void Err(std::wstring_view text) { WriteLine(STD_ERROR_HANDLE, text); }

// Decodes a script file: UTF-16 or UTF-8 by their byte order marks, else UTF-8 when the
// bytes are valid UTF-8, else the system's ANSI code page.
std::wstring Decode(const std::string& bytes) {
    std::string_view b(bytes);
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') {
        std::wstring text((b.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = wchar_t(static_cast<unsigned char>(b[2 + 2 * i]) | static_cast<unsigned char>(b[3 + 2 * i]) << 8);
        return text;
    }
    if (b.starts_with("\xEF\xBB\xBF")) b.remove_prefix(3);
    if (b.empty()) return {};
    for (const UINT page : {UINT(CP_UTF8), UINT(CP_ACP)}) {
        const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = MultiByteToWideChar(page, flags, b.data(), int(b.size()), nullptr, 0);
        if (n <= 0) continue;
        std::wstring text(size_t(n), L'\0');
        MultiByteToWideChar(page, flags, b.data(), int(b.size()), text.data(), n);
        return text;
    }
    return {};
}

bool ReadScript(const std::wstring& path, std::wstring& text, std::wstring& why) {
    // Scripts are small; this bounds what a wrong file name can make the host read.
    constexpr LONGLONG kLargest = 64LL << 20;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = scripthost::HresultText(HRESULT_FROM_WIN32(GetLastError()));
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart > kLargest) {
        why = L"the file is larger than 64 MiB";
        ok = false;
    }
    std::string bytes;
    if (ok) {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) && read == bytes.size());
        if (!ok) why = scripthost::HresultText(HRESULT_FROM_WIN32(GetLastError()));
    }
    CloseHandle(file);
    if (ok) text = Decode(bytes);
    // The engines see the text only up to a NUL: the rest would silently not run.
    if (ok && text.find(L'\0') != std::wstring::npos) {
        why = L"the file is not text (it holds a NUL character)";
        ok = false;
    }
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wstring_view(argv[1]) == L"--help" || std::wstring_view(argv[1]) == L"/?") {
        (argc < 2 ? Err : Out)(L"usage: lumawipe-script SCRIPT.vbs|SCRIPT.js [ARGUMENT...]");
        return argc < 2 ? kExitCannotRun : 0;
    }
    const std::wstring path = argv[1];
    const auto language = scripthost::LanguageOf(path);
    if (!language) {
        Err(path + L": unknown kind of script (the name must end in .vbs or .js)");
        return kExitCannotRun;
    }
    std::wstring code, why;
    if (!ReadScript(path, code, why)) {
        Err(path + L": cannot read the script: " + why);
        return kExitCannotRun;
    }
    if (FAILED(CoInitialize(nullptr))) {
        Err(L"lumawipe-script: COM cannot be started");
        return kExitCannotRun;
    }
    scripthost::RunOptions options;
    options.scriptName = path;
    options.arguments.assign(argv + 2, argv + argc);
    options.out = Out;
    options.err = Err;
    const int exitCode = scripthost::RunScript(*language, code, options);
    CoUninitialize();
    return exitCode;
}
