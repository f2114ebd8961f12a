// The connection points of an object: sinks connect with Advise. A point of an event
// dispinterface calls its sinks through IDispatch; the property-change point calls
// IPropertyNotifySink. A point lives inside its container object and shares the
// container's reference count, so a sink holding it keeps the object alive.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <ocidl.h>

#include <vector>

#include "activex/com/ComPtr.h"

namespace Com {

class TConnectionPoint final : public IConnectionPoint {
public:
    // events: the outgoing interface; IID_IPropertyNotifySink makes the property-change
    // point, any other IID an event dispinterface.
    TConnectionPoint(IConnectionPointContainer& container, const IID& events) : FContainer(container), FEvents(events) {}
    TConnectionPoint(const TConnectionPoint&) = delete;
    TConnectionPoint& operator=(const TConnectionPoint&) = delete;

    const IID& Events() const { return FEvents; }
    // Event points: calls method id (no arguments) on every connected sink; a sink's
    // failure does not keep the others from the call. Sinks may connect or disconnect
    // meanwhile.
    void FireMethod(DISPID id);
    // The property-change point: OnChanged(id) on every connected sink.
    void FireChanged(DISPID id);
    // Lets every sink go (the object is closing).
    void DisconnectAll();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return FContainer.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return FContainer.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    bool PropertyNotify() const { return IsEqualIID(FEvents, IID_IPropertyNotifySink) != 0; }
    // The connected sinks, each as the interface it is called through (a copy: a sink
    // may connect, disconnect or release the object during its call).
    std::vector<ComPtr<IUnknown>> Sinks() const;

    struct TSink {
        DWORD Cookie;
        ComPtr<IUnknown> Sink;  // IDispatch, or IPropertyNotifySink
    };
    IConnectionPointContainer& FContainer;
    const IID& FEvents;
    std::vector<TSink> FSinks;
    DWORD FNextCookie = 1;
};

// An enumerator of the object's connection points (IConnectionPointContainer).
HRESULT EnumPoints(std::vector<IConnectionPoint*> points, IEnumConnectionPoints** out);

}  // namespace Com
