// TransitionImpl: the automation object of the control. TLumawipe implements the dual
// interface ILumawipe as thin conversions onto the window wrapper TTransition, relays the
// engine's end of a run as the event OnDone, and names the control's property page. The
// framework (TActiveXControl) does the rest.
#pragma once

#include <memory>

#include "activex/Transition.h"
#include "activex/com/ActiveXControl.h"
// The generated interfaces, after the toolkit's Windows headers.
#include "Lumawipe.h"

namespace TransitionImpl {

class TLumawipe final : public Com::TActiveXControl, public ILumawipe {
public:
    TLumawipe();
    ~TLumawipe() override;

    LUMAWIPE_CONTROL_UNKNOWN
    static constexpr Com::TInterfaceEntry Interfaces[] = {
        Com::Offer<TLumawipe, ILumawipe>(IID_ILumawipe),
        Com::Offer<TLumawipe, IDispatch, ILumawipe>(IID_IDispatch),
    };

    // IDispatch, from the type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argError) override;

    // ILumawipe
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Resume() override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL* Value) override;
    HRESULT STDMETHODCALLTYPE put_Active(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_Color(OLE_COLOR* Value) override;
    HRESULT STDMETHODCALLTYPE put_Color(OLE_COLOR Value) override;
    HRESULT STDMETHODCALLTYPE get_FromBitmap(LONG* Value) override;
    HRESULT STDMETHODCALLTYPE put_FromBitmap(LONG Value) override;
    HRESULT STDMETHODCALLTYPE get_ToBitmap(LONG* Value) override;
    HRESULT STDMETHODCALLTYPE put_ToBitmap(LONG Value) override;
    HRESULT STDMETHODCALLTYPE get_Delta(LONG* Value) override;
    HRESULT STDMETHODCALLTYPE put_Delta(LONG Value) override;
    HRESULT STDMETHODCALLTYPE get_Interval(LONG* Value) override;
    HRESULT STDMETHODCALLTYPE put_Interval(LONG Value) override;
    HRESULT STDMETHODCALLTYPE get_Modifier(TxTransitionModifier* Value) override;
    HRESULT STDMETHODCALLTYPE put_Modifier(TxTransitionModifier Value) override;
    HRESULT STDMETHODCALLTYPE get_Operation(TxTransitionOperation* Value) override;
    HRESULT STDMETHODCALLTYPE put_Operation(TxTransitionOperation Value) override;
    HRESULT STDMETHODCALLTYPE get_Reverse(VARIANT_BOOL* Value) override;
    HRESULT STDMETHODCALLTYPE put_Reverse(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_RGBOrder(TxRGBOrder* Value) override;
    HRESULT STDMETHODCALLTYPE put_RGBOrder(TxRGBOrder Value) override;
    HRESULT STDMETHODCALLTYPE get_UseThread(VARIANT_BOOL* Value) override;
    HRESULT STDMETHODCALLTYPE put_UseThread(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_Steps(LONG* Value) override;
    HRESULT STDMETHODCALLTYPE put_Steps(LONG Value) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* Value) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* Value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL Value) override;
    HRESULT STDMETHODCALLTYPE get_Cursor(short* Value) override;
    HRESULT STDMETHODCALLTYPE put_Cursor(short Value) override;
    HRESULT STDMETHODCALLTYPE AboutBox() override;

    // The engine's OnDone: the event OnDone on every connected sink.
    void FireDone(Toolkit::TObject* Sender);

protected:
    Toolkit::TWinControl& Control() override { return *FControl; }
    const Toolkit::TClassInfo& StoredProperties() const override;
    std::unique_ptr<Toolkit::TComponent> NewScratchControl() const override;
    std::span<const CLSID> PropertyPages() const override;
    void DrawTo(HDC dc, const RECT& r) override;
    // A running control refuses a saved state (it would ignore part of it).
    void CheckLoadable() const override;

private:
    // A member's body at the boundary: exceptions become failure HRESULTs.
    template <class F>
    HRESULT Call(F&& body);
    // A property read into Value (checked first).
    template <class T, class F>
    HRESULT Read(T* Value, F&& get);
    // A write of property id: the body, then, when get() reads another value than before,
    // the object is dirty and the change is announced.
    template <class Get, class F>
    HRESULT Write(DISPID id, Get&& get, F&& body);

    Com::ComPtr<ITypeInfo> FTypeInfo;
    std::unique_ptr<Wipeax::TTransition> FControl;
};

// The class table's creator of the control.
HRESULT CreateLumawipe(REFIID iid, void** out) noexcept;

}  // namespace TransitionImpl
