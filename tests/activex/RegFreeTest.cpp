// Lumawipe.ocx without registration: in a prefix where the control was never registered,
// a program whose activation context holds the side-by-side assembly Lumawipe.Control
// creates the control by its CLSID and by its ProgID, hosts it in ATL's AtlAxWin, shows
// its property page and gets OnDone. Built twice: with an application manifest resource
// naming the assembly, which lies in the program's folder Lumawipe.Control; and without
// one (LUMAWIPE_ASSEMBLY_MANIFEST), making and activating a context from the assembly's
// manifest, outside which nothing of the control is found.
#include "AxFixtures.h"
#include "RegistryKeys.h"

#include <string>

#include "win32/WinFixtures.h"

using namespace AxTest;

namespace {

constexpr wchar_t ProgId[] = L"Lumawipe.Lumawipe";

#ifdef LUMAWIPE_ASSEMBLY_MANIFEST
// The assembly's activation context, made from its manifest; active while the object lives.
class AssemblyContext {
public:
    AssemblyContext() {
        const std::wstring manifest = WinePath(LUMAWIPE_ASSEMBLY_MANIFEST);
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.lpSource = manifest.c_str();
        FContext = CreateActCtxW(&description);
        EXPECT_NE(FContext, INVALID_HANDLE_VALUE) << "no context from the manifest, error " << GetLastError();
        if (FContext != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(ActivateActCtx(FContext, &FCookie));
        }
    }
    ~AssemblyContext() {
        if (FCookie) DeactivateActCtx(0, FCookie);
        if (FContext != INVALID_HANDLE_VALUE) ReleaseActCtx(FContext);
    }
    AssemblyContext(const AssemblyContext&) = delete;
    AssemblyContext& operator=(const AssemblyContext&) = delete;

private:
    HANDLE FContext = INVALID_HANDLE_VALUE;
    ULONG_PTR FCookie = 0;
};

// The library the context names: the build's, beside its manifest.
std::wstring AssemblyLibrary() { return OcxPath(); }
#else
// The program's manifest names the assembly: its context is the process's own.
struct AssemblyContext {};

std::wstring AssemblyLibrary() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path = program;
    return path.substr(0, path.rfind(L'\\')) + L"\\Lumawipe.Control\\Lumawipe.ocx";
}
#endif

// Nothing of the control is in the registry: what the tests below do, the assembly does.
TEST(RegFreePrefix, NothingOfTheControlIsRegistered) {
    for (const ClassesRoot& classes : {MergedClasses, MachineClasses, UserClasses})
        EXPECT_EQ(Registered(classes), Keys{}) << "registered in " << testing::PrintToString(std::wstring(classes.Path))
                                               << ":\n" << Show(Registered(classes));
}

#ifdef LUMAWIPE_ASSEMBLY_MANIFEST
TEST(RegFreePrefix, OutsideTheContextNothingIsFound) {
    CLSID clsid{};
    EXPECT_NE(CLSIDFromProgID(ProgId, &clsid), S_OK);
    ComPtr<IUnknown> control;
    EXPECT_EQ(CoCreateInstance(CLSID_Lumawipe, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(control.Put())),
              REGDB_E_CLASSNOTREG);
    ComPtr<ITypeLib> lib;
    EXPECT_NE(LoadRegTypeLib(LIBID_Lumawipe, 3, 0, 0, lib.Put()), S_OK);
}
#endif

class RegFree : public testing::Test {
protected:
    AssemblyContext Context;
};

// What COM knows of the class through the context: ProgID and CLSID both ways, the status
// flags, the type library; the library is the assembly's file.
TEST_F(RegFree, ComFindsTheClassesAndTheTypeLibrary) {
    CLSID byProgId{};
    ASSERT_EQ(CLSIDFromProgID(ProgId, &byProgId), S_OK);
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_Lumawipe, &progId), S_OK);
    EXPECT_EQ(std::wstring(progId), ProgId);
    CoTaskMemFree(progId);
    DWORD status = 0;
    EXPECT_EQ(OleRegGetMiscStatus(CLSID_Lumawipe, DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadRegTypeLib(LIBID_Lumawipe, 3, 0, 0, lib.Put()), S_OK);
    ComPtr<IUnknown> page;
    EXPECT_EQ(CoCreateInstance(CLSID_LumawipeProperties, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               reinterpret_cast<void**>(page.Put())),
              S_OK);

    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"Lumawipe.ocx"), loaded, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(loaded, AssemblyLibrary().c_str()), 0) << testing::PrintToString(std::wstring(loaded));
}

// Made by its CLSID and by the class its ProgID names (Wine names a stand-in CLSID of the
// context, which makes the same class), the control plays to OnDone in timer and thread
// mode.
TEST_F(RegFree, CreatedByClsidAndByProgIdItPlaysToOnDone) {
    CLSID byProgId{};
    ASSERT_EQ(CLSIDFromProgID(ProgId, &byProgId), S_OK);
    for (const CLSID& clsid : {CLSID_Lumawipe, byProgId}) {
        SCOPED_TRACE(testing::PrintToString(GuidText(clsid)));
        ComPtr<ILumawipe> control;
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ILumawipe,
                                   reinterpret_cast<void**>(control.Put())),
                  S_OK);
        ComPtr<IPersist> persist;
        ASSERT_EQ(control.As(persist), S_OK);
        CLSID own{};
        EXPECT_EQ(persist->GetClassID(&own), S_OK);
        EXPECT_EQ(own, CLSID_Lumawipe);
        EXPECT_TRUE(RunToDone(control.Get(), false)) << "timer mode";
        EXPECT_TRUE(RunToDone(control.Get(), true)) << "thread mode";
    }
}

// A window holding one AtlAxWin child that hosts the control named by name (a ProgID or
// a CLSID in braces).
class AxHost {
public:
    explicit AxHost(const std::wstring& name) {
        static HMODULE atl = LoadLibraryW(L"atl.dll");
        static const auto getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        static const bool ready = [] {
            auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
            return init && init();
        }();
        if (!ready || !getControl) {
            ADD_FAILURE() << "atl.dll has no AtlAxWin";
            return;
        }
        Frame = CreateWindowExW(0, L"Static", L"Container", WS_POPUP | WS_VISIBLE, 0, 0, 120, 60, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        HWND ax = CreateWindowExW(0, L"AtlAxWin", name.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 120, 60, Frame, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ComPtr<IUnknown> unknown;
        if (ax) {
            EXPECT_EQ(getControl(ax, unknown.Put()), S_OK);
        }
        if (unknown) {
            EXPECT_EQ(unknown.As(Control), S_OK);
        }
        WinFixtures::PumpFor(20);
    }
    ~AxHost() {
        Control.Reset();
        if (IsWindow(Frame)) DestroyWindow(Frame);
        WinFixtures::PumpFor(20);
    }
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;

    HWND Frame = nullptr;
    ComPtr<ILumawipe> Control;
};

TEST_F(RegFree, HostedByProgIdAndByClsidItPlaysToOnDone) {
    for (const std::wstring& name : {std::wstring(ProgId), GuidText(CLSID_Lumawipe)}) {
        SCOPED_TRACE(testing::PrintToString(name));
        AxHost host(name);
        ASSERT_TRUE(host.Control) << "AtlAxWin made no control";
        EXPECT_TRUE(RunToDone(host.Control.Get(), false));
    }
}

// The pages the hosted control names open in the system's property frame, with its values.
TEST_F(RegFree, ShowsItsPropertyPage) {
    AxHost host(ProgId);
    ASSERT_TRUE(host.Control);
    Write(host.Control.Get(), L"Interval", 123);
    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(host.Control.As(specify), S_OK);
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    bool shown = false;
    WinFixtures::WhenDialogShows([&](HWND sheet) {
        shown = WinFixtures::EditShowing(sheet, L"123") != nullptr;
        PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(sheet, IDOK)));
    });
    IUnknown* objects[] = {host.Control.Get()};
    EXPECT_EQ(OleCreatePropertyFrame(host.Frame, 0, 0, L"Lumawipe", 1, objects, pages.cElems, pages.pElems,
                                     LOCALE_USER_DEFAULT, 0, nullptr),
              S_OK);
    CoTaskMemFree(pages.pElems);
    EXPECT_FALSE(WinFixtures::DialogPending()) << "no property frame showed";
    EXPECT_TRUE(shown) << "the page does not show the control's Interval";
}

}  // namespace
