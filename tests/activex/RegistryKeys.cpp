#include "RegistryKeys.h"

#include "AxFixtures.h"

namespace AxTest {

namespace {

void ReadKeys(HKEY root, const std::wstring& path, const std::wstring& shown, Keys& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::wstring>& values = out[shown];
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0;
        BYTE data[2048];
        DWORD size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring text;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            text.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
        else
            text = L"<type " + std::to_wstring(type) + L">";
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        if (nameLength == 0 && text.empty() && type == REG_SZ) continue;
        values.push_back(std::wstring(name, nameLength) + L"=" + text);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const std::wstring& sub : subkeys)
        ReadKeys(root, path.empty() ? sub : path + L"\\" + sub, shown.empty() ? sub : shown + L"\\" + sub, out);
}

bool Under(const std::wstring& key, const std::wstring& root) { return key.rfind(root, 0) == 0; }

}  // namespace

Keys ReadTree(HKEY root, const std::wstring& path, const std::wstring& shown) {
    Keys keys;
    ReadKeys(root, path, shown, keys);
    return keys;
}

Keys Registered(const ClassesRoot& classes) {
    Keys keys;
    const std::wstring base = classes.Path;
    for (const std::wstring& key :
         {L"CLSID\\" + GuidText(CLSID_Lumawipe), L"CLSID\\" + GuidText(CLSID_LumawipeProperties),
          std::wstring(L"Lumawipe.Lumawipe"), L"TypeLib\\" + GuidText(LIBID_Lumawipe),
          L"Interface\\" + GuidText(IID_ILumawipe), L"Interface\\" + GuidText(DIID_ILumawipeEvents)})
        ReadKeys(classes.Root, base.empty() ? key : base + L"\\" + key, key, keys);
    return keys;
}

Keys ClassPart(const Keys& keys) {
    Keys part;
    for (const auto& entry : keys)
        if (Under(entry.first, L"CLSID") || Under(entry.first, L"Lumawipe.")) part.insert(entry);
    return part;
}

Keys ExpectedClassKeys(const std::wstring& path) {
    const std::wstring control = L"CLSID\\" + GuidText(CLSID_Lumawipe);
    const std::wstring page = L"CLSID\\" + GuidText(CLSID_LumawipeProperties);
    const std::wstring description = L"Lumawipe Control";
    return {
        {control, {L"=" + description}},
        {control + L"\\InprocServer32", {L"=" + path}},
        {control + L"\\ProgID", {L"=Lumawipe.Lumawipe"}},
        {control + L"\\Version", {L"=3.0"}},
        {control + L"\\TypeLib", {L"=" + GuidText(LIBID_Lumawipe)}},
        {control + L"\\MiscStatus", {L"=0"}},
        {control + L"\\MiscStatus\\1", {L"=131473"}},
        {control + L"\\ToolboxBitmap32", {L"=" + path + L",1"}},
        {control + L"\\Control", {}},
        {control + L"\\Verb", {}},
        {control + L"\\Verb\\0", {L"=Properties,0,2"}},
        {L"Lumawipe.Lumawipe", {L"=" + description}},
        {L"Lumawipe.Lumawipe\\Clsid", {L"=" + GuidText(CLSID_Lumawipe)}},
        {page, {L"=TLumawipeProperties property page"}},
        {page + L"\\InprocServer32", {L"=" + path}},
    };
}

Keys WithoutFinalBackslashes(Keys keys) {
    for (auto& entry : keys)
        for (std::wstring& value : entry.second)
            if (value.size() > 1 && value.back() == L'\\') value.pop_back();
    return keys;
}

std::string Show(const Keys& keys) {
    std::string text;
    for (const auto& [key, values] : keys) {
        text += std::string(key.begin(), key.end()) + "\n";
        for (const std::wstring& v : values) text += "    " + std::string(v.begin(), v.end()) + "\n";
    }
    return text;
}

testing::AssertionResult SameKeys(const Keys& got, const Keys& expected) {
    if (got == expected) return testing::AssertionSuccess();
    Keys onlyGot, onlyExpected;
    for (const auto& entry : got) {
        const auto other = expected.find(entry.first);
        if (other == expected.end() || other->second != entry.second) onlyGot.insert(entry);
    }
    for (const auto& entry : expected) {
        const auto other = got.find(entry.first);
        if (other == got.end() || other->second != entry.second) onlyExpected.insert(entry);
    }
    return testing::AssertionFailure() << "got:\n" << Show(onlyGot) << "expected:\n" << Show(onlyExpected);
}

DWORD RunProgram(const std::wstring& commandLine, const std::wstring& folder, DWORD timeoutMs) {
    std::wstring command = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << testing::PrintToString(commandLine) << ", error " << GetLastError();
        return DWORD(-1);
    }
    DWORD code = DWORD(-1);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, timeoutMs), WAIT_OBJECT_0)
        << testing::PrintToString(commandLine) << " does not end";
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

DWORD Regsvr32(const std::wstring& options, const std::wstring& path) {
    return RunProgram(L"regsvr32.exe " + options + L" \"" + path + L"\"");
}

}  // namespace AxTest
