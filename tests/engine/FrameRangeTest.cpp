// Frames and Delta at the ends of their 32-bit range: the geometric effects compute
// their rectangles without overflow, and a frame far outside the run draws what any
// frame equally far outside it draws.
#include <climits>

#include "engine/EffectScene.h"

using namespace EffectScene;

TEST(FrameRange, ExtremeFramesDrawLikeDistantOnes) {
    struct Routine {
        const char* name;
        TEffectProc proc;
    } const routines[] = {
        {"blinds", BlindsEffect},
        {"checkerboard", CheckerboardEffect},
        {"crush", CrushEffect},
        {"crush reverse", CrushReverseEffect},
        {"mono reveal", MonoRevealEffect},
        {"mono reveal reverse", MonoRevealReverseEffect},
        {"reveal", RevealEffect},
        {"reveal reverse", RevealReverseEffect},
        {"iris", IrisEffect},
        {"mono slider", MonoSliderEffect},
        {"mono slider reverse", MonoSliderReverseEffect},
        {"slider", SliderEffect},
        {"slider reverse", SliderReverseEffect},
        {"strip", StripEffect},
        {"glide", GlideEffect},
        {"glide reverse", GlideReverseEffect},
        {"replace", ReplaceEffect},
    };
    const std::pair<int, int> farFrames[] = {{INT_MIN, -1000}, {INT_MAX, 1000}};
    for (const Routine& r : routines)
        for (Mod m : AllModifiers)
            for (bool reverse : {false, true})
                for (const auto& [extreme, distant] : farFrames) {
                    Scene a({9, 6, 9, 6, 7, 5}), b({9, 6, 9, 6, 7, 5});
                    a.P.Delta = b.P.Delta = INT_MAX;
                    a.P.Modifier = b.P.Modifier = m;
                    a.P.Reverse = b.P.Reverse = reverse;
                    EXPECT_EQ(a.Draw(r.proc, extreme), extreme > 0) << r.name;
                    b.Draw(r.proc, distant);  // with Delta this wide, blinds has not ended at 1000
                    EXPECT_TRUE(a.SameFrame(b.Work))
                        << r.name << " modifier " << int(m) << " reverse " << reverse << " frame " << extreme;
                }
}
