// Worker threads, the application clock their waits run on, and the synchronous call
// that runs a function on the user-interface thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace Toolkit {

constexpr std::uint32_t Infinite = 0xFFFFFFFFu;

// One lock and one condition guard every wait of the toolkit's threads; state read by a
// wait's predicate is changed under SchedulerMutex, followed by WakeWaiters.
std::mutex& SchedulerMutex();
void WakeWaiters();

// The application clock in milliseconds. Real time by default; the headless backend can
// switch to a virtual clock that moves only when AdvanceClock is called, so timer and
// thread behaviour is tested without sleeping.
void UseVirtualClock(bool on);
bool VirtualClock();
std::int64_t ClockNow();
// Virtual clock only: moves the time forward and wakes the waits that are due.
void AdvanceClock(std::uint32_t ms);

// Number of threads in a timed wait on the virtual clock that have tested their
// condition since the last WakeWaiters (lets tests advance the clock only once a worker
// is asleep). A thread woken by a change does not count until it has seen the change and
// begun its next wait, so a wait about to end is never taken for the one that follows.
int VirtualSleepers();
// True when no synchronized call is queued and at least n threads wait in WaitOnClock
// (timed or not) having tested their condition since the last change: those threads do
// nothing more until the clock moves or something they wait for changes. Read at once,
// under one lock, so a worker between queueing a call and waiting for it is never at rest.
bool ThreadsAtRest(int n);

// Waits, holding lock on SchedulerMutex, until pred() holds or ms milliseconds of
// application time have passed (Infinite: no time limit). Returns pred().
bool WaitOnClock(std::unique_lock<std::mutex>& lock, std::uint32_t ms, const std::function<bool()>& pred);

class TThread;
int RunSynchronizedCalls();

class TThread {
public:
    TThread();  // created suspended: nothing runs before Start
    virtual ~TThread();  // terminates and joins; never call it on the thread itself
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();

    // Asks Execute to finish: sets Terminated, wakes the thread's waits and cancels its
    // Synchronize call if that has not begun to run.
    void Terminate();
    bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }
    // Joins the thread.
    void WaitFor();

    // The user-interface thread the worker's synchronized calls run on: the one that made
    // it. A process may run controls on several threads; each runs its own workers' calls.
    std::thread::id Owner() const { return FOwner; }

    // True while a call of this thread's Synchronize is running on the UI thread.
    bool InSynchronize() const { return FInSync.load(std::memory_order_acquire); }

    // Lets the thread go: it deletes itself once Execute returns. Used when its owner
    // dies inside one of the thread's own synchronized calls and cannot wait for it.
    void FreeOnTerminate();

protected:
    virtual void Execute() = 0;

    // Runs fn on the owner thread and blocks until it has returned. Returns
    // false when Terminate cancelled the call before it ran. An exception of fn is
    // rethrown here.
    bool Synchronize(const std::function<void()>& fn);

    // Waits on the application clock for ms milliseconds, returning early when
    // Terminate is called or wake() (read under SchedulerMutex) holds.
    void Sleep(std::uint32_t ms, const std::function<bool()>& wake = nullptr);

private:
    void Run();
    friend int RunSynchronizedCalls();

    std::thread FThread;
    const std::thread::id FOwner = std::this_thread::get_id();
    const std::uint32_t FOwnerToken;  // the owner as the backend's NotifyThread names it
    bool FStarted = false;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FInSync{false};
    std::atomic<bool> FFreeOnTerminate{false};
};

// A gate a worker thread waits at, opened and closed by another thread. Every opening
// starts a new pass, so work a worker decided on in an earlier pass can be told apart
// and dropped (a close and a reopen between the decision and the work).
class TGate {
public:
    void Open();
    void Close();
    bool IsOpen() const;
    // True while the gate stays open in pass (not closed, nor opened anew since).
    bool Holds(std::uint64_t pass) const;
    // Wakes the waiters to test their conditions again (something they read changed).
    void Pulse();

    // Blocks until the gate is open and ready() holds, or thread is terminated. Returns
    // the pass the gate is open in, or 0 on termination. ready is called under the gate's
    // lock; what it reads is changed before a Pulse.
    std::uint64_t WaitOpen(const TThread& thread, const std::function<bool()>& ready);
    // Waits ms milliseconds of application time. Returns false, early, when the gate is
    // closed or opened anew after pass, or thread is terminated.
    bool Hold(const TThread& thread, std::uint32_t ms, std::uint64_t pass);

private:
    bool Within(std::uint64_t pass) const { return FOpen && FPass == pass; }

    bool FOpen = false;       // guarded by SchedulerMutex
    std::uint64_t FPass = 0;  // guarded by SchedulerMutex
};

// Runs the synchronized calls waiting for the calling thread (those of the workers it
// made); returns how many ran.
int RunSynchronizedCalls();
// True when a synchronized call waits to run (on any thread).
bool SynchronizedCallPending();
// Number of synchronized calls run so far.
std::uint64_t SynchronizedCallsRun();

// Supplied by the backend: the calling thread as NotifyThread names it, and the call that
// tells such a thread that a synchronized call waits for it (Windows: a message to its
// hidden window; headless: nothing, the loop polls).
std::uint32_t CurrentThreadToken();
void NotifyThread(std::uint32_t thread);

}  // namespace Toolkit
