#include "activex/Transition.h"

#include "toolkit/Application.h"
#include "toolkit/win32/Gdi.h"

namespace Wipeax {

std::int32_t HandleToInt32(HBITMAP handle) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

HBITMAP Int32ToHandle(std::int32_t value) { return reinterpret_cast<HBITMAP>(static_cast<std::intptr_t>(value)); }

TTransition::TTransition(Toolkit::TComponent* owner) : Toolkit::TWinControl(owner), FEngine(new TLumawipe(this)) {
    // Until a container gives it a place, the wrapper has its engine's size (a script's
    // control, which no container shows, plays its runs at that size).
    SetBounds(0, 0, FEngine->Width(), FEngine->Height());
    FEngine->SetBounds(0, 0, Width(), Height());
    FEngine->SetParent(this);
    // A copy of the handler runs: it may free the wrapper, and OnDone with it.
    FEngine->OnDone = [this](Toolkit::TObject* sender) {
        if (!OnDone) return;
        const Toolkit::TNotifyEvent handler = OnDone;
        handler(sender);
    };
}

TTransition::~TTransition() {
    if (FUnshownPaint) Toolkit::Win32::CancelDeferred(FUnshownPaint);
    delete FEngine;
    FEngine = nullptr;
}

void TTransition::BoundsChanged() {
    if (FEngine) FEngine->SetBounds(0, 0, Width(), Height());
}

void TTransition::PaintUnshownChild(Toolkit::TControl& child) {
    if (&child != FEngine || FUnshownPaint) return;  // repaints due merge into one
    FUnshownPaint = Toolkit::Win32::PostDeferred([this] {
        FUnshownPaint = 0;
        Toolkit::CallGuarded([this] { FEngine->PaintControl(); });
    });
}

void TTransition::DrawTo(HDC dc, const RECT& r) {
    const auto self = Watch();
    try {
        FEngine->PaintControl();  // the frame for the current counter, as a repaint draws it
    } catch (...) {
        // A frame whose routine raised still shows what the paint left (its fill colour).
        if (self) Toolkit::Win32::DrawBitmap(dc, r, FEngine->Surface());
        throw;
    }
    if (self) Toolkit::Win32::DrawBitmap(dc, r, FEngine->Surface());
}

std::int32_t TTransition::FromBitmap() { return HandleToInt32(Toolkit::BitmapHandle(FEngine->FromBitmap())); }

void TTransition::SetFromBitmap(std::int32_t handle) { Toolkit::SetBitmapHandle(FEngine->FromBitmap(), Int32ToHandle(handle)); }

std::int32_t TTransition::ToBitmap() { return HandleToInt32(Toolkit::BitmapHandle(FEngine->ToBitmap())); }

void TTransition::SetToBitmap(std::int32_t handle) { Toolkit::SetBitmapHandle(FEngine->ToBitmap(), Int32ToHandle(handle)); }

}  // namespace Wipeax
