// The system's colour dialog and the text form of its custom colours.
#include "toolkit/win32/Dialogs.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

namespace Toolkit {

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor RgbMask = 0xFFFFFF;
constexpr std::string_view SlotPrefix = "Color";

constexpr std::pair<TColorDialogOption, DWORD> OptionFlags[] = {
    {TColorDialogOption::cdFullOpen, CC_FULLOPEN},     {TColorDialogOption::cdPreventFullOpen, CC_PREVENTFULLOPEN},
    {TColorDialogOption::cdShowHelp, CC_SHOWHELP},     {TColorDialogOption::cdSolidColor, CC_SOLIDCOLOR},
    {TColorDialogOption::cdAnyColor, CC_ANYCOLOR},
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// A TColor in hexadecimal, "$" or "0x" in front or not; system colours resolved.
std::optional<TColor> ReadColorValue(std::string_view text) {
    if (StartsWithNoCase(text, "0x"))
        text.remove_prefix(2);
    else if (StartsWithNoCase(text, "$"))
        text.remove_prefix(1);
    TColor value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value <= RgbMask) return value;
    if ((value & SystemColorFlag) && (value & ~SystemColorFlag) < TColor(SystemColorCount)) return ColorToRGB(value);
    return std::nullopt;
}

// The box a "ColorX" name stands for, or nullopt.
std::optional<int> SlotOfName(std::string_view name) {
    if (name.size() != SlotPrefix.size() + 1 || !StartsWithNoCase(name, SlotPrefix)) return std::nullopt;
    const int slot = std::toupper(static_cast<unsigned char>(name.back())) - 'A';
    if (slot < 0 || slot >= CustomColorCount) return std::nullopt;
    return slot;
}

}  // namespace

TCustomColorSlots ReadCustomColors(const TStrings& lines) {
    TCustomColorSlots slots;
    slots.fill(White);
    int next = 0;
    for (const std::string& raw : lines.Lines()) {
        const std::string_view line = Trim(raw);
        std::optional<int> slot = next;
        std::string_view value = line;
        if (const auto eq = line.find('='); eq != std::string_view::npos) {
            slot = SlotOfName(Trim(line.substr(0, eq)));
            value = Trim(line.substr(eq + 1));
        }
        const std::optional<TColor> color = ReadColorValue(value);
        if (!slot || *slot >= CustomColorCount || !color) continue;
        slots[std::size_t(*slot)] = *color;
        next = *slot + 1;
    }
    return slots;
}

TStrings WriteCustomColors(const TCustomColorSlots& slots) {
    TStrings lines;
    for (int i = 0; i < CustomColorCount; ++i) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06X", unsigned(slots[std::size_t(i)] & RgbMask));
        lines.Add(std::string(SlotPrefix) + char('A' + i) + '=' + digits);
    }
    return lines;
}

bool TColorDialog::Execute(HWND owner) {
    const TCustomColorSlots slots = ReadCustomColors(CustomColors);
    COLORREF custom[CustomColorCount];
    for (int i = 0; i < CustomColorCount; ++i) custom[i] = slots[std::size_t(i)];

    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = ColorToRGB(Color) & RgbMask;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT;
    for (const auto& [option, flag] : OptionFlags)
        if (Options.Contains(option)) cc.Flags |= flag;

    const auto alive = Watch();  // a handler run by the dialog's loop may free this
    if (!ChooseColorW(&cc)) {
        if (const DWORD error = CommDlgExtendedError())
            throw Exception("The colour dialog cannot be shown (error " + std::to_string(error) + ").");
        return false;  // cancelled
    }
    if (!alive) return false;
    Color = cc.rgbResult & RgbMask;
    TCustomColorSlots chosen;
    for (int i = 0; i < CustomColorCount; ++i) chosen[std::size_t(i)] = custom[i] & RgbMask;
    CustomColors = WriteCustomColors(chosen);
    return true;
}

}  // namespace Toolkit
