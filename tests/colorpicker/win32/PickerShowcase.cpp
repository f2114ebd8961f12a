// A form with colour buttons, the last with its pop-up open and the pointer on a cell, for looking at the colour picker: colorpicker_showcase [SECONDS] closes itself
// after SECONDS (default: when closed).
#include "colorpicker/W95Color.h"
#include "toolkit/win32/StdCtrls.h"
#include "win32/ShowcaseRun.h"

using namespace Toolkit;
using namespace W95Color;

int main(int argc, char** argv) {
    Application().Title = "Lumawipe colour picker showcase";
    auto* form = new TForm(nullptr);
    form->SetCaption("Colour picker");
    form->SetClientSize(240, 112);
    form->MakeMainForm();

    const struct {
        const char* caption;
        TColor color;
        bool enabled;
    } rows[] = {{"Disabled:", clRed, false}, {"Custom:", 0x3070C0, true}, {"&Fade colour:", clSilver, true}};
    TWin95ColorButton* last = nullptr;
    for (int i = 0; i < 3; ++i) {
        auto* label = new TLabel(form);
        label->SetCaption(rows[i].caption);
        label->SetLeft(12);
        label->SetTop(16 + i * 32);
        label->SetParent(form);
        auto* button = new TWin95ColorButton(form);
        button->SetLeft(100);
        button->SetTop(12 + i * 32);
        button->SetParent(form);
        button->SetColor(rows[i].color);
        button->SetEnabled(rows[i].enabled);
        label->FocusControl = button;
        last = button;
    }

    form->Show();
    last->Click();  // the pop-up opens under the last button
    if (TPopUpColorBox* popup = LastPopUp()) {
        const TRect cell = CellRect(13);
        SetCursorPos(popup->Left() + cell.Left + 8, popup->Top() + cell.Top + 8);
    }
    return RunShowcase(*form, argc, argv);
}
