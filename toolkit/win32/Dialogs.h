// The system's common dialogs: the colour dialog.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "toolkit/Classes.h"

namespace Toolkit {

enum class TColorDialogOption : std::uint8_t {
    cdFullOpen,         // opens with the custom-colour part shown
    cdPreventFullOpen,  // the custom-colour part cannot be opened
    cdShowHelp,         // shows a Help button
    cdSolidColor,       // offers solid colours only
    cdAnyColor,         // offers every colour, dithered ones too
};

// A set of colour-dialog options.
class TColorDialogOptions {
public:
    constexpr TColorDialogOptions() = default;
    constexpr TColorDialogOptions(std::initializer_list<TColorDialogOption> options) {
        for (TColorDialogOption o : options) Include(o);
    }
    constexpr bool Contains(TColorDialogOption o) const { return (FBits & Bit(o)) != 0; }
    constexpr void Include(TColorDialogOption o) { FBits = std::uint8_t(FBits | Bit(o)); }
    constexpr bool Empty() const { return FBits == 0; }
    friend constexpr bool operator==(const TColorDialogOptions&, const TColorDialogOptions&) = default;

private:
    static constexpr std::uint8_t Bit(TColorDialogOption o) { return std::uint8_t(1u << unsigned(o)); }
    std::uint8_t FBits = 0;
};

// The dialog's 16 custom-colour boxes, as plain RGB values.
constexpr int CustomColorCount = 16;
using TCustomColorSlots = std::array<TColor, CustomColorCount>;

// Reads custom colours from lines of text. A line "ColorA=F0CAA6" to "ColorP=..." names
// its box by letter (A is the first, case does not matter); a line without a name takes
// the box after the previous line's (the first box for the first line). The value is a
// TColor (0x00BBGGRR, blue first, as the toolkit writes colours) in hexadecimal, with or
// without "$" or "0x" in front; a system colour (8000000F) is resolved to its current
// value. Lines that do not read, name no box, or go past the 16th box are skipped; boxes
// no line gives stay white.
TCustomColorSlots ReadCustomColors(const TStrings& lines);
// The 16 boxes as "ColorA=BBGGRR" ... "ColorP=BBGGRR", six upper-case hex digits each.
TStrings WriteCustomColors(const TCustomColorSlots& slots);

// The system's colour dialog. Execute shows it modally for a window and waits for the
// user; the dialog is always drawn three-dimensional.
class TColorDialog : public TComponent {
public:
    explicit TColorDialog(TComponent* owner) : TComponent(owner) {}

    TColor Color = clBlack;           // the colour shown first (system colours resolved); the choice
    TColorDialogOptions Options;
    TStrings CustomColors;            // as ReadCustomColors reads them

    // Shows the dialog owned by window owner (may be 0). True when the user confirmed:
    // Color then holds the choice and CustomColors the 16 boxes as the user left them
    // (WriteCustomColors); a cancel changes neither. Raises Exception when the system
    // cannot show the dialog.
    bool Execute(HWND owner);
};

}  // namespace Toolkit
