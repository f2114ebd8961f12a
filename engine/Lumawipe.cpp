// TLumawipe: properties, rendering and the animation driver (timer or worker thread).
#include <climits>

#include "engine/Wipekit.h"
#include "toolkit/Forms.h"

namespace Wipekit {

using Toolkit::TObject;

// ---------------------------------------------------------------------------------------
// Construction and destruction

TLumawipe::TLumawipe(Toolkit::TComponent* AOwner) : Toolkit::TGraphicControl(AOwner) {
    FAbout.Add("Component: TLumawipe");
    FAbout.Add("Version: 4.0");
    FAbout.Add("Author: The Lumawipe developers");
    FAbout.Add("Contact: lumawipe@example.org");
    SetBounds(Left(), Top(), 65, 65);
    SetOpaque(true);
    FFromBitmap.OnChange = [this](TBitmap& b) { FromBitmapChanged(b); };
    FToBitmap.OnChange = [this](TBitmap& b) { ToBitmapChanged(b); };
    FParams.Color = Toolkit::clBtnFace;
    FParams.Delta = 10;
    FParams.CurrentFrame = 0;
    FParams.Modifier = TTransitionModifier::tmLeft;
    FParams.Reverse = false;
    FParams.RGBOrder = TRGBOrder::coRGB;
    FParams.State = nullptr;
    NewTimer();
}

TLumawipe::~TLumawipe() {
    // The worker goes first, so no tick can reach what follows.
    if (FThread) ReleaseThread();
    delete FTimer;
    FTimer = nullptr;
    FFromBitmap.OnChange = nullptr;
    FToBitmap.OnChange = nullptr;
    ReleaseState();
}

void TLumawipe::NewTimer() {
    FTimer = new Toolkit::TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(Interval());
    FTimer->OnTimer = [this](TObject* sender) { AdvanceFrame(sender); };
}

void TLumawipe::ReleaseThread() {
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
    if (FActive) return;
    FParams.Color = Value;
    ReRender();
}

void TLumawipe::SetCurrentFrame(std::int32_t Value) {
    if (Value < 0 || OperationKeepsState(FOperation)) return;
    FParams.CurrentFrame = Value;
    ReRender();
}

void TLumawipe::SetFromBitmap(const TBitmap& Value) { WriteBitmap(FFromBitmap, Value); }

void TLumawipe::SetToBitmap(const TBitmap& Value) { WriteBitmap(FToBitmap, Value); }

// The copy raises the picture's change handler, which renders and may end a run whose
// OnDone frees the component: the setter's own render follows only if it survived.
void TLumawipe::WriteBitmap(TBitmap& Target, const TBitmap& Value) {
    if (FActive) return;
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
    if (FActive || Value == FParams.RGBOrder) return;
    FParams.RGBOrder = Value;
    ReRender();
}

void TLumawipe::SetModifier(TTransitionModifier Value) {
    if (Value == FParams.Modifier || FActive) return;
    FParams.Modifier = Value;
}

void TLumawipe::SetReverse(bool Value) {
    if (Value == FParams.Reverse || FActive) return;
    FParams.Reverse = Value;
}

void TLumawipe::SetOperation(TTransitionOperation Value) {
    if (Value == FOperation || FActive) return;
    if (int(Value) >= OperationCount) return;
    ReleaseState();
    FOperation = Value;
    if (const auto factory = OperationTable[int(Value)].StateClass) FParams.State = factory();
}

void TLumawipe::FromBitmapChanged(TBitmap&) {
    // An emptied picture has no top-left pixel: the colour stays as it is.
    if (!FFromBitmap.Empty()) FParams.Color = FFromBitmap.Canvas().Pixel(0, 0);
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
    FWorkBitmap.SetSize(Width(), Height());
    auto& work = FWorkBitmap.Canvas();
    work.Brush.Style = Toolkit::TBrushStyle::bsSolid;
    work.Brush.Color = FParams.Color;
    work.FillRect(ClientRect());
    FParams.ClientRect = ClientRect();

    bool finished = false;
    std::exception_ptr error;
    if (!FFromBitmap.Empty()) {
        const TEffectEntry& entry = OperationTable[int(FOperation)];
        try {
            finished = (FParams.Reverse ? entry.Reverse : entry.Forward)(FFromBitmap, FToBitmap, FWorkBitmap, &FParams);
        } catch (...) {
            error = std::current_exception();
        }
    } else if (Designing()) {
        work.Pen.Style = Toolkit::TPenStyle::psDash;
        work.Pen.Color = Toolkit::clBlack;
        work.Brush.Style = Toolkit::TBrushStyle::bsClear;
        work.Rectangle(0, 0, FWorkBitmap.Width() - 1, FWorkBitmap.Height() - 1);
        work.Pen.Style = Toolkit::TPenStyle::psSolid;
        work.Brush.Style = Toolkit::TBrushStyle::bsSolid;
    }

    // The frame reaches the control even when the effect failed.
    Canvas().CopyRect(ClientRect(), FWorkBitmap.Canvas(), ClientRect());
    if (error) std::rethrow_exception(error);
    if (finished) {
        Stop();
        DoDone();
    }
}

void TLumawipe::Paint() { Canvas().CopyRect(ClientRect(), FWorkBitmap.Canvas(), ClientRect()); }

// ---------------------------------------------------------------------------------------
// Animation driver

void TLumawipe::SetActive(bool Value) {
    if (Value == FActive) return;
    if (Value)
        Play();
    else
        Stop();
}

void TLumawipe::Play() {
    if (FActive) return;
    ResetTransition();
    SetTicking(true);
    FActive = true;
}

void TLumawipe::Stop() {
    if (!FActive) return;
    SetTicking(false);
    FActive = false;
}

void TLumawipe::Pause() {
    if (!FActive || IsPaused()) return;
    SetTicking(false);
}

void TLumawipe::Resume() {
    if (!FActive || !IsPaused()) return;
    SetTicking(true);
}

// Starts or stops the ticks of whichever pacer the mode uses.
void TLumawipe::SetTicking(bool on) {
    if (FUseThread)
        FThread->SetRunning(on);
    else
        FTimer->SetEnabled(on);
}

bool TLumawipe::IsPaused() const { return FUseThread ? !FThread->Running() : !FTimer->Enabled(); }

void TLumawipe::AdvanceFrame(TObject*) {
    // Saturates instead of overflowing: every effect clamps a frame beyond its end.
    const std::int64_t next = std::int64_t(FParams.CurrentFrame) + FSteps;
    FParams.CurrentFrame = next > INT32_MAX ? INT32_MAX : std::int32_t(next);
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
    // The handler may free the component (and with it OnDone): call a copy.
    if (OnDone) {
        const Toolkit::TNotifyEvent handler = OnDone;
        handler(this);
    }
}

void TLumawipe::SetInterval(std::uint32_t Value) {
    FInterval.store(Value, std::memory_order_relaxed);
    if (FTimer) FTimer->SetInterval(Value);
    if (FThread) FThread->IntervalChanged();
}

void TLumawipe::SetUseThread(bool Value) {
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
// TLumawipeThread

TLumawipeThread::TLumawipeThread(TLumawipe* AEngine)
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
    TLumawipe* engine = Engine;
    Toolkit::CallGuarded([&] { engine->AdvanceFrame(engine); });
}

}  // namespace Wipekit
