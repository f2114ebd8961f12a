#include "demo/UrlLabel.h"

#include "toolkit/win32/MessageLoop.h"
#include "toolkit/win32/Shell.h"
#include "toolkit/win32/WinControls.h"

namespace UrlLabel {

using namespace Toolkit;

namespace {
bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
}  // namespace

TUrlLabel::TUrlLabel(TComponent* AOwner) : TLabel(AOwner) {
    // Every label installs the program's hand again: the table keeps the latest handle.
    if (HCURSOR hand = LoadCursorW(Win32::ToolkitModule(), L"HAND")) Win32::SetCustomCursor(crHand, hand);
    SetCursor(crHand);
    Font().SetColor(clBlue);
    Font().SetStyle(unsigned(TFontStyle::fsUnderline));
    FPopupMenu = new TPopupMenu(this);
    auto* copy = new TMenuItem(FPopupMenu);
    copy->Caption = "Copy";
    copy->OnClick = [this](TObject* sender) { CopyClick(sender); };
}

TUrlLabel::~TUrlLabel() = default;  // the menu is owned, and freed with the label

std::string TUrlLabel::Target() const {
    const std::string& text = Blank(URL) ? Caption() : URL;
    return Blank(text) ? std::string() : text;
}

void TUrlLabel::Click() {
    const auto self = Watch();
    TLabel::Click();  // OnClick first; it may free the label
    if (!self) return;
    const std::string target = Target();
    if (!target.empty()) Win32::ShellExecuteText(GetDesktopWindow(), "open", target, SW_SHOWNORMAL);
}

void TUrlLabel::MouseDown(TMouseButton Button, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        FSavedColor = Font().Color();
        FHolding = true;
        Font().SetColor(ActiveColor);
    }
    TLabel::MouseDown(Button, X, Y);
}

void TUrlLabel::MouseUp(TMouseButton Button, int X, int Y) {
    if (Button == TMouseButton::mbLeft && FHolding) {
        // The release comes here wherever it happens: the colour comes back even when the
        // pointer has left the label.
        FHolding = false;
        Font().SetColor(FSavedColor);
    }
    if (Button == TMouseButton::mbRight) {
        POINT pt;
        GetCursorPos(&pt);
        const auto self = Watch();
        TLabel::MouseUp(Button, X, Y);
        if (!self) return;
        TWinControl* window = WindowedAncestor(*this);
        FPopupMenu->Popup(pt.x, pt.y, window ? window->Handle() : nullptr);
        return;
    }
    TLabel::MouseUp(Button, X, Y);
}

void TUrlLabel::CopyClick(TObject*) { Win32::SetClipboardText(Caption()); }

}  // namespace UrlLabel
