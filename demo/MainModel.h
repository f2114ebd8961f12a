// What the demo's main form decides, apart from its windows: the operation items, the
// preset each operation brings, which settings an item shows, and how the three number
// edits turn their text into a value for the component.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Wipekit.h"
#include "toolkit/Types.h"

namespace MainUnit {

using Wipekit::TTransitionOperation;

// The operation radio group's items, in item sequence: the 20 operations the control offers.
struct TOperationItem {
    const char* Caption;
    TTransitionOperation Operation;
};
extern const std::array<TOperationItem, 20> OperationItems;

// Item index of an operation, or -1 when the radio group does not offer it.
int OperationItemIndex(TTransitionOperation op);

// What choosing an operation sets. Delta and "Reverse on done" may stay as they are.
struct TPreset {
    std::uint32_t Interval;
    std::int32_t Steps;
    std::optional<std::int32_t> Delta;
    std::optional<bool> ReverseOnDone;
};
TPreset PresetFor(TTransitionOperation op);

// Which settings apply to an operation item.
bool DeltaApplies(int item);          // the operations whose slats, bands or cells Delta sizes
bool FadeColorApplies(int item);      // fade: the colour faded through
bool ChannelOrderApplies(int item);   // RGB, RGBBlend: the channel order

// Raised for a number edit's text that is not an integer at all (pasted text).
using Toolkit::EConvertError;

// A number edit's text as the component would take it.
struct TEditValue {
    enum class TKind : std::uint8_t {
        Empty,      // nothing typed: the component keeps its value
        Taken,      // Value goes to the component
        OutOfRange  // digits, but below Min or beyond Max (a 0 on the way to "05", or a
                    // number too large for the property): kept back, the edit shows it
    };
    TKind Kind;
    std::int64_t Value;
};
// Reads text as a decimal integer (optional sign, surrounding blanks allowed). Raises
// EConvertError "'text' is not a valid integer value" for anything else.
TEditValue ReadEditValue(std::string_view text, std::int64_t Min, std::int64_t Max);

// Ranges of the three edits: Interval is a 32-bit count of milliseconds (0 stops the
// ticks); Steps and Delta are positive.
// The lowest values the demo's and the page's edits take. The component itself takes an
// Interval of 0 from programs (it stops the ticks), but a person typing one would see a
// run that never moves: the edits keep it back as they do Steps and Delta of 0.
constexpr std::int64_t IntervalMin = 1, PositiveMin = 1, Int32Max = 2147483647;

// The Lumawipe component as the main form stores it, as form data: the two built-in
// pictures as picture data (each a length and the complete BMP file), Color clSilver,
// Delta 1, Interval 10, Operation toMonoSlider, Steps 10 and the About lines.
std::string StoredLumawipe();

// Typed characters the edits let through: digits and backspace.
constexpr bool EditAccepts(wchar_t key) { return (key >= L'0' && key <= L'9') || key == 8; }

}  // namespace MainUnit
