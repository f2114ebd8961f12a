// Wipeax: the engine of the ActiveX control. Its TLumawipe plays the first 20 operations
// of the full engine through the full engine's routines, but keeps no work bitmap: a
// frame tick only advances FrameCounter and asks for a repaint, and Paint draws the frame
// for FrameCounter (only the bitmap's memory is kept from paint to paint; on the control's
// surface, a frame of an rdChanges operation is drawn where it differs from the one there
// when nothing else changed since, see TTransitionDriver::DrawFrame).
#pragma once

#include <cstdint>

#include "engine/EffectApi.h"
#include "engine/TransitionDriver.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

namespace Wipeax {

using Toolkit::TBitmap;
using Toolkit::TColor;
using Wipekit::TPositiveInteger;
using Wipekit::TRGBOrder;
using Wipekit::TTransitionModifier;
using Wipekit::TTransitionOperation;

// This engine's operations: the first OperationCount of the full engine's, same ordinals.
constexpr int OperationCount = Wipekit::ControlOperationCount;

class TLumawipe : public Wipekit::TTransitionDriver {
public:
    explicit TLumawipe(Toolkit::TComponent* AOwner);
    ~TLumawipe() override;

    // Published properties, in declaration order; Active, FromBitmap, ToBitmap, Interval,
    // UseThread and OnDone are the base's, as are Play, Stop, Pause, Resume and IsPaused.
    const Toolkit::TStrings& About() const { return FAbout; }
    void SetAbout(const Toolkit::TStrings& Value);  // the lines are fixed
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    void SetFromBitmap(const TBitmap& Value);
    void SetToBitmap(const TBitmap& Value);
    // Delta and Steps are stored as given and take effect from the next paint or tick.
    TPositiveInteger Delta() const { return FDelta; }
    void SetDelta(TPositiveInteger Value) { FDelta = Value; }
    TRGBOrder RGBOrder() const { return FRGBOrder; }
    void SetRGBOrder(TRGBOrder Value);
    TTransitionModifier Modifier() const { return FModifier; }
    void SetModifier(TTransitionModifier Value);
    TTransitionOperation Operation() const { return FOperation; }
    void SetOperation(TTransitionOperation Value);
    bool Reverse() const { return FReverse; }
    void SetReverse(bool Value);
    TPositiveInteger Steps() const { return FSteps; }
    void SetSteps(TPositiveInteger Value) { FSteps = Value; }

    // Progress of the run: the frame the next paint draws.
    std::int32_t FrameCounter() const { return FFrameCounter; }

    // The frame tick: FrameCounter + Steps, then a repaint request. Ticks before the
    // repaint has happened merge into it.
    void AdvanceFrame(Toolkit::TObject* Sender) override;
    // Fills the control with its canvas's current brush until the next paint.
    void Clear();

protected:
    // Draws the frame for FrameCounter; at the last frame of a run it stops the run and
    // raises OnDone.
    void Paint() override;
    void ResetTransition() override;
    void FromBitmapChanged(TBitmap& Sender) override;
    void ToBitmapChanged(TBitmap& Sender) override;

private:
    // The routine of Operation and Reverse, or nullptr when a stored value lies outside
    // its type (any byte can be stored through the automation interface) or Delta or
    // Steps is below 1: then no routine runs, a paint shows the Color fill and a run
    // never ends.
    Wipekit::TEffectProc Routine() const;
    void WriteBitmap(TBitmap& Target, const TBitmap& Value);

    Toolkit::TStrings FAbout;
    TColor FColor = Toolkit::clBtnFace;
    TPositiveInteger FDelta = 10;
    TTransitionModifier FModifier = TTransitionModifier::tmLeft;
    TTransitionOperation FOperation = TTransitionOperation::toPush;
    bool FReverse = false;
    TPositiveInteger FSteps = 1;
    TRGBOrder FRGBOrder = TRGBOrder::coRGB;
    std::int32_t FFrameCounter = 0;
    // Where a paint draws its frame when the pictures do not have the control's size (else
    // it draws on the control's surface): only its memory outlives the paint.
    TBitmap FFrame;
};

}  // namespace Wipeax
