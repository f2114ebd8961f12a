#include "support/Fixtures.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "toolkit/Application.h"
#include "toolkit/Threads.h"

namespace Fixtures {

bool WaitForSleepers(int n) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Toolkit::VirtualSleepers() < n) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

bool SynchronizedCallOrRest(std::uint64_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const bool atRest = Toolkit::ThreadsAtRest(1);
        Toolkit::Application().ProcessMessages();
        if (Toolkit::SynchronizedCallsRun() > count) return true;
        if (atRest) return false;
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "no synchronized call and no worker at rest within 5 s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

std::string ToString(const Px& p) {
    std::ostringstream s;
    s << "(B " << int(p.B) << ", G " << int(p.G) << ", R " << int(p.R) << ")";
    return s.str();
}

void MakeCoordPicture(TBitmap& bitmap, int width, int height, std::uint8_t tag) {
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const Px p = Coord(x, y, tag);
            row[x * 3] = p.B;
            row[x * 3 + 1] = p.G;
            row[x * 3 + 2] = p.R;
        }
    }
    bitmap.Changed();
}

Toolkit::TStrings Lines(std::initializer_list<const char*> items) {
    Toolkit::TStrings lines;
    for (const char* item : items) lines.Add(item);
    return lines;
}

Px ColorPx(TColor color) {
    const TColor c = Toolkit::ColorToRGB(color);
    return Px{Toolkit::GetBValue(c), Toolkit::GetGValue(c), Toolkit::GetRValue(c)};
}

Px PixelOf(const TBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.ScanLine(y) + std::size_t(x) * 3;
    return Px{p[0], p[1], p[2]};
}

std::optional<Px> PictureAt(const TBitmap& picture, std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= picture.Width() || y >= picture.Height()) return std::nullopt;
    return PixelOf(picture, int(x), int(y));
}

::testing::AssertionResult FrameEquals(const TBitmap& frame, int width, int height,
                                       const std::function<Px(int x, int y)>& expected) {
    if (frame.Width() != width || frame.Height() != height)
        return ::testing::AssertionFailure() << "frame is " << frame.Width() << " x " << frame.Height()
                                             << ", expected " << width << " x " << height;
    int bad = 0;
    std::ostringstream msg;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Px want = expected(x, y);
            const Px got = PixelOf(frame, x, y);
            if (got != want && bad++ < 5)
                msg << "\n  at (" << x << ", " << y << "): got " << ToString(got) << ", want " << ToString(want);
        }
    if (bad) return ::testing::AssertionFailure() << bad << " pixels differ" << msg.str();
    return ::testing::AssertionSuccess();
}

}  // namespace Fixtures
