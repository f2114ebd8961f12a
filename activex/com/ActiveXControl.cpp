#include "activex/com/ActiveXControl.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <sstream>

#include "activex/com/SafeCall.h"
#include "activex/com/TypeInfo.h"
#include "toolkit/MemoryStream.h"
#include "toolkit/win32/Gdi.h"

namespace Com {

namespace {

constexpr long HimetricPerInch = 2540;
// The largest saved state a stream may announce: both pictures at their largest.
constexpr std::uint64_t MaxSavedState = 2ull * Toolkit::MaxStreamBlock + 64 * 1024;
constexpr wchar_t StorageStreamName[] = L"Contents";

int ScreenDpi(bool horizontal) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

long ToHimetric(int pixels, bool horizontal) { return MulDiv(pixels, HimetricPerInch, ScreenDpi(horizontal)); }
int ToPixels(long himetric, bool horizontal) { return MulDiv(himetric, ScreenDpi(horizontal), HimetricPerInch); }

template <class T>
void SetNull(T** out) {
    if (out) *out = nullptr;
}

void ReadExactly(IStream* stream, void* data, ULONG size) {
    auto* at = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        ULONG got = 0;
        const HRESULT hr = stream->Read(at, size, &got);
        if (FAILED(hr)) throw EComError(hr, "The saved state cannot be read.");
        if (got == 0) throw EComError(E_FAIL, "The saved state is truncated.");
        at += got;
        size -= got;
    }
}

// The bytes left in a stream after its current position; none when it cannot tell.
std::optional<std::uint64_t> BytesLeft(IStream* stream) {
    STATSTG stat{};
    ULARGE_INTEGER at{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &at)))
        return std::nullopt;
    return stat.cbSize.QuadPart > at.QuadPart ? stat.cbSize.QuadPart - at.QuadPart : 0;
}

// Reads size bytes of saved state. A stream that tells its length refuses a size it does
// not hold before anything is taken; from any other stream the buffer grows only as the
// bytes arrive, so a lying size costs what the stream really holds.
std::string ReadSavedState(IStream* stream, std::uint32_t size) {
    const std::optional<std::uint64_t> left = BytesLeft(stream);
    if (left && *left < size) throw EComError(E_FAIL, "The saved state is truncated.");
    constexpr std::size_t FirstPiece = 64 * 1024;
    std::string data;
    while (data.size() < size) {
        const std::size_t at = data.size();
        const std::size_t next = left ? size : std::min<std::size_t>(size, std::max(FirstPiece, 2 * at));
        data.resize(next);
        ReadExactly(stream, data.data() + at, ULONG(next - at));
    }
    return data;
}

void WriteExactly(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    const HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr)) throw EComError(hr, "The state cannot be saved.");
    if (written != size) throw EComError(STG_E_MEDIUMFULL, "The state cannot be saved: the medium is full.");
}

// The stored state of a control: its stored properties as form data.
std::string SavedState(const Toolkit::TComponent& control, const Toolkit::TClassInfo& info) {
    std::ostringstream out;
    Toolkit::WriteComponent(out, control, info);
    return std::move(out).str();
}

// --- property bags: one value per stored property, by name ------------------------------

void BagValue(const Toolkit::TPropertyInfo& prop, const Toolkit::TComponent& control, Variant& out) {
    using Toolkit::TPropKind;
    const Toolkit::TPropValue value = prop.Get(control);
    VARIANT* v = out.Put();
    switch (prop.Kind) {
        case TPropKind::pkBoolean:
            v->vt = VT_BOOL;
            v->boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case TPropKind::pkStrings: {
            std::string joined;
            for (const auto& line : value.AsStrings()) joined += line + "\r\n";
            v->vt = VT_BSTR;
            v->bstrVal = Bstr(WideText(joined)).Detach();
            break;
        }
        case TPropKind::pkPicture: {
            std::ostringstream bytes;
            if (!value.AsPicture().Empty()) value.AsPicture().SaveToStream(bytes);
            const std::string data = std::move(bytes).str();
            SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, ULONG(data.size()));
            if (!array) throw std::bad_alloc();
            if (!data.empty()) std::memcpy(array->pvData, data.data(), data.size());
            v->vt = VT_ARRAY | VT_UI1;
            v->parray = array;
            break;
        }
        default:
            v->vt = VT_I4;
            v->lVal = LONG(std::int32_t(value.AsInt()));
            break;
    }
}

[[noreturn]] void WrongValue(const Toolkit::TPropertyInfo& prop) {
    throw EComError(E_INVALIDARG, "The saved value of " + prop.Name + " is not valid.");
}

Toolkit::TPropValue FromBag(const Toolkit::TPropertyInfo& prop, VARIANT& v) {
    using Toolkit::TPropKind;
    using Toolkit::TPropValue;
    switch (prop.Kind) {
        case TPropKind::pkBoolean:
            if (FAILED(VariantChangeTypeEx(&v, &v, LOCALE_INVARIANT, 0, VT_BOOL))) WrongValue(prop);
            return TPropValue::Bool(v.boolVal != VARIANT_FALSE);
        case TPropKind::pkStrings: {
            if (FAILED(VariantChangeTypeEx(&v, &v, LOCALE_INVARIANT, 0, VT_BSTR))) WrongValue(prop);
            std::vector<std::string> lines;
            std::string text = Toolkit::Narrow(std::wstring(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)));
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = text.find("\r\n", at);
                if (end == std::string::npos) end = text.size();
                lines.push_back(text.substr(at, end - at));
                at = end + 2;
            }
            return TPropValue::Strings(std::move(lines));
        }
        case TPropKind::pkPicture: {
            if (v.vt != (VT_ARRAY | VT_UI1) || !v.parray || SafeArrayGetDim(v.parray) != 1) WrongValue(prop);
            LONG lower = 0, upper = -1;
            SafeArrayGetLBound(v.parray, 1, &lower);
            SafeArrayGetUBound(v.parray, 1, &upper);
            auto picture = std::make_shared<Toolkit::TBitmap>();
            const std::int64_t size = std::int64_t(upper) - lower + 1;
            if (size > 0) {
                if (std::uint64_t(size) > Toolkit::MaxStreamBlock) WrongValue(prop);
                void* data = nullptr;
                if (FAILED(SafeArrayAccessData(v.parray, &data))) WrongValue(prop);
                try {
                    picture->LoadFromMemory(data, std::size_t(size));
                } catch (...) {
                    SafeArrayUnaccessData(v.parray);
                    WrongValue(prop);
                }
                SafeArrayUnaccessData(v.parray);
            }
            return TPropValue::Picture(std::move(picture));
        }
        default:
            // Cardinals and colours may arrive unsigned: read 64 bits, keep the low 32.
            if (FAILED(VariantChangeTypeEx(&v, &v, LOCALE_INVARIANT, 0, VT_I8))) WrongValue(prop);
            if (v.llVal < INT32_MIN || v.llVal > std::int64_t(UINT32_MAX)) WrongValue(prop);
            return TPropValue::Int(prop.Kind == TPropKind::pkInteger ? std::int64_t(std::int32_t(v.llVal))
                                                                      : std::int64_t(std::uint32_t(v.llVal)));
    }
}

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

// --- IOleControl ---------------------------------------------------------------------------

HRESULT TActiveXControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    if (info->cb < sizeof(CONTROLINFO)) return E_INVALIDARG;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
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

// --- persistence ---------------------------------------------------------------------------

HRESULT TActiveXControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = FClsid;
    return S_OK;
}

// A saved state already loaded makes a later InitNew a second initialisation, which COM
// refuses (E_UNEXPECTED, CO_E_ALREADYINITIALIZED for storages); a repeated InitNew is
// harmless and answered S_OK.
HRESULT TActiveXControl::InitNew() {
    if (FLoaded) return E_UNEXPECTED;
    FDirty = false;
    return S_OK;
}

// Every value was read and checked before, and CheckLoadable let the control take them
// all: copy them onto the control.
void TActiveXControl::ApplyLoaded(const Toolkit::TComponent& loaded) {
    Toolkit::TComponent& control = Control();
    for (const Toolkit::TPropertyInfo& prop : StoredProperties().Properties) prop.Set(control, prop.Get(loaded));
    FLoaded = true;
    PropertyChanged();
    FDirty = false;
}

HRESULT TActiveXControl::Load(IStream* stream) { return LoadStream(stream, IID_IPersistStreamInit); }

HRESULT TActiveXControl::LoadStream(IStream* stream, const IID& iid) {
    if (!stream) return E_POINTER;
    return SafeCall(iid, [&] {
        CheckLoadable();
        std::uint32_t size = 0;
        ReadExactly(stream, &size, sizeof size);
        if (size > MaxSavedState) throw EComError(E_FAIL, "The saved state is damaged: its size is not believable.");
        const std::unique_ptr<Toolkit::TComponent> loaded = NewScratchControl();
        {
            // The form data is read where it lies and let go before the values are applied.
            const std::string data = ReadSavedState(stream, size);
            Toolkit::TMemoryStream in(data.data(), data.size());
            try {
                Toolkit::ReadComponent(in, *loaded, StoredProperties());
            } catch (const Toolkit::EReadError& e) {
                throw EComError(E_FAIL, std::string("The saved state is damaged: ") + e.what());
            }
        }
        ApplyLoaded(*loaded);
    });
}

HRESULT TActiveXControl::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    return SafeCall(IID_IPersistStreamInit, [&] {
        const std::string data = SavedState(Control(), StoredProperties());
        const auto size = std::uint32_t(data.size());
        WriteExactly(stream, &size, sizeof size);
        WriteExactly(stream, data.data(), size);
        if (clearDirty) FDirty = false;
    });
}

HRESULT TActiveXControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    return SafeCall(IID_IPersistStreamInit, [&] {
        size->QuadPart = sizeof(std::uint32_t) + SavedState(Control(), StoredProperties()).size();
    });
}

void TActiveXControl::LoadFromBag(IPropertyBag* bag, IErrorLog* log) {
    CheckLoadable();
    const std::unique_ptr<Toolkit::TComponent> loaded = NewScratchControl();
    for (const Toolkit::TPropertyInfo& prop : StoredProperties().Properties) {
        Variant value;
        const std::wstring name = WideText(prop.Name);
        // A property the bag does not hold keeps its default.
        if (FAILED(bag->Read(name.c_str(), value.Put(), log)) || value->vt == VT_EMPTY) continue;
        prop.Set(*loaded, FromBag(prop, *value));
    }
    ApplyLoaded(*loaded);
}

HRESULT TActiveXControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    return SafeCall(IID_IPersistPropertyBag, [&] { LoadFromBag(bag, log); });
}

HRESULT TActiveXControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
    if (!bag) return E_POINTER;
    return SafeCall(IID_IPersistPropertyBag, [&] {
        const Toolkit::TComponent& control = Control();
        for (const Toolkit::TPropertyInfo& prop : StoredProperties().Properties) {
            if (!saveAll && !Toolkit::IsStored(prop, control)) continue;
            Variant value;
            BagValue(prop, control, value);
            const std::wstring name = WideText(prop.Name);
            const HRESULT hr = bag->Write(name.c_str(), &*value);
            if (FAILED(hr)) throw EComError(hr, "The property bag refused " + prop.Name + ".");
        }
        if (clearDirty) FDirty = false;
    });
}

HRESULT TActiveXControl::InitNew(IStorage* storage) {
    if (!storage) return E_POINTER;
    return FLoaded ? CO_E_ALREADYINITIALIZED : InitNew();
}

HRESULT TActiveXControl::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr = storage->OpenStream(StorageStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
    if (FAILED(hr)) return hr;
    return LoadStream(stream.Get(), IID_IPersistStorage);
}

HRESULT TActiveXControl::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr = storage->CreateStream(StorageStreamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                             0, stream.Put());
    if (FAILED(hr)) return hr;
    return Save(stream.Get(), TRUE);
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
