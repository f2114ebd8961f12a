// Frames of effect routines drawn the way the component draws them, on small coordinate
// pictures, and whole runs of an operation through the component.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Fixtures.h"

namespace EffectScene {

using namespace Wipekit;
using namespace Fixtures;
using Mod = TTransitionModifier;

constexpr Mod AllModifiers[] = {Mod::tmLeft, Mod::tmRight, Mod::tmUp, Mod::tmDown};

// Background colour; its red byte is neither picture's tag.
constexpr TColor Fill = 0x00123456;

// Control (work) size and the sizes of the two pictures.
struct Sizes {
    int W, H;
    int FromW, FromH;
    int ToW, ToH;
};

constexpr Sizes Square(int w, int h) { return Sizes{w, h, w, h, w, h}; }

// Two coordinate pictures and a parameter block; Draw renders one frame of a routine.
struct Scene {
    Sizes S;
    TBitmap From, To, Work;
    TTransitionParams P{};

    explicit Scene(const Sizes& s) : S(s) {
        MakeCoordPicture(From, s.FromW, s.FromH, FromTag);
        MakeCoordPicture(To, s.ToW, s.ToH, ToTag);
        P.Color = Fill;
        P.Delta = 10;
        P.ClientRect = Toolkit::Rect(0, 0, s.W, s.H);
    }

    // As the component renders: the frame filled with the background, then the routine.
    bool Draw(TEffectProc proc, std::int32_t frame) {
        Work.SetSize(S.W, S.H);
        Work.Canvas().Brush.Style = Toolkit::TBrushStyle::bsSolid;
        Work.Canvas().Brush.Color = Fill;
        Work.Canvas().FillRect(P.ClientRect);
        P.CurrentFrame = frame;
        TTransitionParams params = P;
        const bool finished = proc(From, To, Work, &params);
        EXPECT_EQ(params.CurrentFrame, frame) << "the routine changed the caller's parameters";
        return finished;
    }

    // What a plain copy of picture leaves at (x, y): its pixel, or the background.
    static Px Base(const TBitmap& picture, int x, int y) { return PictureAt(picture, x, y).value_or(ColorPx(Fill)); }

    ::testing::AssertionResult Shows(const std::function<Px(int x, int y)>& expected) const {
        return FrameEquals(Work, S.W, S.H, expected);
    }
    ::testing::AssertionResult SameFrame(const TBitmap& other) const {
        return FrameEquals(Work, S.W, S.H, [&](int x, int y) { return PixelOf(other, x, y); });
    }
};

// A whole run through the component: CurrentFrame of every tick; the last one raised OnDone.
struct RunLog {
    std::vector<int> Frames;
    bool Ended = false;
};

// Frames first, first + step, ... up to and including last.
inline std::vector<int> Ticks(int first, int step, int last) {
    std::vector<int> frames;
    for (int f = first; f <= last; f += step) frames.push_back(f);
    return frames;
}

// A component of the control's size showing the scene's two pictures.
struct Player {
    TLumawipe Engine{nullptr};

    Player(TTransitionOperation op, const Sizes& s, Mod m = Mod::tmLeft, bool reverse = false, int delta = 10,
           int steps = 1) {
        TBitmap from, to;
        MakeCoordPicture(from, s.FromW, s.FromH, FromTag);
        MakeCoordPicture(to, s.ToW, s.ToH, ToTag);
        Engine.SetBounds(0, 0, s.W, s.H);
        Engine.SetFromBitmap(from);
        Engine.SetToBitmap(to);
        Engine.SetColor(Fill);
        Engine.SetOperation(op);
        Engine.SetModifier(m);
        Engine.SetReverse(reverse);
        Engine.SetDelta(delta);
        Engine.SetSteps(steps);
    }

    // Plays from the first frame, ticking until OnDone (at most maxTicks).
    RunLog PlayToEnd(int maxTicks = 1000) {
        RunLog run;
        Engine.OnDone = [&](Toolkit::TObject*) { run.Ended = true; };
        Engine.Play();
        while (!run.Ended && int(run.Frames.size()) < maxTicks) {
            Engine.AdvanceFrame(nullptr);
            run.Frames.push_back(Engine.CurrentFrame());
        }
        return run;
    }

    ::testing::AssertionResult Shows(const std::function<Px(int x, int y)>& expected) const {
        return FrameEquals(Engine.WorkBitmap(), Engine.Width(), Engine.Height(), expected);
    }
};

}  // namespace EffectScene
