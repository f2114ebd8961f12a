#include "activex/com/Object.h"

namespace Com {

HRESULT TComObject::DoQueryInterface(REFIID iid, void** out, std::span<const TInterfaceEntry> table) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (table.empty()) return E_NOINTERFACE;
    for (const TInterfaceEntry& entry : table) {
        if (IsEqualIID(iid, *entry.Iid)) {
            *out = entry.Cast(this);
            break;
        }
    }
    if (!*out && IsEqualIID(iid, IID_IUnknown)) *out = table.front().Cast(this);
    if (!*out) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

}  // namespace Com
