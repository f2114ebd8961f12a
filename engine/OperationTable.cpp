// The views of the lists that take code: the table of routines, the name lookups and the
// bar counts; and the shared pseudo-random generator.
#include <algorithm>
#include <cctype>

#include "engine/EffectApi.h"
#include "engine/FXStates.h"

namespace Wipekit {

namespace {

template <class T>
constexpr TFXStateFactory StateFactory() {
    if constexpr (std::is_same_v<T, NoState>)
        return nullptr;
    else
        return []() -> TFXState* { return new T; };
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

template <class E, std::size_t N>
std::string_view NameIn(const std::string_view (&names)[N], E value) {
    const auto i = std::size_t(value);
    return i < N ? names[i] : std::string_view("?");
}

template <class E, std::size_t N>
bool FindName(const std::string_view (&names)[N], std::string_view name, E& value) {
    for (std::size_t i = 0; i < N; ++i)
        if (SameText(name, names[i]) || SameText(name, ShortName(names[i]))) {
            value = E(i);
            return true;
        }
    return false;
}

// No frame can be drawn for a side beyond the bitmap limit, so no more bars than that
// are prepared (a control of absurd size would exhaust memory).
std::int32_t BarLimit(int side) { return std::min(side, Toolkit::MaxBitmapSide); }

std::uint32_t gSeed = 0;

}  // namespace

const TEffectEntry OperationTable[OperationCount] = {
#define WIPEKIT_ROW(name, fwd, rev, state, ...) {fwd, rev, StateFactory<state>()},
    WIPEKIT_OPERATIONS(WIPEKIT_ROW)
#undef WIPEKIT_ROW
};

bool OperationCoversFrame(TTransitionOperation op) {
    return int(op) < OperationCount && OperationInfo[int(op)].Cover == TFrameCover::fcWhole;
}

bool OperationRedrawsChanges(TTransitionOperation op) {
    return int(op) < OperationCount && OperationInfo[int(op)].Redraw == TFrameRedraw::rdChanges;
}

std::string_view OperationName(TTransitionOperation op) { return NameIn(OperationNames, op); }
std::string_view ModifierName(TTransitionModifier m) { return NameIn(ModifierNames, m); }
std::string_view RGBOrderName(TRGBOrder o) { return NameIn(RGBOrderNames, o); }

bool FromName(std::string_view name, TTransitionOperation& op) { return FindName(OperationNames, name, op); }
bool FromName(std::string_view name, TTransitionModifier& m) { return FindName(ModifierNames, name, m); }
bool FromName(std::string_view name, TRGBOrder& o) { return FindName(RGBOrderNames, name, o); }

std::int32_t OperationBarCount(TTransitionOperation op, TTransitionModifier m, int Width, int Height) {
    switch (OperationInfo[std::size_t(op)].Bars) {
        case TBarAxis::baTravel:
            return BarLimit(m == TTransitionModifier::tmLeft || m == TTransitionModifier::tmRight ? Width : Height);
        case TBarAxis::baLongerSide:
            return BarLimit(std::max(Width, Height));
        case TBarAxis::baNone:
            break;
    }
    return 0;
}

void TFXState::Prepare(TTransitionParams*) {}
void TFXState::Release(TTransitionParams*) {}

std::uint32_t Random(std::uint32_t n) {
    gSeed = gSeed * 134775813u + 1u;
    return std::uint32_t((std::uint64_t(gSeed) * n) >> 32);
}

void SkipRandom(std::int64_t count) {
    // One draw is the map seed -> a * seed + c; count draws compose it with itself count
    // times, by squaring: (a, c) after (a, c) is (a * a, a * c + c), all modulo 2^32.
    std::uint32_t a = 134775813u, c = 1u;
    for (std::uint64_t n = count > 0 ? std::uint64_t(count) : 0; n; n >>= 1) {
        if (n & 1) gSeed = gSeed * a + c;
        c = a * c + c;
        a = a * a;
    }
}

std::uint32_t RandSeed() { return gSeed; }

void SetRandSeed(std::uint32_t seed) { gSeed = seed; }

}  // namespace Wipekit
