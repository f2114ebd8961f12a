// A seeded sweep over every operation: random picture sizes (1 x N, N x 1, unequal
// pictures, an empty incoming one), frames before, across and far beyond each run, every
// modifier and direction, several Delta, Steps, RGBOrder values and colours. Everything
// a step shows (the work bitmap, the frame, the end of the run, a refusal) is hashed into
// one checksum per operation and compared with the stored value, so that a refactoring
// which changes any pixel, end or refusal of any operation is caught.
//
// The random-bar and swarm operations draw from the engine's process-wide generator. The
// sweep starts from the start-up seed and visits the operations in ordinal order, so a
// change in how many numbers one of them draws also changes the checksums of those after
// it. A failing operation is reported with the generator's seed at its start; setting
// LUMAWIPE_SWEEP=<operation>:<seed> replays that operation alone from that seed.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "engine/Wipekit.h"
#include "support/SplitMix.h"

using namespace Wipekit;
using Op = TTransitionOperation;
using Mod = TTransitionModifier;

namespace {

// The sweep's own generator, independent of the engine's.
using SweepRandom = Fixtures::SplitMix;

// FNV-1a, 64 bits; integers are fed as 8 little-endian bytes, the same on every platform.
class Fnv1a {
public:
    void Bytes(const std::uint8_t* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) FValue = (FValue ^ p[i]) * 0x100000001B3ull;
    }
    void Int(std::int64_t v) {
        std::uint8_t b[8];
        for (int i = 0; i < 8; ++i) b[i] = std::uint8_t(std::uint64_t(v) >> (8 * i));
        Bytes(b, 8);
    }
    std::uint64_t Value() const { return FValue; }

private:
    std::uint64_t FValue = 0xCBF29CE484222325ull;
};

constexpr int CasesPerOperation = 80;  // a multiple of the 8 modifier and direction pairs
constexpr int MaxTicks = 32;           // ticks of a run before it is stopped unfinished
constexpr int MaxSide = 40;

constexpr Mod Modifiers[] = {Mod::tmLeft, Mod::tmRight, Mod::tmUp, Mod::tmDown};
constexpr TPositiveInteger Deltas[] = {1, 2, 3, 5, 8, 13, 40, 100};
constexpr TPositiveInteger StepValues[] = {1, 2, 3, 5, 16, 64};
constexpr TRGBOrder Orders[] = {TRGBOrder::coRGB, TRGBOrder::coRBG, TRGBOrder::coGRB,
                                TRGBOrder::coGBR, TRGBOrder::coBRG, TRGBOrder::coBGR};
constexpr TColor Colors[] = {Toolkit::clBtnFace, Toolkit::clBlack, Toolkit::clWhite, 0x00123456};

struct Case {
    int W, H;  // the control
    int FromW, FromH, ToW, ToH;
    Mod Modifier;
    bool Reverse;
    TPositiveInteger Delta, Steps;
    TRGBOrder Order;
    TColor Color;
};

// One side in five is a single pixel.
int Side(SweepRandom& rng) { return rng.Below(5) == 0 ? 1 : 2 + rng.Below(MaxSide - 1); }

Case MakeCase(int index, SweepRandom& rng) {
    Case c{};
    c.Modifier = Modifiers[index % 4];
    c.Reverse = (index / 4) % 2 == 1;
    // A control without area, rarely: the routines still run, on an empty frame.
    c.W = rng.Below(24) == 0 ? 0 : Side(rng);
    c.H = rng.Below(24) == 0 ? 0 : Side(rng);
    c.FromW = c.ToW = c.W;
    c.FromH = c.ToH = c.H;
    switch (rng.Below(8)) {
        case 4:  // equal pictures of another size than the control
            c.FromW = c.ToW = Side(rng);
            c.FromH = c.ToH = Side(rng);
            break;
        case 5:
        case 6:  // unequal pictures
            c.FromW = Side(rng);
            c.FromH = Side(rng);
            c.ToW = Side(rng);
            c.ToH = Side(rng);
            break;
        case 7:  // no incoming picture yet
            c.FromW = Side(rng);
            c.FromH = Side(rng);
            c.ToW = c.ToH = 0;
            break;
        default:
            break;
    }
    c.Delta = rng.Pick(Deltas);
    c.Steps = rng.Pick(StepValues);
    c.Order = rng.Pick(Orders);
    c.Color = rng.Below(5) == 0 ? TColor(rng.Next() & 0xFFFFFF) : rng.Pick(Colors);
    return c;
}

void Noise(TBitmap& bitmap, int w, int h, SweepRandom& rng) {
    bitmap.SetSize(w, h);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int i = 0; i < w * 3; ++i) row[i] = std::uint8_t(rng.Next());
    }
    bitmap.Changed();
}

// Marker of a step's outcome: drawn, or the kind of refusal.
enum Outcome : std::int64_t { Drawn = 0, RefusedSize = 0x51AE, RefusedConvert = 0xC0DE, RefusedOther = 0xBAD };

// Plays case c of operation op through the component, feeding every step into hash.
void SweepCase(Op op, const Case& c, SweepRandom& rng, Fnv1a& hash) {
    TLumawipe engine(nullptr);
    bool done = false;
    engine.OnDone = [&](Toolkit::TObject*) { done = true; };
    engine.SetBounds(0, 0, c.W, c.H);
    engine.SetOperation(op);
    engine.SetModifier(c.Modifier);
    engine.SetReverse(c.Reverse);
    engine.SetDelta(c.Delta);
    engine.SetSteps(c.Steps);
    engine.SetRGBOrder(c.Order);
    TBitmap from, to;
    Noise(from, c.FromW, c.FromH, rng);
    Noise(to, c.ToW, c.ToH, rng);

    // Runs one action that may render, then hashes its outcome, the frame, whether the
    // run ended and the visible bytes of the work bitmap.
    auto step = [&](auto&& action) {
        done = false;
        Outcome outcome = Drawn;
        try {
            action();
        } catch (const ELumawipeBitmapSize&) {
            outcome = RefusedSize;
        } catch (const ELumawipeBitmapConvert&) {
            outcome = RefusedConvert;
        } catch (const ELumawipe&) {
            outcome = RefusedOther;
        }
        const TBitmap& work = engine.WorkBitmap();
        hash.Int(outcome);
        hash.Int(engine.CurrentFrame());
        hash.Int(done);
        hash.Int(work.Width());
        hash.Int(work.Height());
        for (int y = 0; y < work.Height(); ++y) hash.Bytes(work.ScanLine(y), std::size_t(work.Width()) * 3);
        return outcome;
    };

    step([&] { engine.SetToBitmap(to); });
    step([&] { engine.SetFromBitmap(from); });  // takes the colour of its top-left pixel
    step([&] { engine.SetColor(c.Color); });

    // A run: the rewound frame as a render before the first tick shows it, then ticks.
    engine.Play();
    step([&] { engine.RenderFrame(); });
    int end = -1;
    for (int tick = 0; tick < MaxTicks && engine.Active(); ++tick) {
        if (step([&] { engine.AdvanceFrame(nullptr); }) != Drawn) break;
        if (done) end = engine.CurrentFrame();
    }
    engine.Stop();

    // Frames set directly (refused for negative frames and the random-bar operations):
    // around the end of the run, or anywhere when it did not end, and far beyond; then a
    // tick past the largest frame.
    const int e = end >= 0 ? end : rng.Below(1000);
    const std::int32_t frames[] = {-1, 0, rng.Below(64), e / 2, e - 1, e, e + 1, 1 << 20, INT32_MAX};
    for (const std::int32_t f : frames) step([&] { engine.SetCurrentFrame(f); });
    step([&] { engine.AdvanceFrame(nullptr); });
}

// The checksum of op's cases, drawing from the engine's generator from its current seed.
std::uint64_t SweepChecksum(Op op) {
    SweepRandom rng(0x4C756D61ull * 1000 + std::uint64_t(op));
    Fnv1a hash;
    const std::uint32_t seedBefore = RandSeed();
    for (int i = 0; i < CasesPerOperation; ++i) SweepCase(op, MakeCase(i, rng), rng, hash);
    // Whether the operation draws from the engine's generator at all.
    hash.Int(RandSeed() != seedBefore);
    return hash.Value();
}

std::string Hex(std::uint64_t v) {
    std::ostringstream s;
    s << std::hex << std::setw(16) << std::setfill('0') << v;
    return s.str();
}

struct ExpectedChecksum {
    Op Operation;
    std::uint64_t Checksum;
};

// Update a row only for a deliberate change of the operation's output.
constexpr ExpectedChecksum Expected[] = {
    {Op::toPush, 0xa88ab45766688403ull},
    {Op::toBlinds, 0x03317799dd52d62dull},
    {Op::toCheckerboard, 0x4056253373d881c5ull},
    {Op::toCrush, 0xf033c9a2506e6a9aull},
    {Op::toMonoReveal, 0x63f3e22d889bbcb1ull},
    {Op::toReveal, 0x3e28f7edf9da6227ull},
    {Op::toIris, 0x66999e7471be807full},
    {Op::toMonoSlider, 0x36ec9fb0a9a55ab4ull},
    {Op::toSlider, 0x373f4aef4102e39eull},
    {Op::toStrip, 0x91e528ca4a8f9cd0ull},
    {Op::toZoom, 0x64584584410f7954ull},
    {Op::toFade, 0x091e27ea79653521ull},
    {Op::toMosaic, 0xd2a032e7196c76b6ull},
    {Op::toBlend, 0xa380b1f9ce8bed4bull},
    {Op::toGlide, 0xdff9a0f4b1a84ff7ull},
    {Op::toReplace, 0x6650c9cdd7158224ull},
    {Op::toRGB, 0xe431bcd12e608032ull},
    {Op::toRGBBlend, 0x30edbaf7002f172dull},
    {Op::toSpiral, 0xaeddc8eddea36823ull},
    {Op::toCheckerBlinds, 0xffd9efaed034a69dull},
    {Op::toShade, 0xe49733c4ab0db7aeull},
    {Op::toShadeContinue, 0x5b7719eea344cc38ull},
    {Op::toSqueeze, 0x69aa9dcf45c0f2caull},
    {Op::toRandomBars, 0x81918e74a8f301aaull},
    {Op::toTwinRandomBars, 0xc123b7ececd84a7cull},
    {Op::toSwarm, 0x756e24875867ce7eull},
    {Op::toStripedIris, 0x11f0eb477bba3bccull},
};
static_assert(std::size(Expected) == OperationCount, "one checksum per operation");

}  // namespace

TEST(OperationSweep, EveryOperationMatchesItsChecksum) {
    // A replay of one operation: LUMAWIPE_SWEEP=toSwarm:0x1234abcd.
    if (const char* replay = std::getenv("LUMAWIPE_SWEEP")) {
        const std::string text = replay;
        const std::size_t colon = text.find(':');
        Op op{};
        ASSERT_TRUE(colon != std::string::npos && FromName(text.substr(0, colon), op))
            << "LUMAWIPE_SWEEP=<operation>:<seed>, not " << text;
        SetRandSeed(std::uint32_t(std::stoul(text.substr(colon + 1), nullptr, 0)));
        EXPECT_EQ(SweepChecksum(op), Expected[int(op)].Checksum) << OperationName(op) << " replayed from " << text;
        return;
    }
    ASSERT_EQ(RandSeed(), 0u)
        << "the engine's generator was used before the sweep, which must run first in its program";
    std::ostringstream changed;
    for (int i = 0; i < OperationCount; ++i) {
        const Op op = Op(i);
        ASSERT_EQ(Expected[i].Operation, op) << "the table is in ordinal order";
        const std::uint32_t seed = RandSeed();
        const std::uint64_t sum = SweepChecksum(op);
        if (sum != Expected[i].Checksum)
            ADD_FAILURE() << OperationName(op) << ": checksum 0x" << Hex(sum) << ", stored 0x"
                          << Hex(Expected[i].Checksum) << "; replay it alone with LUMAWIPE_SWEEP="
                          << OperationName(op) << ":0x" << std::hex << seed << std::dec;
        changed << "    {Op::" << OperationName(op) << ", 0x" << Hex(sum) << "ull},\n";
    }
    if (HasFailure()) std::cout << "Checksums of this build:\n" << changed.str();
}
