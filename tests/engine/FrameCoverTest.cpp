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
    int tested = 0;
    for (int i = 0; i < OperationCount; ++i) {
        const Op op = Op(i);
        if (!OperationCoversFrame(op)) continue;
        ++tested;
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
    // Every operation but zoom and mosaic covers its frames: none is left out unchecked.
    EXPECT_EQ(tested, OperationCount - 2);
}

// The operations left out above do show the fill: some frame of their run over two
// backgrounds differs, so leaving the fill out would show stale pixels there.
TEST(FrameCover, TheOthersShowTheFill) {
    int others = 0;
    for (int i = 0; i < OperationCount; ++i) {
        if (OperationCoversFrame(Op(i))) continue;
        ++others;
        const int W = 13, H = 7;
        Pictures pics(W, H);
        bool showsFill = false;
        for (const std::int32_t f : Frames) {
            TTransitionParams p{};
            p.Delta = 3;
            p.CurrentFrame = f;
            p.ClientRect = Toolkit::Rect(0, 0, W, H);
            TBitmap frame[2];
            for (const int b : {0, 1}) {
                frame[b].SetSize(W, H);
                frame[b].Canvas().Brush.Color = b ? 0xFFFFFF : 0x000000;
                frame[b].Canvas().FillRect(p.ClientRect);
                TTransitionParams q = p;
                OperationTable[i].Forward(pics.From, pics.To, frame[b], &q);
            }
            showsFill |= !FrameEquals(frame[1], W, H, [&](int x, int y) { return PixelOf(frame[0], x, y); });
        }
        EXPECT_TRUE(showsFill) << OperationNames[i];
    }
    EXPECT_EQ(others, 2);
}

}  // namespace
