// TActiveXControl's persistence: its stored properties saved to and loaded from streams
// (as form data), storages (a stream "Contents") and property bags (one value per
// property). A load reads and checks everything into a scratch control before the
// control changes, so it is all or nothing.
#include "activex/com/ActiveXControl.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <sstream>

#include "activex/com/SafeCall.h"
#include "toolkit/MemoryStream.h"
#include "toolkit/win32/Gdi.h"

namespace Com {

namespace {

// The largest saved state a stream may announce: both pictures at their largest.
constexpr std::uint64_t MaxSavedState = 2ull * Toolkit::MaxStreamBlock + 64 * 1024;
constexpr wchar_t StorageStreamName[] = L"Contents";

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
            v->bstrVal = Bstr(Toolkit::Widen(joined)).Detach();
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
            std::string text = Toolkit::Narrow(std::wstring_view(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)));
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

}  // namespace

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
        const std::wstring name = Toolkit::Widen(prop.Name);
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
            const std::wstring name = Toolkit::Widen(prop.Name);
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

}  // namespace Com
