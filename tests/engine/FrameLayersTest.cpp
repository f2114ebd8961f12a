// TFrameLayers draws recorded copies topmost first, each pixel once; over seeded
// sequences of copies (opaque, exclusive-or, stretched, off the bitmaps, from the frame
// itself, more than it records) its frame must equal the one CopyBand in order draws.
#include <algorithm>
#include <random>
#include <sstream>
#include <stdexcept>

#include "engine/EffectScene.h"
#include "engine/effects/FrameLayers.h"

using namespace EffectScene;
using Effects::TFrameLayers;
using Effects::TRect64;
using Toolkit::TCopyMode;

namespace {

enum class Source { From, To, Work };

struct Step {
    Source Src;
    TRect64 From, To;
    TCopyMode Mode;
};

std::string Describe(const std::vector<Step>& steps) {
    std::ostringstream out;
    out << ' ' << steps.size() << " steps:";
    for (std::size_t i = 0; i < std::min<std::size_t>(steps.size(), 16); ++i) {
        const Step& s = steps[i];
        out << " [" << int(s.Src) << (s.Mode == TCopyMode::cmSrcInvert ? " xor " : " ") << s.From.Left << ','
            << s.From.Top << ',' << s.From.Right << ',' << s.From.Bottom << " -> " << s.To.Left << ',' << s.To.Top
            << ',' << s.To.Right << ',' << s.To.Bottom << ']';
    }
    return out.str();
}

// The frame the steps draw, starting from the background; throwAfter >= 0 raises after
// that many steps (the layered frame is then drawn as it goes out of scope).
void DrawSteps(Scene& scene, const std::vector<Step>& steps, bool layered, int throwAfter = -1) {
    scene.Work.SetSize(scene.S.W, scene.S.H);
    scene.Work.Canvas().Brush.Color = Fill;
    scene.Work.Canvas().FillRect(scene.P.ClientRect);
    auto source = [&](Source s) -> const TBitmap& {
        return s == Source::From ? scene.From : s == Source::To ? scene.To : scene.Work;
    };
    try {
        TFrameLayers layers(scene.Work);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (int(i) == throwAfter) throw std::runtime_error("routine raised");
            const Step& s = steps[i];
            if (layered)
                layers.Copy(source(s.Src), s.From, s.To, s.Mode);
            else
                Effects::CopyBand(scene.Work, source(s.Src), s.From, s.To, s.Mode);
        }
        layers.Draw();
    } catch (const std::runtime_error&) {
    }
}

}  // namespace

TEST(FrameLayers, FramesEqualCopyingInOrder) {
    std::mt19937 rng(20261210);
    auto below = [&](int n) { return int(rng() % unsigned(n)); };
    for (int c = 0; c < 1500; ++c) {
        const int W = 1 + below(24), H = 1 + below(24);
        Scene scene({W, H, 1 + below(30), 1 + below(30), 1 + below(30), 1 + below(30)});
        // Mostly a handful of copies; some sequences go past what the layers record.
        const int count = below(10) == 0 ? 300 + below(20) : 1 + below(12);
        std::vector<Step> steps;
        auto rect = [&](TRect64 within) {
            const std::int64_t l = within.Left + below(int(within.Width()) + 1);
            const std::int64_t t = within.Top + below(int(within.Height()) + 1);
            return TRect64{l, t, l + below(int(within.Right - l) + 1), t + below(int(within.Bottom - t) + 1)};
        };
        const TRect64 around{-6, -6, W + 6, H + 6};
        for (int i = 0; i < count; ++i) {
            Step s{Source(below(10) == 0 ? 2 : below(2)), {}, {}, TCopyMode::cmSrcCopy};
            const int kind = below(10);
            // An exclusive-or, half of them inside an earlier copy's rectangle.
            if (kind < 3) s.Mode = TCopyMode::cmSrcInvert;
            s.To = (kind < 2 && !steps.empty()) ? rect(steps[std::size_t(below(int(steps.size())))].To) : rect(around);
            if (kind == 9) {
                s.From = rect(around);  // a stretch (or, by chance, a copy of one size)
            } else {
                const std::int64_t dx = below(9) - 4, dy = below(9) - 4;
                s.From = {s.To.Left + dx, s.To.Top + dy, s.To.Right + dx, s.To.Bottom + dy};
            }
            steps.push_back(s);
        }
        Scene expected(scene.S);
        DrawSteps(expected, steps, false);
        DrawSteps(scene, steps, true);
        ASSERT_TRUE(FrameEquals(scene.Work, W, H, [&](int x, int y) { return PixelOf(expected.Work, x, y); }))
            << "case " << c << ":" << Describe(steps);

        // Raising part way leaves the frame the copies before drew.
        const int cut = below(int(steps.size()) + 1);
        DrawSteps(expected, steps, false, cut);
        DrawSteps(scene, steps, true, cut);
        ASSERT_TRUE(FrameEquals(scene.Work, W, H, [&](int x, int y) { return PixelOf(expected.Work, x, y); }))
            << "case " << c << ", raised after " << cut << ":" << Describe(steps);
    }
}
