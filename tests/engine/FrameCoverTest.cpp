// The engine leaves out the Color fill under the operations that draw every pixel of a
// frame (OperationCoversFrame): for those, a frame drawn over any background must not
// show the background anywhere, whatever the size, modifier, direction, Delta or frame.
#include <gtest/gtest.h>

#include <memory>

#include "engine/FXStates.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;
using Op = TTransitionOperation;

namespace {

constexpr int Sizes[][2] = {{13, 7}, {7, 13}, {16, 16}, {1, 5}, {5, 1}, {2, 2}};
constexpr std::int32_t Frames[] = {0, 1, 2, 3, 5, 8, 13, 21, 34, 100, 255, 256, 300, 511, 512, 600};
constexpr std::int32_t Deltas[] = {1, 3, 10};

// Operations that draw from the engine's generator: two draws of one frame differ, so
// their background is told by a colour no picture pixel has (red 1; the pictures' red is
// their tag, and these operations only copy pixels).
bool DrawsRandomly(Op op) { return op == Op::toSwarm || OperationKeepsState(op); }

TEST(FrameCover, CoveringOperationsHideTheBackground) {
    const TColor background[2] = {0x000000, 0xFFFFFF};
    const TColor sentinel = 0x030201;  // red 1, green 2, blue 3
    for (int i = 0; i < OperationCount; ++i) {
        const Op op = Op(i);
        if (!OperationCoversFrame(op)) continue;
        const TEffectEntry& row = OperationTable[i];
        for (const auto& size : Sizes) {
            const int W = size[0], H = size[1];
            Pictures pics(W, H);
            for (int m = 0; m < ModifierCount; ++m)
                for (const bool reverse : {false, true})
                    for (const std::int32_t delta : Deltas) {
                        TTransitionParams p{};
                        p.Color = 0xFF00FF;  // red 255: a fade through it never yields red 1
                        p.Delta = delta;
                        p.Modifier = TTransitionModifier(m);
                        p.Reverse = reverse;
                        p.ClientRect = Toolkit::Rect(0, 0, W, H);
                        std::unique_ptr<TFXState> state(row.StateClass ? row.StateClass() : nullptr);
                        if (state) {
                            state->BarCount = OperationBarCount(op, p.Modifier, W, H);
                            state->Prepare(&p);
                            p.State = state.get();
                        }
                        const TEffectProc proc = reverse ? row.Reverse : row.Forward;
                        auto draw = [&](TBitmap& work, TColor under, std::int32_t f) {
                            work.SetSize(W, H);
                            work.Canvas().Brush.Color = under;
                            work.Canvas().FillRect(p.ClientRect);
                            TTransitionParams q = p;
                            q.CurrentFrame = f;
                            proc(pics.From, pics.To, work, &q);
                        };
                        for (const std::int32_t f : Frames) {
                            const std::string where = std::string(OperationNames[i]) + " " + std::to_string(W) +
                                                      "x" + std::to_string(H) + " modifier " + std::to_string(m) +
                                                      (reverse ? " reverse" : "") + " delta " +
                                                      std::to_string(delta) + " frame " + std::to_string(f);
                            if (DrawsRandomly(op)) {
                                TBitmap work;
                                draw(work, sentinel, f);
                                ASSERT_TRUE(FrameEquals(work, W, H, [&](int x, int y) {
                                    const Px got = PixelOf(work, x, y);
                                    return got == ColorPx(sentinel) ? Px{} : got;
                                })) << where;
                            } else {
                                TBitmap dark, light;
                                draw(dark, background[0], f);
                                draw(light, background[1], f);
                                ASSERT_TRUE(FrameEquals(light, W, H, [&](int x, int y) { return PixelOf(dark, x, y); }))
                                    << where;
                            }
                        }
                        if (state) state->Release(&p);
                    }
        }
    }
}

}  // namespace
