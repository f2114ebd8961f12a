// The control's windowed wrapper in a window of someone else's, as a container holds it:
// bitmap handles adopted or refused, the engine kept at the wrapper's size, handles as
// 32-bit values, and the wrapper freed in the middle of a run. The program links the
// windowed-controls layer and nothing above it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "activex/Transition.h"
#include "toolkit/Application.h"
#include "win32/WinFixtures.h"

using namespace WinFixtures;
using Toolkit::TBitmap;
using Toolkit::TColor;
using Wipeax::TTransition;
using Op = Wipekit::TTransitionOperation;

namespace {

constexpr int W = 40, H = 16;

// A top-level window not made by the toolkit: the container's.
class HostWindow {
public:
    HostWindow() {
        FHandle = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, W + 20,
                                  H + 20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { DestroyWindow(FHandle); }
    HWND Handle() const { return FHandle; }

private:
    HWND FHandle;
};

// Fills w x h pixels of a bitmap handle with color through GDI, as a container would.
void FillThroughGdi(HBITMAP bitmap, int w, int h, TColor color) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT r{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
}

// A device-dependent bitmap of the screen's format, filled with color: a picture from
// outside the toolkit.
HBITMAP NewScreenBitmap(int w, int h, TColor color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    FillThroughGdi(bitmap, w, h, color);
    return bitmap;
}

// A picture of the toolkit's own: w x h of one colour.
void Plain(TBitmap& bitmap, int w, int h, TColor color) {
    bitmap.SetSize(w, h);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(Toolkit::Rect(0, 0, w, h));
}

constexpr TColor FromColor = 0x00000080, ToColor = 0x00008000;

// Gives the engine plain W x H pictures in FromColor and ToColor.
void ShowPictures(TTransition& t) {
    TBitmap from, to;
    Plain(from, W, H, FromColor);
    Plain(to, W, H, ToColor);
    t.Engine().SetFromBitmap(from);
    t.Engine().SetToBitmap(to);
}

bool WindowShows(HWND hwnd, int w, int h, TColor color) {
    TBitmap shot;
    CaptureWindow(hwnd, Toolkit::Rect(0, 0, w, h), shot);
    const TColor rgb = Toolkit::ColorToRGB(color);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (shot.Canvas().Pixel(x, y) != rgb) return false;
    return true;
}

class Transition : public ::testing::Test {
protected:
    void SetUp() override {
        T = std::make_unique<TTransition>(nullptr);
        T->SetParentWindow(Host.Handle());
        T->SetBounds(10, 10, W, H);
        ASSERT_NE(T->Handle(), nullptr);
        ASSERT_EQ(GetParent(T->Handle()), Host.Handle());
    }

    HostWindow Host;
    std::unique_ptr<TTransition> T;
};

}  // namespace

TEST(TransitionHandles, CrossAs32BitValuesSignExtended) {
    for (std::int32_t v : {0, 1, 0x1234, INT32_MAX, -2, INT32_MIN}) {
        const HBITMAP h = Wipeax::Int32ToHandle(v);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(h), std::intptr_t(v)) << v;
        EXPECT_EQ(Wipeax::HandleToInt32(h), v);
    }
}

TEST_F(Transition, AdoptsBitmapHandlesAndRefusesOthers) {
    TBitmap own;
    Plain(own, W, H, 0x00102030);
    T->Engine().SetFromBitmap(own);
    EXPECT_EQ(T->Color(), 0x00102030);
    T->SetColor(0x00405060);

    // The handle it holds, read back and written again, changes nothing.
    const std::int32_t held = T->FromBitmap();
    ASSERT_NE(held, 0);
    T->SetFromBitmap(held);
    EXPECT_EQ(T->FromBitmap(), held);
    EXPECT_EQ(T->Color(), 0x00405060) << "the same handle signals no change";

    // A picture from outside the toolkit is adopted during a run too, and sets Color.
    T->Play();
    const HBITMAP foreign = NewScreenBitmap(5, 4, 0x00C08040);
    T->SetFromBitmap(Wipeax::HandleToInt32(foreign));
    EXPECT_EQ(T->FromBitmap(), Wipeax::HandleToInt32(foreign));
    EXPECT_EQ(T->Engine().FromBitmap().Width(), 5);
    EXPECT_EQ(T->Color(), 0x00C08040);
    T->Stop();

    // What is not a bitmap is refused and nothing changes.
    HBRUSH brush = CreateSolidBrush(0x00FFFFFF);
    const std::int32_t refused[] = {Wipeax::HandleToInt32(reinterpret_cast<HBITMAP>(brush)), 0x1234};
    for (std::int32_t value : refused) {
        EXPECT_THROW(T->SetFromBitmap(value), Toolkit::EInvalidGraphic) << value;
        EXPECT_THROW(T->SetToBitmap(value), Toolkit::EInvalidGraphic) << value;
        EXPECT_EQ(T->FromBitmap(), Wipeax::HandleToInt32(foreign));
        EXPECT_EQ(T->ToBitmap(), 0);
        EXPECT_EQ(T->Color(), 0x00C08040);
    }
    DeleteObject(brush);

    T->SetToBitmap(Wipeax::HandleToInt32(NewScreenBitmap(3, 3, 0x00010203)));
    EXPECT_EQ(T->Engine().ToBitmap().Width(), 3);
    // 0 empties; the colour stays.
    T->SetFromBitmap(0);
    T->SetToBitmap(0);
    EXPECT_TRUE(T->Engine().FromBitmap().Empty());
    EXPECT_EQ(T->FromBitmap(), 0);
    EXPECT_EQ(T->ToBitmap(), 0);
    EXPECT_EQ(T->Color(), 0x00C08040);
}

// One handle never gets two owners: the other picture's handle gives a copy, so freeing
// the wrapper deletes each handle once.
TEST_F(Transition, TheOtherPicturesHandleGivesACopy) {
    const HBITMAP foreign = NewScreenBitmap(6, 5, 0x00204080);
    T->SetFromBitmap(Wipeax::HandleToInt32(foreign));
    T->SetToBitmap(T->FromBitmap());
    EXPECT_NE(T->ToBitmap(), T->FromBitmap());
    EXPECT_EQ(T->Engine().ToBitmap().Width(), 6);
    EXPECT_EQ(T->Engine().ToBitmap().Canvas().Pixel(0, 0), 0x00204080u);
    T->SetFromBitmap(T->ToBitmap());
    EXPECT_NE(T->ToBitmap(), T->FromBitmap());
    const auto from = reinterpret_cast<HGDIOBJ>(std::intptr_t(T->FromBitmap()));
    const auto to = reinterpret_cast<HGDIOBJ>(std::intptr_t(T->ToBitmap()));
    const long held = Toolkit::GdiObjectCount();
    T.reset();
    EXPECT_EQ(GetObjectType(foreign), 0u) << "the adopted handle is deleted when replaced";
    EXPECT_EQ(GetObjectType(from), 0u);
    EXPECT_EQ(GetObjectType(to), 0u);
    EXPECT_LE(Toolkit::GdiObjectCount(), held - 2) << "each picture's handle is released once";
}

// Handles shared between controls, as a script shares them (B.FromBitmap = A.FromBitmap,
// C.ToBitmap = B's surface...): each control holds handles of its own, and freeing the
// controls in any order leaves the others' pictures intact and frees every handle once.
TEST(TransitionHandles, SharedBetweenControlsInAnyReleaseOrder) {
    std::vector<int> order{0, 1, 2};
    do {
        SCOPED_TRACE("release order " + std::to_string(order[0]) + std::to_string(order[1]) + std::to_string(order[2]));
        const long before = Toolkit::GdiObjectCount();
        std::unique_ptr<TTransition> c[3];
        for (auto& t : c) {
            t = std::make_unique<TTransition>(nullptr);
            t->SetBounds(0, 0, 6, 5);
        }
        c[0]->SetFromBitmap(Wipeax::HandleToInt32(NewScreenBitmap(6, 5, FromColor)));
        c[0]->SetToBitmap(Wipeax::HandleToInt32(NewScreenBitmap(6, 5, ToColor)));
        c[1]->SetFromBitmap(c[0]->FromBitmap());
        c[1]->SetToBitmap(c[0]->ToBitmap());
        c[2]->SetFromBitmap(c[1]->FromBitmap());
        c[2]->Engine().PaintControl();  // gives the engine's surface a handle
        c[2]->SetToBitmap(Wipeax::HandleToInt32(Toolkit::BitmapHandle(c[1]->Engine().ToBitmap())));
        c[1]->SetFromBitmap(Wipeax::HandleToInt32(Toolkit::BitmapHandle(const_cast<TBitmap&>(c[2]->Engine().Surface()))));
        c[1]->SetFromBitmap(0);  // frees c[1]'s own copy only

        std::set<std::int32_t> handles;
        for (auto& t : c)
            for (std::int32_t h : {t->FromBitmap(), t->ToBitmap()}) {
                if (h) {
                    EXPECT_TRUE(handles.insert(h).second) << "handle " << h << " has two owners";
                }
            }

        for (int gone : order) {
            c[gone].reset();
            for (auto& t : c) {
                if (!t) continue;
                for (std::int32_t h : {t->FromBitmap(), t->ToBitmap()}) {
                    if (h) {
                        EXPECT_EQ(GetObjectType(Wipeax::Int32ToHandle(h)), DWORD(OBJ_BITMAP));
                    }
                }
                if (t->FromBitmap()) {
                    EXPECT_EQ(t->Engine().FromBitmap().Canvas().Pixel(0, 0), FromColor);
                }
                EXPECT_EQ(t->Engine().ToBitmap().Canvas().Pixel(5, 4), ToColor);
                t->Engine().PaintControl();
            }
        }
        for (std::int32_t h : handles) EXPECT_EQ(GetObjectType(Wipeax::Int32ToHandle(h)), 0u);
        EXPECT_EQ(Toolkit::GdiObjectCount(), before);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(Transition, EngineFollowsTheWrappersSize) {
    Wipeax::TLumawipe& engine = T->Engine();
    ASSERT_EQ(T->ControlCount(), 1);
    EXPECT_EQ(T->Controls()[0], &engine);
    EXPECT_EQ(engine.BoundsRect(), Toolkit::Rect(0, 0, W, H));

    T->SetColor(0x00336699);
    T->SetBounds(5, 6, 24, 12);
    EXPECT_EQ(engine.BoundsRect(), Toolkit::Rect(0, 0, 24, 12));
    T->SetWidth(30);
    EXPECT_EQ(engine.BoundsRect(), Toolkit::Rect(0, 0, 30, 12));
    RECT client;
    GetClientRect(T->Handle(), &client);
    EXPECT_EQ(client.right, 30);
    // The next paint renders at the new size: Color over the whole window.
    EXPECT_TRUE(PumpUntil([&] { return WindowShows(T->Handle(), 30, 12, 0x00336699); }, 3000));
}

TEST_F(Transition, ForwardsPropertiesAsStoredAndOnDoneWithTheEngineAsSender) {
    T->SetDelta(0);
    T->SetSteps(-4);
    T->SetOperation(200);
    T->SetModifier(9);
    T->SetRGBOrder(7);
    EXPECT_EQ(T->Delta(), 0);
    EXPECT_EQ(T->Steps(), -4);
    EXPECT_EQ(T->Operation(), 200);
    EXPECT_EQ(T->Modifier(), 9);
    EXPECT_EQ(T->RGBOrder(), 7);
    // Nothing to draw: the window shows Color and the run goes on.
    T->SetColor(0x00224466);
    T->SetInterval(5);
    T->Play();
    PumpFor(60);
    EXPECT_TRUE(T->Active());
    EXPECT_TRUE(WindowShows(T->Handle(), W, H, 0x00224466));
    T->Stop();

    ShowPictures(*T);
    T->SetOperation(std::uint8_t(Op::toReplace));
    T->SetModifier(0);
    T->SetRGBOrder(0);
    T->SetDelta(10);
    T->SetSteps(1);
    Toolkit::TObject* sender = nullptr;
    T->OnDone = [&](Toolkit::TObject* s) { sender = s; };
    T->Play();
    ASSERT_TRUE(PumpUntil([&] { return sender != nullptr; }, 5000));
    EXPECT_EQ(sender, &T->Engine());
    EXPECT_FALSE(T->Active());
    EXPECT_TRUE(WindowShows(T->Handle(), W, H, ToColor));
}

// A frame whose routine raises (Blend of pictures of unequal size) shows the fill colour
// its paint left, on the window and in DrawTo, never the frame before; DrawTo still
// reports the failure.
TEST_F(Transition, AFrameThatRaisesStillShowsItsFill) {
    std::vector<std::string> errors;
    struct Reporting {
        explicit Reporting(std::vector<std::string>& to) {
            Toolkit::Application().OnException = [&to](const std::exception& e) { to.push_back(e.what()); };
        }
        ~Reporting() { Toolkit::Application().OnException = nullptr; }
    } reporting(errors);
    ShowPictures(*T);
    T->SetOperation(std::uint8_t(Op::toReplace));
    T->Play();
    ASSERT_TRUE(PumpUntil([&] { return !T->Active() && WindowShows(T->Handle(), W, H, ToColor); }, 5000));

    T->SetOperation(std::uint8_t(Op::toBlend));
    T->SetColor(0x00663311);
    TBitmap small;
    Plain(small, W / 2, H / 2, FromColor);
    T->Engine().SetToBitmap(small);
    EXPECT_TRUE(PumpUntil([&] { return WindowShows(T->Handle(), W, H, 0x00663311); }, 3000));
    EXPECT_FALSE(errors.empty()) << "the paint's failure is reported";

    HDC dc = CreateCompatibleDC(nullptr);
    TBitmap drawn;
    drawn.SetSize(W, H);
    HGDIOBJ old = SelectObject(dc, Toolkit::BitmapHandle(drawn));
    EXPECT_ANY_THROW(T->DrawTo(dc, RECT{0, 0, W, H}));
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(drawn.Canvas().Pixel(0, 0), 0x00663311u);
    EXPECT_EQ(drawn.Canvas().Pixel(W - 1, H - 1), 0x00663311u);
}

namespace {

// The wrapper freed while a run plays, by the test or by its own OnDone; in timer and
// thread mode.
class TransitionTeardown : public ::testing::TestWithParam<bool> {
protected:
    TTransition* NewPlaying(int steps) {
        auto* t = new TTransition(nullptr);
        t->SetParentWindow(Host.Handle());
        t->SetBounds(0, 0, W, H);
        t->Handle();
        ShowPictures(*t);
        t->SetInterval(5);
        t->SetSteps(steps);
        t->SetUseThread(GetParam());
        t->Play();
        return t;
    }

    HostWindow Host;
};

}  // namespace

TEST_P(TransitionTeardown, FreedDuringARun) {
    TTransition* t = NewPlaying(1);
    ASSERT_TRUE(PumpUntil([&] { return t->Engine().FrameCounter() >= 3; }, 5000));
    delete t;
    PumpFor(50);
}

TEST_P(TransitionTeardown, FreedByItsOwnOnDone) {
    TTransition* t = NewPlaying(1000);  // the first painted frame is the last
    int done = 0;
    t->OnDone = [&](Toolkit::TObject*) {
        ++done;
        delete t;
        t = nullptr;
    };
    ASSERT_TRUE(PumpUntil([&] { return done > 0; }, 5000));
    PumpFor(50);
    EXPECT_EQ(done, 1);
}

INSTANTIATE_TEST_SUITE_P(TimerAndThread, TransitionTeardown, ::testing::Bool(),
                         [](const auto& info) { return info.param ? std::string("Thread") : std::string("Timer"); });

// A run that draws only what changed between its frames: the container takes the incoming
// picture's handle in the middle of the run, keeps it and draws on it through GDI some
// frames later; from the handing out on, frames are drawn whole, so the frames after the
// drawing show it everywhere the picture shows, not only where the wipe moved on.
TEST_F(Transition, APictureDrawnOnThroughItsHandleShowsInTheNextFrames) {
    ShowPictures(*T);
    T->SetOperation(std::uint8_t(Op::toMonoReveal));
    T->SetSteps(1);
    T->SetInterval(5);
    bool done = false;
    T->OnDone = [&](Toolkit::TObject*) { done = true; };
    T->Play();
    ASSERT_TRUE(PumpUntil([&] { return T->Engine().FrameCounter() >= W / 2; }, 5000));
    ASSERT_GT(T->Engine().PartialFrames(), 0u) << "the run draws its frames as their changes";
    constexpr TColor Drawn = 0x00AA5500;
    const HBITMAP handle = Wipeax::Int32ToHandle(T->ToBitmap());
    const auto partialFrames = T->Engine().PartialFrames();
    const auto handedOutAt = T->Engine().FrameCounter();
    ASSERT_TRUE(PumpUntil([&] { return T->Engine().FrameCounter() >= handedOutAt + 3; }, 5000));
    FillThroughGdi(handle, W, H, Drawn);
    ASSERT_TRUE(PumpUntil([&] { return done; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return WindowShows(T->Handle(), W, H, Drawn); }, 3000));
    EXPECT_EQ(T->Engine().PartialFrames(), partialFrames) << "frames drawn as changes after the handle was out";
}
