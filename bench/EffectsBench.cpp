// Cost of one frame of the effect routines, next to a plain copy of one frame's bytes.
// Read each routine's time as a multiple of BM_FrameMemcpy at the same size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchKit.h"

namespace {

using namespace Wipekit;
using namespace BenchKit;
using Toolkit::TBitmap;

// Pictures of the built-in size and of a large screen.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({446, 75});
    b->Args({1024, 768});
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

// A forward run of one operation on a scene, with the state object its row asks for.
class Run {
public:
    Run(TTransitionOperation op, int width, int height) : FOp(op), FScene(width, height) {}

    // Draws frame f as the f-th frame of a fresh run: a state object is prepared anew and
    // picks whatever the frames up to f pick.
    bool Draw(std::int32_t f) {
        return DrawFreshFrame(FOp, FScene.From, FScene.To, FScene.Work, FScene.P, FState, f);
    }
    // Draws frame f again with the state as it is.
    bool Redraw(std::int32_t f) {
        FScene.P.CurrentFrame = f;
        return OperationTable[int(FOp)].Forward(FScene.From, FScene.To, FScene.Work, &FScene.P);
    }
    // The first frame that ends the run.
    std::int32_t LastFrame() {
        return FirstEndingFrame([this](std::int32_t f) { return Draw(f); });
    }
    std::size_t FrameBytes() const { return FScene.FrameBytes(); }

private:
    TTransitionOperation FOp;
    Scene FScene;
    std::unique_ptr<TFXState> FState;
};

// A frame a third of the way through the run, drawn again on every iteration. Not the
// middle: the two-phase effects turn there, and zoom draws nothing at its turn. A random-bar
// frame redraws the background and every bar shown, picked once before the measured frames.
void BM_Frame(benchmark::State& state, TTransitionOperation op) {
    Run run(op, int(state.range(0)), int(state.range(1)));
    const std::int32_t frame = run.LastFrame() / 3;
    run.Draw(frame);
    for (auto _ : state) {
        benchmark::DoNotOptimize(run.Redraw(frame));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(run.FrameBytes()));
}

// One benchmark per operation of the list, named after it.
const bool FramesRegistered = [] {
    for (int i = 0; i < OperationCount; ++i)
        benchmark::RegisterBenchmark(("BM_Frame/" + std::string(OperationNames[i])).c_str(), BM_Frame,
                                     TTransitionOperation(i))
            ->Apply(Sizes);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
