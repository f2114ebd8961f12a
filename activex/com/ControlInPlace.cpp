// TActiveXControl in its container's window: in-place activation and deactivation, its
// place in the container, and drawing into the container's DC (IViewObject2).
#include "activex/com/ActiveXControl.h"

#include <algorithm>

#include "activex/com/ControlUnits.h"
#include "activex/com/SafeCall.h"

namespace Com {

namespace {

// The frame and document windows of an in-place site, with the control's place in them
// (empty when the site cannot tell).
struct TWindowContext {
    ComPtr<IOleInPlaceFrame> Frame;
    ComPtr<IOleInPlaceUIWindow> Document;
    RECT Pos{};
    RECT Clip{};

    // Names the active object (nullptr: none) to both windows.
    void SetActiveObject(IOleInPlaceActiveObject* active) const {
        if (Frame) Frame->SetActiveObject(active, nullptr);
        if (Document) Document->SetActiveObject(active, nullptr);
    }
};

TWindowContext WindowContext(IOleInPlaceSite& site) {
    TWindowContext context;
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(site.GetWindowContext(context.Frame.Put(), context.Document.Put(), &context.Pos, &context.Clip,
                                     &frameInfo)))
        return TWindowContext{};
    return context;
}

}  // namespace

// --- in-place activation -----------------------------------------------------------------

HRESULT TActiveXControl::ActivateInPlace(bool uiActivate) {
    if (!FClientSite) return E_UNEXPECTED;
    if (!FInPlaceSite) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(FClientSite.As(site))) return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        const HRESULT hr = site->OnInPlaceActivate();
        if (FAILED(hr)) return hr;
        FInPlaceSite = site;

        HWND parent = nullptr;
        site->GetWindow(&parent);
        const TWindowContext context = WindowContext(*site.Get());
        Toolkit::TWinControl& control = Control();
        control.SetParentWindow(parent);
        SetObjectRects(&context.Pos, &context.Clip);
        control.SetVisible(true);
        if (HWND window = control.Handle()) ShowWindow(window, SW_SHOWNA);
    }
    if (uiActivate && !FUIActive) {
        FUIActive = true;
        FInPlaceSite->OnUIActivate();
        WindowContext(*FInPlaceSite.Get()).SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this));
    }
    return S_OK;
}

HRESULT TActiveXControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    return SafeCall(IID_IOleInPlaceObject, [&] {
        Toolkit::TWinControl& control = Control();
        if (!control.HandleAllocated()) throw EComError(E_FAIL, "The control has no window: it is not active.");
        *window = control.Handle();
    });
}

HRESULT TActiveXControl::InPlaceDeactivate() {
    if (!FInPlaceSite) return S_OK;
    return SafeCall(IID_IOleInPlaceObject, [&] {
        const ComPtr<IUnknown> keep(Identity());
        UIDeactivate();
        ComPtr<IOleInPlaceSite> site = std::move(FInPlaceSite);
        FInPlaceSite.Reset();
        Control().SetParentWindow(nullptr);
        site->OnInPlaceDeactivate();
    });
}

HRESULT TActiveXControl::UIDeactivate() {
    if (!FUIActive || !FInPlaceSite) return S_OK;
    FUIActive = false;
    WindowContext(*FInPlaceSite.Get()).SetActiveObject(nullptr);
    FInPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT TActiveXControl::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (!pos) return E_POINTER;
    return SafeCall(IID_IOleInPlaceObject, [&] {
        const int width = int(std::max<LONG>(0, pos->right - pos->left));
        const int height = int(std::max<LONG>(0, pos->bottom - pos->top));
        Control().SetBounds(pos->left, pos->top, width, height);
        FExtent = SIZEL{ToHimetric(width, true), ToHimetric(height, false)};
    });
}

// --- IViewObject2 --------------------------------------------------------------------------

HRESULT TActiveXControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc) return E_INVALIDARG;
    return SafeCall(IID_IViewObject2, [&] {
        RECT r;
        if (bounds) {
            r = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
        } else {
            const Toolkit::TWinControl& control = Control();
            r = RECT{0, 0, control.Width(), control.Height()};
        }
        if (r.right <= r.left || r.bottom <= r.top) return;
        DrawTo(dc, r);
    });
}

HRESULT TActiveXControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
    SetNull(out);
    return S_FALSE;  // no palette of its own
}

HRESULT TActiveXControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    FViewAdvise = ComPtr<IAdviseSink>(sink);
    FViewAdviseAspects = aspects;
    FViewAdviseFlags = flags;
    if (sink && (flags & ADVF_PRIMEFIRST)) sink->OnViewChange(DVASPECT_CONTENT, -1);
    return S_OK;
}

HRESULT TActiveXControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = FViewAdviseAspects;
    if (flags) *flags = FViewAdviseFlags;
    if (sink) *sink = ComPtr<IAdviseSink>(FViewAdvise).Detach();
    return S_OK;
}

HRESULT TActiveXControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return static_cast<IOleObject*>(this)->GetExtent(aspect, size);
}

}  // namespace Com
