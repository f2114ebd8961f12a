// Wipekit: the transition engine. TLumawipe animates FromBitmap into ToBitmap by one of
// 27 operations, one effect routine per operation looked up in OperationTable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/Operations.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Threads.h"

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
    TOfferedBy OfferedBy;
    std::string_view Description;
};

inline constexpr TOperationInfo OperationInfo[] = {
#define WIPEKIT_INFO(name, fwd, rev, state, bars, offeredBy, description) \
    {!std::is_same_v<state, NoState>, TBarAxis::bars, TOfferedBy::offeredBy, description},
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
// Pixel access: 24-bit bottom-up rows in blue-green-red order, each padded to 4 bytes.

// Uncompressed rows; <windows.h> defines the same name as a macro of the same value.
#ifndef BI_RGB
constexpr std::uint32_t BI_RGB = 0;
#endif

struct TBitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// Reads Bitmap into a new buffer the caller owns (give it back through SetBitmapPixels
// or FreeBitmapPixels). Raises ELumawipeBitmapConvert "Unable to get bitmap." for a
// picture without pixels, leaving Bits null.
void GetBitmapPixels(const TBitmap& Bitmap, std::uint8_t*& Bits, std::uint32_t& Size, TBitmapInfoHeader& Info);
// Writes the buffer into Bitmap, which must have the buffer's size; always frees the
// buffer and sets Bits to null. Raises ELumawipeBitmapConvert "Unable to set bitmap."
// when the rows cannot all be written.
void SetBitmapPixels(TBitmap& Bitmap, std::uint8_t*& Bits, const TBitmapInfoHeader& Info);
void FreeBitmapPixels(std::uint8_t*& Bits);

constexpr std::size_t RowStride(const TBitmapInfoHeader& Info) {
    return ((std::size_t(std::uint32_t(Info.biWidth)) * Info.biBitCount + 31) >> 5) * 4;
}

// Address of the blue byte of pixel (Row from the bottom, Column). No bounds test.
inline std::uint8_t* PixelAddress(std::uint8_t* Bits, const TBitmapInfoHeader& Info, int Row, int Column) {
    return Bits + RowStride(Info) * std::size_t(Row) + 3 * std::size_t(Column);
}

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
// Current seed (for tests and diagnostics).
std::uint32_t RandSeed();

// ---------------------------------------------------------------------------------------

class TLumawipe;

// Paces a component's frames in thread mode: waits Interval ms, then runs the frame
// tick on the user-interface thread. Paused and stopped by a gate; each tick belongs to
// the pass of the gate it was decided in and is dropped once that pass is over.
class TLumawipeThread final : public Toolkit::TThread {
public:
    explicit TLumawipeThread(TLumawipe* Engine);
    ~TLumawipeThread() override;

    // Opens (a new pass) or closes the gate the worker waits at between ticks.
    void SetRunning(bool running);
    bool Running() const;
    // Wakes the worker to re-read Interval.
    void IntervalChanged();

    // The frame tick of a pass, run on the user-interface thread.
    void SyncTick(std::uint64_t Pass);

    TLumawipe* Engine;  // not owned; cleared when the component lets the thread go

protected:
    void Execute() override;

private:
    Toolkit::TGate FGate;
    std::atomic<std::uint32_t> FInterval;  // the component's Interval, set on the UI thread
};

class TLumawipe : public Toolkit::TGraphicControl {
public:
    explicit TLumawipe(Toolkit::TComponent* AOwner);
    ~TLumawipe() override;

    // Published properties, in declaration order.
    const Toolkit::TStrings& About() const { return FAbout; }
    Toolkit::TStrings& AboutLines() { return FAbout; }  // direct access, as form loading uses
    void SetAbout(const Toolkit::TStrings& Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TColor Color() const { return FParams.Color; }
    void SetColor(TColor Value);
    std::int32_t CurrentFrame() const { return FParams.CurrentFrame; }
    void SetCurrentFrame(std::int32_t Value);
    const TBitmap& FromBitmap() const { return FFromBitmap; }
    TBitmap& FromBitmap() { return FFromBitmap; }
    void SetFromBitmap(const TBitmap& Value);
    const TBitmap& ToBitmap() const { return FToBitmap; }
    TBitmap& ToBitmap() { return FToBitmap; }
    void SetToBitmap(const TBitmap& Value);
    TPositiveInteger Delta() const { return FParams.Delta; }
    void SetDelta(TPositiveInteger Value);  // values below 1 are refused
    std::uint32_t Interval() const { return FInterval.load(std::memory_order_relaxed); }
    void SetInterval(std::uint32_t Value);
    TRGBOrder RGBOrder() const { return FParams.RGBOrder; }
    void SetRGBOrder(TRGBOrder Value);
    TTransitionModifier Modifier() const { return FParams.Modifier; }
    void SetModifier(TTransitionModifier Value);
    TTransitionOperation Operation() const { return FOperation; }
    void SetOperation(TTransitionOperation Value);
    bool Reverse() const { return FParams.Reverse; }
    void SetReverse(bool Value);
    bool UseThread() const { return FUseThread; }
    void SetUseThread(bool Value);
    TPositiveInteger Steps() const { return FSteps; }
    void SetSteps(TPositiveInteger Value);  // values below 1 are refused
    Toolkit::TNotifyEvent OnDone;

    // Public and read-only.
    const TBitmap& WorkBitmap() const { return FWorkBitmap; }
    TFXState* State() const { return FParams.State; }
    const TTransitionParams& Params() const { return FParams; }
    Toolkit::TTimer* Timer() const { return FTimer; }
    TLumawipeThread* Thread() const { return FThread; }

    // The animation driver.
    void Play();
    void Stop();
    void Pause();
    void Resume();
    bool IsPaused() const;
    void AdvanceFrame(Toolkit::TObject* Sender);

    virtual void RenderFrame();

protected:
    void Paint() override;
    void ResetTransition();
    void DoDone();
    void FromBitmapChanged(TBitmap& Sender);
    void ToBitmapChanged(TBitmap& Sender);

private:
    void ReRender();
    void WriteBitmap(TBitmap& Target, const TBitmap& Value);
    void ReleaseState();
    void NewTimer();
    void ReleaseThread();
    void SetTicking(bool on);

    bool FActive = false;
    Toolkit::TStrings FAbout;
    TTransitionParams FParams{};
    TBitmap FFromBitmap;
    TBitmap FToBitmap;
    TBitmap FWorkBitmap;
    std::atomic<std::uint32_t> FInterval{100};  // read by the worker without a lock
    TTransitionOperation FOperation = TTransitionOperation::toPush;
    TPositiveInteger FSteps = 1;
    Toolkit::TTimer* FTimer = nullptr;
    TLumawipeThread* FThread = nullptr;
    bool FUseThread = false;
};

}  // namespace Wipekit
