// Timers and threads on the headless event loop's virtual clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Application.h"
#include "toolkit/Threads.h"
#include "toolkit/headless/Headless.h"

using namespace Toolkit;

namespace {

class VirtualTime : public ::testing::Test {
protected:
    void SetUp() override {
        Headless::UseVirtualTime(true);
        Application().OnException = [this](const std::exception& e) { Errors.push_back(e.what()); };
    }
    void TearDown() override { Application().OnException = nullptr; }
    std::vector<std::string> Errors;
};

class Worker : public TThread {
public:
    std::function<void(Worker&)> Body;
    using TThread::Sleep;
    using TThread::Synchronize;

protected:
    void Execute() override { Body(*this); }
};

}  // namespace

TEST_F(VirtualTime, TimersFireInDueOrderAndOnlyWhenEnabled) {
    std::vector<std::string> log;
    TTimer fast(nullptr), slow(nullptr);
    fast.SetInterval(30);
    slow.SetInterval(50);
    fast.OnTimer = [&](TObject*) { log.push_back("fast@" + std::to_string(ClockNow())); };
    slow.OnTimer = [&](TObject*) { log.push_back("slow@" + std::to_string(ClockNow())); };
    const std::int64_t t0 = ClockNow();
    Headless::AdvanceTime(100);
    std::vector<std::string> want;
    for (auto [name, at] : std::vector<std::pair<std::string, int>>{{"fast", 30}, {"slow", 50}, {"fast", 60}, {"fast", 90}, {"slow", 100}})
        want.push_back(name + "@" + std::to_string(t0 + at));
    EXPECT_EQ(log, want);

    log.clear();
    fast.SetEnabled(false);
    slow.SetInterval(0);  // an interval of 0 never fires
    Headless::AdvanceTime(1000);
    EXPECT_TRUE(log.empty());
}

TEST_F(VirtualTime, TimerErrorsGoToTheApplicationAndTheTimerKeepsRunning) {
    TTimer t(nullptr);
    t.SetInterval(10);
    t.OnTimer = [](TObject*) { throw std::runtime_error("tick failed"); };
    Headless::AdvanceTime(30);
    EXPECT_EQ(Errors, (std::vector<std::string>{"tick failed", "tick failed", "tick failed"}));
}

TEST_F(VirtualTime, TimerFreedByItsOwnHandlerIsSafe) {
    auto* owner = new TComponent(nullptr);
    auto* t = new TTimer(owner);
    t->SetInterval(10);
    int ticks = 0;
    t->OnTimer = [&](TObject*) {
        ++ticks;
        delete owner;
    };
    Headless::AdvanceTime(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(Headless::ActiveTimerCount(), 0);
}

TEST_F(VirtualTime, SynchronizeRunsOnTheMainThreadAndReturnsErrors) {
    const auto main = std::this_thread::get_id();
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> errorSeen{false};
    Worker w;
    w.Body = [&](Worker& self) {
        self.Synchronize([&] { ranOnMain = std::this_thread::get_id() == main && Application().IsMainThread(); });
        try {
            self.Synchronize([] { throw std::runtime_error("inside"); });
        } catch (const std::runtime_error& e) {
            errorSeen = std::string(e.what()) == "inside";
        }
    };
    const std::uint64_t before = SynchronizedCallsRun();
    w.Start();
    ASSERT_TRUE(Headless::WaitForSynchronizedCallsBeyond(before + 1));  // both calls ran
    w.WaitFor();
    EXPECT_TRUE(ranOnMain);
    EXPECT_TRUE(errorSeen);
}

TEST_F(VirtualTime, TerminateCancelsAWaitingSynchronizeAndWakesASleep) {
    std::atomic<int> result{-1};
    Worker w;
    w.Body = [&](Worker& self) { result = self.Synchronize([] {}) ? 1 : 0; };
    w.Start();
    while (!SynchronizedCallPending()) std::this_thread::yield();
    w.Terminate();
    w.WaitFor();
    EXPECT_EQ(result, 0) << "the call was cancelled, not run";
    EXPECT_FALSE(SynchronizedCallPending());

    std::atomic<bool> woke{false};
    Worker sleeper;
    sleeper.Body = [&](Worker& self) {
        self.Sleep(Infinite - 1);
        woke = true;
    };
    sleeper.Start();
    while (VirtualSleepers() < 1) std::this_thread::yield();
    sleeper.Terminate();
    // Only Terminate can end the sleep here: the clock stands still.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!woke && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    const bool wokeByTerminate = woke;
    if (!wokeByTerminate) AdvanceClock(Infinite - 1);  // let the worker end
    sleeper.WaitFor();
    EXPECT_TRUE(wokeByTerminate);
}

TEST_F(VirtualTime, SleepEndsWhenTheClockPassesItsDeadline) {
    std::atomic<std::int64_t> wokeAt{-1};
    Worker w;
    w.Body = [&](Worker& self) {
        self.Sleep(250);
        wokeAt = ClockNow();
    };
    const std::int64_t t0 = ClockNow();
    w.Start();
    while (VirtualSleepers() < 1) std::this_thread::yield();
    AdvanceClock(249);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(wokeAt, -1);
    AdvanceClock(1);
    w.WaitFor();
    EXPECT_EQ(wokeAt, t0 + 250);
}
