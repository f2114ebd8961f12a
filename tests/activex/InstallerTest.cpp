// The installer of this architecture under Wine, in a prefix of its own. msiexec /i puts
// Lumawipe.ocx and Demo.exe into the architecture's Program Files and a shortcut of the
// demo into the Start menu, and registers the control from the installer's own tables
// with the entries regsvr32 writes; a script then creates the control by its ProgID and
// plays it to OnDone. An older version is upgraded in place, and cannot replace a newer
// one. msiexec /x leaves nothing of it in the registry or on disk.
#include "AxFixtures.h"
#include "RegistryKeys.h"

#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

#include <string>
#include <vector>

using namespace AxTest;

namespace {

std::wstring Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK) << "folder " << csidl;
    return path;
}

// Program Files of this process's architecture, as the installer of the same one uses.
std::wstring InstallFolder() { return Folder(CSIDL_PROGRAM_FILES) + L"\\Lumawipe"; }
std::wstring InstalledOcx() { return InstallFolder() + L"\\Lumawipe.ocx"; }
// The Start-menu folders the shortcut may lie in: the machine's (Windows) or the user's
// (Wine's installer puts a machine-wide installation's shortcuts there).
std::vector<std::wstring> MenuFolders() {
    return {Folder(CSIDL_COMMON_PROGRAMS) + L"\\Lumawipe", Folder(CSIDL_PROGRAMS) + L"\\Lumawipe"};
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The installation's folders that exist, with the files in them.
std::vector<std::wstring> OnDisk() {
    std::vector<std::wstring> found;
    std::vector<std::wstring> folders = MenuFolders();
    folders.push_back(InstallFolder());
    for (const std::wstring& folder : folders) {
        if (!Exists(folder)) continue;
        found.push_back(folder);
        WIN32_FIND_DATAW file;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &file);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            const std::wstring name = file.cFileName;
            if (name != L"." && name != L"..") found.push_back(folder + L"\\" + name);
        } while (FindNextFileW(search, &file));
        FindClose(search);
    }
    return found;
}

DWORD Msiexec(const std::wstring& action, const char* package) {
    return RunProgram(L"msiexec.exe " + action + L" \"" + WinePath(package) + L"\" /qn");
}

// MSIDBOPEN_READONLY, which the headers define for the character set of the build only.
const LPCWSTR ReadOnly = nullptr;

// The installer's upgrade code, which every version of the product shares.
std::wstring UpgradeCode() {
    MSIHANDLE database = 0, view = 0, record = 0;
    std::wstring code;
    if (MsiOpenDatabaseW(WinePath(LUMAWIPE_INSTALLER).c_str(), ReadOnly, &database) == ERROR_SUCCESS &&
        MsiDatabaseOpenViewW(database, L"SELECT `Value` FROM `Property` WHERE `Property` = 'UpgradeCode'", &view) ==
            ERROR_SUCCESS &&
        MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &record) == ERROR_SUCCESS) {
        wchar_t text[64] = {};
        DWORD length = 64;
        if (MsiRecordGetStringW(record, 1, text, &length) == ERROR_SUCCESS) code = text;
    }
    for (MSIHANDLE h : {record, view, database})
        if (h) MsiCloseHandle(h);
    EXPECT_FALSE(code.empty()) << "the installer has no upgrade code";
    return code;
}

// The versions of the product installed, one per installed product.
std::vector<std::wstring> InstalledVersions() {
    const std::wstring upgradeCode = UpgradeCode();
    std::vector<std::wstring> versions;
    wchar_t product[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS; ++i) {
        wchar_t version[32] = {};
        DWORD length = 32;
        MsiGetProductInfoW(product, L"VersionString", version, &length);  // INSTALLPROPERTY_VERSIONSTRING
        versions.push_back(version);
    }
    return versions;
}

// Where a shortcut file leads.
std::wstring ShortcutTarget(const std::wstring& link) {
    ComPtr<IShellLinkW> shortcut;
    ComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         reinterpret_cast<void**>(shortcut.Put())) == S_OK &&
        shortcut.As(file) == S_OK && file->Load(link.c_str(), STGM_READ) == S_OK)
        shortcut->GetPath(target, MAX_PATH, nullptr, 0);
    return target;
}

std::string ShowPaths(const std::vector<std::wstring>& paths) {
    std::string text;
    for (const std::wstring& p : paths) text += "    " + std::string(p.begin(), p.end()) + "\n";
    return text;
}

// The script that creates the control by its ProgID and plays it to OnDone.
DWORD RunScript() {
    const std::wstring script = WinePath(LUMAWIPE_SCRIPT);
    return RunProgram(L"\"" + WinePath(LUMAWIPE_SCRIPT_HOST) + L"\" \"" + script + L"\"",
                      script.substr(0, script.rfind(L'\\')));
}

// Installed: the files, the shortcut, the registry entries of regsvr32 and one product of
// the version expected; the control works.
void ExpectInstalled(const std::wstring& version) {
    EXPECT_TRUE(Exists(InstalledOcx())) << ShowPaths(OnDisk());
    EXPECT_TRUE(Exists(InstallFolder() + L"\\Demo.exe")) << ShowPaths(OnDisk());
    std::wstring shortcut;
    for (const std::wstring& folder : MenuFolders())
        if (Exists(folder + L"\\Lumawipe Demo.lnk")) shortcut = folder + L"\\Lumawipe Demo.lnk";
    ASSERT_FALSE(shortcut.empty()) << "no shortcut in the Start menu:\n" << ShowPaths(OnDisk());
    EXPECT_EQ(lstrcmpiW(ShortcutTarget(shortcut).c_str(), (InstallFolder() + L"\\Demo.exe").c_str()), 0)
        << testing::PrintToString(ShortcutTarget(shortcut));

    EXPECT_TRUE(SameKeys(ClassPart(Registered()), ExpectedClassKeys(InstalledOcx())));
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{version});
    EXPECT_EQ(RunScript(), 0u) << "the script made no control that played to OnDone";
}

void ExpectNothingLeft() {
    EXPECT_EQ(Registered(), Keys{}) << "left in the registry:\n" << Show(Registered());
    EXPECT_EQ(OnDisk(), std::vector<std::wstring>{}) << "left on disk:\n" << ShowPaths(OnDisk());
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{});
}

TEST(Installer, InstallsRegistersAsRegsvr32AndRemovesEverything) {
    ExpectNothingLeft();
    ASSERT_EQ(Msiexec(L"/i", LUMAWIPE_INSTALLER), 0u);
    ExpectInstalled(L"3.0.0.0");
    // The same package again is the same product, not a second one.
    EXPECT_EQ(Msiexec(L"/i", LUMAWIPE_INSTALLER), 0u);
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"3.0.0.0"});

    // Exactly what regsvr32 writes for the installed file: registering it again changes
    // nothing, and unregistering it removes every entry the installer wrote.
    const Keys installed = Registered();
    ASSERT_EQ(Regsvr32(L"/s", InstalledOcx()), 0u);
    EXPECT_TRUE(SameKeys(WithoutFinalBackslashes(Registered()), WithoutFinalBackslashes(installed)))
        << "registered by regsvr32 (got) and by the installer (expected)";
    ASSERT_EQ(Regsvr32(L"/u /s", InstalledOcx()), 0u);
    EXPECT_EQ(Registered(), Keys{}) << "the installer wrote more than regsvr32:\n" << Show(Registered());

    ASSERT_EQ(Msiexec(L"/x", LUMAWIPE_INSTALLER), 0u);
    ExpectNothingLeft();
}

TEST(Installer, UpgradesAnOlderVersionInPlaceAndUninstallsCleanly) {
    ExpectNothingLeft();
    ASSERT_EQ(Msiexec(L"/i", LUMAWIPE_OLDER_INSTALLER), 0u);
    ExpectInstalled(L"2.0.0.0");
    const Keys older = Registered();

    ASSERT_EQ(Msiexec(L"/i", LUMAWIPE_INSTALLER), 0u);
    ExpectInstalled(L"3.0.0.0");
    EXPECT_TRUE(SameKeys(Registered(), older)) << "the upgrade changed the registration";

    // The older package does not replace the newer one.
    EXPECT_NE(Msiexec(L"/i", LUMAWIPE_OLDER_INSTALLER), 0u);
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"3.0.0.0"});
    EXPECT_TRUE(Exists(InstalledOcx()));

    ASSERT_EQ(Msiexec(L"/x", LUMAWIPE_INSTALLER), 0u);
    ExpectNothingLeft();
}

}  // namespace
