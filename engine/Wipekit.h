// Wipekit: the transition engine. TLumawipe animates FromBitmap into ToBitmap by one of
// 27 operations, one effect routine per operation looked up in OperationTable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/EffectApi.h"
#include "engine/PixelAccess.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Threads.h"

namespace Wipekit {

class TLumawipe;

// Paces a component's frames in thread mode: waits Interval ms, then runs the frame
// tick on the user-interface thread. Paused and stopped by a gate; each tick belongs to
// the pass of the gate it was decided in and is dropped once that pass is over.
class TLumawipeThread final : public Toolkit::TThread {
public:
    explicit TLumawipeThread(TLumawipe* Engine);
    ~TLumawipeThread() override;

    // Opens (a new pass) or closes the gate the worker waits at between ticks.
    void SetRunning(bool running);
    bool Running() const;
    // Wakes the worker to re-read Interval.
    void IntervalChanged();

    // The frame tick of a pass, run on the user-interface thread.
    void SyncTick(std::uint64_t Pass);

    TLumawipe* Engine;  // not owned; cleared when the component lets the thread go

protected:
    void Execute() override;

private:
    Toolkit::TGate FGate;
    std::atomic<std::uint32_t> FInterval;  // the component's Interval, set on the UI thread
};

class TLumawipe : public Toolkit::TGraphicControl {
public:
    explicit TLumawipe(Toolkit::TComponent* AOwner);
    ~TLumawipe() override;

    // Published properties, in declaration order.
    const Toolkit::TStrings& About() const { return FAbout; }
    Toolkit::TStrings& AboutLines() { return FAbout; }  // direct access, as form loading uses
    void SetAbout(const Toolkit::TStrings& Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TColor Color() const { return FParams.Color; }
    void SetColor(TColor Value);
    std::int32_t CurrentFrame() const { return FParams.CurrentFrame; }
    void SetCurrentFrame(std::int32_t Value);
    const TBitmap& FromBitmap() const { return FFromBitmap; }
    TBitmap& FromBitmap() { return FFromBitmap; }
    void SetFromBitmap(const TBitmap& Value);
    const TBitmap& ToBitmap() const { return FToBitmap; }
    TBitmap& ToBitmap() { return FToBitmap; }
    void SetToBitmap(const TBitmap& Value);
    TPositiveInteger Delta() const { return FParams.Delta; }
    void SetDelta(TPositiveInteger Value);  // values below 1 are refused
    std::uint32_t Interval() const { return FInterval.load(std::memory_order_relaxed); }
    void SetInterval(std::uint32_t Value);
    TRGBOrder RGBOrder() const { return FParams.RGBOrder; }
    void SetRGBOrder(TRGBOrder Value);
    TTransitionModifier Modifier() const { return FParams.Modifier; }
    void SetModifier(TTransitionModifier Value);
    TTransitionOperation Operation() const { return FOperation; }
    void SetOperation(TTransitionOperation Value);
    bool Reverse() const { return FParams.Reverse; }
    void SetReverse(bool Value);
    bool UseThread() const { return FUseThread; }
    void SetUseThread(bool Value);
    TPositiveInteger Steps() const { return FSteps; }
    void SetSteps(TPositiveInteger Value);  // values below 1 are refused
    Toolkit::TNotifyEvent OnDone;

    // Public and read-only.
    const TBitmap& WorkBitmap() const { return FWorkBitmap; }
    TFXState* State() const { return FParams.State; }
    const TTransitionParams& Params() const { return FParams; }
    Toolkit::TTimer* Timer() const { return FTimer; }
    TLumawipeThread* Thread() const { return FThread; }

    // The animation driver.
    void Play();
    void Stop();
    void Pause();
    void Resume();
    bool IsPaused() const;
    void AdvanceFrame(Toolkit::TObject* Sender);

    virtual void RenderFrame();

protected:
    void Paint() override;
    void ResetTransition();
    void DoDone();
    void FromBitmapChanged(TBitmap& Sender);
    void ToBitmapChanged(TBitmap& Sender);

private:
    void ReRender();
    void WriteBitmap(TBitmap& Target, const TBitmap& Value);
    void ReleaseState();
    void NewTimer();
    void ReleaseThread();
    void SetTicking(bool on);

    bool FActive = false;
    Toolkit::TStrings FAbout;
    TTransitionParams FParams{};
    TBitmap FFromBitmap;
    TBitmap FToBitmap;
    TBitmap FWorkBitmap;
    std::atomic<std::uint32_t> FInterval{100};  // read by the worker without a lock
    TTransitionOperation FOperation = TTransitionOperation::toPush;
    TPositiveInteger FSteps = 1;
    Toolkit::TTimer* FTimer = nullptr;
    TLumawipeThread* FThread = nullptr;
    bool FUseThread = false;
};

}  // namespace Wipekit

