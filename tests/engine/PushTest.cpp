// Push frames checked pixel by pixel against a model of the two moving pictures.
#include <gtest/gtest.h>

#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;
using Mod = TTransitionModifier;

namespace {

constexpr TColor Fill = 0x00FF00;

struct Frame {
    bool Finished = false;
    std::shared_ptr<TBitmap> Work = std::make_shared<TBitmap>();
};

// Renders frame d of a push through the component.
Frame PushFrame(const TBitmap& from, const TBitmap& to, int W, int H, Mod mod, bool reverse, int d) {
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, W, H);
    w.SetFromBitmap(from);
    w.SetToBitmap(to);
    w.SetColor(Fill);
    w.SetModifier(mod);
    w.SetReverse(reverse);
    Frame f;
    w.OnDone = [&](Toolkit::TObject*) { f.Finished = true; };
    w.SetCurrentFrame(d);
    f.Work->Assign(w.WorkBitmap());
    return f;
}

// What a push shows at (x, y): the incoming picture In shifted in from the entry edge by
// d pixels, the outgoing Out shifted away, both cut to the incoming picture's extent
// across the motion; the fill where neither reaches.
Px ModelPush(const TBitmap& in, const TBitmap& out, int W, int H, Mod dir, int d, int x, int y) {
    const bool horizontal = dir == Mod::tmLeft || dir == Mod::tmRight;
    if (horizontal ? y >= std::min(H, in.Height()) : x >= std::min(W, in.Width())) return ColorPx(Fill);
    std::optional<Px> p;
    switch (dir) {
        case Mod::tmLeft: p = x >= W - d ? PictureAt(in, x - (W - d), y) : PictureAt(out, x + d, y); break;
        case Mod::tmRight: p = x < d ? PictureAt(in, x + (W - d), y) : PictureAt(out, x - d, y); break;
        case Mod::tmUp: p = y >= H - d ? PictureAt(in, x, y - (H - d)) : PictureAt(out, x, y + d); break;
        case Mod::tmDown: p = y < d ? PictureAt(in, x, y + (in.Height() - d)) : PictureAt(out, x, y - d); break;
    }
    return p.value_or(ColorPx(Fill));
}

Mod Mirrored(Mod m) {
    switch (m) {
        case Mod::tmLeft: return Mod::tmRight;
        case Mod::tmRight: return Mod::tmLeft;
        case Mod::tmUp: return Mod::tmDown;
        case Mod::tmDown: return Mod::tmUp;
    }
    return m;
}

}  // namespace

TEST(Push, EveryFrameOfEveryDirectionMatchesTheModel) {
    struct Case {
        int W, H;
        int fromW, fromH, toW, toH;
    } const cases[] = {
        {7, 5, 7, 5, 7, 5},  // pictures of the control's size
        {7, 5, 7, 5, 4, 3},  // a smaller incoming picture leaves fill across and behind it
        {6, 4, 9, 6, 9, 6},  // pictures larger than the control
    };
    for (const auto& c : cases)
        for (Mod mod : {Mod::tmLeft, Mod::tmRight, Mod::tmUp, Mod::tmDown})
            for (bool reverse : {false, true}) {
                TBitmap from, to;
                MakeCoordPicture(from, c.fromW, c.fromH, FromTag);
                MakeCoordPicture(to, c.toW, c.toH, ToTag);
                const Mod dir = reverse ? Mirrored(mod) : mod;
                const TBitmap& in = reverse ? from : to;
                const TBitmap& out = reverse ? to : from;
                const int extent = (dir == Mod::tmLeft || dir == Mod::tmRight) ? c.W : c.H;
                for (int d = 0; d <= extent + 2; ++d) {
                    const Frame f = PushFrame(from, to, c.W, c.H, mod, reverse, d);
                    const int shown = std::min(d, extent);
                    EXPECT_TRUE(FrameEquals(*f.Work, c.W, c.H, [&](int x, int y) {
                        return ModelPush(in, out, c.W, c.H, dir, shown, x, y);
                    })) << "size " << c.W << "x" << c.H << " to " << c.toW << "x" << c.toH << " modifier "
                        << int(mod) << " reverse " << reverse << " d " << d;
                    // Strict end test: the frame at the extent is not yet the last.
                    EXPECT_EQ(f.Finished, d > extent) << "d " << d;
                }
            }
}

TEST(Push, ReverseRightDrawsForwardLeftWithThePicturesExchanged) {
    TBitmap a, b;
    MakeCoordPicture(a, 9, 4, FromTag);
    MakeCoordPicture(b, 9, 4, ToTag);
    for (int d = 0; d <= 10; ++d) {
        const Frame reversed = PushFrame(a, b, 9, 4, Mod::tmRight, true, d);
        const Frame forward = PushFrame(b, a, 9, 4, Mod::tmLeft, false, d);
        EXPECT_TRUE(FrameEquals(*reversed.Work, 9, 4, [&](int x, int y) { return PixelOf(*forward.Work, x, y); }));
    }
}

TEST(Push, RunLengthFollowsSteps) {
    struct Case {
        int steps;
        std::vector<int> frames;
    } const cases[] = {
        {30, {29, 59, 89, 119}},
        {100, {99, 199}},
        {101, {100, 201}},  // 100 is the full extent but not yet the end
    };
    TBitmap from, to;
    MakeCoordPicture(from, 100, 2, FromTag);
    MakeCoordPicture(to, 100, 2, ToTag);
    for (const auto& c : cases) {
        TLumawipe w(nullptr);
        w.SetBounds(0, 0, 100, 2);
        w.SetFromBitmap(from);
        w.SetToBitmap(to);
        w.SetSteps(c.steps);
        bool done = false;
        w.OnDone = [&](Toolkit::TObject*) { done = true; };
        w.Play();
        std::vector<int> frames;
        while (!done && frames.size() < 1000) {
            w.AdvanceFrame(nullptr);
            frames.push_back(w.CurrentFrame());
        }
        EXPECT_EQ(frames, c.frames) << "steps " << c.steps;
        EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 100, 2, [](int x, int y) { return Coord(x, y, ToTag); }));
    }
}

TEST(Push, StepsOneRunsFrameZeroToOneHundredAndEndsOnOneHundredAndOne) {
    TBitmap from, to;
    MakeCoordPicture(from, 100, 1, FromTag);
    MakeCoordPicture(to, 100, 1, ToTag);
    TLumawipe w(nullptr);
    w.SetBounds(0, 0, 100, 1);
    w.SetFromBitmap(from);
    w.SetToBitmap(to);
    int doneAt = -1;
    w.OnDone = [&](Toolkit::TObject*) { doneAt = w.CurrentFrame(); };
    w.Play();
    w.AdvanceFrame(nullptr);
    EXPECT_TRUE(FrameEquals(w.WorkBitmap(), 100, 1, [](int x, int y) { return Coord(x, y, FromTag); }))
        << "frame 0 shows the outgoing picture";
    while (doneAt < 0 && w.CurrentFrame() < 500) w.AdvanceFrame(nullptr);
    EXPECT_EQ(doneAt, 101);
}
