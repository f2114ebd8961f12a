// Controls of the headless backend: the event loop runs on a clock the program drives.
#pragma once

#include <cstdint>

namespace Toolkit::Headless {

// Switches the application clock to virtual time (the default of tests) or real time.
void UseVirtualTime(bool on);

// Lets ms milliseconds of application time pass: due timers fire in order of their due
// time, synchronized calls and repaints run in between. With the real clock this sleeps.
void AdvanceTime(std::uint32_t ms);

// Serves synchronized calls until more than `count` have run in all (see
// Toolkit::SynchronizedCallsRun), waiting at most timeoutMs of real time.
bool WaitForSynchronizedCallsBeyond(std::uint64_t count, std::uint32_t timeoutMs = 5000);

// Number of timers currently armed.
int ActiveTimerCount();

}  // namespace Toolkit::Headless
