// The animation driver in timer and thread mode, on the headless event loop's virtual
// clock: no test sleeps for a tick.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/headless/Headless.h"

using namespace Wipekit;
using namespace Fixtures;
using Toolkit::Headless::AdvanceTime;

namespace {

class Driver : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        Toolkit::Headless::UseVirtualTime(true);
        Toolkit::Application().OnException = [this](const std::exception& e) { Errors.push_back(e.what()); };
        Wipe = new CountingWipe(nullptr);
        Wipe->SetBounds(0, 0, 20, 4);
        MakeCoordPicture(From, 20, 4, FromTag);
        MakeCoordPicture(To, 20, 4, ToTag);
        Wipe->SetFromBitmap(From);
        Wipe->SetToBitmap(To);
        Wipe->SetUseThread(GetParam());
        Wipe->OnDone = [this](Toolkit::TObject* sender) {
            EXPECT_EQ(sender, Wipe);
            EXPECT_FALSE(Wipe->Active()) << "Stop runs before OnDone";
            ++Done;
            if (OnDone) OnDone();
        };
        Wipe->Renders = 0;
    }
    void TearDown() override {
        delete Wipe;
        Toolkit::Application().OnException = nullptr;
        Toolkit::Application().ProcessMessages();
    }

    bool Threaded() const { return GetParam(); }

    // Lets one Interval pass and runs the tick it brings; false when no tick came.
    bool Tick() {
        if (!Threaded()) {
            const int before = Frames();
            AdvanceTime(Wipe->Interval());
            return Frames() != before;
        }
        if (!WaitForSleepers(1)) return false;
        // The tick may already run inside AdvanceTime; count calls rather than wait for one.
        const std::uint64_t before = Toolkit::SynchronizedCallsRun();
        AdvanceTime(Wipe->Interval());
        return Toolkit::Headless::WaitForSynchronizedCallsBeyond(before);
    }
    // Lets time pass and reports whether any tick arrived.
    bool AnyTickWithin(std::uint32_t ms) {
        const int before = Frames();
        const std::uint64_t calls = Toolkit::SynchronizedCallsRun();
        AdvanceTime(ms);
        if (Threaded()) SynchronizedCallOrRest(calls);
        return Frames() != before;
    }
    // Thread mode: lets the worker's wait run out so that it queues its tick, without
    // serving the queue.
    bool QueueTickUnserved(TLumawipe& wipe) {
        if (!WaitForSleepers(1)) return false;
        Toolkit::AdvanceClock(wipe.Interval());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!Toolkit::SynchronizedCallPending() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return Toolkit::SynchronizedCallPending();
    }
    // Renders so far: CurrentFrame alone cannot tell a repeated frame.
    int Frames() const { return Wipe->Renders; }

    TBitmap From, To;
    CountingWipe* Wipe = nullptr;
    int Done = 0;
    std::function<void()> OnDone;
    std::vector<std::string> Errors;
};

// The same fixture; a suite of its own for the runs.
class DriverRun : public Driver {};

}  // namespace

TEST_P(DriverRun, PlayRewindsAndTicksAdvanceBySteps) {
    Wipe->SetSteps(10);
    Wipe->Play();
    EXPECT_TRUE(Wipe->Active());
    EXPECT_FALSE(Wipe->IsPaused());
    EXPECT_EQ(Wipe->CurrentFrame(), -1);
    EXPECT_EQ(Frames(), 0) << "Play draws nothing";
    for (int expected : {9, 19}) {
        ASSERT_TRUE(Tick());
        EXPECT_EQ(Wipe->CurrentFrame(), expected);
    }
    // Push over 20 pixels: 29 is beyond the end, clamped, and ends the run.
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Wipe->CurrentFrame(), 29);
    EXPECT_EQ(Done, 1);
    EXPECT_FALSE(Wipe->Active());
    EXPECT_TRUE(FrameEquals(Wipe->WorkBitmap(), 20, 4, [](int x, int y) { return Coord(x, y, ToTag); }));
    EXPECT_FALSE(AnyTickWithin(1000)) << "no tick after the end";
}

TEST_P(DriverRun, StopThenPlayRestartsButPauseResumeContinues) {
    Wipe->Play();
    ASSERT_TRUE(Tick());
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Wipe->CurrentFrame(), 1);

    Wipe->Pause();
    EXPECT_TRUE(Wipe->Active());
    EXPECT_TRUE(Wipe->IsPaused());
    EXPECT_FALSE(AnyTickWithin(1000));
    Wipe->Resume();
    EXPECT_FALSE(Wipe->IsPaused());
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Wipe->CurrentFrame(), 2) << "resume continues from the held frame";

    Wipe->Stop();
    EXPECT_FALSE(Wipe->Active());
    EXPECT_EQ(Wipe->CurrentFrame(), 2) << "Stop keeps the frame";
    EXPECT_FALSE(AnyTickWithin(1000));
    Wipe->Play();
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Wipe->CurrentFrame(), 0) << "Play starts over";
}

TEST_P(DriverRun, CallsThatDoNotFitTheStateAreIgnored) {
    Wipe->Pause();
    Wipe->Resume();
    Wipe->Stop();
    EXPECT_FALSE(Wipe->Active());
    EXPECT_FALSE(AnyTickWithin(1000));
    Wipe->SetActive(true);
    Wipe->Resume();  // not paused
    Wipe->SetActive(true);  // already active: no rewind
    ASSERT_TRUE(Tick());
    Wipe->SetActive(true);
    EXPECT_EQ(Wipe->CurrentFrame(), 0);
    Wipe->SetUseThread(!Threaded());  // ignored while active
    EXPECT_EQ(Wipe->UseThread(), Threaded());
    Wipe->SetActive(false);
    EXPECT_FALSE(Wipe->Active());
}

TEST_P(DriverRun, IntervalThatDoesNotTickParksUntilLowered) {
    Wipe->Play();
    ASSERT_TRUE(Tick());
    // 0 stops the ticks; for the worker so do 2^31 and above (read as signed). The worker
    // parks at its gate instead of waking for empty synchronized calls.
    for (std::uint32_t parked : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        Wipe->SetInterval(parked);
        EXPECT_FALSE(AnyTickWithin(5000)) << parked;  // ends a wait already begun
        const std::uint64_t calls = Toolkit::SynchronizedCallsRun();
        EXPECT_FALSE(AnyTickWithin(5000)) << parked;
        if (Threaded()) {
            EXPECT_EQ(Toolkit::SynchronizedCallsRun(), calls) << parked;
        }
    }
    // A ticking value restarts the ticks at once, the first after one whole new Interval.
    Wipe->SetInterval(50);
    if (Threaded()) {
        ASSERT_TRUE(WaitForSleepers(1));
    }
    EXPECT_FALSE(AnyTickWithin(49));
    EXPECT_TRUE(AnyTickWithin(1));
    EXPECT_EQ(Wipe->CurrentFrame(), 1);
}

TEST_P(DriverRun, ChangedIntervalTakesEffectFromTheNextWait) {
    Wipe->SetInterval(100);
    Wipe->Play();
    if (Threaded()) {
        // The worker's current wait keeps its length; the next one uses the new interval.
        ASSERT_TRUE(WaitForSleepers(1));
        Wipe->SetInterval(300);
        EXPECT_FALSE(AnyTickWithin(99));
        EXPECT_TRUE(AnyTickWithin(1));
        ASSERT_TRUE(WaitForSleepers(1));
    } else {
        Wipe->SetInterval(300);  // the timer is re-armed at once
    }
    EXPECT_FALSE(AnyTickWithin(299));
    EXPECT_TRUE(AnyTickWithin(1));
}

// A tick the worker has queued belongs to the pass it was decided in: Stop then Play, or
// Pause then Resume, within one turn of the user-interface thread drops it, and the next
// frame comes one whole Interval later.
TEST_P(DriverRun, QueuedTickOfAnEarlierPassIsDropped) {
    if (!Threaded()) GTEST_SKIP() << "timer ticks are not queued";
    const struct {
        const char* name;
        std::function<void(TLumawipe&)> offAndOn;
        int frameAfter;  // CurrentFrame once the tick after the restart has come
    } cases[] = {{"Stop, Play", [](TLumawipe& w) { w.Stop(), w.Play(); }, 0},
                 {"Pause, Resume", [](TLumawipe& w) { w.Pause(), w.Resume(); }, 1}};
    for (const auto& c : cases) {
        Wipe->Stop();
        Wipe->Play();
        ASSERT_TRUE(Tick()) << c.name;
        ASSERT_TRUE(QueueTickUnserved(*Wipe)) << c.name;
        const std::int32_t held = Wipe->CurrentFrame();
        c.offAndOn(*Wipe);
        const int frames = Frames();
        const std::uint64_t calls = Toolkit::SynchronizedCallsRun();
        ASSERT_TRUE(Toolkit::Headless::WaitForSynchronizedCallsBeyond(calls)) << c.name;
        EXPECT_EQ(Frames(), frames) << c.name << ": the stale tick drew";
        EXPECT_EQ(Wipe->CurrentFrame(), c.frameAfter == 0 ? -1 : held) << c.name;
        ASSERT_TRUE(WaitForSleepers(1)) << c.name;
        EXPECT_FALSE(AnyTickWithin(Wipe->Interval() - 1)) << c.name;
        EXPECT_TRUE(AnyTickWithin(1)) << c.name;
        EXPECT_EQ(Wipe->CurrentFrame(), c.frameAfter) << c.name;
    }
}

TEST_P(DriverRun, WritingCurrentFrameJumpsAndBeyondTheEndFinishes) {
    Wipe->Play();
    ASSERT_TRUE(Tick());
    Wipe->SetCurrentFrame(10);
    EXPECT_EQ(Done, 0);
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Wipe->CurrentFrame(), 11);
    Wipe->Pause();
    Wipe->SetCurrentFrame(500);  // beyond the end, while paused
    EXPECT_EQ(Done, 1);
    EXPECT_FALSE(Wipe->Active());
}

TEST_P(DriverRun, OnDoneCanReverseAndPlayAgain) {
    Wipe->SetSteps(25);
    OnDone = [this] {
        if (Done == 1) {
            Wipe->SetReverse(true);
            Wipe->Play();
        }
    };
    Wipe->Play();
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Done, 1);
    EXPECT_TRUE(Wipe->Active()) << "the handler started the reverse run";
    EXPECT_TRUE(Wipe->Reverse());
    EXPECT_EQ(Wipe->CurrentFrame(), -1);
    ASSERT_TRUE(Tick());
    EXPECT_EQ(Done, 2);
    EXPECT_TRUE(FrameEquals(Wipe->WorkBitmap(), 20, 4, [](int x, int y) { return Coord(x, y, FromTag); }));
}

TEST_P(DriverRun, TickErrorsGoToTheApplicationAndTheRunGoesOn) {
    TBitmap other;
    MakeCoordPicture(other, 5, 5, ToTag);
    Wipe->SetToBitmap(other);
    Wipe->SetOperation(TTransitionOperation::toBlend);  // raises for pictures of unequal size
    Wipe->Play();
    ASSERT_TRUE(Tick());
    ASSERT_TRUE(Tick());
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0], "Bitmaps are unequal in size.");
    EXPECT_TRUE(Wipe->Active());
    EXPECT_EQ(Done, 0);
    // The frame still reached the control: the fill colour where the effect drew nothing.
    EXPECT_EQ(PixelOf(Wipe->Surface(), 0, 0), ColorPx(Wipe->Color()));
}

TEST_P(Driver, SwitchingModesKeepsExactlyOnePacer) {
    EXPECT_EQ(Wipe->Timer() != nullptr, !Threaded());
    EXPECT_EQ(Wipe->Thread() != nullptr, Threaded());
    Wipe->SetUseThread(!Threaded());
    EXPECT_EQ(Wipe->Timer() != nullptr, Threaded());
    EXPECT_EQ(Wipe->Thread() != nullptr, !Threaded());
    Wipe->SetUseThread(Threaded());
    EXPECT_EQ(Wipe->Timer() != nullptr, !Threaded());
}

TEST_P(Driver, DestroyingWhileRunningPausedOrInsideATickIsSafe) {
    for (int scenario = 0; scenario < 4; ++scenario) {
        auto* wipe = new TLumawipe(nullptr);
        wipe->SetBounds(0, 0, 20, 4);
        wipe->SetFromBitmap(From);
        wipe->SetUseThread(Threaded());
        wipe->Play();
        if (scenario == 1) wipe->Pause();
        if (scenario == 2 && Threaded()) {
            // The worker has queued its tick and waits in Synchronize.
            ASSERT_TRUE(QueueTickUnserved(*wipe));
        }
        if (scenario == 3) {
            // Freed by its own OnDone handler, inside the tick.
            bool freed = false;
            wipe->SetSteps(100);
            wipe->OnDone = [&](Toolkit::TObject*) {
                delete wipe;
                freed = true;
            };
            if (Threaded()) {
                ASSERT_TRUE(WaitForSleepers(1));
            }
            const std::uint64_t calls = Toolkit::SynchronizedCallsRun();
            AdvanceTime(wipe->Interval());
            if (Threaded()) {
                ASSERT_TRUE(Toolkit::Headless::WaitForSynchronizedCallsBeyond(calls));
            }
            ASSERT_TRUE(freed);
            AdvanceTime(1000);
            continue;
        }
        delete wipe;
        AdvanceTime(1000);
        Toolkit::Application().ProcessMessages();
        EXPECT_FALSE(Toolkit::SynchronizedCallPending());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, Driver, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Thread" : "Timer"; });
INSTANTIATE_TEST_SUITE_P(Modes, DriverRun, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Thread" : "Timer"; });
