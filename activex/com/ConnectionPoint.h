// The connection point of an object's event interface: sinks connect with Advise and
// are called through IDispatch. It lives inside its container object and shares the
// container's reference count, so a sink holding it keeps the object alive.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "activex/com/ComPtr.h"

namespace Com {

class TConnectionPoint final : public IConnectionPoint {
public:
    TConnectionPoint(IConnectionPointContainer& container, const IID& events) : FContainer(container), FEvents(events) {}
    TConnectionPoint(const TConnectionPoint&) = delete;
    TConnectionPoint& operator=(const TConnectionPoint&) = delete;

    const IID& Events() const { return FEvents; }
    bool Connected() const { return !FSinks.empty(); }
    // Calls method id (no arguments) on every connected sink; a sink's failure does not
    // keep the others from the call. Sinks may connect or disconnect meanwhile.
    void FireMethod(DISPID id);
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
    struct TSink {
        DWORD Cookie;
        ComPtr<IDispatch> Dispatch;
    };
    IConnectionPointContainer& FContainer;
    const IID& FEvents;
    std::vector<TSink> FSinks;
    DWORD FNextCookie = 1;
};

}  // namespace Com
