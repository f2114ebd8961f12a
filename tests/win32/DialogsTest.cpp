// The system's colour dialog: the text form of its custom colours, and Execute driven as
// a user would (the options shape the box, the initial colour shows, OK and Cancel).
#include <gtest/gtest.h>

#include <colordlg.h>

#include <map>
#include <optional>

#include "support/Fixtures.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/Forms.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;

namespace {

using Fixtures::Lines;

TEST(ColorDialog, CustomColoursReadByBoxLetterOrInTurn) {
    struct Case {
        const char* name;
        TStrings lines;
        std::map<int, TColor> boxes;  // the rest are white
    } const cases[] = {
        {"named", Lines({"ColorA=F0CAA6", "colorc = $123456", "ColorP=0x00FF00"}), {{0, 0xF0CAA6}, {2, 0x123456}, {15, 0x00FF00}}},
        {"in turn after a named one", Lines({"ColorD=0", "ABCDEF", "$010203"}), {{3, 0}, {4, 0xABCDEF}, {5, 0x010203}}},
        {"plain from the first box", Lines({"FF", " 7 "}), {{0, 0xFF}, {1, 7}}},
        {"system colour resolved", Lines({"ColorB=8000000F"}), {{1, ColorToRGB(clBtnFace)}}},
        {"skipped lines keep the turn", Lines({"11", "", "ColorQ=22", "Colour=33", "xyz", "1000000", "ColorB=", "44"}),
         {{0, 0x11}, {1, 0x44}}},
        {"past the 16th box", Lines({"ColorP=5", "6"}), {{15, 5}}},
    };
    for (const auto& c : cases) {
        const TCustomColorSlots slots = ReadCustomColors(c.lines);
        for (int i = 0; i < CustomColorCount; ++i) {
            const auto it = c.boxes.find(i);
            EXPECT_EQ(slots[std::size_t(i)], it == c.boxes.end() ? clWhite : it->second) << c.name << ", box " << i;
        }
    }
}

TEST(ColorDialog, CustomColoursWrittenOnePerBoxAndReadBack) {
    TCustomColorSlots slots;
    for (int i = 0; i < CustomColorCount; ++i) slots[std::size_t(i)] = TColor(0x0A0B0C * i) & 0xFFFFFF;
    const TStrings lines = WriteCustomColors(slots);
    ASSERT_EQ(lines.Count(), CustomColorCount);
    EXPECT_EQ(lines[0], "ColorA=000000");
    EXPECT_EQ(lines[1], "ColorB=0A0B0C");
    EXPECT_EQ(lines[15], "ColorP=96A5B4");
    EXPECT_EQ(ReadCustomColors(lines), slots);
}

// What a user sees in the box and does there.
struct DialogCase {
    const char* name;
    TColorDialogOptions options;
    TColor initial;
    std::optional<TColor> confirm;  // typed into the red, green and blue fields, then OK; none: Cancel
    bool fieldsShown;               // the custom-colour part with its fields is open
    bool defineEnabled;             // the button that opens it can be pressed (not once open)
};

TEST(ColorDialog, ExecuteShowsTheOptionsAndTheColourAndReturnsTheChoice) {
    using enum TColorDialogOption;
    const DialogCase cases[] = {
        {"plain, cancelled", {}, 0x123456, std::nullopt, false, true},
        {"full open, confirmed", {cdFullOpen}, 0x123456, 0x405060, true, false},
        {"full open, a system colour first", {cdFullOpen, cdSolidColor}, clBtnFace, std::nullopt, true, false},
        {"prevent full open", {cdPreventFullOpen}, clRed, std::nullopt, false, false},
    };
    TForm form(nullptr);
    form.Show();
    PumpFor(30);
    for (const auto& c : cases) {
        TColorDialog dialog(nullptr);
        dialog.Options = c.options;
        dialog.Color = c.initial;
        dialog.CustomColors = Lines({"ColorC=0000FF"});
        bool shown = false, fieldsShown = false, defineEnabled = false;
        UINT red = 0, green = 0, blue = 0;
        WhenDialogShows([&](HWND box) {
            shown = true;
            fieldsShown = IsWindowVisible(GetDlgItem(box, COLOR_RED));
            defineEnabled = IsWindowEnabled(GetDlgItem(box, COLOR_MIX));
            red = GetDlgItemInt(box, COLOR_RED, nullptr, FALSE);
            green = GetDlgItemInt(box, COLOR_GREEN, nullptr, FALSE);
            blue = GetDlgItemInt(box, COLOR_BLUE, nullptr, FALSE);
            if (c.confirm) {
                SetDlgItemInt(box, COLOR_RED, GetRValue(*c.confirm), FALSE);
                SetDlgItemInt(box, COLOR_GREEN, GetGValue(*c.confirm), FALSE);
                SetDlgItemInt(box, COLOR_BLUE, GetBValue(*c.confirm), FALSE);
            }
            PostMessageW(box, WM_COMMAND, c.confirm ? IDOK : IDCANCEL, 0);
        });
        const bool confirmed = dialog.Execute(form.Handle());
        ASSERT_TRUE(shown) << c.name;
        EXPECT_EQ(fieldsShown, c.fieldsShown) << c.name;
        EXPECT_EQ(defineEnabled, c.defineEnabled) << c.name;
        if (c.fieldsShown) {
            EXPECT_EQ(RGB(BYTE(red), BYTE(green), BYTE(blue)), ColorToRGB(c.initial)) << c.name;
        }
        EXPECT_EQ(confirmed, c.confirm.has_value()) << c.name;
        EXPECT_EQ(dialog.Color, c.confirm ? *c.confirm : c.initial) << c.name;
        // The boxes as the user left them after OK; a cancel changes nothing.
        EXPECT_EQ(dialog.CustomColors.Count(), c.confirm ? CustomColorCount : 1) << c.name;
        EXPECT_EQ(ReadCustomColors(dialog.CustomColors)[2], clRed) << c.name;
    }
}

}  // namespace
