// The entry points of Lumawipe.ocx: the class objects of the control and of its property
// page, and registration of both with the type library, machine-wide (DllRegisterServer)
// or for the current user (DllInstall with "user").
#include "toolkit/win32/WindowsApi.h"

#include <olectl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "activex/ClassTable.h"
#include "activex/PropUnitObject.h"
#include "activex/TransitionImpl.h"
#include "activex/com/ActiveXControl.h"
#include "activex/com/ClassFactory.h"
#include "activex/com/Module.h"
#include "activex/com/SafeCall.h"
#include "activex/com/TypeInfo.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Gdi.h"
#include "toolkit/win32/MessageLoop.h"

namespace {

using Com::EComError;

// The class objects, made with the module and alive as long as it is.
Com::TClassFactory Factories[] = {
    Com::TClassFactory(CLSID_Lumawipe, &TransitionImpl::CreateLumawipe),
    Com::TClassFactory(CLSID_LumawipeProperties, &CreateLumawipeProperties),
};

const ClassTable::TTypeLibrary& Library = ClassTable::TypeLibrary;
static_assert(ClassTable::FrameworkMiscStatus == Com::ControlMiscStatus, "the table's status flags are the framework's");

// One registry entry: a key below the classes root and its default value.
struct TEntry {
    std::wstring Key;
    std::wstring Value;
};

// The entries of each class (ClassTable::RegistryEntries), parents before children:
// registration writes them in this order, and removal takes each class's keys in the
// reverse order.
std::vector<std::vector<TEntry>> Entries(const std::wstring& path) {
    std::vector<std::vector<TEntry>> classes;
    for (const std::vector<ClassTable::TEntry>& entries : ClassTable::RegistryEntries(Toolkit::Narrow(path))) {
        std::vector<TEntry>& wide = classes.emplace_back();
        for (const ClassTable::TEntry& entry : entries)
            wide.push_back({Toolkit::Widen(entry.Key), Toolkit::Widen(entry.Value)});
    }
    return classes;
}

// The keys in the order they are removed: class by class, children before parents.
std::vector<std::wstring> RemovalOrder() {
    std::vector<std::wstring> keys;
    for (const std::vector<TEntry>& entries : Entries(L""))
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) keys.push_back(it->Key);
    return keys;
}

// Writes a text value (name empty: the key's default value), making the key if need be.
void WriteValue(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                              nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS) throw EComError(HRESULT_FROM_WIN32(rc), "A registry key cannot be written.");
}

// A key that is already gone is no error: unregistering twice succeeds.
void RemoveKey(HKEY root, const std::wstring& key) {
    const LONG rc = RegDeleteKeyW(root, key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        throw EComError(HRESULT_FROM_WIN32(rc), "A registry key cannot be removed.");
}

constexpr bool Win64 = sizeof(void*) == 8;
SYSKIND ThisSysKind() { return Win64 ? SYS_WIN64 : SYS_WIN32; }

// Whether the type library is registered below a classes root. One that is not is not
// unregistered (Wine then fails with E_INVALIDARG): unregistering twice succeeds.
bool TypeLibRegistered(HKEY classes) {
    HKEY found = nullptr;
    if (RegOpenKeyExW(classes, Toolkit::Widen(ClassTable::TypeLibraryKey()).c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS)
        return false;
    RegCloseKey(found);
    return true;
}

// Failures of unregistering a type library that mean it is not registered.
bool TypeLibGone(HRESULT hr) { return SUCCEEDED(hr) || hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY; }

// --- for the current user ----------------------------------------------------------------
//
// The user's registration writes the class entries and the type library's entries (those
// RegisterTypeLib writes, from the same table) below HKEY_CURRENT_USER\Software\Classes.
// It does not call RegisterTypeLibForUser: Wine's registers machine-wide, and made to write
// for the user by overriding HKEY_CLASSES_ROOT it still writes the interfaces' keys of
// the other architecture's view machine-wide, and leaves them behind when unregistering.

// HKEY_CURRENT_USER\Software\Classes, made if need be, or only opened (then Key() is
// null when the user has none); open for as long as the object lives.
class TUserClasses {
public:
    explicit TUserClasses(bool make) {
        const LONG rc = make ? RegCreateKeyExW(HKEY_CURRENT_USER, UserClassesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                               KEY_ALL_ACCESS, nullptr, &FKey, nullptr)
                             : RegOpenKeyExW(HKEY_CURRENT_USER, UserClassesKey, 0, KEY_ALL_ACCESS, &FKey);
        if (rc == ERROR_FILE_NOT_FOUND && !make) FKey = nullptr;
        else if (rc != ERROR_SUCCESS) throw EComError(HRESULT_FROM_WIN32(rc), "The user's classes cannot be opened.");
    }
    ~TUserClasses() {
        if (FKey) RegCloseKey(FKey);
    }
    TUserClasses(const TUserClasses&) = delete;
    TUserClasses& operator=(const TUserClasses&) = delete;
    HKEY Key() const { return FKey; }

private:
    static constexpr wchar_t UserClassesKey[] = L"Software\\Classes";
    HKEY FKey = nullptr;
};

// The type library's entries for the library at path.
std::vector<ClassTable::TValue> TypeLibraryValues(const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.rfind(L'\\'));
    return ClassTable::TypeLibraryEntries(Win64, Toolkit::Narrow(path), Toolkit::Narrow(folder));
}

bool KeyInfo(HKEY root, const std::wstring& path, DWORD& subkeys, DWORD& values) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool IsEmptyKey(HKEY root, const std::wstring& path) {
    DWORD subkeys = 0, values = 0;
    return KeyInfo(root, path, subkeys, values) && subkeys == 0 && values == 0;
}

bool HasSubkeys(HKEY root, const std::wstring& path) {
    DWORD subkeys = 0, values = 0;
    return KeyInfo(root, path, subkeys, values) && subkeys > 0;
}

// The type library's file for this architecture; the rest of its entries and its
// interfaces' keys only when no file of the other architecture is left registered.
void RemoveTypeLibrary(HKEY root) {
    const std::wstring files = Toolkit::Widen(ClassTable::TypeLibraryKey()) + L"\\0";
    RemoveKey(root, files + (Win64 ? L"\\win64" : L"\\win32"));
    if (HasSubkeys(root, files)) return;
    RemoveKey(root, files);
    const std::vector<ClassTable::TValue> values = TypeLibraryValues(L"");
    for (auto it = values.rbegin(); it != values.rend(); ++it) RemoveKey(root, Toolkit::Widen(it->Key));
}

// After the user's entries are gone: the keys that held them (CLSID, TypeLib, Interface),
// deepest first, when nothing else is left in them. A user's classes key may hold none of
// these until a registration makes them; removing one that is empty loses nothing.
void RemoveEmptyHolders(HKEY root) {
    std::vector<std::wstring> keys = RemovalOrder();
    for (const ClassTable::TValue& value : TypeLibraryValues(L"")) keys.push_back(Toolkit::Widen(value.Key));
    std::set<std::wstring> holders;
    for (const std::wstring& key : keys)
        for (auto cut = key.rfind(L'\\'); cut != std::wstring::npos && cut > 0; cut = key.rfind(L'\\', cut - 1))
            holders.insert(key.substr(0, cut));
    std::vector<std::wstring> deepestFirst(holders.begin(), holders.end());
    std::sort(deepestFirst.begin(), deepestFirst.end(), [](const std::wstring& a, const std::wstring& b) {
        return std::count(a.begin(), a.end(), L'\\') > std::count(b.begin(), b.end(), L'\\');
    });
    for (const std::wstring& key : deepestFirst)
        if (IsEmptyKey(root, key)) RemoveKey(root, key);
}

void RegisterForUser() {
    const TUserClasses classes(true);
    const std::wstring path = Com::ModulePath();
    for (const ClassTable::TValue& value : TypeLibraryValues(path))
        WriteValue(classes.Key(), Toolkit::Widen(value.Key), Toolkit::Widen(value.Name), Toolkit::Widen(value.Value));
    for (const std::vector<TEntry>& entries : Entries(path))
        for (const TEntry& entry : entries) WriteValue(classes.Key(), entry.Key, L"", entry.Value);
}

void UnregisterForUser() {
    const TUserClasses classes(false);
    if (!classes.Key()) return;
    RemoveTypeLibrary(classes.Key());
    for (const std::wstring& key : RemovalOrder()) RemoveKey(classes.Key(), key);
    RemoveEmptyHolders(classes.Key());
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        // An error that reaches the library's message handling (a frame that cannot be
        // drawn, in a paint or a tick) goes to the debugger's output: a control never opens
        // message boxes in its host's windows, one per paint. The run shows the colour.
        Toolkit::Application().OnException = [](const std::exception& e) { OutputDebugStringA(e.what()); };
    }
    // On FreeLibrary, not at process exit (where other libraries may be gone already).
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        Toolkit::Win32::ReleaseModuleWindows();
        Com::ReleaseModuleTypeLib();
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return Com::GetClassObject(Factories, clsid, iid, out);
}

// Before saying yes, the module lets its hidden windows go: COM may unload it next. A
// window of another thread goes when that thread next handles its messages; until then
// the module stays.
HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    if (Com::ModuleLockCount() != 0) return S_FALSE;
    return Toolkit::Win32::ReleaseModuleWindows() ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    const HRESULT hr = Com::SafeCall(IID_NULL, [] {
        const std::wstring path = Com::ModulePath();
        const HRESULT registered = RegisterTypeLib(Com::ModuleTypeLib().Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
        if (FAILED(registered)) throw EComError(registered, "The type library cannot be registered.");
        for (const std::vector<TEntry>& entries : Entries(path))
            for (const TEntry& entry : entries) WriteValue(HKEY_CLASSES_ROOT, entry.Key, L"", entry.Value);
    });
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const HRESULT hr = Com::SafeCall(IID_NULL, [] {
        if (TypeLibRegistered(HKEY_CLASSES_ROOT)) {
            const HRESULT removed =
                UnRegisterTypeLib(LIBID_Lumawipe, WORD(Library.Major), WORD(Library.Minor), LOCALE_NEUTRAL, ThisSysKind());
            if (!TypeLibGone(removed)) throw EComError(removed, "The type library cannot be unregistered.");
        }
        for (const std::wstring& key : RemovalOrder()) RemoveKey(HKEY_CLASSES_ROOT, key);
    });
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

// regsvr32 /n /i:user registers for the current user only, regsvr32 /u /n /i:user removes
// that again; nothing machine-wide is written. An empty command line (regsvr32 /i without
// a text) asks for nothing beyond DllRegisterServer.
HRESULT STDAPICALLTYPE DllInstall(BOOL install, PCWSTR commandLine) {
    if (!commandLine || !*commandLine) return S_OK;
    if (lstrcmpiW(commandLine, L"user") != 0) return E_INVALIDARG;
    const HRESULT hr = Com::SafeCall(IID_NULL, [install] { install ? RegisterForUser() : UnregisterForUser(); });
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

}  // extern "C"
