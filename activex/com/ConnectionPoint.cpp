#include "activex/com/ConnectionPoint.h"

#include <olectl.h>

#include <algorithm>
#include <atomic>

#include "activex/com/Module.h"
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
        ComPtr<IUnknown> held;
        if (PropertyNotify()) {
            if (FAILED(sink->QueryInterface(IID_IPropertyNotifySink, reinterpret_cast<void**>(held.Put()))))
                throw EComError(CONNECT_E_CANNOTCONNECT, "The sink does not offer IPropertyNotifySink.");
        } else if (FAILED(sink->QueryInterface(FEvents, reinterpret_cast<void**>(held.Put()))) &&
                   FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(held.Put())))) {
            // The sink must speak the event interface, or at least IDispatch.
            throw EComError(CONNECT_E_CANNOTCONNECT, "The event sink does not offer IDispatch.");
        }
        FSinks.push_back({FNextCookie, std::move(held)});
        *cookie = FNextCookie++;
    });
}

HRESULT TConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = FSinks.begin(); it != FSinks.end(); ++it) {
        if (it->Cookie == cookie) {
            // The sink is released after it left the list: its release may reenter.
            ComPtr<IUnknown> leaving = std::move(it->Sink);
            FSinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

namespace {

// What an enumerator hands out holds a reference of its own.
void AddRefItem(IConnectionPoint* point) { point->AddRef(); }
void ReleaseItem(IConnectionPoint* point) { point->Release(); }
void AddRefItem(CONNECTDATA& data) { data.pUnk->AddRef(); }
void ReleaseItem(CONNECTDATA& data) { data.pUnk->Release(); }

// IEnumConnectionPoints and IEnumConnections over a snapshot taken when it was made.
template <class IEnum, class Item, const IID& Iid>
class TEnumerator final : public IEnum {
public:
    explicit TEnumerator(std::vector<Item> items, std::size_t position = 0)
        : FItems(std::move(items)), FPosition(position) {
        for (Item& item : FItems) AddRefItem(item);
        LockModule();
    }
    ~TEnumerator() {
        for (Item& item : FItems) ReleaseItem(item);
        UnlockModule();
    }
    TEnumerator(const TEnumerator&) = delete;
    TEnumerator& operator=(const TEnumerator&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, Iid)) {
            *out = static_cast<IEnum*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FRefs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count != 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && FPosition < FItems.size(); ++n, ++FPosition) {
            out[n] = FItems[FPosition];
            AddRefItem(out[n]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = FItems.size() - FPosition;
        FPosition += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        FPosition = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return SafeCall(Iid, [&] { *out = new TEnumerator(FItems, FPosition); });
    }

private:
    std::atomic<ULONG> FRefs{1};
    std::vector<Item> FItems;
    std::size_t FPosition;
};

}  // namespace

HRESULT TConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return SafeCall(IID_IConnectionPoint, [&] {
        std::vector<CONNECTDATA> connections;
        for (const TSink& s : FSinks) connections.push_back(CONNECTDATA{s.Sink.Get(), s.Cookie});
        *out = new TEnumerator<IEnumConnections, CONNECTDATA, IID_IEnumConnections>(std::move(connections));
    });
}

HRESULT EnumPoints(std::vector<IConnectionPoint*> points, IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return SafeCall(IID_IConnectionPointContainer,
                    [&] { *out = new TEnumerator<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>(std::move(points)); });
}

std::vector<ComPtr<IUnknown>> TConnectionPoint::Sinks() const {
    std::vector<ComPtr<IUnknown>> sinks;
    for (const TSink& s : FSinks) sinks.push_back(s.Sink);
    return sinks;
}

void TConnectionPoint::FireMethod(DISPID id) {
    DISPPARAMS none{};
    for (const auto& sink : Sinks())
        static_cast<IDispatch*>(sink.Get())
            ->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

void TConnectionPoint::FireChanged(DISPID id) {
    for (const auto& sink : Sinks()) static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
}

void TConnectionPoint::DisconnectAll() {
    std::vector<TSink> leaving;
    leaving.swap(FSinks);
}

}  // namespace Com
