#include "activex/TransitionImpl.h"

#include <string>

#include "activex/AboutLumawipe.h"
#include "activex/ClassTable.h"
#include "activex/PropUnitObject.h"
#include "activex/WipeaxStream.h"
#include "activex/com/ClassFactory.h"
#include "activex/com/SafeCall.h"
#include "activex/com/TypeInfo.h"
#include "toolkit/win32/Gdi.h"

namespace TransitionImpl {

using Com::EComError;
using Toolkit::TComponent;
using Wipeax::TTransition;

namespace {

constexpr DISPID DispidOnDone = 1;
// The stored properties' ids, as the type library numbers them.
constexpr DISPID DispidColor = 7, DispidFromBitmap = 8, DispidToBitmap = 9, DispidDelta = 10, DispidInterval = 11,
                 DispidModifier = 12, DispidOperation = 13, DispidReverse = 14, DispidRGBOrder = 15,
                 DispidUseThread = 16, DispidSteps = 17;
constexpr DWORD ClassMiscStatus = ClassTable::Control.MiscStatus;
const CLSID PropertyPageClasses[] = {CLSID_LumawipeProperties};

VARIANT_BOOL ToVariantBool(bool v) { return v ? VARIANT_TRUE : VARIANT_FALSE; }
// Enumerations arrive as 32-bit values of which only the low byte counts.
std::uint8_t LowByte(long v) { return std::uint8_t(std::uint32_t(v) & 0xFFu); }

void RefuseBelowOne(long value, const char* name) {
    if (value < 1) throw EComError(E_INVALIDARG, std::string(name) + " must be 1 or more; it keeps its value.");
}

// Runs write, a picture handle's write: a handle that is no readable bitmap fails with
// CTL_E_INVALIDPICTURE (error 481 in scripts) and the toolkit's message.
template <class Write>
void WritePicture(Write&& write) {
    try {
        write();
    } catch (const Toolkit::EInvalidGraphic& e) {
        throw EComError(CTL_E_INVALIDPICTURE, e.what());
    }
}

}  // namespace

// --- the object ------------------------------------------------------------------------

TLumawipe::TLumawipe()
    : Com::TActiveXControl(CLSID_Lumawipe, IID_ILumawipe, DIID_ILumawipeEvents, ClassMiscStatus),
      FTypeInfo(Com::ModuleTypeInfo(IID_ILumawipe)),
      FControl(std::make_unique<TTransition>(nullptr)) {
    FControl->OnDone = [this](Toolkit::TObject* sender) { FireDone(sender); };
}

TLumawipe::~TLumawipe() {
    FControl->OnDone = nullptr;
    FControl.reset();
}

void TLumawipe::FireDone(Toolkit::TObject*) { FireEvent(DispidOnDone); }

const Toolkit::TClassInfo& TLumawipe::StoredProperties() const {
    // The stored properties are the engine's, which the control's window holds.
    static const Toolkit::TClassInfo info = Wipeax::StoredProperties(
        "TTransition", [](TComponent& c) -> Wipeax::TLumawipe& { return static_cast<TTransition&>(c).Engine(); });
    return info;
}

std::unique_ptr<TComponent> TLumawipe::NewScratchControl() const { return std::make_unique<TTransition>(nullptr); }

std::span<const CLSID> TLumawipe::PropertyPages() const { return PropertyPageClasses; }

void TLumawipe::DrawTo(HDC dc, const RECT& r) { FControl->DrawTo(dc, r); }

template <class F>
HRESULT TLumawipe::Call(F&& body) {
    return Com::SafeCall(IID_ILumawipe, std::forward<F>(body));
}

template <class T, class F>
HRESULT TLumawipe::Read(T* Value, F&& get) {
    return Call([&] {
        Com::CheckOut(Value);
        *Value = get();
    });
}

template <class Get, class F>
HRESULT TLumawipe::Write(DISPID id, Get&& get, F&& body) {
    return Call([&] {
        const auto before = get();
        body();
        // A write the control ignored (a running control keeps its settings) or one of the
        // value it already had changes nothing: not dirty, no notification.
        if (get() != before) PropertyChanged(id);
    });
}

void TLumawipe::CheckLoadable() const {
    if (FControl->Active())
        throw EComError(E_UNEXPECTED,
                        "A saved state cannot be loaded while a transition plays; stop it first. Nothing was changed.");
}

// --- IDispatch ---------------------------------------------------------------------------

HRESULT TLumawipe::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TLumawipe::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = Com::ComPtr<ITypeInfo>(FTypeInfo).Detach();
    return S_OK;
}

HRESULT TLumawipe::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return Com::DispatchGetIDsOfNames(FTypeInfo.Get(), names, count, ids);
}

HRESULT TLumawipe::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excep, UINT* argError) {
    return Com::DispatchInvoke(FTypeInfo.Get(), static_cast<ILumawipe*>(this), id, riid, flags, params, result, excep,
                               argError);
}

// --- ILumawipe ----------------------------------------------------------------------------

HRESULT TLumawipe::Play() { return Call([&] { FControl->Play(); }); }
HRESULT TLumawipe::Stop() { return Call([&] { FControl->Stop(); }); }
HRESULT TLumawipe::Pause() { return Call([&] { FControl->Pause(); }); }
HRESULT TLumawipe::Resume() { return Call([&] { FControl->Resume(); }); }
HRESULT TLumawipe::Clear() { return Call([&] { FControl->Clear(); }); }

HRESULT TLumawipe::get_Active(VARIANT_BOOL* Value) {
    return Read(Value, [&] { return ToVariantBool(FControl->Active()); });
}
HRESULT TLumawipe::put_Active(VARIANT_BOOL Value) { return Call([&] { FControl->SetActive(Value != 0); }); }

HRESULT TLumawipe::get_Color(OLE_COLOR* Value) {
    return Read(Value, [&] { return FControl->Color(); });
}
HRESULT TLumawipe::put_Color(OLE_COLOR Value) { return Write(DispidColor, [&] { return FControl->Color(); }, [&] { FControl->SetColor(Value); }); }

HRESULT TLumawipe::get_FromBitmap(LONG* Value) {
    return Read(Value, [&] { return FControl->FromBitmap(); });
}
HRESULT TLumawipe::put_FromBitmap(LONG Value) {
    return Write(DispidFromBitmap, [&] { return FControl->FromBitmap(); }, [&] { WritePicture([&] { FControl->SetFromBitmap(Value); }); });
}

HRESULT TLumawipe::get_ToBitmap(LONG* Value) {
    return Read(Value, [&] { return FControl->ToBitmap(); });
}
HRESULT TLumawipe::put_ToBitmap(LONG Value) {
    return Write(DispidToBitmap, [&] { return FControl->ToBitmap(); }, [&] { WritePicture([&] { FControl->SetToBitmap(Value); }); });
}

HRESULT TLumawipe::get_Delta(LONG* Value) {
    return Read(Value, [&] { return FControl->Delta(); });
}
HRESULT TLumawipe::put_Delta(LONG Value) {
    return Write(DispidDelta, [&] { return FControl->Delta(); }, [&] {
        RefuseBelowOne(Value, "Delta");
        FControl->SetDelta(Value);
    });
}

HRESULT TLumawipe::get_Interval(LONG* Value) {
    return Read(Value, [&] { return LONG(FControl->Interval()); });
}
HRESULT TLumawipe::put_Interval(LONG Value) { return Write(DispidInterval, [&] { return FControl->Interval(); }, [&] { FControl->SetInterval(std::uint32_t(Value)); }); }

HRESULT TLumawipe::get_Modifier(TxTransitionModifier* Value) {
    return Read(Value, [&] { return TxTransitionModifier(FControl->Modifier()); });
}
HRESULT TLumawipe::put_Modifier(TxTransitionModifier Value) {
    return Write(DispidModifier, [&] { return FControl->Modifier(); }, [&] { FControl->SetModifier(LowByte(Value)); });
}

HRESULT TLumawipe::get_Operation(TxTransitionOperation* Value) {
    return Read(Value, [&] { return TxTransitionOperation(FControl->Operation()); });
}
HRESULT TLumawipe::put_Operation(TxTransitionOperation Value) {
    return Write(DispidOperation, [&] { return FControl->Operation(); }, [&] { FControl->SetOperation(LowByte(Value)); });
}

HRESULT TLumawipe::get_Reverse(VARIANT_BOOL* Value) {
    return Read(Value, [&] { return ToVariantBool(FControl->Reverse()); });
}
HRESULT TLumawipe::put_Reverse(VARIANT_BOOL Value) { return Write(DispidReverse, [&] { return FControl->Reverse(); }, [&] { FControl->SetReverse(Value != 0); }); }

HRESULT TLumawipe::get_RGBOrder(TxRGBOrder* Value) {
    return Read(Value, [&] { return TxRGBOrder(FControl->RGBOrder()); });
}
HRESULT TLumawipe::put_RGBOrder(TxRGBOrder Value) { return Write(DispidRGBOrder, [&] { return FControl->RGBOrder(); }, [&] { FControl->SetRGBOrder(LowByte(Value)); }); }

HRESULT TLumawipe::get_UseThread(VARIANT_BOOL* Value) {
    return Read(Value, [&] { return ToVariantBool(FControl->UseThread()); });
}
HRESULT TLumawipe::put_UseThread(VARIANT_BOOL Value) { return Write(DispidUseThread, [&] { return FControl->UseThread(); }, [&] { FControl->SetUseThread(Value != 0); }); }

HRESULT TLumawipe::get_Steps(LONG* Value) {
    return Read(Value, [&] { return FControl->Steps(); });
}
HRESULT TLumawipe::put_Steps(LONG Value) {
    return Write(DispidSteps, [&] { return FControl->Steps(); }, [&] {
        RefuseBelowOne(Value, "Steps");
        FControl->SetSteps(Value);
    });
}

HRESULT TLumawipe::get_Visible(VARIANT_BOOL* Value) {
    return Read(Value, [&] { return ToVariantBool(FControl->Visible()); });
}
HRESULT TLumawipe::put_Visible(VARIANT_BOOL Value) { return Call([&] { FControl->SetVisible(Value != 0); }); }

HRESULT TLumawipe::get_Enabled(VARIANT_BOOL* Value) {
    return Read(Value, [&] { return ToVariantBool(FControl->Enabled()); });
}
HRESULT TLumawipe::put_Enabled(VARIANT_BOOL Value) { return Call([&] { FControl->SetEnabled(Value != 0); }); }

HRESULT TLumawipe::get_Cursor(short* Value) {
    return Read(Value, [&] { return FControl->Cursor(); });
}
HRESULT TLumawipe::put_Cursor(short Value) { return Call([&] { FControl->SetCursor(Value); }); }

HRESULT TLumawipe::AboutBox() { return Call([] { AboutLumawipe::ShowLumawipeAbout(); }); }

HRESULT CreateLumawipe(REFIID iid, void** out) noexcept { return Com::CreateInstanceOf<TLumawipe>(iid, out); }

}  // namespace TransitionImpl
