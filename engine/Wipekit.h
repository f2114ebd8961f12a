// Wipekit: the transition engine. TLumawipe animates FromBitmap into ToBitmap by one of
// 27 operations, one effect routine per operation looked up in OperationTable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

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
// Pixel access: 24-bit bottom-up rows in blue-green-red order, each padded to 4 bytes.

// biCompression of uncompressed rows.
using Toolkit::DibRgb;

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
    return Toolkit::DibStride(Info.biWidth, Info.biBitCount);
}

// The pixels of a buffer GetBitmapPixels has filled.
inline Toolkit::TPixelView PixelView(std::uint8_t* Bits, const TBitmapInfoHeader& Info) {
    return Toolkit::DibView(Bits, Info.biWidth, Info.biHeight);
}

// Address of the blue byte of pixel (Row from the bottom, Column). No bounds test.
inline std::uint8_t* PixelAddress(std::uint8_t* Bits, const TBitmapInfoHeader& Info, int Row, int Column) {
    return PixelView(Bits, Info).At(Column, Info.biHeight - 1 - Row);
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
