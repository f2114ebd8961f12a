// UrlLabel: TUrlLabel, a text label that looks like a web link and opens its address
// through the shell when clicked.
#pragma once

#include <string>

#include "toolkit/win32/Menus.h"
#include "toolkit/win32/StdCtrls.h"

namespace UrlLabel {

using Toolkit::TColor;

// Cursor-table id of the program's "HAND" cursor resource.
constexpr Toolkit::TCursor crHand = 5;

class TUrlLabel : public Toolkit::TLabel {
public:
    explicit TUrlLabel(Toolkit::TComponent* AOwner);
    ~TUrlLabel() override;

    // Address opened on click; when blank, the caption is opened instead.
    std::string URL;
    // Font colour while the left button is held down on the label.
    TColor ActiveColor = Toolkit::clPurple;

    Toolkit::TPopupMenu* PopupMenu() const { return FPopupMenu; }
    // What the label hands to the shell on a click: URL, or the caption when URL is
    // blank; "" when both are blank (nothing is opened).
    std::string Target() const;

    void Click() override;
    void MouseDown(Toolkit::TMouseButton Button, int X, int Y) override;
    void MouseUp(Toolkit::TMouseButton Button, int X, int Y) override;

private:
    void CopyClick(Toolkit::TObject* Sender);

    TColor FSavedColor = Toolkit::clBlue;
    bool FHolding = false;  // the left button went down on the label
    Toolkit::TPopupMenu* FPopupMenu;
};

}  // namespace UrlLabel
