#include "settings/NumberEdits.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace Settings {

TEditValue ReadEditValue(std::string_view text, std::int64_t Min, std::int64_t Max) {
    if (text.empty()) return {TEditValue::TKind::Empty, 0};
    auto invalid = [&] { return Toolkit::InvalidInteger(std::string(text)); };
    std::size_t i = 0;
    const auto blank = [&](std::size_t k) { return k < text.size() && std::isspace((unsigned char)text[k]); };
    while (blank(i)) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digits = i;
    // Saturates far beyond any range: the value only has to tell "too large".
    constexpr std::int64_t Saturated = std::int64_t(1) << 40;
    std::int64_t magnitude = 0;
    while (i < text.size() && std::isdigit((unsigned char)text[i])) {
        magnitude = std::min(Saturated, magnitude * 10 + (text[i] - '0'));
        ++i;
    }
    if (i == digits) throw invalid();
    while (blank(i)) ++i;
    if (i != text.size()) throw invalid();
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < Min || value > Max) return {TEditValue::TKind::OutOfRange, value};
    return {TEditValue::TKind::Taken, value};
}

}  // namespace Settings
