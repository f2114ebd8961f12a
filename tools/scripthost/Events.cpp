#include "Events.h"


namespace scripthost {

// Answers to the source interface's IID as well as to IDispatch, and passes each event on
// by name.
class EventSink final : public DispatchObject {
public:
    EventSink(const IID& iid, ComPtr<ITypeInfo> source, EventHandler handler)
        : DispatchObject({}), iid_(iid), source_(std::move(source)), handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out && iid == iid_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return DispatchObject::QueryInterface(iid, out);
    }

    void Detach() { handler_ = nullptr; }

protected:
    HRESULT Call(DISPID id, WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) override {
        // The handler may disconnect this sink, which lets the source release it.
        const ComPtr<EventSink> self(this);
        const EventHandler handler = handler_;
        if (!handler) return S_OK;
        Bstr name;
        UINT found = 0;
        if (FAILED(source_->GetNames(id, name.Put(), 1, &found)) || found == 0) return S_OK;
        DISPPARAMS args = params;
        handler(std::wstring(name.View()), args, result);
        return S_OK;
    }

private:
    IID iid_;
    ComPtr<ITypeInfo> source_;
    EventHandler handler_;
};

namespace {

struct TypeFacts {
    TYPEKIND kind;
    GUID guid;
    WORD implementedTypes;
};

bool ReadTypeFacts(ITypeInfo* info, TypeFacts& facts) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr)) || !attr) return false;
    facts = {attr->typekind, attr->guid, attr->cImplTypes};
    info->ReleaseTypeAttr(attr);
    return true;
}

// The interface a coclass marks [default, source].
ComPtr<ITypeInfo> DefaultSource(ITypeInfo* coclass) {
    TypeFacts facts{};
    if (!ReadTypeFacts(coclass, facts)) return {};
    constexpr INT wanted = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    for (UINT i = 0; i < facts.implementedTypes; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) && (flags & wanted) == wanted &&
            SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref)) && SUCCEEDED(coclass->GetRefTypeInfo(ref, info.Put())))
            return info;
    }
    return {};
}

HRESULT Fail(HRESULT hr, std::wstring& why, const wchar_t* reason) {
    why = reason;
    return FAILED(hr) ? hr : E_FAIL;
}

}  // namespace

HRESULT EventConnection::Open(IUnknown* object, EventHandler handler, std::unique_ptr<EventConnection>& out,
                              std::wstring& why) {
    if (!object) return Fail(E_POINTER, why, L"there is no object");
    ComPtr<IProvideClassInfo> provider;
    HRESULT hr = object->QueryInterface(IID_PPV_ARGS(provider.Put()));
    if (FAILED(hr)) return Fail(hr, why, L"the object tells no class information (IProvideClassInfo), so its events are unknown");
    ComPtr<ITypeInfo> coclass;
    hr = provider->GetClassInfo(coclass.Put());
    if (FAILED(hr) || !coclass) return Fail(hr, why, L"the object's class information is not available");
    const ComPtr<ITypeInfo> source = DefaultSource(coclass.Get());
    if (!source) return Fail(E_NOINTERFACE, why, L"the object has no default event interface");
    TypeFacts facts{};
    if (!ReadTypeFacts(source.Get(), facts) || facts.kind != TKIND_DISPATCH)
        return Fail(E_NOINTERFACE, why, L"the object's default event interface is not a dispinterface");

    ComPtr<IConnectionPointContainer> container;
    hr = object->QueryInterface(IID_PPV_ARGS(container.Put()));
    if (FAILED(hr)) return Fail(hr, why, L"the object has no connection points");
    std::unique_ptr<EventConnection> connection(new EventConnection);
    hr = container->FindConnectionPoint(facts.guid, connection->point_.Put());
    if (FAILED(hr) || !connection->point_)
        return Fail(hr, why, L"the object has no connection point for its default event interface");
    connection->sink_ = MakeCom<EventSink>(facts.guid, source, std::move(handler));
    hr = connection->point_->Advise(connection->sink_.Get(), &connection->cookie_);
    if (FAILED(hr)) return Fail(hr, why, L"the object refused the event connection");
    connection->advised_ = true;
    object->QueryInterface(IID_PPV_ARGS(connection->identity_.Put()));
    out = std::move(connection);
    return S_OK;
}

EventConnection::~EventConnection() {
    if (sink_) sink_->Detach();
    if (advised_) point_->Unadvise(cookie_);
}

bool EventConnection::IsOf(IUnknown* object) const {
    ComPtr<IUnknown> identity;
    return object && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(identity.Put()))) && identity.Get() == identity_.Get();
}

}  // namespace scripthost
