// TActiveXControl: what makes a toolkit control an ActiveX control. A class derived from
// it supplies the control window, its stored properties, its property pages and its
// drawing; this base answers the container: embedding and in-place activation in the
// container's window, drawing into the container's DC while not active, persistence in
// streams, storages and property bags, class information, the connection point of the
// events and the error information of its members.
//
// A control also works without a container site (a script creates it and never embeds
// it): then it has no window, and everything but showing it works as usual.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <span>

#include "activex/com/ComPtr.h"
#include "activex/com/ConnectionPoint.h"
#include "activex/com/Object.h"
#include "toolkit/Streaming.h"
#include "toolkit/win32/WinControls.h"

namespace Com {

// The status flags every control of the framework adds to its own (activate when
// visible, inside-out, set the client site first, recompose on resize, no links).
constexpr DWORD ControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                    OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

class TActiveXControl : public TComObject,
                        public IOleObject,
                        public IOleInPlaceObject,
                        public IOleInPlaceActiveObject,
                        public IOleControl,
                        public IViewObject2,
                        public IPersistStreamInit,
                        public IPersistPropertyBag,
                        public IPersistStorage,
                        public IProvideClassInfo2,
                        public ISpecifyPropertyPages,
                        public IQuickActivate,
                        public IConnectionPointContainer,
                        public ISupportErrorInfo {
public:
    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** out) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject, IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return FDirty ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

    // IProvideClassInfo, IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

protected:
    // QueryInterface of a control: the derived class's own rows first (the first of them
    // answers IUnknown, the object's one identity), then the rows of the interfaces this
    // base implements, which it lists itself.
    HRESULT QueryControlInterface(REFIID iid, void** out, std::span<const TInterfaceEntry> own) noexcept;

    // clsid: the class; dispatchIid: the default interface; eventsIid: the event
    // interface; miscStatus: the class's own status flags (ControlMiscStatus is added).
    TActiveXControl(const CLSID& clsid, const IID& dispatchIid, const IID& eventsIid, DWORD miscStatus);
    ~TActiveXControl() override;

    // The control window (made by the derived class; it need not have a window yet).
    virtual Toolkit::TWinControl& Control() = 0;
    // The stored properties of Control(), in order.
    virtual const Toolkit::TClassInfo& StoredProperties() const = 0;
    // A fresh control of the same class, without a window: loading reads into it first,
    // so that a damaged stream changes nothing.
    virtual std::unique_ptr<Toolkit::TComponent> NewScratchControl() const = 0;
    // The property pages of the class.
    virtual std::span<const CLSID> PropertyPages() const = 0;
    // Draws the control's current picture into rectangle r of dc.
    virtual void DrawTo(HDC dc, const RECT& r) = 0;

    // Calls method id of the event interface on every connected sink (unless the
    // container froze events). The object stays alive through the calls.
    void FireEvent(DISPID id);
    // Property id changed (DISPID_UNKNOWN: several may have): the object is dirty, the
    // container's view is out of date, and property-change sinks hear OnChanged(id).
    void PropertyChanged(DISPID id = DISPID_UNKNOWN);
    // Raises when the control cannot take a saved state now; a load then changes nothing.
    virtual void CheckLoadable() const {}
    bool InPlaceActive() const { return static_cast<bool>(FInPlaceSite); }

private:
    // The object's one IUnknown, the pointer QueryInterface(IID_IUnknown) answers: the one
    // handed to frames and containers, which compare such pointers.
    IUnknown* Identity() {
        void* unknown = nullptr;
        static_cast<IOleObject*>(this)->QueryInterface(IID_IUnknown, &unknown);
        auto* identity = static_cast<IUnknown*>(unknown);
        identity->Release();  // the caller holds the object
        return identity;
    }
    HRESULT ActivateInPlace(bool uiActivate);
    HRESULT ShowPropertyPages(HWND parent);
    void ApplyLoaded(const Toolkit::TComponent& loaded);
    HRESULT LoadStream(IStream* stream, const IID& iid);
    void SizeControlToExtent();
    void LoadFromBag(IPropertyBag* bag, IErrorLog* log);

    const CLSID& FClsid;
    const IID& FDispatchIid;
    DWORD FMiscStatus;
    TConnectionPoint FEvents;
    TConnectionPoint FPropertyNotify;
    ComPtr<IOleClientSite> FClientSite;
    ComPtr<IOleInPlaceSite> FInPlaceSite;
    ComPtr<IOleAdviseHolder> FOleAdvise;
    ComPtr<IAdviseSink> FViewAdvise;
    DWORD FViewAdviseAspects = 0;
    DWORD FViewAdviseFlags = 0;
    SIZEL FExtent{};  // HIMETRIC
    bool FUIActive = false;
    bool FDirty = false;
    bool FLoaded = false;  // initialised from saved state: InitNew comes too late
    int FFrozenEvents = 0;
};

}  // namespace Com

// IUnknown of a control derived from TActiveXControl: its static table Interfaces holds
// only the interfaces it adds (its dual interface and IDispatch).
#define LUMAWIPE_CONTROL_UNKNOWN LUMAWIPE_COM_UNKNOWN_FROM(QueryControlInterface)
