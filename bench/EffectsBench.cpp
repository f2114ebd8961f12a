// Cost of one frame of the effect routines, next to a plain copy of one frame's bytes.
// Read each routine's time as a multiple of BM_FrameMemcpy at the same size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/FXStates.h"
#include "engine/Wipekit.h"

namespace {

using namespace Wipekit;
using Toolkit::TBitmap;

// Pictures of the built-in size and of a large screen.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({446, 75});
    b->Args({1024, 768});
}

// Bytes that vary from pixel to pixel, so that no branch or table lookup is predictable.
void Noise(TBitmap& bitmap, int width, int height, std::uint32_t seed) {
    bitmap.SetSize(width, height);
    std::uint8_t* bits = bitmap.Bits();
    for (std::size_t i = 0; i < bitmap.ImageSize(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        bits[i] = std::uint8_t(seed >> 24);
    }
}

struct Scene {
    TBitmap From, To, Work;
    TTransitionParams P{};

    Scene(int width, int height) {
        Noise(From, width, height, 1);
        Noise(To, width, height, 2);
        Work.SetSize(width, height);
        P.Color = 0x336699;
        P.Delta = 10;
        P.ClientRect = Toolkit::Rect(0, 0, width, height);
    }
    std::size_t FrameBytes() const { return Work.ImageSize(); }
};

void BM_FrameMemcpy(benchmark::State& state) {
    const Scene scene(int(state.range(0)), int(state.range(1)));
    const std::size_t bytes = scene.FrameBytes();
    std::vector<std::uint8_t> dst(bytes);
    const std::uint8_t* src = scene.From.Bits();
    for (auto _ : state) {
        std::memcpy(dst.data(), src, bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}
BENCHMARK(BM_FrameMemcpy)->Apply(Sizes);

// One frame f of a routine without state, drawn again on every iteration.
void RunFrame(benchmark::State& state, TEffectProc proc, int f) {
    Scene scene(int(state.range(0)), int(state.range(1)));
    scene.P.CurrentFrame = f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(proc(scene.From, scene.To, scene.Work, &scene.P));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(scene.FrameBytes()));
}

void BM_Fade(benchmark::State& state) { RunFrame(state, FadeEffect, 128); }
void BM_Blend(benchmark::State& state) { RunFrame(state, BlendEffect, 128); }
void BM_RGB(benchmark::State& state) { RunFrame(state, RGBEffect, 1); }
void BM_RGBBlend(benchmark::State& state) { RunFrame(state, RGBBlendEffect, 1); }
// The band is 10 pixels deep: (10 * H) / 2 + 1 random pixels a frame.
void BM_Swarm(benchmark::State& state) { RunFrame(state, SwarmEffect, int(state.range(0) / 2)); }
BENCHMARK(BM_Fade)->Apply(Sizes);
BENCHMARK(BM_Blend)->Apply(Sizes);
BENCHMARK(BM_RGB)->Apply(Sizes);
BENCHMARK(BM_RGBBlend)->Apply(Sizes);
BENCHMARK(BM_Swarm)->Apply(Sizes);

// A random-bar frame halfway through a run: half the bars shown. Picking happens once, in
// the set-up; the measured frames redraw the background and every shown bar.
template <class TState>
void RunBarsFrame(benchmark::State& state, TEffectProc proc, std::int32_t barCount) {
    Scene scene(int(state.range(0)), int(state.range(1)));
    TState bars;
    bars.BarCount = barCount;
    bars.Prepare(&scene.P);
    scene.P.State = &bars;
    scene.P.CurrentFrame = barCount / 2;
    proc(scene.From, scene.To, scene.Work, &scene.P);
    for (auto _ : state) {
        benchmark::DoNotOptimize(proc(scene.From, scene.To, scene.Work, &scene.P));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(scene.FrameBytes()));
}

void BM_RandomBars(benchmark::State& state) {
    RunBarsFrame<TRandomBarsFXState>(state, RandomBarsEffect, std::int32_t(state.range(0)));
}
void BM_TwinRandomBars(benchmark::State& state) {
    RunBarsFrame<TTwinRandomBarsFXState>(state, TwinRandomBarsEffect,
                                         std::int32_t(std::max(state.range(0), state.range(1))));
}
BENCHMARK(BM_RandomBars)->Apply(Sizes);
BENCHMARK(BM_TwinRandomBars)->Apply(Sizes);

// The rectangle-copy operations: frame 20 with Delta 10 lies inside every one of their
// runs at these sizes. Registered from the operation table, one benchmark each.
const bool GeometricRegistered = [] {
    constexpr TTransitionOperation perPixel[] = {
        TTransitionOperation::toFade, TTransitionOperation::toBlend, TTransitionOperation::toRGB,
        TTransitionOperation::toRGBBlend, TTransitionOperation::toRandomBars,
        TTransitionOperation::toTwinRandomBars, TTransitionOperation::toSwarm};
    for (int i = 0; i < OperationCount; ++i) {
        const auto op = TTransitionOperation(i);
        if (std::find(std::begin(perPixel), std::end(perPixel), op) != std::end(perPixel)) continue;
        const TEffectProc proc = OperationTable[i].Forward;
        benchmark::RegisterBenchmark(("BM_Geometric/" + std::string(OperationName(op))).c_str(),
                                     [proc](benchmark::State& state) { RunFrame(state, proc, 20); })
            ->Apply(Sizes);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
