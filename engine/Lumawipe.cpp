// TLumawipe: properties, rendering and the driver's hooks.
#include "engine/Wipekit.h"

namespace Wipekit {

using Toolkit::TObject;

// ---------------------------------------------------------------------------------------
// Construction and destruction

TLumawipe::TLumawipe(Toolkit::TComponent* AOwner) : TTransitionDriver(AOwner) {
    WriteAbout(FAbout, "Version: 4.0");
    FParams.Color = Toolkit::clBtnFace;
    FParams.Delta = 10;
    FParams.CurrentFrame = 0;
    FParams.Modifier = TTransitionModifier::tmLeft;
    FParams.Reverse = false;
    FParams.RGBOrder = TRGBOrder::coRGB;
    FParams.State = nullptr;
}

TLumawipe::~TLumawipe() { ReleaseState(); }

void TLumawipe::ReleaseState() {
    if (!FParams.State) return;
    FParams.State->Release(&FParams);
    delete FParams.State;
    FParams.State = nullptr;
}

// ---------------------------------------------------------------------------------------
// Property writes

void TLumawipe::SetAbout(const Toolkit::TStrings&) {}

void TLumawipe::SetColor(TColor Value) {
    if (Active()) return;
    FParams.Color = Value;
    ReRender();
}

void TLumawipe::SetCurrentFrame(std::int32_t Value) {
    if (Value < 0 || OperationKeepsState(FOperation)) return;
    FParams.CurrentFrame = Value;
    ReRender();
}

void TLumawipe::SetFromBitmap(const TBitmap& Value) { WriteBitmap(FromBitmap(), Value); }

void TLumawipe::SetToBitmap(const TBitmap& Value) { WriteBitmap(ToBitmap(), Value); }

// The copy raises the picture's change handler, which renders and may end a run whose
// OnDone frees the component: the setter's own render follows only if it survived.
void TLumawipe::WriteBitmap(TBitmap& Target, const TBitmap& Value) {
    if (Active()) return;
    const auto self = Watch();
    Target.Assign(Value);
    if (self) ReRender();
}

void TLumawipe::SetDelta(TPositiveInteger Value) {
    if (Value < 1) return;
    FParams.Delta = Value;
}

void TLumawipe::SetSteps(TPositiveInteger Value) {
    if (Value < 1) return;
    FSteps = Value;
}

void TLumawipe::SetRGBOrder(TRGBOrder Value) {
    if (Active() || Value == FParams.RGBOrder) return;
    FParams.RGBOrder = Value;
    ReRender();
}

void TLumawipe::SetModifier(TTransitionModifier Value) {
    if (Value == FParams.Modifier || Active()) return;
    FParams.Modifier = Value;
}

void TLumawipe::SetReverse(bool Value) {
    if (Value == FParams.Reverse || Active()) return;
    FParams.Reverse = Value;
}

void TLumawipe::SetOperation(TTransitionOperation Value) {
    if (Value == FOperation || Active()) return;
    if (int(Value) >= OperationCount) return;
    ReleaseState();
    FOperation = Value;
    if (const auto factory = OperationTable[int(Value)].StateClass) FParams.State = factory();
}

void TLumawipe::FromBitmapChanged(TBitmap&) {
    // An emptied picture has no top-left pixel: the colour stays as it is.
    if (!FromBitmap().Empty()) FParams.Color = FromBitmap().Canvas().Pixel(0, 0);
    ReRender();
}

void TLumawipe::ToBitmapChanged(TBitmap&) { ReRender(); }

void TLumawipe::ReRender() {
    const auto self = Watch();
    RenderFrame();
    if (self) Invalidate();  // an OnDone handler may have freed the component
}

// ---------------------------------------------------------------------------------------
// Rendering

void TLumawipe::RenderFrame() {
    const TEffectEntry& entry = OperationTable[int(FOperation)];
    const TFrameOutcome frame = ShowFrame(FWorkBitmap, FParams.Reverse ? entry.Reverse : entry.Forward, FParams,
                                          OperationCoversFrame(FOperation), OperationRedrawsChanges(FOperation));
    FFrame = frame.Frame;
    if (frame.Error) std::rethrow_exception(frame.Error);
    if (frame.Finished) {
        Stop();
        DoDone();
    }
}

// A frame drawn on the surface is already there.
void TLumawipe::Paint() {
    if (FFrame == &FWorkBitmap) Canvas().CopyRect(ClientRect(), FWorkBitmap.Canvas(), ClientRect());
}

// ---------------------------------------------------------------------------------------
// The driver's hooks

void TLumawipe::AdvanceFrame(TObject*) {
    FParams.CurrentFrame = FrameAfter(FParams.CurrentFrame, FSteps);
    ReRender();
}

void TLumawipe::ResetTransition() {
    FParams.CurrentFrame = -1;
    if (!FParams.State) return;
    FParams.State->Release(&FParams);
    FParams.State->BarCount = OperationBarCount(FOperation, FParams.Modifier, Width(), Height());
    FParams.State->Prepare(&FParams);
}

void TLumawipe::DoDone() {
    if (FParams.State) FParams.State->Release(&FParams);
    TTransitionDriver::DoDone();
}

}  // namespace Wipekit
