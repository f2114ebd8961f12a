// Mono slider, slider and strip frames checked pixel by pixel against a model of bands
// sliding or wiped in, and the equivalences between their routines and directions.
#include <climits>

#include "engine/EffectScene.h"

using namespace EffectScene;

namespace {

bool Horizontal(Mod m) { return m == Mod::tmLeft || m == Mod::tmRight; }

// The bands of picture P on the scene's frame, and positions along the travel.
struct BandModel {
    bool horizontal;
    std::int64_t L;      // travel length: P's width (rows) or height (columns)
    std::int64_t bound;  // bands start below it
    std::int64_t delta;

    BandModel(const Scene& s, const TBitmap& p, Mod m)
        : horizontal(Horizontal(m)),
          L(horizontal ? p.Width() : p.Height()),
          bound(horizontal ? std::min(s.S.H, p.Height()) : std::min(s.S.W, p.Width())),
          delta(s.P.Delta) {}

    // 0 for an even band, 1 for an odd one, nothing where no band starts.
    std::optional<int> Parity(int x, int y) const {
        const std::int64_t k = (horizontal ? y : x) / delta;
        if (k * delta >= bound) return std::nullopt;
        return int(k % 2);
    }
    std::int64_t Along(int x, int y) const { return horizontal ? x : y; }

    // Source position along the travel of a band slid f pixels in at the near or far edge.
    std::optional<std::int64_t> SlideNear(std::int64_t t, std::int64_t f) const {
        if (t < f) return t + L - f;
        return std::nullopt;
    }
    std::optional<std::int64_t> SlideFar(std::int64_t t, std::int64_t f) const {
        if (t >= L - f && t < L) return t - (L - f);
        return std::nullopt;
    }
    // Source position of a band wiped f pixels in place from the near or far edge.
    std::optional<std::int64_t> WipeNear(std::int64_t t, std::int64_t f) const {
        if (t < f) return t;
        return std::nullopt;
    }
    std::optional<std::int64_t> WipeFar(std::int64_t t, std::int64_t f) const {
        if (t >= L - f && t < L) return t;
        return std::nullopt;
    }

    // P's pixel at the source position along the travel, else the base picture.
    Px Pixel(const TBitmap& p, const TBitmap& base, std::optional<std::int64_t> src, int x, int y) const {
        if (src)
            if (auto px = PictureAt(p, horizontal ? *src : x, horizontal ? y : *src)) return *px;
        return Scene::Base(base, x, y);
    }
};

// MonoSliderEffect at frame f (clamped): tmLeft and tmUp enter at the far edge.
Px ModelMonoSlider(const Scene& s, Mod m, std::int64_t f, int x, int y) {
    const BandModel b(s, s.To, m);
    const bool enterFar = m == Mod::tmLeft || m == Mod::tmUp;
    const std::int64_t t = b.Along(x, y);
    const std::optional<int> parity = b.Parity(x, y);
    std::optional<std::int64_t> src;
    if (parity == 0)
        src = f <= b.L ? (enterFar ? b.SlideFar(t, f) : b.SlideNear(t, f)) : b.WipeNear(t, b.L);
    else if (parity == 1 && f > b.L)
        src = enterFar ? b.WipeNear(t, f - b.L) : b.WipeFar(t, f - b.L);
    return b.Pixel(s.To, s.From, src, x, y);
}

Px ModelSlider(const Scene& s, Mod m, std::int64_t f, int x, int y) {
    const BandModel b(s, s.To, m);
    const std::int64_t t = b.Along(x, y);
    const std::optional<int> parity = b.Parity(x, y);
    std::optional<std::int64_t> src;
    if (parity) src = *parity == 0 ? b.SlideNear(t, f) : b.SlideFar(t, f);
    return b.Pixel(s.To, s.From, src, x, y);
}

Px ModelStrip(const Scene& s, Mod m, std::int64_t f, int x, int y) {
    const TBitmap& strips = s.P.Reverse ? s.From : s.To;
    const TBitmap& base = s.P.Reverse ? s.To : s.From;
    const BandModel b(s, strips, m);
    const std::int64_t t = b.Along(x, y);
    const std::optional<int> parity = b.Parity(x, y);
    std::optional<std::int64_t> src;
    if (parity) src = *parity == 0 ? b.WipeNear(t, f) : b.WipeFar(t, f);
    return b.Pixel(strips, base, src, x, y);
}

struct Case {
    Sizes sizes;
    int delta;
};

const Case SliderCases[] = {
    {Square(10, 8), 3},              // a last band reaching past the picture
    {{10, 8, 10, 8, 7, 6}, 2},       // a smaller ToBitmap bounds the bands and the travel
    {{9, 7, 12, 10, 12, 10}, 4},     // pictures larger than the control
    {Square(7, 5), 1},
    {Square(7, 5), 5},               // Delta = H': a single row band; two column bands
    {Square(6, 5), INT_MAX},         // a single band whose far edge lies past the 32-bit range
};

// Travel length of the band picture.
int Travel(const TBitmap& p, Mod m) { return Horizontal(m) ? p.Width() : p.Height(); }

}  // namespace

TEST(Slider, EveryFrameMatchesTheModel) {
    struct Routine {
        const char* name;
        TEffectProc proc;
        Px (*model)(const Scene&, Mod, std::int64_t, int, int);
        int ends;  // the run's limit in travel lengths
        bool swapsOnReverse;
    } const routines[] = {
        {"mono slider", MonoSliderEffect, ModelMonoSlider, 2, false},
        {"slider", SliderEffect, ModelSlider, 1, false},
        {"strip", StripEffect, ModelStrip, 1, true},
    };
    for (const Routine& r : routines)
        for (const Case& c : SliderCases)
            for (Mod m : AllModifiers)
                for (bool reverse : {false, true}) {
                    if (reverse && !r.swapsOnReverse) continue;
                    Scene probe(c.sizes);
                    const int limit = r.ends * Travel(reverse ? probe.From : probe.To, m);
                    for (int f = -1; f <= limit + 2; ++f) {
                        Scene s(c.sizes);
                        s.P.Delta = c.delta;
                        s.P.Modifier = m;
                        s.P.Reverse = reverse;
                        const bool finished = s.Draw(r.proc, f);
                        SCOPED_TRACE(::testing::Message() << r.name << " size " << c.sizes.W << "x" << c.sizes.H
                                                          << " delta " << c.delta << " modifier " << int(m)
                                                          << " reverse " << reverse << " frame " << f);
                        EXPECT_EQ(finished, f > limit);
                        EXPECT_TRUE(s.Shows([&](int x, int y) { return r.model(s, m, std::min(f, limit), x, y); }));
                    }
                }
}

TEST(Slider, ReverseFrameIsTheForwardFrameFromTheOtherEnd) {
    struct Pair {
        const char* name;
        TEffectProc forward, reverse;
        int ends;
    } const pairs[] = {
        {"mono slider", MonoSliderEffect, MonoSliderReverseEffect, 2},
        {"slider", SliderEffect, SliderReverseEffect, 1},
    };
    for (const Pair& r : pairs)
        for (const Case& c : SliderCases)
            for (Mod m : AllModifiers) {
                Scene probe(c.sizes);
                const int limit = r.ends * Travel(probe.To, m);
                for (int f = 0; f <= limit + 1; ++f) {
                    Scene forward(c.sizes), reverse(c.sizes);
                    forward.P.Delta = reverse.P.Delta = c.delta;
                    forward.P.Modifier = reverse.P.Modifier = m;
                    forward.Draw(r.forward, limit - std::min(f, limit));
                    EXPECT_EQ(reverse.Draw(r.reverse, f), f > limit);
                    EXPECT_TRUE(reverse.SameFrame(forward.Work)) << r.name << " size " << c.sizes.W << "x"
                                                                 << c.sizes.H << " delta " << c.delta << " modifier "
                                                                 << int(m) << " frame " << f;
                }
            }
}

TEST(Slider, SliderAndStripIgnoreTheSideOfTheModifier) {
    struct Routine {
        const char* name;
        TEffectProc proc;
        bool reverse;
    } const routines[] = {
        {"slider", SliderEffect, false},
        {"slider reverse", SliderReverseEffect, true},
        {"strip", StripEffect, false},
        {"strip reversed", StripEffect, true},
    };
    const std::pair<Mod, Mod> sameMotion[] = {{Mod::tmLeft, Mod::tmRight}, {Mod::tmUp, Mod::tmDown}};
    for (const Routine& r : routines)
        for (const auto& [a, b] : sameMotion)
            for (const Case& c : SliderCases) {
                Scene probe(c.sizes);
                const int limit = Travel(probe.To, a);
                for (int f = -1; f <= limit + 1; ++f) {
                    Scene one(c.sizes), other(c.sizes);
                    one.P.Delta = other.P.Delta = c.delta;
                    one.P.Reverse = other.P.Reverse = r.reverse;
                    one.P.Modifier = a;
                    other.P.Modifier = b;
                    EXPECT_EQ(one.Draw(r.proc, f), other.Draw(r.proc, f));
                    EXPECT_TRUE(one.SameFrame(other.Work)) << r.name << " modifier " << int(a) << " size "
                                                           << c.sizes.W << "x" << c.sizes.H << " frame " << f;
                }
            }
}

TEST(Slider, RunLengthsOnAPictureOfWidth100) {
    struct RunCase {
        TTransitionOperation op;
        bool reverse;
        int lastFrame;
        std::uint8_t finalTag;
    } const cases[] = {
        {TTransitionOperation::toMonoSlider, false, 201, ToTag},
        {TTransitionOperation::toMonoSlider, true, 201, FromTag},
        {TTransitionOperation::toSlider, false, 101, ToTag},
        {TTransitionOperation::toSlider, true, 101, FromTag},
        {TTransitionOperation::toStrip, false, 101, ToTag},
        {TTransitionOperation::toStrip, true, 101, FromTag},
    };
    for (const auto& c : cases) {
        Player player(c.op, Square(100, 4), Mod::tmLeft, c.reverse, 1);
        const RunLog run = player.PlayToEnd();
        EXPECT_TRUE(run.Ended);
        EXPECT_EQ(run.Frames, Ticks(0, 1, c.lastFrame)) << OperationName(c.op) << " reverse " << c.reverse;
        EXPECT_TRUE(player.Shows([&](int x, int y) { return Coord(x, y, c.finalTag); }));
    }
}
