// TActiveXControl, the object: construction, events and property changes, IOleObject,
// IOleControl, class information, property pages, quick activation, connection points
// and error information. In-place activation and drawing are in ControlInPlace.cpp,
// persistence in ControlPersistence.cpp.
#include "activex/com/ActiveXControl.h"

#include <algorithm>

#include "activex/com/ControlUnits.h"
#include "activex/com/SafeCall.h"
#include "activex/com/TypeInfo.h"

namespace Com {

namespace {

constexpr long HimetricPerInch = 2540;

int ScreenDpi(bool horizontal) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

namespace {

// The interfaces this base implements, for every control derived from it.
constexpr TInterfaceEntry ControlInterfaces[] = {
    Offer<TActiveXControl, IOleObject>(IID_IOleObject),
    Offer<TActiveXControl, IOleWindow, IOleInPlaceObject>(IID_IOleWindow),
    Offer<TActiveXControl, IOleInPlaceObject>(IID_IOleInPlaceObject),
    Offer<TActiveXControl, IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject),
    Offer<TActiveXControl, IOleControl>(IID_IOleControl),
    Offer<TActiveXControl, IViewObject, IViewObject2>(IID_IViewObject),
    Offer<TActiveXControl, IViewObject2>(IID_IViewObject2),
    Offer<TActiveXControl, IPersist, IPersistStreamInit>(IID_IPersist),
    Offer<TActiveXControl, IPersistStreamInit>(IID_IPersistStreamInit),
    Offer<TActiveXControl, IPersistPropertyBag>(IID_IPersistPropertyBag),
    Offer<TActiveXControl, IPersistStorage>(IID_IPersistStorage),
    Offer<TActiveXControl, IProvideClassInfo, IProvideClassInfo2>(IID_IProvideClassInfo),
    Offer<TActiveXControl, IProvideClassInfo2>(IID_IProvideClassInfo2),
    Offer<TActiveXControl, ISpecifyPropertyPages>(IID_ISpecifyPropertyPages),
    Offer<TActiveXControl, IQuickActivate>(IID_IQuickActivate),
    Offer<TActiveXControl, IConnectionPointContainer>(IID_IConnectionPointContainer),
    Offer<TActiveXControl, ISupportErrorInfo>(IID_ISupportErrorInfo),
};

}  // namespace

HRESULT TActiveXControl::QueryControlInterface(REFIID iid, void** out, std::span<const TInterfaceEntry> own) noexcept {
    const HRESULT hr = DoQueryInterface(iid, out, own);
    return hr == E_NOINTERFACE ? DoQueryInterface(iid, out, ControlInterfaces) : hr;
}

long ToHimetric(int pixels, bool horizontal) { return MulDiv(pixels, HimetricPerInch, ScreenDpi(horizontal)); }
int ToPixels(long himetric, bool horizontal) { return MulDiv(himetric, ScreenDpi(horizontal), HimetricPerInch); }

TActiveXControl::TActiveXControl(const CLSID& clsid, const IID& dispatchIid, const IID& eventsIid, DWORD miscStatus)
    : FClsid(clsid), FDispatchIid(dispatchIid), FMiscStatus(miscStatus | ControlMiscStatus), FEvents(*this, eventsIid),
      FPropertyNotify(*this, IID_IPropertyNotifySink) {}

TActiveXControl::~TActiveXControl() {
    FEvents.DisconnectAll();
    FPropertyNotify.DisconnectAll();
}

// --- events and changes ------------------------------------------------------------------

void TActiveXControl::FireEvent(DISPID id) {
    if (FFrozenEvents > 0) return;
    // A sink may release the container's last reference: the object stays until every
    // sink has been called and goes as this returns, the last thing it does. The code that
    // raised the event (a paint, a tick, a worker's call) touches nothing of the control
    // after its OnDone, so no message has to be waited for and a host that stops handling
    // messages after OnDone still sees the object go.
    ComPtr<IUnknown> keep(Identity());
    FEvents.FireMethod(id);
}

void TActiveXControl::PropertyChanged(DISPID id) {
    FDirty = true;
    if (FViewAdvise) FViewAdvise->OnViewChange(DVASPECT_CONTENT, -1);
    // A sink may release the container's last reference while it is told.
    ComPtr<IUnknown> keep(Identity());
    FPropertyNotify.FireChanged(id);
}

HRESULT TActiveXControl::FreezeEvents(BOOL freeze) {
    if (freeze)
        ++FFrozenEvents;
    else if (FFrozenEvents > 0)
        --FFrozenEvents;
    return S_OK;
}

// --- IOleObject ----------------------------------------------------------------------------

HRESULT TActiveXControl::SetClientSite(IOleClientSite* site) {
    return SafeCall(IID_IOleObject, [&] {
        if (!site && InPlaceActive()) InPlaceDeactivate();
        FClientSite = ComPtr<IOleClientSite>(site);
    });
}

HRESULT TActiveXControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(FClientSite).Detach();
    return S_OK;
}

HRESULT TActiveXControl::Close(DWORD saveOption) {
    return SafeCall(IID_IOleObject, [&] {
        const ComPtr<IUnknown> keep(Identity());
        InPlaceDeactivate();
        if (FDirty && FClientSite && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
            FClientSite->SaveObject();
        if (FOleAdvise) FOleAdvise->SendOnClose();
    });
}

HRESULT TActiveXControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
    SetNull(out);
    return E_NOTIMPL;
}

HRESULT TActiveXControl::GetClipboardData(DWORD, IDataObject** out) {
    SetNull(out);
    return E_NOTIMPL;
}

HRESULT TActiveXControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) {
    return SafeCall(IID_IOleObject, [&] {
        if (site && !FClientSite) FClientSite = ComPtr<IOleClientSite>(site);
        HRESULT hr = S_OK;
        switch (verb) {
            case OLEIVERB_PRIMARY:  // the class's one verb, "Properties"
            case OLEIVERB_PROPERTIES:
                hr = ShowPropertyPages(parent);
                break;
            case OLEIVERB_SHOW:
            case OLEIVERB_INPLACEACTIVATE:
                hr = ActivateInPlace(false);
                break;
            case OLEIVERB_UIACTIVATE:
                hr = ActivateInPlace(true);
                break;
            case OLEIVERB_HIDE:
                UIDeactivate();
                if (Control().HandleAllocated()) ShowWindow(Control().Handle(), SW_HIDE);
                break;
            case OLEIVERB_DISCARDUNDOSTATE:
                break;
            default:
                hr = verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
        }
        if (SUCCEEDED(hr) && pos && InPlaceActive() && (verb == OLEIVERB_SHOW || verb == OLEIVERB_INPLACEACTIVATE ||
                                                         verb == OLEIVERB_UIACTIVATE))
            SetObjectRects(pos, pos);
        if (FAILED(hr)) throw EComError(hr, "The control cannot carry out the verb.");
    });
}

HRESULT TActiveXControl::ShowPropertyPages(HWND parent) {
    if (FClientSite) {
        ComPtr<IOleControlSite> controlSite;
        if (SUCCEEDED(FClientSite.As(controlSite)) && controlSite->ShowPropertyFrame() == S_OK) return S_OK;
    }
    const std::span<const CLSID> pages = PropertyPages();
    IUnknown* object = Identity();
    return OleCreatePropertyFrame(parent, 0, 0, L"Lumawipe", 1, &object, ULONG(pages.size()),
                                  const_cast<CLSID*>(pages.data()), LOCALE_USER_DEFAULT, 0, nullptr);
}

HRESULT TActiveXControl::EnumVerbs(IEnumOLEVERB** out) {
    if (!out) return E_POINTER;
    return OleRegEnumVerbs(FClsid, out);
}

HRESULT TActiveXControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT TActiveXControl::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    return OleRegGetUserType(FClsid, form, type);
}

HRESULT TActiveXControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
    return SafeCall(IID_IOleObject, [&] {
        FExtent = *size;
        if (!InPlaceActive()) SizeControlToExtent();
        PropertyChanged();
    });
}

void TActiveXControl::SizeControlToExtent() {
    Toolkit::TWinControl& control = Control();
    control.SetBounds(control.Left(), control.Top(), ToPixels(FExtent.cx, true), ToPixels(FExtent.cy, false));
}

HRESULT TActiveXControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    return SafeCall(IID_IOleObject, [&] {
        const Toolkit::TWinControl& control = Control();
        *size = SIZEL{ToHimetric(control.Width(), true), ToHimetric(control.Height(), false)};
    });
}

HRESULT TActiveXControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    *connection = 0;
    if (!FOleAdvise) {
        const HRESULT hr = CreateOleAdviseHolder(FOleAdvise.Put());
        if (FAILED(hr)) return hr;
    }
    return FOleAdvise->Advise(sink, connection);
}

HRESULT TActiveXControl::Unadvise(DWORD connection) {
    return FOleAdvise ? FOleAdvise->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT TActiveXControl::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return FOleAdvise ? FOleAdvise->EnumAdvise(out) : E_FAIL;
}

HRESULT TActiveXControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? FMiscStatus : 0;
    return S_OK;
}

// --- IOleControl ---------------------------------------------------------------------------

HRESULT TActiveXControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    if (info->cb < sizeof(CONTROLINFO)) return E_INVALIDARG;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

// --- class information, pages, quick activation ------------------------------------------

HRESULT TActiveXControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    return SafeCall(IID_IProvideClassInfo, [&] { *info = ModuleTypeInfo(FClsid).Detach(); });
}

HRESULT TActiveXControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = FEvents.Events();
    return S_OK;
}

HRESULT TActiveXControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    const std::span<const CLSID> list = PropertyPages();
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * std::max<std::size_t>(1, list.size())));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (const CLSID& page : list) pages->pElems[pages->cElems++] = page;
    return S_OK;
}

HRESULT TActiveXControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    if (!container || !control) return E_POINTER;
    if (container->cbSize < offsetof(QACONTAINER, pOleControlSite) || control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    HRESULT hr = SetClientSite(container->pClientSite);
    if (FAILED(hr)) return hr;
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwEventCookie = 0;
    if (container->pUnkEventSink) FEvents.Advise(container->pUnkEventSink, &control->dwEventCookie);
    control->dwMiscStatus = FMiscStatus;
    control->dwViewStatus = VIEWSTATUS_OPAQUE;
    control->dwPropNotifyCookie = 0;
    if (container->pPropertyNotifySink) FPropertyNotify.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

HRESULT TActiveXControl::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }

HRESULT TActiveXControl::GetContentExtent(LPSIZEL size) {
    return static_cast<IOleObject*>(this)->GetExtent(DVASPECT_CONTENT, size);
}

HRESULT TActiveXControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return EnumPoints({&FEvents, &FPropertyNotify}, out);
}

HRESULT TActiveXControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (TConnectionPoint* point : {&FEvents, &FPropertyNotify}) {
        if (!IsEqualIID(iid, point->Events())) continue;
        *out = point;
        point->AddRef();
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT TActiveXControl::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, FDispatchIid) ? S_OK : S_FALSE;
}

}  // namespace Com
