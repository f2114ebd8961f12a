// Lumawipe.ocx as a COM server file: its exports by ordinal, its version resource and
// toolbox bitmap, registration by regsvr32 (every key and value it writes, the same
// state when registered twice, nothing left after unregistering), and unloading.
#include "AxFixtures.h"

#include <map>
#include <string>
#include <vector>

#include "win32/WinFixtures.h"

using namespace AxTest;

namespace {

// Exit code of regsvr32 (of this process's architecture, so it writes the registry view
// this process reads) run on the library with the given options.
DWORD Regsvr32(const std::wstring& options) {
    std::wstring command = L"regsvr32.exe " + options + L" \"" + OcxPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "regsvr32 does not start, error " << GetLastError();
        return DWORD(-1);
    }
    DWORD code = DWORD(-1);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0) << "regsvr32 does not end";
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The keys below a registry key, each with its values as "name=data" (the default value
// with an empty name; a key whose default value is absent or empty shows none).
using Keys = std::map<std::wstring, std::vector<std::wstring>>;

void ReadKeys(HKEY parent, const std::wstring& path, const std::wstring& shown, Keys& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::wstring>& values = out[shown];
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        BYTE data[2048];
        size = sizeof data;
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
    for (const std::wstring& sub : subkeys) ReadKeys(parent, path + L"\\" + sub, shown + L"\\" + sub, out);
}

// What registration touches under HKEY_CLASSES_ROOT.
Keys Registered() {
    Keys keys;
    for (const std::wstring& root :
         {L"CLSID\\" + GuidText(CLSID_Lumawipe), L"CLSID\\" + GuidText(CLSID_LumawipeProperties),
          std::wstring(L"Lumawipe.Lumawipe"), L"TypeLib\\" + GuidText(LIBID_Lumawipe),
          L"Interface\\" + GuidText(IID_ILumawipe), L"Interface\\" + GuidText(DIID_ILumawipeEvents)})
        ReadKeys(HKEY_CLASSES_ROOT, root, root, keys);
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

// The keys the control's and the page's classes own, exactly.
Keys ExpectedClassKeys(const std::wstring& description) {
    const std::wstring control = L"CLSID\\" + GuidText(CLSID_Lumawipe), page = L"CLSID\\" + GuidText(CLSID_LumawipeProperties);
    return {
        {control, {L"=" + description}},
        {control + L"\\InprocServer32", {L"=" + OcxPath()}},
        {control + L"\\ProgID", {L"=Lumawipe.Lumawipe"}},
        {control + L"\\Version", {L"=3.0"}},
        {control + L"\\TypeLib", {L"=" + GuidText(LIBID_Lumawipe)}},
        {control + L"\\MiscStatus", {L"=0"}},
        {control + L"\\MiscStatus\\1", {L"=131473"}},
        {control + L"\\ToolboxBitmap32", {L"=" + OcxPath() + L",1"}},
        {control + L"\\Control", {}},
        {control + L"\\Verb", {}},
        {control + L"\\Verb\\0", {L"=Properties,0,2"}},
        {L"Lumawipe.Lumawipe", {L"=" + description}},
        {L"Lumawipe.Lumawipe\\Clsid", {L"=" + GuidText(CLSID_Lumawipe)}},
        {page, {L"=TLumawipeProperties property page"}},
        {page + L"\\InprocServer32", {L"=" + OcxPath()}},
    };
}

bool Under(const std::wstring& key, const std::wstring& root) { return key.rfind(root, 0) == 0; }

TEST(Registration, WritesTheTableAndRemovesIt) {
    Regsvr32(L"/u /s");  // whatever an earlier run left
    ASSERT_EQ(Registered(), Keys{}) << "left registered:\n" << Show(Registered());

    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const Keys first = Registered();
    Keys classes, typelib;
    for (const auto& entry : first) (Under(entry.first, L"CLSID") || Under(entry.first, L"Lumawipe.") ? classes : typelib).insert(entry);
    std::wstring description;
    const auto own = classes.find(L"CLSID\\" + GuidText(CLSID_Lumawipe));
    if (own != classes.end() && !own->second.empty()) description = own->second[0].substr(1);
    EXPECT_FALSE(description.empty()) << "the control has no description";
    EXPECT_EQ(classes, ExpectedClassKeys(description)) << "registered:\n" << Show(classes);

    // The type library, registered from the library's own file.
    const std::wstring lib = L"TypeLib\\" + GuidText(LIBID_Lumawipe) + L"\\3.0";
    EXPECT_TRUE(typelib.count(lib)) << Show(typelib);
    EXPECT_TRUE(typelib.count(L"Interface\\" + GuidText(IID_ILumawipe))) << Show(typelib);
    ComPtr<ITypeLib> loaded;
    EXPECT_EQ(LoadRegTypeLib(LIBID_Lumawipe, 3, 0, 0, loaded.Put()), S_OK);

    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    EXPECT_EQ(Registered(), first) << "registering again changes the registry";

    ASSERT_EQ(Regsvr32(L"/u /s"), 0u);
    EXPECT_EQ(Registered(), Keys{}) << "left after unregistering:\n" << Show(Registered());
}

// ---- the file ---------------------------------------------------------------------------

TEST(File, ExportsByOrdinal) {
    const Ocx ocx;
    const char* names[] = {"DllUnregisterServer", "DllRegisterServer", "DllCanUnloadNow", "DllGetClassObject"};
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        const FARPROC byName = GetProcAddress(ocx.Module(), names[ordinal - 1]);
        EXPECT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(GetProcAddress(ocx.Module(), MAKEINTRESOURCEA(ordinal)), byName) << "ordinal " << ordinal;
    }
}

TEST(File, VersionResource) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(OcxPath().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(OcxPath().c_str(), 0, size, info.data()));
    struct Translation {
        WORD Language, CodePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(translation->Language, 0x0409);
    EXPECT_EQ(translation->CodePage, 1252);
    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"CompanyName", L"Quillon"},          {L"FileDescription", L"Lumawipe ActiveX Control"},
        {L"FileVersion", L"3.0.0.0"},          {L"InternalName", L"Lumawipe"},
        {L"ProductName", L"Lumawipe ActiveX Control"}, {L"ProductVersion", L"3.0.0.0"},
        {L"OleSelfRegister", L"1"}};
    for (const auto& [key, expected] : strings) {
        wchar_t* text = nullptr;
        UINT chars = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + key;
        ASSERT_TRUE(VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &chars))
            << testing::PrintToString(key) << " missing";
        EXPECT_EQ(std::wstring(text), expected) << testing::PrintToString(key);
    }
}

TEST(File, ToolboxBitmapIs16By15With16Colours) {
    HMODULE data = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    HRSRC found = FindResourceW(data, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    ASSERT_NE(found, nullptr) << "no bitmap 1";
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(data, found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(std::abs(header->biHeight), 15);
    EXPECT_EQ(header->biBitCount, 4);
    FreeLibrary(data);
}

// COM unloads a library whose DllCanUnloadNow says so and loads it again later: the
// library then works as new.
TEST(File, WorksAgainAfterUnloading) {
    for (int round = 0; round < 2; ++round) {
        {
            const Ocx ocx;
            ASSERT_NE(ocx.Module(), nullptr);
            ComPtr<ILumawipe> control = ocx.NewControl();
            ASSERT_TRUE(control);
            EXPECT_TRUE(RunToDone(control.Get(), round == 1)) << "round " << round;
            control.Reset();
            EXPECT_EQ(ocx.CanUnloadNow(), S_OK) << "round " << round;
        }
        EXPECT_EQ(GetModuleHandleW(OcxPath().c_str()), nullptr) << "still loaded after round " << round;
    }
}

}  // namespace
