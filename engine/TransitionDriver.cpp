// The animation driver: Play, Stop, Pause and Resume on a timer or a worker thread.
#include "engine/TransitionDriver.h"

#include <climits>
#include <string>

#include "engine/Maker.h"
#include "toolkit/Application.h"

namespace Wipekit {

using Toolkit::TObject;

void WriteAbout(Toolkit::TStrings& lines, const char* version) {
    lines.Add("Component: TLumawipe");
    lines.Add(version);
    lines.Add(std::string("Author: ") + AuthorName);
    lines.Add(std::string("Contact: ") + MakerEmail);
}

// ---------------------------------------------------------------------------------------
// Construction and destruction

TTransitionDriver::TTransitionDriver(Toolkit::TComponent* AOwner) : Toolkit::TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), 65, 65);
    SetOpaque(true);
    FFromBitmap.OnChange = [this](TBitmap& b) { FromBitmapChanged(b); };
    FToBitmap.OnChange = [this](TBitmap& b) { ToBitmapChanged(b); };
    NewTimer();
}

TTransitionDriver::~TTransitionDriver() {
    FFromBitmap.OnChange = nullptr;
    FToBitmap.OnChange = nullptr;
    // Ticks run on the user-interface thread, as this does: none can start while the
    // component is being destroyed, and none is left to reach it afterwards.
    if (FThread) ReleaseThread();
    delete FTimer;
    FTimer = nullptr;
}

void TTransitionDriver::NewTimer() {
    FTimer = new Toolkit::TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(Interval());
    FTimer->OnTimer = [this](TObject* sender) { AdvanceFrame(sender); };
}

void TTransitionDriver::ReleaseThread() {
    TLumawipeThread* thread = FThread;
    FThread = nullptr;
    thread->Engine = nullptr;
    thread->Terminate();
    if (thread->InSynchronize()) {
        // We are inside the worker's own tick (an OnDone handler freeing us): it cannot be
        // joined from here. It returns from the call, sees the termination and frees itself
        // without touching the component.
        thread->FreeOnTerminate();
    } else {
        delete thread;  // joins
    }
}

// ---------------------------------------------------------------------------------------
// Running

void TTransitionDriver::SetActive(bool Value) {
    if (Value == FActive) return;
    if (Value)
        Play();
    else
        Stop();
}

void TTransitionDriver::Play() {
    if (FActive) return;
    ResetTransition();
    SetTicking(true);
    FActive = true;
}

void TTransitionDriver::Stop() {
    if (!FActive) return;
    SetTicking(false);
    FActive = false;
}

void TTransitionDriver::Pause() {
    if (!FActive || IsPaused()) return;
    SetTicking(false);
}

void TTransitionDriver::Resume() {
    if (!FActive || !IsPaused()) return;
    SetTicking(true);
}

// Starts or stops the ticks of whichever pacer the mode uses.
void TTransitionDriver::SetTicking(bool on) {
    if (FUseThread)
        FThread->SetRunning(on);
    else
        FTimer->SetEnabled(on);
}

bool TTransitionDriver::IsPaused() const { return FUseThread ? !FThread->Running() : !FTimer->Enabled(); }

void TTransitionDriver::DoDone() {
    // The handler may free the component (and with it OnDone): call a copy.
    if (OnDone) {
        const Toolkit::TNotifyEvent handler = OnDone;
        handler(this);
    }
}

void TTransitionDriver::SetInterval(std::uint32_t Value) {
    FInterval.store(Value, std::memory_order_relaxed);
    if (FTimer) FTimer->SetInterval(Value);
    if (FThread) FThread->IntervalChanged();
}

void TTransitionDriver::SetUseThread(bool Value) {
    if (Value == FUseThread || FActive) return;
    FUseThread = Value;
    if (Value) {
        delete FTimer;
        FTimer = nullptr;
        FThread = new TLumawipeThread(this);
        FThread->Start();
    } else {
        ReleaseThread();
        NewTimer();
    }
}

// ---------------------------------------------------------------------------------------
// Frames

std::int32_t TTransitionDriver::FrameAfter(std::int32_t frame, std::int32_t steps) {
    if (steps < 1) return frame;
    const std::int64_t next = std::int64_t(frame) + steps;
    return next > INT32_MAX ? INT32_MAX : std::int32_t(next);
}

TFrameOutcome TTransitionDriver::ShowFrame(TBitmap& own, TEffectProc routine, TTransitionParams& params,
                                           bool covers, bool changes) {
    TFrameOutcome outcome;
    if (PicturesFitControl()) {
        // Drawn where it is shown: a tick moves no second copy of the frame.
        DrawOnSurface([&](TBitmap& surface) { outcome = DrawFrame(surface, routine, params, covers, changes); });
        outcome.Frame = &Surface();
    } else {
        outcome = DrawFrame(own, routine, params, covers, changes);
        Canvas().CopyRect(ClientRect(), own.Canvas(), ClientRect());
        outcome.Frame = &own;
    }
    return outcome;
}

bool TTransitionDriver::PicturesFitControl() const {
    auto sized = [&](const TBitmap& picture) { return picture.Width() == Width() && picture.Height() == Height(); };
    return sized(FFromBitmap) && sized(FToBitmap);
}

TTransitionDriver::TShownFrame TTransitionDriver::ShownFrame(const TBitmap& frame, TEffectProc routine,
                                                             const TTransitionParams& params) const {
    TShownFrame shown;
    shown.Target = &frame;
    shown.TargetCount = frame.ChangeCount();
    shown.FromCount = FFromBitmap.ChangeCount();
    shown.ToCount = FToBitmap.ChangeCount();
    shown.Width = frame.Width();
    shown.Height = frame.Height();
    shown.Routine = routine;
    shown.Color = params.Color;
    shown.Delta = params.Delta;
    shown.Modifier = params.Modifier;
    shown.Reverse = params.Reverse;
    shown.RGBOrder = params.RGBOrder;
    shown.State = params.State;
    shown.Left = params.ClientRect.Left;
    shown.Top = params.ClientRect.Top;
    shown.Right = params.ClientRect.Right;
    shown.Bottom = params.ClientRect.Bottom;
    return shown;
}

TFrameOutcome TTransitionDriver::DrawFrame(TBitmap& frame, TEffectProc routine, TTransitionParams& params,
                                           bool covers, bool changes) {
    frame.SetSize(Width(), Height());
    auto& canvas = frame.Canvas();
    canvas.Brush.Style = Toolkit::TBrushStyle::bsSolid;
    canvas.Brush.Color = params.Color;
    params.ClientRect = ClientRect();
    const bool hidden = covers && routine && params.CurrentFrame >= 0 && PicturesFitControl();
    // Only a frame of layers alone (no fill under them) can be drawn where it changed, and
    // only from pictures and onto a bitmap whose every change the counts see.
    const bool remember = changes && hidden && !FFromBitmap.Empty() && !FFromBitmap.Shared() &&
                          !FToBitmap.Shared() && !frame.Shared();
    TShownFrame shown;
    params.Memory = nullptr;
    if (remember) {
        shown = ShownFrame(frame, routine, params);
        FMemory.Partial = FShownValid && FMemory.Valid && shown == FShown;
        FMemory.Valid = false;
        FMemory.PixelsDrawn = 0;
        params.Memory = &FMemory;
    }
    const bool partial = remember && FMemory.Partial;
    FShownValid = false;
    if (!hidden) canvas.FillRect(ClientRect());

    TFrameOutcome outcome;
    if (!FFromBitmap.Empty()) {
        if (!routine) return outcome;
        try {
            outcome.Finished = routine(FFromBitmap, FToBitmap, frame, &params);
        } catch (...) {
            outcome.Error = std::current_exception();
            if (hidden) canvas.FillRect(ClientRect());
        }
        params.Memory = nullptr;
        if (remember && !outcome.Error && FMemory.Valid) {
            // The frame now on screen, as the bitmap holding it counts its changes after it.
            shown.TargetCount = frame.ChangeCount();
            FShown = shown;
            FShownValid = true;
            if (partial) ++FPartialFrames;
        }
    } else if (Designing()) {
        canvas.Pen.Style = Toolkit::TPenStyle::psDash;
        canvas.Pen.Color = Toolkit::clBlack;
        canvas.Brush.Style = Toolkit::TBrushStyle::bsClear;
        canvas.Rectangle(0, 0, frame.Width() - 1, frame.Height() - 1);
        canvas.Pen.Style = Toolkit::TPenStyle::psSolid;
        canvas.Brush.Style = Toolkit::TBrushStyle::bsSolid;
    }
    return outcome;
}

// ---------------------------------------------------------------------------------------
// TLumawipeThread

TLumawipeThread::TLumawipeThread(TTransitionDriver* AEngine)
    : Engine(AEngine), FInterval(AEngine ? AEngine->Interval() : 0) {}

TLumawipeThread::~TLumawipeThread() {
    Terminate();
    WaitFor();
}

void TLumawipeThread::SetRunning(bool running) {
    if (running)
        FGate.Open();
    else
        FGate.Close();
}

bool TLumawipeThread::Running() const { return FGate.IsOpen(); }

void TLumawipeThread::IntervalChanged() {
    FInterval.store(Engine ? Engine->Interval() : 0, std::memory_order_relaxed);
    FGate.Pulse();
}

namespace {
// Interval as the worker reads it: values of 2^31 and above count as not above 0.
bool Ticking(std::uint32_t interval) { return std::int32_t(interval) > 0; }
}  // namespace

void TLumawipeThread::Execute() {
    while (!Terminated()) {
        // Between runs, while paused, and while Interval does not tick (0, or 2^31 and
        // above) the worker waits at the gate without waking: no spinning, no empty
        // synchronized calls. A new Interval wakes it and starts a full wait.
        const std::uint64_t pass =
            FGate.WaitOpen(*this, [this] { return Ticking(FInterval.load(std::memory_order_relaxed)); });
        if (pass == 0) break;
        // Stopping or pausing cuts the wait short; the tick of that wait is dropped.
        if (!FGate.Hold(*this, FInterval.load(std::memory_order_relaxed), pass)) continue;
        try {
            Synchronize([this, pass] { SyncTick(pass); });
        } catch (...) {
            // SyncTick reports its own errors; nothing else can come back.
        }
    }
}

void TLumawipeThread::SyncTick(std::uint64_t Pass) {
    // Runs on the user-interface thread. The component may have let the thread go, or
    // stopped, paused or restarted the run after the worker decided on this tick.
    if (!Engine || !FGate.Holds(Pass) || !Ticking(Engine->Interval())) return;
    TTransitionDriver* engine = Engine;
    Toolkit::CallGuarded([&] { engine->AdvanceFrame(engine); });
}

}  // namespace Wipekit
