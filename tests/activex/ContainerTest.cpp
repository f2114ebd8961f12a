// The registered control in a real container: ATL's AtlAxWin window class of Wine's
// atl.dll creates it by its CLSID, embeds and activates it in place. Runs in timer and
// thread mode end with OnDone at a connected sink, and the frames on the screen are the
// full engine's frames of the same operation; the container may go while a run goes on;
// the About box and the property page show modally.
#include "AxFixtures.h"

#include <algorithm>

#include <memory>

#include "activex/FakeSite.h"
#include "support/Fixtures.h"
#include "win32/WinFixtures.h"

using namespace AxTest;
using Toolkit::TBitmap;

namespace {

constexpr int W = 64, H = 48;

// A top-level window holding one AtlAxWin child that hosts the control.
class AxHost {
public:
    AxHost() {
        static HMODULE atl = LoadLibraryW(L"atl.dll");
        static const bool ready = [] {
            auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
            WNDCLASSW frame{};
            frame.lpfnWndProc = DefWindowProcW;
            frame.hInstance = GetModuleHandleW(nullptr);
            frame.lpszClassName = L"LumawipeTestFrame";
            return init && init() && RegisterClassW(&frame);
        }();
        EXPECT_TRUE(ready) << "atl.dll has no AtlAxWin";
        auto getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        Frame = CreateWindowExW(WS_EX_TOPMOST, L"LumawipeTestFrame", L"Container", WS_POPUP | WS_VISIBLE, 0, 0, W, H,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        // The window text names the control: a ProgID or the CLSID in braces.
        Ax = CreateWindowExW(0, L"AtlAxWin", GuidText(CLSID_Lumawipe).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, W, H, Frame,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(Ax, nullptr);
        ComPtr<IUnknown> unknown;
        if (Ax && getControl) {
            EXPECT_EQ(getControl(Ax, unknown.Put()), S_OK);
        }
        if (unknown) {
            EXPECT_EQ(unknown.As(Control), S_OK);
        }
        ComPtr<IOleWindow> window;
        if (Control && Control.As(window) == S_OK) window->GetWindow(&Window);
        EXPECT_NE(Window, nullptr) << "the control has no window of its own";
        WinFixtures::PumpFor(50);
    }
    ~AxHost() {
        Control.Reset();
        if (IsWindow(Frame)) DestroyWindow(Frame);
        WinFixtures::PumpFor(20);
    }
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;

    HWND Frame = nullptr, Ax = nullptr;
    HWND Window = nullptr;  // the control's own window inside AtlAxWin
    ComPtr<ILumawipe> Control;
};

// What the control shows on the screen after a repaint (which draws the current frame).
void Screen(HWND window, TBitmap& out) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    WinFixtures::CaptureWindow(window, Toolkit::Rect(0, 0, W, H), out);
}

// One transition as the test plays it.
struct Transition {
    const char* Name;
    std::int32_t Operation, Modifier, Reverse, Delta, Steps;
};
const Transition Transitions[] = {
    {"PushLeft", toPush, tmLeft, 0, 10, 11},
    {"SliderUpReverse", toSlider, tmUp, -1, 5, 7},
    {"Checkerboard", toCheckerboard, tmLeft, 0, 10, 3},
    {"Fade", toFade, tmLeft, 0, 10, 9},
    {"Iris", toIris, tmLeft, 0, 4, 5},
};

// The full engine's frame f of transition t between the test's pictures.
class Expected {
public:
    Expected(const Transition& t, Toolkit::TColor color) : Engine(nullptr) {
        Fixtures::MakeCoordPicture(From, W, H, Fixtures::FromTag);
        Fixtures::MakeCoordPicture(To, W, H, Fixtures::ToTag);
        Engine.SetBounds(0, 0, W, H);
        Engine.SetFromBitmap(From);
        Engine.SetToBitmap(To);
        Engine.SetColor(color);
        Engine.SetOperation(Wipekit::TTransitionOperation(t.Operation));
        Engine.SetModifier(Wipekit::TTransitionModifier(t.Modifier));
        Engine.SetReverse(t.Reverse != 0);
        Engine.SetDelta(t.Delta);
    }
    const TBitmap& Frame(std::int32_t f) {
        Engine.SetCurrentFrame(f);
        return Engine.WorkBitmap();
    }
    TBitmap From, To;

private:
    Wipekit::TLumawipe Engine;
};

::testing::AssertionResult Shows(const TBitmap& screen, const TBitmap& expected) {
    return Fixtures::FrameEquals(screen, W, H, [&](int x, int y) { return Fixtures::PixelOf(expected, x, y); });
}

// The tick of the control's frame timer, told apart from this program's own thread timers.
bool ControlTick(const MSG& msg) { return msg.message == WM_TIMER && msg.hwnd != nullptr; }

// Gives the control the pictures and parameters of transition t; the colour it then has
// (the from-picture's top-left pixel).
Toolkit::TColor Configure(ILumawipe* c, const Transition& t, bool thread) {
    Expected pictures(t, 0);
    Write(c, L"FromBitmap", HandleValue(NewDib(pictures.From)));
    Write(c, L"ToBitmap", HandleValue(NewDib(pictures.To)));
    Write(c, L"Operation", t.Operation);
    Write(c, L"Modifier", t.Modifier);
    Write(c, L"Reverse", t.Reverse);
    Write(c, L"Delta", t.Delta);
    Write(c, L"Steps", t.Steps);
    Write(c, L"UseThread", thread ? -1 : 0);
    return Toolkit::TColor(Read(c, L"Color"));
}

class Container : public testing::TestWithParam<Transition> {
protected:
    AxHost host;
    DoneSink sink;
    DWORD cookie = 0;

    // Transition t with the test's sink connected, ticks as fast as the mode allows a
    // test to follow them.
    Toolkit::TColor Prepare(const Transition& t, bool thread) {
        const Toolkit::TColor color = Configure(host.Control.Get(), t, thread);
        Write(host.Control.Get(), L"Interval", thread ? 1 : 30);
        cookie = Advise(host.Control.Get(), &sink);
        return color;
    }
    void TearDown() override {
        if (cookie && host.Control) Unadvise(host.Control.Get(), cookie);
    }
};

// Timer mode, frame by frame: the frame before the run, the frame of one tick (paused
// right after it), and the last frame once OnDone has arrived.
TEST_P(Container, TimerRunShowsTheEnginesFrames) {
    ASSERT_TRUE(host.Control);
    const Transition& t = GetParam();
    Expected expected(t, Prepare(t, false));
    ILumawipe* c = host.Control.Get();
    TBitmap screen;
    Screen(host.Window, screen);
    EXPECT_TRUE(Shows(screen, expected.Frame(0))) << "before the run";

    // Messages dispatched one by one, so that the run pauses right after its first tick.
    ASSERT_EQ(c->Play(), S_OK);
    bool ticked = false;
    for (const DWORD start = GetTickCount(); !ticked && GetTickCount() - start < 10000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg{};
        while (!ticked && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
            if (ControlTick(msg)) ticked = true, c->Pause();
        }
    }
    ASSERT_TRUE(ticked) << "no frame tick";
    // A new run starts at -1, which a paint before the first tick may raise to 0.
    Screen(host.Window, screen);
    const auto atSteps = Shows(screen, expected.Frame(t.Steps));
    EXPECT_TRUE(atSteps || Shows(screen, expected.Frame(t.Steps - 1))) << "frame of the first tick: " << atSteps.message();
    EXPECT_EQ(Read(c, L"Active"), -1) << "paused, still active";

    ASSERT_EQ(c->Resume(), S_OK);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; })) << "no OnDone";
    EXPECT_EQ(Read(c, L"Active"), 0);
    Screen(host.Window, screen);
    EXPECT_TRUE(Shows(screen, expected.Frame(1 << 20))) << "last frame";
    EXPECT_EQ(sink.Other, 0);
}

TEST_P(Container, ThreadRunEndsOnTheLastFrame) {
    ASSERT_TRUE(host.Control);
    const Transition& t = GetParam();
    Expected expected(t, Prepare(t, true));
    ILumawipe* c = host.Control.Get();
    ASSERT_EQ(c->Play(), S_OK);
    EXPECT_EQ(Read(c, L"Active"), -1);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; })) << "no OnDone";
    EXPECT_EQ(Read(c, L"Active"), 0);
    TBitmap screen;
    Screen(host.Window, screen);
    EXPECT_TRUE(Shows(screen, expected.Frame(1 << 20))) << "last frame";
}

INSTANTIATE_TEST_SUITE_P(Operations, Container, testing::ValuesIn(Transitions),
                         [](const auto& info) { return std::string(info.param.Name); });

// Steps beyond the whole run: the first painted frame is the last, and the run ends.
TEST(ContainerRun, StepsBeyondTheEndFinishAtOnce) {
    AxHost host;
    ASSERT_TRUE(host.Control);
    const Transition t{"Push", toPush, tmRight, 0, 10, 100000};
    ILumawipe* c = host.Control.Get();
    Expected expected(t, Configure(c, t, false));
    Write(c, L"Interval", 1);
    DoneSink sink;
    const DWORD cookie = Advise(c, &sink);
    ASSERT_EQ(c->Play(), S_OK);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; }));
    TBitmap screen;
    Screen(host.Window, screen);
    EXPECT_TRUE(Shows(screen, expected.Frame(1 << 20)));
    Unadvise(c, cookie);
}

// The container's window goes while the worker thread ticks: nothing may reach the freed
// control. The run never ends by itself (an operation beyond the list).
TEST(ContainerRun, ContainerDestroyedDuringAThreadRun) {
    for (const bool releaseFirst : {false, true}) {
        auto host = std::make_unique<AxHost>();
        ASSERT_TRUE(host->Control);
        PrepareQuickRun(host->Control.Get(), true);
        Write(host->Control.Get(), L"Operation", 20);
        ASSERT_EQ(host->Control->Play(), S_OK);
        WinFixtures::PumpFor(100);
        EXPECT_EQ(Read(host->Control.Get(), L"Active"), -1);
        if (releaseFirst) host->Control.Reset();
        DestroyWindow(host->Frame);
        WinFixtures::PumpFor(100);
        host.reset();
        WinFixtures::PumpFor(100);
    }
}

void CALLBACK CloseBox(HWND box, UINT, UINT_PTR, DWORD) { PostMessageW(box, WM_CLOSE, 0, 0); }

bool IsAboutBox(HWND hwnd) {
    wchar_t title[16] = {};
    GetWindowTextW(hwnd, title, 16);
    return std::wstring(title) == L"About";
}

// The About box, asked for by DISPID as script hosts do: a modal window titled "About".
TEST(ContainerDialogs, AboutBoxIsModal) {
    AxHost host;
    ASSERT_TRUE(host.Control);
    bool shown = false, frameDisabled = false;
    WinFixtures::WhenWindowShows(
        IsAboutBox,
        [&](HWND about) {
            shown = true;
            frameDisabled = !IsWindowEnabled(host.Frame);
            PostMessageW(about, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(Invoke(host.Control.Get(), -552, DISPATCH_METHOD, {}, nullptr), S_OK);
    EXPECT_TRUE(shown) << "AboutBox returned before its window showed";
    EXPECT_TRUE(frameDisabled) << "the container stayed enabled under the About box";
    EXPECT_FALSE(WinFixtures::DialogPending());
    EXPECT_TRUE(IsWindowEnabled(host.Frame));
}

// The About box asked for while a run plays, in timer and thread mode: the run goes on
// under the modal box (its loop dispatches the ticks) and ends with one OnDone.
TEST(ContainerDialogs, AboutBoxDuringARun) {
    for (const bool thread : {false, true}) {
        AxHost host;
        ASSERT_TRUE(host.Control);
        PrepareQuickRun(host.Control.Get(), thread);
        Write(host.Control.Get(), L"Steps", 1);
        DoneSink sink;
        const DWORD cookie = Advise(host.Control.Get(), &sink);
        bool shown = false;
        WinFixtures::WhenWindowShows(
            IsAboutBox,
            [&](HWND about) {
                shown = true;
                // Closed after a while, from the box's own loop.
                SetTimer(about, 1, 300, CloseBox);
            });
        ASSERT_EQ(host.Control->Play(), S_OK);
        EXPECT_EQ(Invoke(host.Control.Get(), -552, DISPATCH_METHOD, {}, nullptr), S_OK);
        EXPECT_TRUE(shown) << thread;
        EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000)) << thread;
        WinFixtures::PumpFor(50);
        EXPECT_EQ(sink.Done, 1) << thread;
        EXPECT_EQ(Read(host.Control.Get(), L"Active"), 0) << thread;
        Unadvise(host.Control.Get(), cookie);
    }
}

// The system's property frame shows the control's page with the control's values, and
// closes with OK. (Wine's frame never applies a page: its page site ignores status changes
// and OK applies nothing, so applying is checked below as a frame on Windows does it.)
TEST(ContainerDialogs, PropertyFrameShowsTheControlsValues) {
    AxHost host;
    ASSERT_TRUE(host.Control);
    Write(host.Control.Get(), L"Interval", 123);
    Write(host.Control.Get(), L"Steps", 45);
    Write(host.Control.Get(), L"Delta", 6);
    bool shown = false;
    WinFixtures::WhenDialogShows([&](HWND sheet) {
        shown = WinFixtures::EditShowing(sheet, L"123") && WinFixtures::EditShowing(sheet, L"45") &&
                WinFixtures::EditShowing(sheet, L"6");
        PostMessageW(sheet, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(sheet, IDOK)));
    });
    ComPtr<IUnknown> object;
    ASSERT_EQ(host.Control.As(object), S_OK);
    IUnknown* objects[] = {object.Get()};
    CLSID pages[] = {CLSID_LumawipeProperties};
    EXPECT_EQ(OleCreatePropertyFrame(host.Frame, 0, 0, L"Lumawipe", 1, objects, 1, pages, LOCALE_USER_DEFAULT, 0,
                                     nullptr),
              S_OK);
    EXPECT_FALSE(WinFixtures::DialogPending()) << "no property frame showed";
    EXPECT_TRUE(shown) << "the page does not show Interval, Steps and Delta";
}

// The registered page on the control, driven as a property frame drives it: a new
// Interval typed into the page marks it dirty, and Apply writes it into the control.
TEST(ContainerDialogs, PageAppliesWhatIsTyped) {
    AxHost host;
    ASSERT_TRUE(host.Control);
    Write(host.Control.Get(), L"Interval", 123);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(CLSID_LumawipeProperties, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(page.Put())), S_OK);
    PageFixtures::TFakeSite site;
    ASSERT_EQ(page->SetPageSite(&site), S_OK);
    IUnknown* objects[] = {host.Control.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    const RECT area{0, 0, 455, 307};
    ASSERT_EQ(page->Activate(host.Frame, &area, FALSE), S_OK);
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);

    HWND edit = WinFixtures::EditShowing(host.Frame, L"123");
    ASSERT_NE(edit, nullptr) << "no edit shows the Interval";
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    SetWindowTextW(edit, L"37");
    EXPECT_TRUE(std::any_of(site.Changes.begin(), site.Changes.end(), [](DWORD f) { return f & PROPPAGESTATUS_DIRTY; }))
        << "the page did not tell its site";
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_EQ(Read(host.Control.Get(), L"Interval"), 123) << "only Apply writes into the control";
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Read(host.Control.Get(), L"Interval"), 37);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);

    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(page->SetPageSite(nullptr), S_OK);
}

}  // namespace
