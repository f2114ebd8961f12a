// The timer component: raises OnTimer on the user-interface thread every Interval ms.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Classes.h"

namespace Toolkit {

class TTimer;

// The platform side of a timer.
class TTimerPeer {
public:
    virtual ~TTimerPeer() = default;
    // (Re)arm with the interval, or disarm when interval is 0.
    virtual void Update(std::uint32_t interval) = 0;
};

// Supplied by the backend; the peer calls timer.Tick() when due.
std::unique_ptr<TTimerPeer> NewTimerPeer(TTimer& timer);

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    // Interval 0 never fires.
    std::uint32_t Interval() const { return FInterval; }
    void SetInterval(std::uint32_t v);
    TNotifyEvent OnTimer;

    // Called by the backend when the interval has passed: raises OnTimer; an exception
    // goes to the application's exception handler and the timer keeps running.
    void Tick();

private:
    void UpdateTimer();

    bool FEnabled = true;
    std::uint32_t FInterval = 1000;
    std::unique_ptr<TTimerPeer> FPeer;
};

}  // namespace Toolkit
