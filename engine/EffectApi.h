// What an effect routine sees of the engine: the operations and their table, the
// parameter block, the routine signature, the engine's exceptions and the shared random
// generator. Effects include this, not Wipekit.h with its controls, timers and threads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "engine/Operations.h"
#include "toolkit/Graphics.h"

namespace Wipekit {

using Toolkit::TBitmap;
using Toolkit::TColor;
using Toolkit::TRect;

enum class TTransitionOperation : std::uint8_t {
#define WIPEKIT_ENUM(name, fwd, rev, state) name,
    WIPEKIT_OPERATIONS(WIPEKIT_ENUM)
#undef WIPEKIT_ENUM
};
#define WIPEKIT_COUNT(name, fwd, rev, state) +1
constexpr int OperationCount = 0 WIPEKIT_OPERATIONS(WIPEKIT_COUNT);
#undef WIPEKIT_COUNT
static_assert(OperationCount == 27, "the engine has 27 operations");

enum class TTransitionModifier : std::uint8_t { tmLeft, tmRight, tmUp, tmDown };
enum class TRGBOrder : std::uint8_t { coRGB, coRBG, coGRB, coGBR, coBRG, coBGR };

// Enumeration identifier of an operation ("toPush") and the reverse lookup, which also
// takes the name without "to" and ignores case. Returns false for an unknown name.
std::string_view OperationName(TTransitionOperation op);
bool OperationFromName(std::string_view name, TTransitionOperation& op);
std::string_view ModifierName(TTransitionModifier m);
std::string_view RGBOrderName(TRGBOrder o);

// 1 to 2147483647.
using TPositiveInteger = std::int32_t;

class TFXState;

// The component's parameter block, contiguous and in this order; its address is the
// last argument of every effect routine.
struct TTransitionParams {
    TColor Color;
    TPositiveInteger Delta;
    std::int32_t CurrentFrame;
    TTransitionModifier Modifier;
    bool Reverse;
    TRGBOrder RGBOrder;
    TFXState* State;
    TRect ClientRect;
};

// Draws the frame of Params->CurrentFrame onto WorkBitmap; true when it is the last one.
using TEffectProc = bool (*)(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                             TTransitionParams* Params);

// Exceptions of the engine.
class ELumawipe : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class ELumawipeBitmapConvert : public ELumawipe {
public:
    using ELumawipe::ELumawipe;
};
class ELumawipeBitmapSize : public ELumawipe {
public:
    using ELumawipe::ELumawipe;
};

inline constexpr const char* SUnableToGetBitmap = "Unable to get bitmap.";
inline constexpr const char* SUnableToSetBitmap = "Unable to set bitmap.";
inline constexpr const char* SBitmapsUnequal = "Bitmaps are unequal in size.";

// ---------------------------------------------------------------------------------------
// State objects of the operations that carry data from frame to frame.

class TFXState {
public:
    virtual ~TFXState() = default;
    virtual void Prepare(TTransitionParams* Params);
    virtual void Release(TTransitionParams* Params);
    // Bars of the random-bar operations; the component sets it before Prepare.
    std::int32_t BarCount = 0;
};

using TFXStateFactory = TFXState* (*)();

struct TEffectEntry {
    TEffectProc Forward;
    TEffectProc Reverse;
    TFXStateFactory StateClass;  // nullptr: no state
};

extern const TEffectEntry OperationTable[OperationCount];

// Declarations of every effect routine.
#define WIPEKIT_DECLARE(name, fwd, rev, state)                                                  \
    bool fwd(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params); \
    bool rev(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);
WIPEKIT_OPERATIONS(WIPEKIT_DECLARE)
#undef WIPEKIT_DECLARE

// The shared pseudo-random generator: seed 0 at start-up, never reseeded;
// seed := seed * 134775813 + 1, result = upper 32 bits of seed * n (0 to n - 1).
std::uint32_t Random(std::uint32_t n);
// Current seed (for tests and diagnostics).
std::uint32_t RandSeed();

}  // namespace Wipekit
