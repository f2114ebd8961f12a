#include <cctype>

#include "engine/EffectApi.h"
#include "engine/FXStates.h"

namespace Wipekit {

namespace {

struct NoState {};

template <class T>
constexpr TFXStateFactory StateFactory() {
    if constexpr (std::is_same_v<T, NoState>)
        return nullptr;
    else
        return []() -> TFXState* { return new T; };
}

constexpr std::string_view OperationNames[] = {
#define WIPEKIT_NAME(name, fwd, rev, state) #name,
    WIPEKIT_OPERATIONS(WIPEKIT_NAME)
#undef WIPEKIT_NAME
};

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::uint32_t gSeed = 0;

}  // namespace

const TEffectEntry OperationTable[OperationCount] = {
#define WIPEKIT_ROW(name, fwd, rev, state) {fwd, rev, StateFactory<state>()},
    WIPEKIT_OPERATIONS(WIPEKIT_ROW)
#undef WIPEKIT_ROW
};

std::string_view OperationName(TTransitionOperation op) {
    const auto i = std::size_t(op);
    return i < std::size(OperationNames) ? OperationNames[i] : std::string_view("?");
}

bool OperationFromName(std::string_view name, TTransitionOperation& op) {
    for (std::size_t i = 0; i < std::size(OperationNames); ++i) {
        const std::string_view full = OperationNames[i];
        if (SameText(name, full) || SameText(name, full.substr(2))) {
            op = TTransitionOperation(i);
            return true;
        }
    }
    return false;
}

std::string_view ModifierName(TTransitionModifier m) {
    constexpr std::string_view names[] = {"tmLeft", "tmRight", "tmUp", "tmDown"};
    return std::size_t(m) < std::size(names) ? names[std::size_t(m)] : "?";
}

std::string_view RGBOrderName(TRGBOrder o) {
    constexpr std::string_view names[] = {"coRGB", "coRBG", "coGRB", "coGBR", "coBRG", "coBGR"};
    return std::size_t(o) < std::size(names) ? names[std::size_t(o)] : "?";
}

void TFXState::Prepare(TTransitionParams*) {}
void TFXState::Release(TTransitionParams*) {}

std::uint32_t Random(std::uint32_t n) {
    gSeed = gSeed * 134775813u + 1u;
    return std::uint32_t((std::uint64_t(gSeed) * n) >> 32);
}

std::uint32_t RandSeed() { return gSeed; }

}  // namespace Wipekit
