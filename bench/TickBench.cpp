// Cost of one whole tick of the component (AdvanceFrame: the frame drawn and put onto the
// control) for every operation and direction, next to the cost of copying one frame's bytes
// row by row in the same run: hot (both buffers in the cache: the bound a tick whose
// pictures sit in the cache can approach; the targets are stated against it) and cold
// (caches flushed before each copy). A plain program, so that it builds with every compiler
// the product is built with.
//
//   lumawipe_tickbench [--sizes 446x75,1920x1080,3840x2160] [--runs N] [--ticks N] [--batch N] [--only NAME]
//                      [--whole-run [--steps N]]
//
// Each run plays an operation through about --ticks ticks (Steps chosen from the run's
// length), so the timed frames are spread over the whole run; a run's figure is the median
// of its ticks, and a row's figure the best (lowest) of --runs runs, so that other work on
// the machine shows less. With --whole-run a run plays every frame at Steps 1 (or --steps),
// tick by tick as a control does, and its figure is the mean tick of the run: the time of
// the whole run over its ticks (consecutive frames, which the operations that draw only
// what changed since the frame on screen draw as their changes). Each copy figure is the best of many copies. With --batch N each
// time taken covers N ticks in a row and counts as their mean: for clocks too coarse to time
// one small tick (a browser's is 5 us at best).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchKit.h"

namespace {

using namespace Wipekit;
using namespace BenchKit;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Writing this much evicts a frame from every cache level: some server processors carry
// hundreds of megabytes of last-level cache, where 64 MB still left part of a frame cached.
constexpr std::size_t FlushBytes = std::size_t(256) << 20;

struct CopyCost {
    double Hot;
    double Cold;
};

// Copies a frame of height rows of rowBytes row by row, as the engine copies pictures.
// Row by row matters for the hot figure: C libraries copy one block of many megabytes with
// stores that bypass the cache (glibc does above a threshold of a few megabytes), so one
// memcpy of the whole frame never finds its destination in the cache; rows stay far below
// that threshold.
void CopyRows(std::uint8_t* dst, const std::uint8_t* src, std::size_t rowBytes, int height) {
    for (int row = 0; row < height; ++row)
        std::memcpy(dst + std::size_t(row) * rowBytes, src + std::size_t(row) * rowBytes, rowBytes);
}

// The best time of many copies of one frame: hot, each copy right after the same copy (the
// first ones warm the buffers); cold, each copy after caches were flushed by writing other memory.
CopyCost FrameCopy(std::size_t rowBytes, int height, int repeats) {
    const std::size_t bytes = rowBytes * std::size_t(height);
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes, 2), flush(FlushBytes);
    double hot = 1e30, cold = 1e30;
    volatile std::uint8_t sink = 0;
    for (int i = 0; i < repeats + 3; ++i) {
        const auto t0 = Clock::now();
        CopyRows(dst.data(), src.data(), rowBytes, height);
        const double ms = Ms(Clock::now() - t0);
        if (i >= 3) hot = std::min(hot, ms);
        sink = sink + dst[std::size_t(i) % bytes];
    }
    for (int i = 0; i < std::max(5, repeats / 20); ++i) {
        std::memset(flush.data(), i, flush.size());
        sink = sink + flush[std::size_t(i)];
        const auto t0 = Clock::now();
        CopyRows(dst.data(), src.data(), rowBytes, height);
        cold = std::min(cold, Ms(Clock::now() - t0));
        sink = sink + dst[std::size_t(i) % bytes];
    }
    return {hot, cold};
}

// The frame that ends a forward run of op at this size, found by drawing single frames.
std::int32_t LastFrame(TTransitionOperation op, const TBitmap& from, const TBitmap& to, TTransitionParams params) {
    TBitmap work;
    work.SetSize(from.Width(), from.Height());
    std::unique_ptr<TFXState> state;
    return FirstEndingFrame([&](std::int32_t f) { return DrawFreshFrame(op, from, to, work, params, state, f); });
}

struct Options {
    std::vector<std::pair<int, int>> Sizes{{446, 75}, {1920, 1080}, {3840, 2160}};
    int Runs = 3;
    int Ticks = 24;
    int Batch = 1;
    bool WholeRun = false;
    int Steps = 1;
    std::string Only;
};

bool ParseSizes(const char* text, std::vector<std::pair<int, int>>& sizes) {
    sizes.clear();
    std::string s(text);
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t end = s.find(',', at);
        if (end == std::string::npos) end = s.size();
        int w = 0, h = 0;
        if (std::sscanf(s.substr(at, end - at).c_str(), "%dx%d", &w, &h) != 2 || w < 2 || h < 2) return false;
        sizes.emplace_back(w, h);
        at = end + 1;
    }
    return !sizes.empty();
}

// Cost of a tick of op in a control of w x h: the median tick of a run that plays the whole
// run in about o.Ticks ticks, the best of o.Runs runs.
double TickCost(TTransitionOperation op, bool reverse, const TBitmap& from, const TBitmap& to, const Options& o,
                double& drawn, double& cpu) {
    TLumawipe control(nullptr);
    control.SetBounds(0, 0, from.Width(), from.Height());
    control.SetFromBitmap(from);
    control.SetToBitmap(to);
    control.SetOperation(op);
    control.SetReverse(reverse);
    control.SetColor(0x336699);
    TTransitionParams params{};
    params.Color = 0x336699;
    params.Delta = control.Delta();
    params.ClientRect = Toolkit::Rect(0, 0, from.Width(), from.Height());
    const std::int32_t last = LastFrame(op, from, to, params);
    double best = 1e30;
    if (o.WholeRun) {
        control.SetSteps(o.Steps);
        // A run that never ends is cut after its frames were all drawn twice.
        const std::int64_t cap = 2 * std::int64_t(last) / o.Steps + 8;
        for (int run = 0; run < o.Runs; ++run) {
            control.Play();
            std::int64_t n = 0, pixels = 0;
            const std::uint64_t partial = control.PartialFrames();
            const std::clock_t c0 = std::clock();
            const auto t0 = Clock::now();
            for (; control.Active() && n < cap; ++n) {
                control.AdvanceFrame(nullptr);
                pixels += control.PartialFrames() != partial ? control.LastFramePixels()
                                                             : std::int64_t(from.Width()) * from.Height();
            }
            const double ms = Ms(Clock::now() - t0);
            const double cpuMs = 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
            cpu = std::min(cpu, cpuMs / double(std::max<std::int64_t>(n, 1)));
            control.Stop();
            drawn = double(pixels) / double(std::max<std::int64_t>(n, 1)) / (double(from.Width()) * from.Height());
            best = std::min(best, ms / double(std::max<std::int64_t>(n, 1)));
        }
        return best;
    }
    control.SetSteps(std::max<std::int32_t>(1, last / o.Ticks));
    for (int run = 0; run < o.Runs; ++run) {
        std::vector<double> ticks;
        control.Play();
        // A run that never ends (an operation drawing forever) is cut after twice its ticks.
        for (int n = 0; control.Active() && n < 4 * o.Ticks + 8;) {
            const auto t0 = Clock::now();
            int batch = 0;
            for (; batch < o.Batch && control.Active(); ++batch, ++n) control.AdvanceFrame(nullptr);
            ticks.push_back(Ms(Clock::now() - t0) / batch);
        }
        control.Stop();
        best = std::min(best, Median(ticks));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--sizes" && more && ParseSizes(argv[i + 1], o.Sizes)) {
            ++i;
        } else if (a == "--runs" && more) {
            o.Runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--ticks" && more) {
            o.Ticks = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--batch" && more) {
            o.Batch = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--whole-run") {
            o.WholeRun = true;
        } else if (a == "--steps" && more) {
            o.Steps = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--only" && more) {
            o.Only = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: %s [--sizes WxH,...] [--runs N] [--ticks N] [--batch N] [--only OPERATION] "
                         "[--whole-run [--steps N]]\n",
                         argv[0]);
            return 2;
        }
    }
    if (o.WholeRun)
        std::printf("# ms/frame: the mean tick of a whole run at Steps %d, every frame drawn in turn; drawn: the\n"
                    "# share of the frame's pixels a tick wrote, on average (1: every frame drawn whole); cpu:\n"
                    "# the processor time of the run over its ticks (std::clock; time the process waited for\n"
                    "# the processor is left out; on Windows std::clock is wall time)\n",
                    o.Steps);
    else
        std::printf("# ms/frame: the median tick of a run played in about %d ticks spread over it\n", o.Ticks);
    std::printf("%-18s %-8s %-10s %10s %9s %9s%s\n", "operation", "dir", "size", "ms/frame", "x hot", "x cold",
                o.WholeRun ? "     drawn   cpu x hot" : "");
    for (const auto& [w, h] : o.Sizes) {
        TBitmap from, to;
        Noise(from, w, h, 1);
        Noise(to, w, h, 2);
        const CopyCost copy = FrameCopy(from.Pixels().RowBytes(), h, 200);
        char size[32];
        std::snprintf(size, sizeof size, "%dx%d", w, h);
        std::printf("%-18s %-8s %-10s %10.4f %9s %9s\n", "copy (hot)", "-", size, copy.Hot, "1.00", "");
        std::printf("%-18s %-8s %-10s %10.4f %9s %9s\n", "copy (cold)", "-", size, copy.Cold, "", "1.00");
        for (int i = 0; i < OperationCount; ++i) {
            const auto op = TTransitionOperation(i);
            if (!o.Only.empty() && OperationNames[i] != o.Only) continue;
            for (const bool reverse : {false, true}) {
                double drawn = 1, cpu = 1e30;
                const double ms = TickCost(op, reverse, from, to, o, drawn, cpu);
                std::printf("%-18s %-8s %-10s %10.4f %9.2f %9.2f", std::string(OperationNames[i]).c_str(),
                            reverse ? "reverse" : "forward", size, ms, ms / copy.Hot, ms / copy.Cold);
                if (o.WholeRun) std::printf(" %9.3f %9.2f", drawn, cpu / copy.Hot);
                std::printf("\n");
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
