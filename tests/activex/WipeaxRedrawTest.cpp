// The control's engine draws frames of the rdChanges operations only where they changed
// since the frame on its surface, and every frame equals the whole redraw
// (tests/engine/RedrawPlayer.h): repaints, writes on the surface, resizes and settings
// between ticks included.
#include <gtest/gtest.h>

#include "activex/Wipeax.h"
#include "engine/RedrawPlayer.h"

namespace {

struct ControlEngine {
    using Component = Wipeax::TLumawipe;
    static constexpr int Operations = Wipeax::OperationCount;
    static const Toolkit::TBitmap& Shown(const Component& c) { return c.Surface(); }
    // Pictures of another size are drawn into a bitmap of the engine's own and copied onto
    // the surface over what it showed: only frames drawn on the surface are the routine's
    // alone.
    static bool Checked(const Component& c) {
        auto fits = [&](const Toolkit::TBitmap& b) { return b.Width() == c.Width() && b.Height() == c.Height(); };
        return fits(c.FromBitmap()) && fits(c.ToBitmap());
    }
    // The tick advances the counter; the paint draws the frame.
    static std::int32_t Repaint(Component& c) {
        const std::int32_t f = c.FrameCounter();
        c.PaintControl();
        return f;
    }
    static std::int32_t Tick(Component& c) {
        c.AdvanceFrame(nullptr);
        return Repaint(c);
    }
    static std::int32_t Frame(const Component& c) { return c.FrameCounter(); }
    static std::int32_t Jump(Component& c, RedrawPlayer::Rng&, RedrawPlayer::Log& log) {
        c.Stop();
        c.Play();
        log << " replay";
        return Repaint(c);
    }
    static std::int32_t Written(Component& c) { return Repaint(c); }
};

TEST(WipeaxRedraw, SeededTickSequencesEqualTheWholeRedraw) { RedrawPlayer::PlayAll<ControlEngine>(60); }

}  // namespace
