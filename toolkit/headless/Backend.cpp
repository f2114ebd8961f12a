// Headless backend: pixel memory on the heap, controls painted into their own surfaces,
// timers on the application clock, exceptions reported on standard error.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Application.h"
#include "toolkit/Graphics.h"
#include "toolkit/Threads.h"
#include "toolkit/headless/Headless.h"

namespace Toolkit {

namespace {

// Classic default system colours, indexed by system colour number.
constexpr TColor DefaultSystemColors[SystemColorCount] = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
    0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000, 0xE1FFFF,
};

class HeapPixelStore final : public TPixelStore {
public:
    explicit HeapPixelStore(std::size_t bytes) : FBytes(bytes) {}
    std::uint8_t* Bits() override { return FBytes.data(); }

private:
    std::vector<std::uint8_t> FBytes;
};

// Controls waiting for their Paint.
std::vector<TControl*>& DirtyControls() {
    static std::vector<TControl*> dirty;
    return dirty;
}

class HeadlessControlPeer final : public TControlPeer {
public:
    explicit HeadlessControlPeer(TControl& control) : FControl(control) {}
    ~HeadlessControlPeer() override {
        auto& dirty = DirtyControls();
        dirty.erase(std::remove(dirty.begin(), dirty.end(), &FControl), dirty.end());
    }
    void Invalidate() override {
        auto& dirty = DirtyControls();
        if (std::find(dirty.begin(), dirty.end(), &FControl) == dirty.end()) dirty.push_back(&FControl);
    }
    void Present() override {}  // the surface is the screen
    void BoundsChanged() override {}

private:
    TControl& FControl;
};

class HeadlessTimerPeer;
std::vector<HeadlessTimerPeer*>& ArmedTimers() {
    static std::vector<HeadlessTimerPeer*> armed;
    return armed;
}

class HeadlessTimerPeer final : public TTimerPeer {
public:
    explicit HeadlessTimerPeer(TTimer& timer) : Timer(timer) {}
    ~HeadlessTimerPeer() override { Disarm(); }
    void Update(std::uint32_t interval) override {
        Disarm();
        Interval = interval;
        if (interval == 0) return;
        Due = ClockNow() + interval;
        ArmedTimers().push_back(this);
    }
    void Disarm() {
        auto& armed = ArmedTimers();
        armed.erase(std::remove(armed.begin(), armed.end(), this), armed.end());
    }

    TTimer& Timer;
    std::uint32_t Interval = 0;
    std::int64_t Due = 0;
};

void PaintDirtyControls() {
    auto& dirty = DirtyControls();
    while (!dirty.empty()) {
        TControl* control = dirty.front();
        dirty.erase(dirty.begin());
        if (control->Visible()) CallGuarded([&] { control->PaintControl(); });
    }
}

// The armed timer due first (earliest due time, then first armed), or nullptr.
HeadlessTimerPeer* NextTimer(std::int64_t until) {
    HeadlessTimerPeer* next = nullptr;
    for (auto* t : ArmedTimers())
        if (t->Due <= until && (!next || t->Due < next->Due)) next = t;
    return next;
}

}  // namespace

std::unique_ptr<TPixelStore> NewPixelStore(int width, int height) {
    return std::make_unique<HeapPixelStore>(CheckedImageSize(width, height));
}

std::unique_ptr<TControlPeer> NewControlPeer(TControl& control) {
    return std::make_unique<HeadlessControlPeer>(control);
}

std::unique_ptr<TTimerPeer> NewTimerPeer(TTimer& timer) { return std::make_unique<HeadlessTimerPeer>(timer); }

std::uint32_t CurrentThreadToken() { return 0; }

void NotifyThread(std::uint32_t) {}

TColor ColorToRGB(TColor color) {
    if (!(color & SystemColorFlag)) return color;
    const TColor index = color & 0xFF;
    return index < TColor(SystemColorCount) ? DefaultSystemColors[index] : 0;
}

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException) {
        OnException(e);
        return;
    }
    std::cerr << (Title.empty() ? std::string() : Title + ": ") << e.what() << '\n';
}

void TApplication::ProcessMessages() {
    RunSynchronizedCalls();
    PaintDirtyControls();
}

namespace {
const std::thread::id MainThreadId = std::this_thread::get_id();
}

bool TApplication::IsMainThread() const { return std::this_thread::get_id() == MainThreadId; }

void TApplication::Run() {
    constexpr std::uint32_t Slice = 10;
    while (!FTerminated) Headless::AdvanceTime(Slice);
}

namespace Headless {

void UseVirtualTime(bool on) { UseVirtualClock(on); }

void AdvanceTime(std::uint32_t ms) {
    const std::int64_t target = ClockNow() + ms;
    for (;;) {
        Application().ProcessMessages();
        HeadlessTimerPeer* next = NextTimer(target);
        const std::int64_t stop = next ? next->Due : target;
        const std::int64_t now = ClockNow();
        if (stop > now) {
            if (VirtualClock()) {
                AdvanceClock(std::uint32_t(stop - now));
            } else {
                // Real time: sleep in short slices so synchronized calls are served.
                while (ClockNow() < stop) {
                    Application().ProcessMessages();
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
        }
        if (!next) break;
        next->Due += next->Interval;
        next->Timer.Tick();  // may destroy the timer; nothing of it is touched afterwards
    }
    Application().ProcessMessages();
}

bool WaitForSynchronizedCallsBeyond(std::uint64_t count, std::uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Application().ProcessMessages();
        if (SynchronizedCallsRun() > count) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

int ActiveTimerCount() { return int(ArmedTimers().size()); }

}  // namespace Headless

}  // namespace Toolkit
