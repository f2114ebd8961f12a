// Wipekit: the transition engine. TLumawipe animates FromBitmap into ToBitmap by one of
// 27 operations, one effect routine per operation looked up in OperationTable.
#pragma once

#include <cstdint>

#include "engine/EffectApi.h"
#include "engine/PixelAccess.h"
#include "engine/TransitionDriver.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

namespace Wipekit {

class TLumawipe : public TTransitionDriver {
public:
    explicit TLumawipe(Toolkit::TComponent* AOwner);
    ~TLumawipe() override;

    // Published properties, in declaration order; Active, FromBitmap, ToBitmap, Interval,
    // UseThread and OnDone are the base's, as are Timer, Thread, Play, Stop, Pause, Resume
    // and IsPaused.
    const Toolkit::TStrings& About() const { return FAbout; }
    Toolkit::TStrings& AboutLines() { return FAbout; }  // direct access, as form loading uses
    void SetAbout(const Toolkit::TStrings& Value);
    TColor Color() const { return FParams.Color; }
    void SetColor(TColor Value);
    std::int32_t CurrentFrame() const { return FParams.CurrentFrame; }
    void SetCurrentFrame(std::int32_t Value);
    void SetFromBitmap(const TBitmap& Value);
    void SetToBitmap(const TBitmap& Value);
    TPositiveInteger Delta() const { return FParams.Delta; }
    void SetDelta(TPositiveInteger Value);  // values below 1 are refused
    TRGBOrder RGBOrder() const { return FParams.RGBOrder; }
    void SetRGBOrder(TRGBOrder Value);
    TTransitionModifier Modifier() const { return FParams.Modifier; }
    void SetModifier(TTransitionModifier Value);
    TTransitionOperation Operation() const { return FOperation; }
    void SetOperation(TTransitionOperation Value);
    bool Reverse() const { return FParams.Reverse; }
    void SetReverse(bool Value);
    TPositiveInteger Steps() const { return FSteps; }
    void SetSteps(TPositiveInteger Value);  // values below 1 are refused

    // Public and read-only: the last frame rendered. When both pictures have the
    // control's size it is drawn straight onto the control's surface, and this is that
    // surface (which follows the control's size at its next paint); otherwise it is a
    // bitmap of the component's own, copied onto the control.
    const TBitmap& WorkBitmap() const { return *FFrame; }
    TFXState* State() const { return FParams.State; }
    const TTransitionParams& Params() const { return FParams; }

    // The frame tick: CurrentFrame + Steps, rendered.
    void AdvanceFrame(Toolkit::TObject* Sender) override;

    virtual void RenderFrame();

protected:
    void Paint() override;
    void ResetTransition() override;
    void DoDone() override;
    void FromBitmapChanged(TBitmap& Sender) override;
    void ToBitmapChanged(TBitmap& Sender) override;

private:
    void ReRender();
    void WriteBitmap(TBitmap& Target, const TBitmap& Value);
    void ReleaseState();

    Toolkit::TStrings FAbout;
    TTransitionParams FParams{};
    TBitmap FWorkBitmap;
    const TBitmap* FFrame = &FWorkBitmap;  // FWorkBitmap or the surface: the last frame's
    TTransitionOperation FOperation = TTransitionOperation::toPush;
    TPositiveInteger FSteps = 1;
};

}  // namespace Wipekit

