// Every operation at the extremes of what a caller can set: Delta and Steps of 1 and
// 2^31 - 1, frames from 0 to 2^31 - 1, controls from 0 x 0 to long single lines and
// large frames, pictures of other sizes. Each frame either draws or is refused with
// ELumawipe. The program runs alone under a ctest TIMEOUT: a frame whose work grows with
// a value instead of the picture shows as a timeout, not as a timing assertion.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/Wipekit.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using Mod = TTransitionModifier;

namespace {

struct Extent {
    int W, H;              // the control
    int FromW, FromH, ToW, ToH;
};

constexpr Extent Extents[] = {
    {0, 0, 0, 0, 0, 0},
    {0, 0, 30, 20, 30, 20},
    {3000, 1, 3000, 1, 3000, 1},
    {1, 3000, 1, 3000, 1, 3000},
    {300, 200, 300, 200, 300, 200},
    {240, 160, 320, 100, 90, 300},  // unequal pictures, neither the control's size
};

constexpr TPositiveInteger Values[] = {1, 2, INT32_MAX};
constexpr std::int32_t Frames[] = {0, 1, 3, 1 << 20, INT32_MAX};

std::string Describe(TTransitionOperation op, const Extent& e, Mod m, bool reverse, int delta, int steps) {
    return std::string(OperationName(op)) + " " + std::to_string(e.W) + " x " + std::to_string(e.H) + " " +
           std::string(ModifierName(m)) + (reverse ? " reverse" : "") + " Delta " + std::to_string(delta) +
           " Steps " + std::to_string(steps);
}

}  // namespace

TEST(Extremes, EveryOperationDrawsOrRefusesEveryFrame) {
    for (int o = 0; o < OperationCount; ++o) {
        const auto op = TTransitionOperation(o);
        for (const Extent& e : Extents) {
            TBitmap from, to;
            Fixtures::MakeCoordPicture(from, e.FromW, e.FromH, Fixtures::FromTag);
            Fixtures::MakeCoordPicture(to, e.ToW, e.ToH, Fixtures::ToTag);
            for (const Mod m : {Mod::tmLeft, Mod::tmUp})
                for (const bool reverse : {false, true})
                    for (const TPositiveInteger delta : Values) {
                        const TPositiveInteger steps = delta;
                        const std::string what = Describe(op, e, m, reverse, delta, steps);
                        TLumawipe w(nullptr);
                        w.SetBounds(0, 0, e.W, e.H);
                        w.SetOperation(op);
                        w.SetModifier(m);
                        w.SetReverse(reverse);
                        w.SetDelta(delta);
                        w.SetSteps(steps);
                        int refused = 0;
                        const auto step = [&](auto&& action) {
                            try {
                                action();
                            } catch (const ELumawipe& error) {
                                ++refused;
                                // Only pictures the routine cannot combine and a swarm beyond
                                // its bound are refused.
                                const std::string message = error.what();
                                EXPECT_TRUE(message == SBitmapsUnequal || message == SUnableToGetBitmap ||
                                            message == SUnableToSetBitmap ||
                                            (op == TTransitionOperation::toSwarm &&
                                             message.find("lower Delta") != std::string::npos))
                                    << what << ": " << message;
                            }
                        };
                        step([&] { w.SetFromBitmap(from); });
                        step([&] { w.SetToBitmap(to); });
                        w.Play();
                        for (int tick = 0; tick < 3 && w.Active(); ++tick) step([&] { w.AdvanceFrame(nullptr); });
                        w.Stop();
                        if (!OperationKeepsState(op))
                            for (const std::int32_t f : Frames) step([&] { w.SetCurrentFrame(f); });
                        // A swarm whose band covers the picture is refused at any size
                        // beyond the bound, and only there.
                        if (op == TTransitionOperation::toSwarm && delta == INT32_MAX && e.W > 1 && e.H > 1 &&
                            e.ToW > 1 && e.ToH > 1) {
                            EXPECT_GT(refused, 0) << what;
                        }
                    }
        }
    }
}
