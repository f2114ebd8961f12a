// Soak of the control's window: 100,000 frames across all its operations, painted on a
// real window of a container, with the toolkit's live GDI objects and the process's memory
// back at their starting level afterwards.
#include "toolkit/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include "activex/Transition.h"
#include "support/Fixtures.h"
#include "toolkit/win32/Gdi.h"
#include "win32/WinFixtures.h"

namespace {

constexpr int W = 64, H = 48;
constexpr int Frames = 100000;

}  // namespace

TEST(SoakFrames, HundredThousandFramesLeaveNothingBehind) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, W, H, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    Toolkit::TBitmap from, to;
    Fixtures::MakeCoordPicture(from, W, H, Fixtures::FromTag);
    Fixtures::MakeCoordPicture(to, W, H, Fixtures::ToTag);

    long gdiStart = 0;
    std::size_t memoryStart = 0;
    int runs = 0;
    {
        Wipeax::TTransition t(nullptr);
        t.SetParentWindow(host);
        t.SetBounds(0, 0, W, H);
        auto& engine = t.Engine();
        engine.SetFromBitmap(from);
        engine.SetToBitmap(to);
        engine.SetDelta(4);
        engine.SetSteps(3);
        for (int frame = 0; frame < Frames; ++frame) {
            if (!engine.Active()) {
                // The next operation, modifier and direction; every run starts from its first frame.
                engine.SetOperation(Wipekit::TTransitionOperation(runs % Wipeax::OperationCount));
                engine.SetModifier(Wipekit::TTransitionModifier(runs / Wipeax::OperationCount % Wipekit::ModifierCount));
                engine.SetReverse(runs / (Wipeax::OperationCount * Wipekit::ModifierCount) % 2 == 1);
                engine.Play();
                engine.Pause();  // the test paces the frames itself
                ++runs;
            }
            engine.AdvanceFrame(nullptr);
            UpdateWindow(t.Handle());  // paints the frame now, through the window procedure
            if (frame == 2000) {  // caches and pools are warm
                gdiStart = Toolkit::GdiObjectCount();
                memoryStart = WinFixtures::PagefileUsage();
            }
        }
        WinFixtures::PumpFor(50);
        EXPECT_GT(runs, 4 * Wipeax::OperationCount) << "every operation ran in several settings";
        EXPECT_EQ(Toolkit::GdiObjectCount(), gdiStart);
        const std::size_t memory = WinFixtures::PagefileUsage();
        EXPECT_LE(memory, memoryStart + memoryStart / 100) << memoryStart << " -> " << memory;
        RecordProperty("memory_start", std::to_string(memoryStart));
        RecordProperty("memory_end", std::to_string(memory));
        RecordProperty("gdi_objects", std::to_string(gdiStart));
        std::printf("soak frames: %d runs, GDI objects %ld -> %ld, memory %zu -> %zu bytes\n", runs, gdiStart,
                    Toolkit::GdiObjectCount(), memoryStart, memory);
    }
    DestroyWindow(host);
}
