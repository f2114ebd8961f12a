// What the engine components share: the two pictures, drawing a frame of them, and the
// animation driver: Active, Play, Stop, Pause and Resume, frame ticks every Interval
// milliseconds from a timer on the user-interface thread or from a worker thread, and the
// end of a run. What a tick, a rewind and the end do is the component's: AdvanceFrame,
// ResetTransition and DoDone.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>

#include "engine/EffectApi.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Threads.h"

namespace Wipekit {

class TTransitionDriver;

// Fills lines with a component's About lines: its name, the version line given, the
// author and the contact.
void WriteAbout(Toolkit::TStrings& lines, const char* version);

// Paces a component's frames in thread mode: waits Interval ms, then runs the frame
// tick on the user-interface thread. Paused and stopped by a gate; each tick belongs to
// the pass of the gate it was decided in and is dropped once that pass is over.
class TLumawipeThread final : public Toolkit::TThread {
public:
    explicit TLumawipeThread(TTransitionDriver* Engine);
    ~TLumawipeThread() override;

    // Opens (a new pass) or closes the gate the worker waits at between ticks.
    void SetRunning(bool running);
    bool Running() const;
    // Wakes the worker to re-read Interval.
    void IntervalChanged();

    // The frame tick of a pass, run on the user-interface thread.
    void SyncTick(std::uint64_t Pass);

    TTransitionDriver* Engine;  // not owned; cleared when the component lets the thread go

protected:
    void Execute() override;

private:
    Toolkit::TGate FGate;
    std::atomic<std::uint32_t> FInterval;  // the component's Interval, set on the UI thread
};

// What drawing a frame came to: the routine reported the last frame, or raised.
struct TFrameOutcome {
    bool Finished = false;
    std::exception_ptr Error;
    const TBitmap* Frame = nullptr;  // what holds the frame (ShowFrame)
};

class TTransitionDriver : public Toolkit::TGraphicControl {
public:
    // 65 x 65 and opaque, as every component starts.
    explicit TTransitionDriver(Toolkit::TComponent* AOwner);
    ~TTransitionDriver() override;

    // The picture at the start of a forward run and the one at its end; their change
    // notifications reach FromBitmapChanged and ToBitmapChanged.
    const TBitmap& FromBitmap() const { return FFromBitmap; }
    TBitmap& FromBitmap() { return FFromBitmap; }
    const TBitmap& ToBitmap() const { return FToBitmap; }
    TBitmap& ToBitmap() { return FToBitmap; }

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    std::uint32_t Interval() const { return FInterval.load(std::memory_order_relaxed); }
    void SetInterval(std::uint32_t Value);
    bool UseThread() const { return FUseThread; }
    void SetUseThread(bool Value);
    Toolkit::TNotifyEvent OnDone;

    Toolkit::TTimer* Timer() const { return FTimer; }
    TLumawipeThread* Thread() const { return FThread; }

    // Every Play starts at the first frame (ResetTransition).
    void Play();
    void Stop();
    void Pause();
    void Resume();
    bool IsPaused() const;
    // The frame tick of the timer and the thread.
    virtual void AdvanceFrame(Toolkit::TObject* Sender) = 0;

    // Frames drawn only where they differed from the frame on screen, since the component
    // was made, and the pixels the last frame drawn through the memory wrote (tests,
    // diagnostics).
    std::uint64_t PartialFrames() const { return FPartialFrames; }
    std::int64_t LastFramePixels() const { return FMemory.PixelsDrawn; }

protected:
    virtual void ResetTransition() = 0;
    virtual void FromBitmapChanged(TBitmap& Sender) = 0;
    virtual void ToBitmapChanged(TBitmap& Sender) = 0;
    // The end of a run, after Stop: raises OnDone with the component as sender.
    virtual void DoDone();

    // frame + steps, saturating at the largest frame (every effect clamps a frame beyond
    // its end); a steps below 1 leaves the frame where it is.
    static std::int32_t FrameAfter(std::int32_t frame, std::int32_t steps);

    // Draws a frame of the control's size into frame: filled with params.Color, then
    // routine's picture when FromBitmap holds one (nullptr: none), or the dashed outline
    // of an empty control while it is being designed. Sets params.ClientRect. An
    // exception of the routine is caught and returned. With covers (the routine draws
    // every pixel of frames from 0 on when both pictures have the control's size) the
    // fill is left out where it would be hidden; a routine that raises has drawn nothing
    // and gets the fill.
    //
    // With changes (the routine is an rdChanges operation's) and the fill left out, the
    // component remembers the frame on screen: the layers it was drawn from, the bitmap it
    // lies in and that bitmap's change count after the draw, the pictures' change counts,
    // the routine, every value of params but the frame, and the sizes. When all of them
    // are as they were, the routine draws only where its new frame's layers differ from
    // those (TFrameLayers); otherwise, and after any failure, it draws the whole frame.
    TFrameOutcome DrawFrame(TBitmap& frame, TEffectProc routine, TTransitionParams& params, bool covers = false,
                            bool changes = false);
    // DrawFrame where the control shows it: straight onto the control's surface, shown
    // once, when both pictures have the control's size; otherwise (an effect may size the
    // bitmap it draws into to a picture's) into own, which is then copied onto the control,
    // also when the routine failed. The outcome's Frame is the bitmap that holds the frame.
    TFrameOutcome ShowFrame(TBitmap& own, TEffectProc routine, TTransitionParams& params, bool covers,
                            bool changes = false);

private:
    bool PicturesFitControl() const;
    void NewTimer();
    void ReleaseThread();
    void SetTicking(bool on);

    // What a frame drawn with the memory depends on, but its frame number (the layers kept
    // in FMemory carry what depends on that).
    struct TShownFrame {
        const TBitmap* Target = nullptr;
        std::uint64_t TargetCount = 0, FromCount = 0, ToCount = 0;
        int Width = 0, Height = 0;
        TEffectProc Routine = nullptr;
        TColor Color = 0;
        TPositiveInteger Delta = 0;
        TTransitionModifier Modifier{};
        bool Reverse = false;
        TRGBOrder RGBOrder{};
        const TFXState* State = nullptr;
        int Left = 0, Top = 0, Right = 0, Bottom = 0;  // params.ClientRect
        bool operator==(const TShownFrame&) const = default;
    };
    TShownFrame ShownFrame(const TBitmap& frame, TEffectProc routine, const TTransitionParams& params) const;

    TBitmap FFromBitmap;
    TBitmap FToBitmap;
    // The frame on screen, when it was drawn with the memory (else FShownValid is false).
    TShownFrame FShown;
    bool FShownValid = false;
    TFrameMemory FMemory;
    std::uint64_t FPartialFrames = 0;
    bool FActive = false;
    std::atomic<std::uint32_t> FInterval{100};  // read by the worker without a lock
    Toolkit::TTimer* FTimer = nullptr;
    TLumawipeThread* FThread = nullptr;
    bool FUseThread = false;
};

}  // namespace Wipekit
