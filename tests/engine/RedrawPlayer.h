// Seeded tick sequences for the frames drawn only where they changed: a component of an
// rdChanges operation plays random ticks with random events between them (pauses,
// reverses, steps and jumps, picture writes with and without a change notification,
// repaints, writes on the control's surface, resizes, new pictures, setting changes), and
// every frame it shows is compared with the frame the routine draws whole into a fresh
// bitmap. Shared by the full engine's test and the control engine's (Wipeax) test through
// an adapter that knows how each one ticks and paints.
//
// Each case is played from a seed of its own; a failure names the operation and the seed,
// and LUMAWIPE_REDRAW=<operation>:<seed> replays that case alone.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Wipekit.h"
#include "support/SplitMix.h"

namespace RedrawPlayer {

using namespace Wipekit;
using Toolkit::TBitmap;

// The players' own generator, independent of the engine's.
using Rng = Fixtures::SplitMix;

inline void NoisePicture(TBitmap& b, int w, int h, Rng& rng) {
    b.SetSize(w, h);
    const Toolkit::TPixelView px = b.Pixels();
    for (int y = 0; y < h; ++y)
        for (std::size_t i = 0; i < px.RowBytes(); ++i) px.Row(y)[i] = std::uint8_t(rng.Next());
    b.Changed();
}

// The frame the routine of the component's settings draws for frame f into a fresh
// bitmap of the control's size filled with Color: the whole redraw every frame must equal.
template <class Component>
void FreshFrame(const Component& c, std::int32_t f, TBitmap& fresh) {
    fresh.SetSize(c.Width(), c.Height());
    fresh.Canvas().Brush.Color = c.Color();
    fresh.Canvas().FillRect(Toolkit::Rect(0, 0, c.Width(), c.Height()));
    if (c.FromBitmap().Empty()) return;
    const TEffectEntry& entry = OperationTable[int(c.Operation())];
    TTransitionParams p{};
    p.Color = c.Color();
    p.Delta = c.Delta();
    p.CurrentFrame = f;
    p.Modifier = c.Modifier();
    p.Reverse = c.Reverse();
    p.RGBOrder = c.RGBOrder();
    p.ClientRect = Toolkit::Rect(0, 0, c.Width(), c.Height());
    p.ClampedFrame = f;
    (c.Reverse() ? entry.Reverse : entry.Forward)(c.FromBitmap(), c.ToBitmap(), fresh, &p);
}

inline ::testing::AssertionResult SamePixels(const TBitmap& shown, const TBitmap& fresh) {
    if (shown.Width() != fresh.Width() || shown.Height() != fresh.Height())
        return ::testing::AssertionFailure() << "frame of " << shown.Width() << " x " << shown.Height()
                                             << ", full redraw of " << fresh.Width() << " x " << fresh.Height();
    const Toolkit::TConstPixelView a = shown.Pixels(), b = fresh.Pixels();
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            for (int k = 0; k < 3; ++k)
                if (a.At(x, y)[k] != b.At(x, y)[k])
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs from the full redraw";
    return ::testing::AssertionSuccess();
}

// What a case did, for the failure message.
struct Log {
    std::ostringstream Text;
    template <class T>
    Log& operator<<(const T& v) {
        Text << v;
        return *this;
    }
};

// Operations the cases switch to and back: others that redraw changes, and two that never do.
inline TTransitionOperation OtherOperation(Rng& rng, int count) {
    std::vector<TTransitionOperation> ops{TTransitionOperation::toPush, TTransitionOperation::toBlend};
    for (int i = 0; i < count; ++i)
        if (OperationRedrawsChanges(TTransitionOperation(i))) ops.push_back(TTransitionOperation(i));
    return ops[std::size_t(rng.Below(int(ops.size())))];
}

// No frame to check.
constexpr std::int32_t NoFrame = INT32_MIN;

// Plays one case. Adapter supplies: Component; Operations (how many the component
// offers); Shown(c), the bitmap that shows the frame; Tick(c), one frame tick drawn, and
// Repaint(c), a repaint; Jump(c, rng, log), a jump to another frame; Written(c), what follows
// an announced write on a picture. Each returns the frame it drew, or NoFrame. Checked(c):
// whether the shown frame is the routine's alone, to be compared.
template <class Adapter>
::testing::AssertionResult PlayCase(TTransitionOperation op, std::uint64_t seed, std::uint64_t& partial,
                                    int ticks = 48) {
    using Component = typename Adapter::Component;
    Rng rng(seed);
    Log log;
    const int W = rng.Below(4) == 0 ? rng.Between(1, 3) : rng.Between(4, 40);
    const int H = rng.Below(4) == 0 ? rng.Between(1, 3) : rng.Between(4, 40);
    Component c(nullptr);
    c.SetBounds(0, 0, W, H);
    TBitmap from, to;
    NoisePicture(from, W, H, rng);
    NoisePicture(to, W, H, rng);
    c.SetFromBitmap(from);
    c.SetToBitmap(to);
    c.SetOperation(op);
    const TTransitionModifier mods[] = {TTransitionModifier::tmLeft, TTransitionModifier::tmRight,
                                        TTransitionModifier::tmUp, TTransitionModifier::tmDown};
    const int deltas[] = {1, 2, 3, 5, 10, 40};
    const int steps[] = {1, 1, 1, 2, 3, 7, 40};
    c.SetModifier(mods[rng.Below(4)]);
    c.SetReverse(rng.Below(2) == 1);
    c.SetDelta(deltas[rng.Below(6)]);
    c.SetSteps(steps[rng.Below(7)]);
    log << W << "x" << H << " mod " << int(c.Modifier()) << " rev " << c.Reverse() << " delta " << c.Delta()
        << " steps " << c.Steps() << ";";
    c.Play();
    TBitmap fresh;
    auto check = [&](std::int32_t f, const char* what) -> ::testing::AssertionResult {
        if (!Adapter::Checked(c)) return ::testing::AssertionSuccess();
        try {
            FreshFrame(c, f, fresh);
        } catch (const ELumawipe&) {
            return ::testing::AssertionFailure() << "the whole redraw raised, the frame did not, after " << what
                                                 << " at frame " << f << " (" << log.Text.str() << ")";
        }
        auto same = SamePixels(Adapter::Shown(c), fresh);
        if (!same)
            return same << " after " << what << " at frame " << f << " (" << log.Text.str() << ")";
        return same;
    };
    const std::uint64_t partialBefore = c.PartialFrames();
    for (int n = 0; n < ticks; ++n) {
        const int event = rng.Below(40);
        // What an event draws is checked where it draws; a refusal (pictures of unequal
        // sizes) is checked at the tick.
        try {
            if (event < 12) {
                // Only ticks.
            } else if (event < 14) {
                c.SetSteps(steps[rng.Below(7)]);
                log << " steps " << c.Steps();
            } else if (event < 16) {
                const std::int32_t f = Adapter::Jump(c, rng, log);
                if (f != NoFrame)
                    if (auto r = check(f, "jump"); !r) return r;
            } else if (event < 18) {
                c.Pause();
                c.Resume();
                log << " pause";
            } else if (event < 20) {
                c.Stop();
                c.SetReverse(!c.Reverse());
                c.Play();
                log << " reverse";
            } else if (event < 22) {
                // A write the picture's owner announces.
                TBitmap& picture = rng.Below(2) ? c.FromBitmap() : c.ToBitmap();
                if (!picture.Empty()) {
                    picture.Canvas().SetPixel(rng.Below(picture.Width()), rng.Below(picture.Height()),
                                              TColor(rng.Next() & 0xFFFFFF));
                    log << " picture write";
                    const std::int32_t f = Adapter::Written(c);
                    if (f != NoFrame)
                        if (auto r = check(f, "picture write"); !r) return r;
                }
            } else if (event < 25) {
                // A write through a row pointer, announced to no one.
                TBitmap& picture = rng.Below(2) ? c.FromBitmap() : c.ToBitmap();
                if (!picture.Empty()) {
                    picture.ScanLine(rng.Below(picture.Height()))[rng.Below(picture.Width() * 3)] ^= 0x5A;
                    log << " scanline write";
                }
            } else if (event < 28) {
                log << " repaint";
                const std::int32_t f = Adapter::Repaint(c);
                if (f != NoFrame)
                    if (auto r = check(f, "repaint"); !r) return r;
            } else if (event < 30) {
                // The host draws on the control's surface, or takes its memory.
                TBitmap& surface = c.Canvas().Target();
                if (rng.Below(2)) {
                    c.Canvas().Brush.Color = TColor(rng.Next() & 0xFFFFFF);
                    c.Canvas().FillRect(Toolkit::Rect(rng.Below(W), rng.Below(H), W, H));
                    log << " surface fill";
                } else if (!surface.Empty()) {
                    surface.Bits()[rng.Below(int(surface.ImageSize()))] ^= 0xA5;
                    log << " surface bits";
                }
            } else if (event < 32) {
                const int w = rng.Below(3) ? W : rng.Between(1, 40), h = rng.Below(3) ? H : rng.Between(1, 40);
                c.SetBounds(0, 0, w, h);
                log << " resize " << w << "x" << h;
            } else if (event < 34) {
                c.Stop();
                TBitmap picture;
                NoisePicture(picture, rng.Below(4) ? c.Width() : rng.Between(1, 40), rng.Below(4) ? c.Height() : 7, rng);
                if (rng.Below(2))
                    c.SetFromBitmap(picture);
                else
                    c.SetToBitmap(picture);
                log << " new picture " << picture.Width() << "x" << picture.Height();
                c.Play();
            } else {
                c.Stop();
                switch (rng.Below(6)) {
                    case 0: c.SetDelta(deltas[rng.Below(6)]); log << " delta " << c.Delta(); break;
                    case 1: c.SetModifier(mods[rng.Below(4)]); log << " mod " << int(c.Modifier()); break;
                    case 2: c.SetColor(TColor(rng.Next() & 0xFFFFFF)); log << " color"; break;
                    case 3: c.SetRGBOrder(TRGBOrder(rng.Below(RGBOrderCount))); log << " order"; break;
                    case 4:
                        c.SetOperation(OtherOperation(rng, Adapter::Operations));
                        log << " op " << int(c.Operation());
                        break;
                    default: c.SetOperation(op); log << " op back"; break;
                }
                if (rng.Below(2)) c.Play();
            }
        } catch (const ELumawipe&) {
            log << " refused";
        }
        // A routine may refuse pictures of unequal sizes: then so must the whole redraw.
        std::int32_t f = NoFrame;
        try {
            f = Adapter::Tick(c);
        } catch (const ELumawipe&) {
            log << " refused";
            try {
                FreshFrame(c, Adapter::Frame(c), fresh);
            } catch (const ELumawipe&) {
                continue;
            }
            return ::testing::AssertionFailure() << "the frame raised, the whole redraw did not (" << log.Text.str() << ")";
        }
        log << " tick " << f;
        if (auto r = check(f, "tick"); !r) return r;
    }
    partial += c.PartialFrames() - partialBefore;
    return ::testing::AssertionSuccess();
}

// Plays cases of every rdChanges operation the component offers, or the one case
// LUMAWIPE_REDRAW names; each case's seed comes from the operation and the case number.
template <class Adapter>
void PlayAll(int cases) {
    if (const char* replay = std::getenv("LUMAWIPE_REDRAW")) {
        const std::string text = replay;
        const auto colon = text.find(':');
        TTransitionOperation op{};
        ASSERT_TRUE(colon != std::string::npos && FromName(text.substr(0, colon), op))
            << "LUMAWIPE_REDRAW=<operation>:<seed>, not " << text;
        std::uint64_t partial = 0;
        EXPECT_TRUE(PlayCase<Adapter>(op, std::stoull(text.substr(colon + 1), nullptr, 0), partial));
        return;
    }
    int tested = 0;
    for (int i = 0; i < Adapter::Operations; ++i) {
        const auto op = TTransitionOperation(i);
        if (!OperationRedrawsChanges(op)) continue;
        ++tested;
        std::uint64_t partial = 0;
        for (int n = 0; n < cases; ++n) {
            const std::uint64_t seed = (std::uint64_t(i) << 32) | std::uint64_t(n * 2654435761u);
            const auto result = PlayCase<Adapter>(op, seed, partial);
            if (!result) {
                ADD_FAILURE() << OperationName(op) << ": " << result.message() << "\nreplay it alone with LUMAWIPE_REDRAW="
                              << OperationName(op) << ":0x" << std::hex << seed;
                return;
            }
        }
        // The cases must exercise the drawing of changes, not only whole frames.
        EXPECT_GT(partial, std::uint64_t(cases) * 8) << OperationName(op) << " drew too few frames as changes";
    }
    EXPECT_GE(tested, 8);
}

}  // namespace RedrawPlayer
