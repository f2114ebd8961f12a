#include "toolkit/Threads.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <exception>

namespace Toolkit {

namespace {

// The scheduler's objects are never destroyed: a worker that frees itself may still be
// finishing when the process exits.
std::condition_variable& SchedulerCond() {
    static auto* cond = new std::condition_variable;
    return *cond;
}

bool gVirtualClock = false;           // guarded by SchedulerMutex
std::int64_t gVirtualNow = 0;          // guarded by SchedulerMutex
// Waits that have tested their condition since the last WakeWaiters: timed waits on the
// virtual clock, and all waits of WaitOnClock. A wait woken to leave is not counted while
// it has yet to run.
int gVirtualSleepers = 0;              // guarded by SchedulerMutex
int gSettledWaiters = 0;               // guarded by SchedulerMutex
std::uint64_t gWakeCount = 0;          // guarded by SchedulerMutex
std::uint64_t gSyncCallsRun = 0;       // guarded by SchedulerMutex

std::int64_t RealNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

enum class SyncState { Queued, Running, Done, Cancelled };

struct SyncRequest {
    TThread* Thread;  // runs on Thread->Owner()
    const std::function<void()>* Fn;
    SyncState State = SyncState::Queued;
    std::exception_ptr Error;
};

std::deque<SyncRequest*>& SyncQueue() {  // guarded by SchedulerMutex
    static auto* queue = new std::deque<SyncRequest*>;
    return *queue;
}

// Marks the queued calls of thread as cancelled; the waiting workers see it.
void CancelSynchronize(TThread* thread) {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        auto& queue = SyncQueue();
        for (auto it = queue.begin(); it != queue.end();) {
            if ((*it)->Thread == thread) {
                (*it)->State = SyncState::Cancelled;
                it = queue.erase(it);
            } else {
                ++it;
            }
        }
    }
    WakeWaiters();
}

}  // namespace

std::mutex& SchedulerMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

void WakeWaiters() {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        ++gWakeCount;
        gVirtualSleepers = 0;  // each waiter counts again once it has tested its condition
        gSettledWaiters = 0;
    }
    SchedulerCond().notify_all();
}

void UseVirtualClock(bool on) {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        gVirtualClock = on;
        gVirtualNow = 0;
    }
    WakeWaiters();
}

bool VirtualClock() {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return gVirtualClock;
}

std::int64_t ClockNow() {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return gVirtualClock ? gVirtualNow : RealNow();
}

int VirtualSleepers() {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return gVirtualSleepers;
}

void AdvanceClock(std::uint32_t ms) {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        if (gVirtualClock) gVirtualNow += ms;
    }
    WakeWaiters();
}

namespace {

// One wait on the scheduler's condition, counted while it has seen every change.
void CountedWait(std::unique_lock<std::mutex>& lock, bool timedOnVirtualClock) {
    const std::uint64_t wakes = gWakeCount;
    ++gSettledWaiters;
    if (timedOnVirtualClock) ++gVirtualSleepers;
    SchedulerCond().wait(lock);
    if (gWakeCount == wakes) {  // a spurious wake-up: the counts were not cleared
        --gSettledWaiters;
        if (timedOnVirtualClock) --gVirtualSleepers;
    }
}

}  // namespace

bool WaitOnClock(std::unique_lock<std::mutex>& lock, std::uint32_t ms, const std::function<bool()>& pred) {
    if (ms == Infinite) {
        while (!pred()) CountedWait(lock, false);
        return true;
    }
    if (gVirtualClock) {
        const std::int64_t deadline = gVirtualNow + ms;
        // The clock may be switched while waiting; a switch ends the wait.
        while (!pred() && gVirtualClock && gVirtualNow < deadline) CountedWait(lock, true);
        return pred();
    }
    return SchedulerCond().wait_for(lock, std::chrono::milliseconds(ms), pred);
}

bool ThreadsAtRest(int n) {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return SyncQueue().empty() && gSettledWaiters >= n;
}

// ---------------------------------------------------------------------------------------
// TThread

TThread::TThread() : FOwnerToken(CurrentThreadToken()) {}

TThread::~TThread() {
    if (FFreeOnTerminate.load()) return;  // deleted by its own thread, already detached
    Terminate();
    WaitFor();
}

void TThread::Start() {
    if (FStarted) return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
}

void TThread::Run() {
    try {
        Execute();
    } catch (...) {
        // Execute owns its error handling; an escaping exception only ends the thread.
    }
    if (FFreeOnTerminate.load(std::memory_order_acquire)) delete this;
}

void TThread::Terminate() {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        FTerminated.store(true, std::memory_order_release);
    }
    CancelSynchronize(this);
}

void TThread::WaitFor() {
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

void TThread::FreeOnTerminate() {
    if (FThread.joinable()) FThread.detach();
    FFreeOnTerminate.store(true, std::memory_order_release);
}

bool TThread::Synchronize(const std::function<void()>& fn) {
    SyncRequest request{this, &fn, SyncState::Queued, nullptr};
    {
        std::unique_lock<std::mutex> lock(SchedulerMutex());
        if (Terminated()) return false;
        SyncQueue().push_back(&request);
    }
    NotifyThread(FOwnerToken);
    std::unique_lock<std::mutex> lock(SchedulerMutex());
    WaitOnClock(lock, Infinite,
                [&] { return request.State == SyncState::Done || request.State == SyncState::Cancelled; });
    if (request.State == SyncState::Cancelled) return false;
    if (request.Error) std::rethrow_exception(request.Error);
    return true;
}

void TThread::Sleep(std::uint32_t ms, const std::function<bool()>& wake) {
    std::unique_lock<std::mutex> lock(SchedulerMutex());
    WaitOnClock(lock, ms, [&] { return Terminated() || (wake && wake()); });
}

// ---------------------------------------------------------------------------------------
// TGate

void TGate::Open() {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        FOpen = true;
        ++FPass;
    }
    WakeWaiters();
}

void TGate::Close() {
    {
        std::lock_guard<std::mutex> lock(SchedulerMutex());
        FOpen = false;
    }
    WakeWaiters();
}

bool TGate::IsOpen() const {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return FOpen;
}

bool TGate::Holds(std::uint64_t pass) const {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return Within(pass);
}

void TGate::Pulse() {
    // Taking the lock orders the change before a waiter's next test of its condition.
    { std::lock_guard<std::mutex> lock(SchedulerMutex()); }
    WakeWaiters();
}

std::uint64_t TGate::WaitOpen(const TThread& thread, const std::function<bool()>& ready) {
    std::unique_lock<std::mutex> lock(SchedulerMutex());
    WaitOnClock(lock, Infinite, [&] { return thread.Terminated() || (FOpen && ready()); });
    return thread.Terminated() ? 0 : FPass;
}

bool TGate::Hold(const TThread& thread, std::uint32_t ms, std::uint64_t pass) {
    std::unique_lock<std::mutex> lock(SchedulerMutex());
    WaitOnClock(lock, ms, [&] { return thread.Terminated() || !Within(pass); });
    return !thread.Terminated() && Within(pass);
}

int RunSynchronizedCalls() {
    int count = 0;
    for (;;) {
        SyncRequest* request = nullptr;
        {
            std::lock_guard<std::mutex> lock(SchedulerMutex());
            auto& queue = SyncQueue();
            const auto mine = std::find_if(queue.begin(), queue.end(), [](const SyncRequest* r) {
                return r->Thread->Owner() == std::this_thread::get_id();
            });
            if (mine == queue.end()) break;
            request = *mine;
            queue.erase(mine);
            request->State = SyncState::Running;
            request->Thread->FInSync.store(true, std::memory_order_release);
        }
        std::exception_ptr error;
        try {
            (*request->Fn)();
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(SchedulerMutex());
            request->Thread->FInSync.store(false, std::memory_order_release);
            // Handed over, not shared: the worker alone releases the exception.
            request->Error = std::move(error);
            request->State = SyncState::Done;
            ++gSyncCallsRun;
        }
        WakeWaiters();
        ++count;
    }
    return count;
}

std::uint64_t SynchronizedCallsRun() {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return gSyncCallsRun;
}

bool SynchronizedCallPending() {
    std::lock_guard<std::mutex> lock(SchedulerMutex());
    return !SyncQueue().empty();
}

}  // namespace Toolkit
