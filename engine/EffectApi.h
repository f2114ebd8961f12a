// What an effect routine sees of the engine: the operations and their table, the
// parameter block, the routine signature, the engine's exceptions and the shared random
// generator. Effects include this, not Wipekit.h with its controls, timers and threads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>
#include <string_view>
#include <type_traits>

#include "engine/Operations.h"
#include "toolkit/Graphics.h"

namespace Wipekit {

using Toolkit::TBitmap;
using Toolkit::TColor;
using Toolkit::TRect;

// Lists of the other enumerations: identifiers in ordinal order.
#define WIPEKIT_MODIFIERS(X) X(tmLeft) X(tmRight) X(tmUp) X(tmDown)
#define WIPEKIT_RGB_ORDERS(X) X(coRGB) X(coRBG) X(coGRB) X(coGBR) X(coBRG) X(coBGR)

// Views of a list row taken by its first column alone.
#define WIPEKIT_ENUM(name, ...) name,
#define WIPEKIT_NAME(name, ...) #name,
#define WIPEKIT_COUNT(name, ...) +1

enum class TTransitionOperation : std::uint8_t { WIPEKIT_OPERATIONS(WIPEKIT_ENUM) };
enum class TTransitionModifier : std::uint8_t { WIPEKIT_MODIFIERS(WIPEKIT_ENUM) };
enum class TRGBOrder : std::uint8_t { WIPEKIT_RGB_ORDERS(WIPEKIT_ENUM) };

constexpr int OperationCount = 0 WIPEKIT_OPERATIONS(WIPEKIT_COUNT);
static_assert(OperationCount == 27, "the engine has 27 operations");
constexpr int ModifierCount = 0 WIPEKIT_MODIFIERS(WIPEKIT_COUNT);
constexpr int RGBOrderCount = 0 WIPEKIT_RGB_ORDERS(WIPEKIT_COUNT);

// Identifiers of the values, in ordinal order.
inline constexpr std::string_view OperationNames[] = {WIPEKIT_OPERATIONS(WIPEKIT_NAME)};
inline constexpr std::string_view ModifierNames[] = {WIPEKIT_MODIFIERS(WIPEKIT_NAME)};
inline constexpr std::string_view RGBOrderNames[] = {WIPEKIT_RGB_ORDERS(WIPEKIT_NAME)};

#undef WIPEKIT_ENUM
#undef WIPEKIT_NAME
#undef WIPEKIT_COUNT

// An identifier without its two-letter prefix ("Push", "Left", "RGB").
constexpr std::string_view ShortName(std::string_view identifier) { return identifier.substr(2); }

// Identifier of a value ("toPush", "tmLeft", "coRGB"); "?" outside the list.
std::string_view OperationName(TTransitionOperation op);
std::string_view ModifierName(TTransitionModifier m);
std::string_view RGBOrderName(TRGBOrder o);
// The value named by its identifier or its short name, in any case ("toPush", "push",
// "LEFT", "rgb"). Returns false, leaving the value alone, for an unknown name.
bool FromName(std::string_view name, TTransitionOperation& op);
bool FromName(std::string_view name, TTransitionModifier& m);
bool FromName(std::string_view name, TRGBOrder& o);

// How Play sets up BarCount of an operation's state object: one bar per pixel of a side.
enum class TBarAxis : std::uint8_t {
    baNone,        // no bars
    baTravel,      // the side the modifier travels along: Width for tmLeft and tmRight, else Height
    baLongerSide,  // the longer of Width and Height
};

// How much of a frame an operation draws over the Color fill (pictures of the frame's size).
enum class TFrameCover : std::uint8_t { fcWhole, fcPart };

// Whether a tick may draw only where its frame differs from the one on screen.
enum class TFrameRedraw : std::uint8_t { rdWhole, rdChanges };

// Who offers an operation: the ActiveX control offers a prefix of the list, the engine all.
enum class TOfferedBy : std::uint8_t { obControl, obEngineOnly };

// Marks the operations without a state object in the list's state column.
class NoState;
#define WIPEKIT_STATE_CLASS(name, fwd, rev, state, ...) class state;
WIPEKIT_OPERATIONS(WIPEKIT_STATE_CLASS)
#undef WIPEKIT_STATE_CLASS

// A row of the list apart from its routines, usable in constant expressions.
struct TOperationInfo {
    bool KeepsState;  // frames depend on the run before them, so CurrentFrame cannot be set
    TBarAxis Bars;
    TFrameCover Cover;
    TFrameRedraw Redraw;
    TOfferedBy OfferedBy;
    std::string_view Description;
};

inline constexpr TOperationInfo OperationInfo[] = {
#define WIPEKIT_INFO(name, fwd, rev, state, bars, cover, redraw, offeredBy, description)                \
    {!std::is_same_v<state, NoState>, TBarAxis::bars, TFrameCover::cover, TFrameRedraw::redraw, \
     TOfferedBy::offeredBy, description},
    WIPEKIT_OPERATIONS(WIPEKIT_INFO)
#undef WIPEKIT_INFO
};

constexpr bool OperationKeepsState(TTransitionOperation op) { return OperationInfo[std::size_t(op)].KeepsState; }

constexpr int ControlOperationCount = [] {
    int n = 0;
    while (n < OperationCount && OperationInfo[n].OfferedBy == TOfferedBy::obControl) ++n;
    for (int i = n; i < OperationCount; ++i)
        if (OperationInfo[i].OfferedBy == TOfferedBy::obControl) return -1;
    return n;
}();
static_assert(ControlOperationCount == 20, "the control offers the first 20 operations, and only those");
static_assert(
    [] {
        for (const TOperationInfo& row : OperationInfo)
            if (row.Bars != TBarAxis::baNone && !row.KeepsState) return false;
        return true;
    }(),
    "bars are counted in a state object");

// BarCount for op at Play in a control of Width x Height; 0 for an operation without bars.
std::int32_t OperationBarCount(TTransitionOperation op, TTransitionModifier m, int Width, int Height);

// Whether both routines of op draw every pixel of every frame from 0 on whenever both
// pictures have the frame's size: the engine then leaves out the Color fill it would hide.
bool OperationCoversFrame(TTransitionOperation op);

// Whether op's routines draw only through TFrameLayers (rdChanges), so that a tick can draw
// just where its frame differs from the frame on screen; false outside the list.
bool OperationRedrawsChanges(TTransitionOperation op);

// 1 to 2147483647.
using TPositiveInteger = std::int32_t;

class TFXState;

// One copy of a frame as TFrameLayers records it (engine/effects/FrameLayers.h): pixels of
// Target come from Src at (x + Dx, y + Dy); with Under, exclusive-or those of Under at
// (x + UnderDx, y + UnderDy). A frame drawn from a list of them shows at each pixel the
// last copy in the list that covers it.
struct TFrameLayer {
    const TBitmap* Src;
    TRect Target;
    int Dx, Dy;
    const TBitmap* Under;
    int UnderDx, UnderDy;
};

// What a component keeps of the frame on screen so that the next one can be drawn only
// where it differs (see TTransitionDriver::DrawFrame). A routine of an rdChanges
// operation hands it to its TFrameLayers.
struct TFrameMemory {
    // In: the work bitmap shows exactly the frame drawn from Layers, over pictures that have
    // not changed since: draw only where the new frame's layers differ.
    bool Partial = false;
    // Out: Layers holds the layers the frame just drawn is made of, and nothing else drew
    // on it. False when a copy could not be recorded (then the frame was drawn whole).
    bool Valid = false;
    std::vector<TFrameLayer> Layers;
    // Out: pixels the last frame wrote (diagnostics, tests).
    std::int64_t PixelsDrawn = 0;
};

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
    // Out: where a routine clamps its copy of CurrentFrame (to its last frame, or a frame
    // before the first to 0) it stores the clamped frame here, and leaves it alone
    // otherwise. An engine that keeps its counter in step with the frames drawn sets it to
    // CurrentFrame before the call; the full engine ignores it.
    std::int32_t ClampedFrame;
    // What the component keeps of the frame on screen, for the routines of rdChanges
    // operations; nullptr: draw the frame whole, keep nothing.
    TFrameMemory* Memory;
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

// Most random pixels toSwarm draws in one frame ((Delta x side) / 2 + 1 of them). A frame
// whose band of random pixels reaches the picture and would need more is refused with
// ELumawipe, so no Delta can make a frame take longer than a few tens of milliseconds.
inline constexpr std::int64_t MaxSwarmPixels = std::int64_t(1) << 24;

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
#define WIPEKIT_DECLARE(name, fwd, rev, ...)                                                   \
    bool fwd(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params); \
    bool rev(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);
WIPEKIT_OPERATIONS(WIPEKIT_DECLARE)
#undef WIPEKIT_DECLARE

// The shared pseudo-random generator: seed 0 at start-up, never reseeded;
// seed := seed * 134775813 + 1, result = upper 32 bits of seed * n (0 to n - 1).
std::uint32_t Random(std::uint32_t n);
// Advances the generator past count draws, as count calls of Random would, in
// logarithmic time (a routine skips draws it knows draw nothing); count <= 0 does nothing.
void SkipRandom(std::int64_t count);
// Current seed (for tests and diagnostics).
std::uint32_t RandSeed();
// Sets the seed: for tests that replay a run from a seed they noted. The component itself
// never reseeds.
void SetRandSeed(std::uint32_t seed);

}  // namespace Wipekit
