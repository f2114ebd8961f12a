// A program that uses the Lumawipe control without registering it. Its manifest (resource
// RT_MANIFEST 1) names the side-by-side assembly Lumawipe.Control, which lies beside the
// program: Lumawipe.ocx and Lumawipe.Control.manifest in the same folder (or both in a
// subfolder Lumawipe.Control). Nothing of the control needs to be in the registry.
//
//   lumawipe-regfree.exe [--once]
//
// It hosts the control by its ProgID in ATL's AtlAxWin, plays a transition between two
// pictures it draws itself and turns the run round at every OnDone; the menu opens the
// control's property page. With --once it ends at the first OnDone (exit code 0), or
// after 10 seconds without one (exit code 1).
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <cwchar>

#include "Lumawipe.h"

namespace {

constexpr int Width = 320, Height = 120;
constexpr UINT_PTR GiveUpTimer = 1;
constexpr UINT PropertiesCommand = 1;

bool Once = false;
bool Done = false;
ILumawipe* Control = nullptr;
HWND Frame = nullptr;

// The sink of ILumawipeEvents: OnDone (DISPID 1).
class DoneSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_ILumawipeEvents)) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the program
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != 1) return DISP_E_MEMBERNOTFOUND;
        std::wprintf(L"OnDone\n");
        std::fflush(stdout);
        Done = true;
        if (Once) {
            PostQuitMessage(0);
            return S_OK;
        }
        VARIANT_BOOL reverse = VARIANT_FALSE;
        Control->get_Reverse(&reverse);
        Control->put_Reverse(reverse ? VARIANT_FALSE : VARIANT_TRUE);
        Control->Play();
        return S_OK;
    }
} Sink;

// A picture of the control's size, drawn here: a gradient of one colour.
long Picture(int red, int green, int blue) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, Height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return 0;
    auto* row = static_cast<unsigned char*>(bits);
    const int stride = (Width * 3 + 3) & ~3;
    for (int y = 0; y < Height; ++y, row += stride)
        for (int x = 0; x < Width; ++x) {
            const int shade = 255 * x / Width;
            row[3 * x] = static_cast<unsigned char>(blue * shade / 255);
            row[3 * x + 1] = static_cast<unsigned char>(green * shade / 255);
            row[3 * x + 2] = static_cast<unsigned char>(red * shade / 255);
        }
    return static_cast<long>(reinterpret_cast<INT_PTR>(bitmap));  // handles cross as 32-bit values
}

// The control's own property pages in the system's property frame.
void ShowProperties() {
    ISpecifyPropertyPages* specify = nullptr;
    if (FAILED(Control->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)))) return;
    CAUUID pages{};
    if (SUCCEEDED(specify->GetPages(&pages))) {
        IUnknown* objects[] = {Control};
        OleCreatePropertyFrame(Frame, 0, 0, L"Lumawipe", 1, objects, pages.cElems, pages.pElems, LOCALE_USER_DEFAULT, 0,
                               nullptr);
        CoTaskMemFree(pages.pElems);
    }
    specify->Release();
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == PropertiesCommand) ShowProperties();
            return 0;
        case WM_TIMER:
            if (wParam == GiveUpTimer) PostQuitMessage(1);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Once = argc > 1 && std::wcscmp(argv[1], L"--once") == 0;
    OleInitialize(nullptr);

    // ATL's control host window class.
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto init = atl ? reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")))
                    : nullptr;
    auto getControl = atl ? reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
                                reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")))
                          : nullptr;
    if (!init || !getControl || !init()) {
        std::fwprintf(stderr, L"atl.dll with AtlAxWin is needed\n");
        return 1;
    }

    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    frameClass.lpszClassName = L"LumawipeRegFree";
    RegisterClassW(&frameClass);
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, PropertiesCommand, L"&Properties...");
    RECT area{0, 0, Width, Height};
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW, TRUE);
    Frame = CreateWindowExW(0, L"LumawipeRegFree", L"Lumawipe without registration", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            40, 40, area.right - area.left, area.bottom - area.top, nullptr, menu,
                            GetModuleHandleW(nullptr), nullptr);

    // The window text names the control by its ProgID ("{F91DF8F4-...}", its CLSID, works
    // as well): COM finds it in the program's activation context, made from its manifest.
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"Lumawipe.Lumawipe", WS_CHILD | WS_VISIBLE, 0, 0, Width, Height, Frame,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    if (!host || FAILED(getControl(host, &unknown)) ||
        FAILED(unknown->QueryInterface(IID_ILumawipe, reinterpret_cast<void**>(&Control)))) {
        std::fwprintf(stderr, L"the control cannot be created: are Lumawipe.ocx and Lumawipe.Control.manifest beside "
                              L"the program?\n");
        return 1;
    }

    Control->put_FromBitmap(Picture(255, 160, 0));
    Control->put_ToBitmap(Picture(0, 120, 255));
    Control->put_Operation(toIris);
    Control->put_Interval(10);
    Control->put_Steps(4);

    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    if (SUCCEEDED(Control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_ILumawipeEvents, &point)))
        point->Advise(&Sink, &cookie);
    Control->Play();

    if (Once) SetTimer(Frame, GiveUpTimer, 10000, nullptr);
    MSG msg;
    int code = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    code = int(msg.wParam);

    Control->Stop();
    if (point) point->Unadvise(cookie), point->Release();
    if (points) points->Release();
    Control->Release();
    unknown->Release();
    if (IsWindow(Frame)) DestroyWindow(Frame);
    OleUninitialize();
    return Once && !Done ? 1 : code;
}
