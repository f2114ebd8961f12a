#include "activex/AboutLumawipe.h"

#include <memory>

#include "activex/com/Module.h"
#include "engine/Maker.h"

namespace AboutLumawipe {

using Wipekit::MakerEmail;
using Wipekit::MakerName;
using Wipekit::MakerWeb;

namespace {

TLabel* NewLabel(TForm* form, int left, int top, const char* caption) {
    auto* label = new TLabel(form);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetParent(form);
    return label;
}

}  // namespace

TLumawipeAbout::TLumawipeAbout(TComponent* AOwner) : TForm(AOwner) {
    Name = "LumawipeAbout";
    SetCaption("About");
    // A form has a dialog border with only the system menu, is centred and writes in
    // MS Sans Serif 8 pt by default.
    SetClientSize(304, 184);

    Bevel1 = new TBevel(this);
    Bevel1->SetBounds(8, 8, 289, 137);
    Bevel1->SetParent(this);

    CtlImage = new TSpeedButton(this);
    CtlImage->SetBounds(24, 24, 25, 25);
    CtlImage->SetFlat(true);
    LoadBitmapResource(CtlImage->Glyph(), Com::ThisModule(), GlyphId);
    CtlImage->SetParent(this);

    NameLbl = NewLabel(this, 64, 24, "Lumawipe Control");
    NameLbl->Font().SetName("MS Sans Serif");
    NameLbl->Font().SetSize(10);  // 13 pixels high on a 96-dpi screen
    NameLbl->Font().SetStyle(unsigned(TFontStyle::fsBold));
    NameLbl->Font().SetColor(clBlack);
    Label1 = NewLabel(this, 64, 48, "Version 3.0");
    DescLbl = NewLabel(this, 64, 66, "A transition effects component.");
    MakerLbl = NewLabel(this, 64, 96, MakerName);

    OkBtn = new TButton(this);
    OkBtn->SetCaption("OK");
    OkBtn->SetBounds(115, 152, 73, 25);
    OkBtn->SetDefault(true);
    OkBtn->SetCancel(true);
    OkBtn->ModalResult = TModalResult::mrOk;
    OkBtn->SetParent(this);
    SetActiveControl(OkBtn);

    FormCreate(this);
}

void TLumawipeAbout::FormCreate(TObject*) {
    MakerLbl->SetCaption(std::string(MakerName) + "\r\n" + MakerEmail + "\r\n" + MakerWeb);
}

void ShowLumawipeAbout() {
    const auto about = std::make_unique<TLumawipeAbout>(nullptr);
    about->ShowModal();
}

}  // namespace AboutLumawipe
