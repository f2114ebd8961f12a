// Wipeax::TLumawipe: properties, the frame tick and the paint that draws the frame.
#include "activex/Wipeax.h"

#include <exception>

namespace Wipeax {

using Toolkit::TObject;
using Wipekit::TFrameOutcome;
using Wipekit::TTransitionParams;

TLumawipe::TLumawipe(Toolkit::TComponent* AOwner) : TTransitionDriver(AOwner) {
    Wipekit::WriteAbout(FAbout, "Version: 3.0");
}

TLumawipe::~TLumawipe() = default;

// ---------------------------------------------------------------------------------------
// Property writes

void TLumawipe::SetAbout(const Toolkit::TStrings&) {}

void TLumawipe::SetColor(TColor Value) {
    if (Active()) return;
    FColor = Value;
    Invalidate();
}

void TLumawipe::SetFromBitmap(const TBitmap& Value) { WriteBitmap(FromBitmap(), Value); }

void TLumawipe::SetToBitmap(const TBitmap& Value) { WriteBitmap(ToBitmap(), Value); }

void TLumawipe::WriteBitmap(TBitmap& Target, const TBitmap& Value) {
    if (Active()) return;
    Target.Assign(Value);
    Invalidate();
}

// The new order shows from the next paint on.
void TLumawipe::SetRGBOrder(TRGBOrder Value) {
    if (Active() || Value == FRGBOrder) return;
    FRGBOrder = Value;
}

void TLumawipe::SetModifier(TTransitionModifier Value) {
    if (Value == FModifier || Active()) return;
    FModifier = Value;
}

void TLumawipe::SetReverse(bool Value) {
    if (Value == FReverse || Active()) return;
    FReverse = Value;
}

void TLumawipe::SetOperation(TTransitionOperation Value) {
    if (Value == FOperation || Active()) return;
    FOperation = Value;
}

// Also while a run is playing: a handle adopted by the wrapper replaces the picture.
void TLumawipe::FromBitmapChanged(TBitmap&) {
    // An emptied picture has no top-left pixel: the colour stays as it is.
    if (!FromBitmap().Empty()) FColor = FromBitmap().Canvas().Pixel(0, 0);
    Invalidate();
}

void TLumawipe::ToBitmapChanged(TBitmap&) { Invalidate(); }

void TLumawipe::Clear() { Canvas().FillRect(ClientRect()); }

// ---------------------------------------------------------------------------------------
// The driver's hooks and the paint

void TLumawipe::AdvanceFrame(TObject*) {
    FFrameCounter = FrameAfter(FFrameCounter, FSteps);
    Invalidate();
}

// An operation outside the list keeps its counter: it has no first frame to rewind to.
void TLumawipe::ResetTransition() {
    if (int(FOperation) < OperationCount) FFrameCounter = -1;
}

Wipekit::TEffectProc TLumawipe::Routine() const {
    if (int(FOperation) >= OperationCount || int(FModifier) >= Wipekit::ModifierCount ||
        int(FRGBOrder) >= Wipekit::RGBOrderCount || FDelta < 1 || FSteps < 1)
        return nullptr;
    const Wipekit::TEffectEntry& entry = Wipekit::OperationTable[int(FOperation)];
    return FReverse ? entry.Reverse : entry.Forward;
}

void TLumawipe::Paint() {
    TTransitionParams params{};
    params.Color = FColor;
    params.Delta = FDelta;
    params.CurrentFrame = FFrameCounter;
    params.Modifier = FModifier;
    params.Reverse = FReverse;
    params.RGBOrder = FRGBOrder;
    params.State = nullptr;  // none of these operations keeps state between frames
    params.ClampedFrame = FFrameCounter;

    // Every paint draws its frame, where it differs from the one on screen when nothing else
    // changed since that one (TTransitionDriver::DrawFrame), else whole.
    const TFrameOutcome outcome = ShowFrame(FFrame, Routine(), params, OperationCoversFrame(FOperation),
                                            Wipekit::OperationRedrawsChanges(FOperation));
    // The counter never stays beyond the last frame.
    FFrameCounter = params.ClampedFrame;

    if (outcome.Finished) {
        // OnDone is raised once per run started by Play: a repaint that meets the end
        // again once the run has stopped (Active false) only reaches Stop, which then
        // does nothing. The handler may free the component: nothing follows it.
        const bool running = Active();
        Stop();
        if (running) DoDone();
    }
    if (outcome.Error) std::rethrow_exception(outcome.Error);
}

}  // namespace Wipeax
