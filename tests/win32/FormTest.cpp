// TLumawipe on a real form, in timer mode and in thread mode: runs to OnDone with every
// frame on the window, pause, resume, stop, destruction while running, and one message
// box for a failing run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Forms.h"
#include "win32/EngineForm.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace Fixtures;
using namespace WinFixtures;
using Wipekit::TLumawipe;
using Wipekit::TTransitionOperation;

namespace {

constexpr int W = 40, H = 16;

class FormRun : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        form = FormWithComponent(wipe, W, H, 10, GetParam());
        wipe->OnDone = [this](TObject*) { ++done; };
        PumpFor(30);
    }
    void TearDown() override { delete form; }

    // The control's rectangle of the window, byte for byte the engine's last frame.
    ::testing::AssertionResult WindowShowsTheFrame() {
        TBitmap shot;
        CaptureWindow(form->Handle(), wipe->BoundsRect(), shot);
        const TBitmap& frame = wipe->WorkBitmap();
        return FrameEquals(shot, W, H, [&](int x, int y) { return PixelOf(frame, x, y); });
    }

    // Pumps until CurrentFrame moves away from its value; returns the new one.
    int NextFrame() {
        const int from = wipe->CurrentFrame();
        EXPECT_TRUE(PumpUntil([&] { return wipe->CurrentFrame() != from; }, 5000)) << "stuck at frame " << from;
        return wipe->CurrentFrame();
    }

    TForm* form = nullptr;
    TLumawipe* wipe = nullptr;
    int done = 0;
};

TEST_P(FormRun, PlaysToOnDoneShowingEveryFrameOnTheWindow) {
    wipe->SetSteps(7);
    wipe->Play();
    int frames = 0, last = wipe->CurrentFrame();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Application().ProcessMessages();
        if (wipe->CurrentFrame() == last) continue;
        last = wipe->CurrentFrame();
        ++frames;
        EXPECT_TRUE(WindowShowsTheFrame()) << "frame " << last;
    }
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(wipe->Active());
    EXPECT_GE(frames, 5);
    EXPECT_GE(wipe->CurrentFrame(), W);
    // Repainted from the last frame after being covered up.
    InvalidateRect(form->Handle(), nullptr, TRUE);
    PumpFor(30);
    TBitmap shot;
    CaptureWindow(form->Handle(), wipe->BoundsRect(), shot);
    EXPECT_TRUE(FrameEquals(shot, W, H, [](int x, int y) { return Coord(x, y, ToTag); }));
}

TEST_P(FormRun, PauseResumeAndStopBehaveAsHeadless) {
    wipe->SetSteps(1);
    wipe->Play();
    EXPECT_EQ(NextFrame(), 0);  // the first frame drawn is Steps - 1
    NextFrame();
    wipe->Pause();
    const int held = wipe->CurrentFrame();
    PumpFor(120);
    EXPECT_EQ(wipe->CurrentFrame(), held);
    EXPECT_TRUE(wipe->Active());
    EXPECT_TRUE(wipe->IsPaused());
    EXPECT_TRUE(WindowShowsTheFrame());

    wipe->Resume();
    EXPECT_EQ(NextFrame(), held + 1);  // continues from the held frame
    wipe->Stop();
    const int stopped = wipe->CurrentFrame();
    PumpFor(120);
    EXPECT_FALSE(wipe->Active());
    EXPECT_EQ(wipe->CurrentFrame(), stopped);
    EXPECT_EQ(done, 0);

    wipe->Play();
    EXPECT_EQ(NextFrame(), 0);  // a new run starts over
    wipe->Stop();
}

TEST_P(FormRun, DestroyingWhileRunningOrInsideOnDoneIsSafe) {
    wipe->SetSteps(1);
    wipe->Play();
    NextFrame();
    const auto running = wipe->Watch();
    const HWND runningForm = form->Handle();
    delete form;  // the running component goes with its form
    form = nullptr;
    EXPECT_FALSE(running) << "the component outlived its form";
    EXPECT_FALSE(IsWindow(runningForm));
    PumpFor(60);
    EXPECT_EQ(done, 0);

    SetUp();
    wipe->SetSteps(20);
    const auto ending = wipe->Watch();
    const HWND endingForm = form->Handle();
    int ends = 0;
    wipe->OnDone = [this, &ends](TObject*) {
        ++ends;
        delete form;  // inside the component's own tick
        form = nullptr;
    };
    wipe->Play();
    EXPECT_TRUE(PumpUntil([&] { return form == nullptr; }));
    PumpFor(60);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(ending);
    EXPECT_FALSE(IsWindow(endingForm));
}

// Visible message boxes of a thread.
BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM list) {
    wchar_t cls[16] = {}, caption[32] = {};
    GetClassNameW(hwnd, cls, 16);
    GetWindowTextW(hwnd, caption, 32);
    // Captioned with the application's title.
    if (std::wcscmp(cls, L"#32770") == 0 && std::wcscmp(caption, L"FailingRun") == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    }
    return TRUE;
}

// The text of a box that names the failure.
BOOL CALLBACK FindMessage(HWND child, LPARAM out) {
    wchar_t buffer[128] = {};
    GetWindowTextW(child, buffer, 128);
    if (std::wcsstr(buffer, L"unequal")) std::wcscpy(reinterpret_cast<wchar_t*>(out), buffer);
    return TRUE;
}

// Runs Fn when its message arrives, in whichever message loop is running (the one of a
// message box too).
class TMessageTarget final : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    static constexpr UINT Message = WM_APP + 100;
    std::function<void()> Fn;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != Message) return TCustomControl::WndProc(msg, wParam, lParam);
        Fn();
        return 0;
    }
};

// Every tick of a failing run raises; the handler shows one box, not one per tick, and
// the run keeps ticking behind it.
TEST_P(FormRun, FailingRunShowsOneMessageBoxAtATime) {
    TBitmap smaller;
    MakeCoordPicture(smaller, W - 1, H, ToTag);
    wipe->SetToBitmap(smaller);
    wipe->SetOperation(TTransitionOperation::toBlend);  // refuses pictures of unequal size
    wipe->SetInterval(50);
    Application().Title = "FailingRun";

    // Stopping from the watcher's message: a box may be open whenever it comes.
    auto* stopper = new TMessageTarget(form);
    stopper->SetBounds(0, 0, 1, 1);
    stopper->SetParent(form);
    std::atomic<bool> stopped{false};
    int ticked = 0, first = 0;
    stopper->Fn = [&] {
        wipe->Stop();
        ticked = wipe->CurrentFrame() - first;
        stopped = true;
    };
    HWND stopperWindow = stopper->Handle();

    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<int> mostBoxes{0}, boxesSeen{0};
    // observed: the watcher now closes boxes; finished: it is to end; left: it has ended.
    std::atomic<bool> observed{false}, finished{false}, left{false};
    std::string text;
    std::thread watcher([&] {
        const auto observeUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
        while (!finished) {
            std::vector<HWND> boxes;
            EnumThreadWindows(uiThread, CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
            mostBoxes = std::max<int>(mostBoxes, int(boxes.size()));
            if (!boxes.empty() && text.empty()) {
                wchar_t message[128] = {};
                EnumChildWindows(boxes[0], FindMessage, reinterpret_cast<LPARAM>(message));
                text = Narrow(message);
            }
            if (std::chrono::steady_clock::now() >= observeUntil) {
                if (!observed) PostMessageW(stopperWindow, TMessageTarget::Message, 0, 0);
                observed = true;
                for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            if (!boxes.empty()) ++boxesSeen;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        left = true;
    });

    wipe->Play();
    first = wipe->CurrentFrame();
    EXPECT_TRUE(PumpUntil([&] { return bool(stopped); }));
    PumpFor(100);
    finished = true;
    PumpUntil([&] { return bool(left); });  // its reads of window texts wait for this thread
    watcher.join();
    Application().Title.clear();

    EXPECT_EQ(mostBoxes, 1);
    EXPECT_GT(boxesSeen, 0);
    EXPECT_EQ(text, "Bitmaps are unequal in size.");
    if (!GetParam()) {
        EXPECT_GT(ticked, 3) << "the timer kept running behind the box";
    }
    EXPECT_EQ(done, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, FormRun, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Thread") : std::string("Timer"); });

}  // namespace
