// How the number edits of the demo and the property page (Interval, Steps, Delta) turn
// typed text into a value for the component.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/Types.h"

namespace Settings {

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

// Ranges of the three edits: Interval is a 32-bit count of milliseconds; Steps and Delta
// are positive. The component itself takes an Interval of 0 from programs (it stops the
// ticks), but a person typing one would see a run that never moves: the edits keep it
// back as they do Steps and Delta of 0.
constexpr std::int64_t IntervalMin = 1, PositiveMin = 1, Int32Max = 2147483647;

// Typed characters the edits let through: digits and backspace.
constexpr bool EditAccepts(wchar_t key) { return (key >= L'0' && key <= L'9') || key == 8; }

}  // namespace Settings
