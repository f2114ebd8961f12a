// The backend's lower layers on their own: this program links GDI, the message loop and
// the windowed controls but neither the standard controls nor forms, as a control
// hosted in another program's message loop does. A top-level window of its own holds a
// windowed child showing a bitmap; each timer tick paints the bitmap through GDI and
// the window shows it.
#include <gtest/gtest.h>

#include <cstddef>

#include "toolkit/ExtCtrls.h"
#include "toolkit/win32/WinControls.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;

namespace {

constexpr int W = 40, H = 30;

// A borderless top-level window: the parent where no form is.
class TPopup : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.Style = WS_POPUP | WS_CLIPCHILDREN;
    }
};

class TPictureBox : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TBitmap Picture;

protected:
    void Paint() override { Canvas().Draw(0, 0, Picture); }
};

void FillWithGdi(TBitmap& bitmap, TColor color) {
    TBitmapDC dc(bitmap);
    const RECT r{0, 0, bitmap.Width(), bitmap.Height()};
    HBRUSH brush = Win32::NewSolidBrush(color);
    FillRect(dc.Handle(), &r, brush);
    Win32::DeleteGdiObject(brush);
}

bool Shows(HWND hwnd, TColor color) {
    TBitmap shot;
    CaptureWindow(hwnd, Rect(0, 0, W, H), shot);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::uint8_t* p = shot.ScanLine(y) + 3 * std::size_t(x);
            if (p[0] != GetBValue(color) || p[1] != GetGValue(color) || p[2] != GetRValue(color)) return false;
        }
    return true;
}

TEST(LowerLayers, TimerTicksPaintABitmapThatTheWindowShows) {
    const long gdiBefore = GdiObjectCount();
    {
        TPopup top(nullptr);
        top.SetVisible(false);
        top.SetBounds(20, 20, W, H);
        TPictureBox box(nullptr);
        box.SetBounds(0, 0, W, H);
        box.Picture.SetSize(W, H);
        box.SetParent(&top);
        ASSERT_NE(top.Handle(), nullptr);
        ASSERT_TRUE(box.HandleAllocated());
        top.SetVisible(true);

        constexpr TColor Colors[] = {0x0000FF, 0x00FF00, 0xFF0000};
        std::size_t ticks = 0;
        TTimer timer(nullptr);
        timer.SetEnabled(false);
        timer.SetInterval(10);
        timer.OnTimer = [&](TObject*) {
            timer.SetEnabled(false);  // one tick, one colour
            FillWithGdi(box.Picture, Colors[ticks++]);
            box.Invalidate();
        };
        for (std::size_t i = 0; i < std::size(Colors); ++i) {
            timer.SetEnabled(true);
            EXPECT_TRUE(PumpUntil([&] { return ticks == i + 1 && Shows(box.Handle(), Colors[i]); }))
                << "colour " << i << " after " << ticks << " ticks";
        }
    }
    EXPECT_EQ(GdiObjectCount(), gdiBefore);
}

}  // namespace
