#include "activex/com/ConnectionPoint.h"

#include <olectl.h>

#include "activex/com/SafeCall.h"

namespace Com {

HRESULT TConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT TConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = FEvents;
    return S_OK;
}

HRESULT TConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &FContainer;
    FContainer.AddRef();
    return S_OK;
}

HRESULT TConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    return SafeCall(IID_IConnectionPoint, [&] {
        // The sink must speak the event interface, or at least IDispatch.
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(FEvents, reinterpret_cast<void**>(dispatch.Put()))) &&
            FAILED(sink->QueryInterface(IID_PPV_ARGS(dispatch.Put()))))
            throw EComError(CONNECT_E_CANNOTCONNECT, "The event sink does not offer IDispatch.");
        FSinks.push_back({FNextCookie, std::move(dispatch)});
        *cookie = FNextCookie++;
    });
}

HRESULT TConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = FSinks.begin(); it != FSinks.end(); ++it) {
        if (it->Cookie == cookie) {
            // The sink is released after it left the list: its release may reenter.
            ComPtr<IDispatch> leaving = std::move(it->Dispatch);
            FSinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT TConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void TConnectionPoint::FireMethod(DISPID id) {
    // A copy: a sink may connect, disconnect or release the object during its call.
    std::vector<ComPtr<IDispatch>> sinks;
    for (const TSink& s : FSinks) sinks.push_back(s.Dispatch);
    DISPPARAMS none{};
    for (const auto& sink : sinks) sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

void TConnectionPoint::DisconnectAll() {
    std::vector<TSink> leaving;
    leaving.swap(FSinks);
}

}  // namespace Com
