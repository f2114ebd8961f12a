#include "toolkit/ExtCtrls.h"

#include "toolkit/Application.h"

namespace Toolkit {

TTimer::TTimer(TComponent* owner) : TComponent(owner), FPeer(NewTimerPeer(*this)) { UpdateTimer(); }

TTimer::~TTimer() { FPeer->Update(0); }

void TTimer::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t v) {
    if (v == FInterval) return;
    FInterval = v;
    UpdateTimer();
}

void TTimer::UpdateTimer() { FPeer->Update(FEnabled ? FInterval : 0); }

void TTimer::Tick() {
    if (!FEnabled || !OnTimer) return;
    // A handler may free the timer (through its owner): call a copy, touch nothing after.
    const TNotifyEvent handler = OnTimer;
    CallGuarded([&] { handler(this); });
}

}  // namespace Toolkit
