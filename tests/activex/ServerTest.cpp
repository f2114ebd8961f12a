// Lumawipe.ocx as a COM server file: its exports by ordinal, its version resource and
// toolbox bitmap, registration by regsvr32 (every key and value it writes, the same
// state when registered twice, nothing left after unregistering), and unloading.
#include "AxFixtures.h"
#include "RegistryKeys.h"

#include <string>
#include <vector>

#include "win32/WinFixtures.h"

using namespace AxTest;

namespace {

DWORD Regsvr32(const std::wstring& options) { return AxTest::Regsvr32(options, OcxPath()); }

TEST(Registration, WritesTheTableAndRemovesIt) {
    Regsvr32(L"/u /s");  // whatever an earlier run left
    ASSERT_EQ(Registered(), Keys{}) << "left registered:\n" << Show(Registered());

    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const Keys first = Registered();
    const Keys classes = ClassPart(first);
    Keys typelib;
    for (const auto& entry : first)
        if (!classes.count(entry.first)) typelib.insert(entry);
    EXPECT_EQ(classes, ExpectedClassKeys(OcxPath())) << "registered:\n" << Show(classes);

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
    EXPECT_EQ(Regsvr32(L"/u /s"), 0u) << "unregistering twice fails";
}

// ---- the file ---------------------------------------------------------------------------

TEST(File, ExportsByOrdinal) {
    const Ocx ocx;
    const char* names[] = {"DllUnregisterServer", "DllRegisterServer", "DllCanUnloadNow", "DllGetClassObject",
                           "DllInstall"};
    for (int ordinal = 1; ordinal <= 5; ++ordinal) {
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
