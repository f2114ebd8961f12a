// TTransition: the window the ActiveX control shows in a container. It owns one engine,
// a Wipeax::TLumawipe, as its only child, keeps it covering its whole area, and passes
// every property and method on to it. Pictures cross as 32-bit bitmap handles.
#pragma once

#include <cstdint>

#include "activex/Wipeax.h"
#include "toolkit/win32/MessageLoop.h"
#include "toolkit/win32/WinControls.h"

namespace Wipeax {

// A bitmap handle as the 32-bit value that crosses the automation interface, and back.
// Handles keep their meaning in 32 bits; a 64-bit process gets them back sign-extended.
std::int32_t HandleToInt32(HBITMAP handle);
HBITMAP Int32ToHandle(std::int32_t value);

class TTransition : public Toolkit::TWinControl {
public:
    explicit TTransition(Toolkit::TComponent* owner);
    ~TTransition() override;

    TLumawipe& Engine() { return *FEngine; }

    bool Active() const { return FEngine->Active(); }
    void SetActive(bool v) { FEngine->SetActive(v); }
    TColor Color() const { return FEngine->Color(); }
    void SetColor(TColor v) { FEngine->SetColor(v); }
    // The handle of the engine's bitmap (0 when it is empty); it stays the engine's.
    std::int32_t FromBitmap();
    // The engine's bitmap adopts the handle and owns it from then on, also while a run
    // plays; the handle it already holds changes nothing, 0 empties it, and a handle any
    // bitmap of the process holds (the other picture, another control's picture or
    // surface) gives it a copy of that picture: one handle, one owner. A handle that is
    // not a bitmap raises Toolkit::EInvalidGraphic and nothing is adopted.
    void SetFromBitmap(std::int32_t handle);
    std::int32_t ToBitmap();
    void SetToBitmap(std::int32_t handle);
    // Delta and Steps are written as given, without a repaint (the engine draws nothing
    // for values below 1).
    std::int32_t Delta() const { return FEngine->Delta(); }
    void SetDelta(std::int32_t v) { FEngine->SetDelta(v); }
    std::uint32_t Interval() const { return FEngine->Interval(); }
    void SetInterval(std::uint32_t v) { FEngine->SetInterval(v); }
    // Enumerations cross as bytes; values outside them are stored (the engine then draws
    // only its Color).
    std::uint8_t Modifier() const { return std::uint8_t(FEngine->Modifier()); }
    void SetModifier(std::uint8_t v) { FEngine->SetModifier(TTransitionModifier(v)); }
    std::uint8_t Operation() const { return std::uint8_t(FEngine->Operation()); }
    void SetOperation(std::uint8_t v) { FEngine->SetOperation(TTransitionOperation(v)); }
    bool Reverse() const { return FEngine->Reverse(); }
    void SetReverse(bool v) { FEngine->SetReverse(v); }
    std::uint8_t RGBOrder() const { return std::uint8_t(FEngine->RGBOrder()); }
    void SetRGBOrder(std::uint8_t v) { FEngine->SetRGBOrder(TRGBOrder(v)); }
    bool UseThread() const { return FEngine->UseThread(); }
    void SetUseThread(bool v) { FEngine->SetUseThread(v); }
    std::int32_t Steps() const { return FEngine->Steps(); }
    void SetSteps(std::int32_t v) { FEngine->SetSteps(v); }
    // Raised at the end of a run, with the engine as sender. The handler may free the
    // wrapper.
    Toolkit::TNotifyEvent OnDone;

    void Play() { FEngine->Play(); }
    void Stop() { FEngine->Stop(); }
    void Pause() { FEngine->Pause(); }
    void Resume() { FEngine->Resume(); }
    void Clear() { FEngine->Clear(); }

    // Draws the current frame into rectangle r of dc (stretched to it): how a container
    // shows the control while it has no window.
    void DrawTo(HDC dc, const RECT& r);

protected:
    // After every change of the wrapper's bounds the engine takes its size at (0, 0).
    void BoundsChanged() override;
    // While no window shows the engine (a script made the control, or the container hides
    // it) its repaints are drawn off-screen, so that runs still advance and end.
    void PaintUnshownChild(Toolkit::TControl& child) override;

private:
    TLumawipe* FEngine;  // owned; lives exactly as long as the wrapper
    Toolkit::Win32::TDeferredCall FUnshownPaint = 0;  // the off-screen paint due, if any
};

}  // namespace Wipeax
