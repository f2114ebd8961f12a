// The entry points of Lumawipe.ocx: the class objects of the control and of its property
// page, and registration of both with the type library.
#include "toolkit/win32/WindowsApi.h"

#include <olectl.h>

#include <array>
#include <string>
#include <vector>

#include "activex/PropertyPage.h"
#include "activex/Version.h"
#include "activex/TransitionImpl.h"
#include "activex/com/ClassFactory.h"
#include "activex/com/Module.h"
#include "activex/com/SafeCall.h"
#include "activex/com/TypeInfo.h"
#include "toolkit/Forms.h"
#include "toolkit/win32/MessageLoop.h"

namespace {

using Com::EComError;

// The class objects, made with the module and alive as long as it is.
Com::TClassFactory Factories[] = {
    Com::TClassFactory(CLSID_Lumawipe, &TransitionImpl::CreateLumawipe),
    Com::TClassFactory(CLSID_LumawipeProperties, &CreateLumawipeProperties),
};

constexpr wchar_t ProgId[] = L"Lumawipe.Lumawipe";
constexpr wchar_t PageDescription[] = L"TLumawipeProperties property page";
constexpr wchar_t Verb0[] = L"Properties,0,2";  // name, menu flags, verb attributes
constexpr unsigned short TypeLibMajor = LUMAWIPE_VERSION_MAJOR, TypeLibMinor = LUMAWIPE_VERSION_MINOR;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// One registry entry: a key under HKEY_CLASSES_ROOT and its default value.
struct TEntry {
    std::wstring Key;
    std::wstring Value;
};

// The entries of each class, parents before children: registration writes them in this
// order, and removal takes each class's keys in the reverse order.
std::vector<std::vector<TEntry>> Entries(const std::wstring& path, const std::wstring& description) {
    const std::wstring control = L"CLSID\\" + GuidText(CLSID_Lumawipe);
    const std::wstring page = L"CLSID\\" + GuidText(CLSID_LumawipeProperties);
    const std::wstring status = std::to_wstring(Com::ControlMiscStatus);
    return {
        {
            {control, description},
            {control + L"\\InprocServer32", path},
            {control + L"\\ProgID", ProgId},
            {ProgId, description},
            {std::wstring(ProgId) + L"\\Clsid", GuidText(CLSID_Lumawipe)},
            {control + L"\\Version", std::to_wstring(TypeLibMajor) + L"." + std::to_wstring(TypeLibMinor)},
            {control + L"\\TypeLib", GuidText(LIBID_Lumawipe)},
            {control + L"\\MiscStatus", L"0"},
            {control + L"\\MiscStatus\\1", status},
            {control + L"\\ToolboxBitmap32", path + L",1"},
            {control + L"\\Control", L""},
            {control + L"\\Verb", L""},
            {control + L"\\Verb\\0", Verb0},
        },
        {
            {page, PageDescription},
            {page + L"\\InprocServer32", path},
        },
    };
}

// The keys in the order they are removed: class by class, children before parents.
std::vector<std::wstring> RemovalOrder() {
    std::vector<std::wstring> keys;
    for (const std::vector<TEntry>& entries : Entries(L"", L""))
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) keys.push_back(it->Key);
    return keys;
}

void WriteEntry(const TEntry& entry) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                              nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.Value.c_str()),
                            DWORD((entry.Value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS) throw EComError(HRESULT_FROM_WIN32(rc), "A registry key cannot be written.");
}

// A key that is already gone is no error: unregistering twice succeeds.
void RemoveKey(const std::wstring& key) {
    const LONG rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        throw EComError(HRESULT_FROM_WIN32(rc), "A registry key cannot be removed.");
}

// The control's description: the documentation of its coclass in the type library.
std::wstring ControlDescription() {
    Com::Bstr doc;
    Com::ModuleTypeInfo(CLSID_Lumawipe)->GetDocumentation(MEMBERID_NIL, nullptr, doc.Put(), nullptr, nullptr);
    return std::wstring(doc.View());
}

SYSKIND ThisSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

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
        for (const std::vector<TEntry>& entries : Entries(path, ControlDescription()))
            for (const TEntry& entry : entries) WriteEntry(entry);
    });
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const HRESULT hr = Com::SafeCall(IID_NULL, [] {
        const HRESULT removed = UnRegisterTypeLib(LIBID_Lumawipe, TypeLibMajor, TypeLibMinor, LOCALE_NEUTRAL, ThisSysKind());
        if (FAILED(removed) && removed != TYPE_E_REGISTRYACCESS && removed != TYPE_E_CANTLOADLIBRARY)
            throw EComError(removed, "The type library cannot be unregistered.");
        for (const std::wstring& key : RemovalOrder()) RemoveKey(key);
    });
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

}  // extern "C"
