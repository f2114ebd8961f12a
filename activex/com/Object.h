// The base of the library's COM objects: reference counting, the module's accounting
// and QueryInterface from a table of the interfaces an object offers.
#pragma once

#include "toolkit/win32/WindowsApi.h"
#include <unknwn.h>

#include <atomic>
#include <span>

#include "activex/com/Module.h"

namespace Com {

class TComObject;

// One row of an object's interface table: the IID and how to reach that interface from
// the object.
struct TInterfaceEntry {
    const IID* Iid;
    void* (*Cast)(TComObject* object);
};

// The cast of a row: Self to I, through Via where I is reached along more than one base
// (IOleWindow, IUnknown).
template <class Self, class I, class Via = I>
void* CastTo(TComObject* object) {
    return static_cast<I*>(static_cast<Via*>(static_cast<Self*>(object)));
}

template <class Self, class I, class Via = I>
constexpr TInterfaceEntry Offer(const IID& iid) {
    return TInterfaceEntry{&iid, &CastTo<Self, I, Via>};
}

// Every object holds the module while it lives. Objects start with one reference.
class TComObject {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

protected:
    TComObject() noexcept { LockModule(); }
    virtual ~TComObject() { UnlockModule(); }

    ULONG DoAddRef() noexcept { return ++FRefs; }
    ULONG DoRelease() noexcept {
        const ULONG left = --FRefs;
        if (left == 0) delete this;
        return left;
    }
    // IUnknown answers with the table's first row.
    HRESULT DoQueryInterface(REFIID iid, void** out, std::span<const TInterfaceEntry> table) noexcept;

private:
    std::atomic<ULONG> FRefs{1};
};

}  // namespace Com

// IUnknown of a class derived from TComObject, answering from its static table Interfaces
// through query (DoQueryInterface, or a base's own search that adds rows of its own).
#define LUMAWIPE_COM_UNKNOWN_FROM(query)                                                            \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {                   \
        return query(iid, out, Interfaces);                                                       \
    }                                                                                             \
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }                              \
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }
#define LUMAWIPE_COM_UNKNOWN LUMAWIPE_COM_UNKNOWN_FROM(DoQueryInterface)
