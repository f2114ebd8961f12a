// A C++ container of the Lumawipe control: a window hosting it through ATL's AtlAxWin
// class, two pictures handed over as bitmap handles, a run in thread mode, and OnDone
// received through the control's connection point, after which the run turns round.
//
//   lumawipe-container.exe FROM.bmp TO.bmp [SECONDS]
//
// The control must be registered (regsvr32 Lumawipe.ocx). The program ends when its
// window is closed, or after SECONDS.
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <cwchar>

#include "Lumawipe.h"

namespace {

// The sink of ILumawipeEvents: OnDone (DISPID 1) turns the run round and plays again.
class DoneSink final : public IDispatch {
public:
    explicit DoneSink(ILumawipe* control) : Control(control) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_ILumawipeEvents)) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on main's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != 1) return DISP_E_MEMBERNOTFOUND;
        VARIANT_BOOL reverse = VARIANT_FALSE;
        Control->get_Reverse(&reverse);
        Control->put_Reverse(reverse ? VARIANT_FALSE : VARIANT_TRUE);
        Control->Play();
        return S_OK;
    }

private:
    ILumawipe* Control;
};

// A picture file as a bitmap handle; the control owns it once it has been written.
long LoadPicture(const wchar_t* path) {
    HANDLE picture = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!picture) std::fwprintf(stderr, L"cannot load %ls\n", path);
    return static_cast<long>(reinterpret_cast<INT_PTR>(picture));  // handles cross as 32-bit values
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: lumawipe-container FROM.bmp TO.bmp [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 3 ? _wtoi(argv[3]) : 0;
    OleInitialize(nullptr);

    // ATL's control host window class.
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto init = atl ? reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit"))) : nullptr;
    auto getControl = atl ? reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
                                reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")))
                          : nullptr;
    if (!init || !getControl || !init()) {
        std::fwprintf(stderr, L"atl.dll with AtlAxWin is needed\n");
        return 1;
    }

    // The window text names the control by its ProgID.
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"Lumawipe.Lumawipe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 480,
                                140, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    ILumawipe* control = nullptr;
    if (!host || FAILED(getControl(host, &unknown)) ||
        FAILED(unknown->QueryInterface(IID_ILumawipe, reinterpret_cast<void**>(&control)))) {
        std::fwprintf(stderr, L"the control cannot be created: is Lumawipe.ocx registered?\n");
        return 1;
    }
    SetWindowTextW(host, L"Lumawipe in a container");

    control->put_FromBitmap(LoadPicture(argv[1]));
    control->put_ToBitmap(LoadPicture(argv[2]));
    control->put_Operation(toMonoSlider);
    control->put_Modifier(tmLeft);
    control->put_Interval(10);
    control->put_Steps(4);
    control->put_Delta(10);
    control->put_UseThread(VARIANT_TRUE);

    // OnDone through the connection point of ILumawipeEvents.
    DoneSink sink(control);
    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_ILumawipeEvents, &point)))
        point->Advise(&sink, &cookie);
    control->Play();

    if (seconds > 0) SetTimer(nullptr, 0, UINT(seconds) * 1000, nullptr);
    MSG msg;
    while (IsWindow(host) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    control->Stop();
    if (point) point->Unadvise(cookie), point->Release();
    if (points) points->Release();
    control->Release();
    unknown->Release();
    if (IsWindow(host)) DestroyWindow(host);
    OleUninitialize();
    return 0;
}
