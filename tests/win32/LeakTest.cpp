// GDI objects and memory stay flat over many rendered frames and many forms with a
// running component. The system's GDI count reads 0 under Wine, so the toolkit's own
// count of what it created and deleted is checked, with the process's private memory
// (which leaked GDI objects make grow) alongside.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Forms.h"
#include "win32/EngineForm.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace Fixtures;
using namespace WinFixtures;
using Wipekit::TLumawipe;

namespace {

constexpr int W = 120, H = 40;
// Private memory may move by allocator slack; a leak of one bitmap or window per frame
// or form would be far beyond this.
constexpr std::size_t MemorySlack = 2u << 20;

struct Measure {
    long gdi = GdiObjectCount();
    std::size_t memory = PagefileUsage();
};

void Report(const char* what, const Measure& before, const Measure& after) {
    std::printf("%s: GDI objects %ld -> %ld, PagefileUsage %zu -> %zu bytes\n", what, before.gdi, after.gdi,
                before.memory, after.memory);
}

TEST(Leaks, TenThousandFramesLeaveGdiAndMemoryFlat) {
    TLumawipe* wipe = nullptr;
    TForm* form = FormWithComponent(wipe, W, H, 1, false);
    auto render = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            wipe->SetCurrentFrame(i % (W + 1));  // renders, shows, and asks for a repaint
            if (i % 16 == 0) Application().ProcessMessages();
        }
        Application().ProcessMessages();
    };
    render(500);  // warm-up: first-use allocations of the system and the heap
    const Measure before;
    render(10000);
    const Measure after;
    Report("10000 frames", before, after);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_LT(after.memory, before.memory + MemorySlack);
    delete form;
}

TEST(Leaks, TwoHundredFormsWithARunningComponentLeaveNothingBehind) {
    auto cycle = [](int n) {
        for (int i = 0; i < n; ++i) {
            TLumawipe* wipe = nullptr;
            TForm* form = FormWithComponent(wipe, W, H, 1, i % 2 == 1);
            wipe->Play();
            PumpUntil([&] { return wipe->CurrentFrame() >= 1; }, 5000);
            delete form;  // while running
        }
        Application().ProcessMessages();
    };
    const long empty = GdiObjectCount();
    cycle(10);  // warm-up
    const Measure before;
    cycle(200);
    const Measure after;
    Report("200 forms", before, after);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.gdi, empty);
    EXPECT_LT(after.memory, before.memory + MemorySlack);
}

}  // namespace
