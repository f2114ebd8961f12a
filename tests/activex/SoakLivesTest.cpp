// Soak of the control's lives: 500 controls made by CoCreateInstance, as containers make
// them (the library registered), each
// with an event sink connected, played in timer or thread mode and released at the end of
// its run or in the middle of it. Afterwards every sink is let go, the process's memory is
// back at its level after the first lives, and the library may be unloaded.
#include "toolkit/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "activex/AxFixtures.h"
#include "win32/WinFixtures.h"

using namespace AxTest;

namespace {

constexpr int Lives = 500;
constexpr int WarmUp = 25;

// One life: a control with a sink plays a quick run; every second one is released in the
// middle of it, with the sink still connected.
void Live(int i) {
    const bool thread = i % 2 == 1;
    const bool midRun = (i / 2) % 2 == 1;
    DoneSink sink;
    {
        ComPtr<ILumawipe> control;
        ASSERT_EQ(CoCreateInstance(CLSID_Lumawipe, nullptr, CLSCTX_INPROC_SERVER, IID_ILumawipe,
                                   reinterpret_cast<void**>(control.Put())),
                  S_OK)
            << "life " << i;
        PrepareQuickRun(control.Get(), thread);
        const DWORD cookie = Advise(control.Get(), &sink);
        ASSERT_EQ(control->Play(), S_OK);
        if (midRun) {
            WinFixtures::PumpFor(2);
            EXPECT_EQ(sink.Done, 0) << "life " << i << " ended before its release";
        } else {
            EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000)) << "life " << i;
            Unadvise(control.Get(), cookie);
        }
    }
    // The last release is deferred past the message being handled: let it happen.
    WinFixtures::PumpUntil([&] { return sink.FRefs == 1; }, 5000);
    EXPECT_EQ(sink.FRefs, 1u) << "life " << i << ": the control kept its sink";
    EXPECT_EQ(sink.Other, 0);
}

}  // namespace

TEST(SoakLives, FiveHundredControlsLeaveNothingBehind) {
    std::size_t memoryStart = 0;
    for (int i = 0; i < Lives + WarmUp; ++i) {
        if (i == WarmUp) memoryStart = WinFixtures::PagefileUsage();
        Live(i);
        if (HasFatalFailure()) return;
    }
    WinFixtures::PumpFor(50);
    const std::size_t memory = WinFixtures::PagefileUsage();
    EXPECT_LE(memory, memoryStart + memoryStart / 100) << memoryStart << " -> " << memory;
    EXPECT_EQ(SharedOcx().CanUnloadNow(), S_OK);
    std::printf("soak lives: %d controls, memory %zu -> %zu bytes\n", Lives, memoryStart,
                memory);
}
