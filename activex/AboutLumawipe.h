// AboutLumawipe: TLumawipeAbout, the control's About box (its name, version and maker),
// shown modally by the control's AboutBox member.
#pragma once

#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

namespace AboutLumawipe {

using namespace Toolkit;

class TLumawipeAbout : public TForm {
public:
    explicit TLumawipeAbout(TComponent* AOwner);

    // The picture of CtlImage: the control's toolbox bitmap, a resource of the library.
    static constexpr int GlyphId = 1;

    TBevel* Bevel1;
    TSpeedButton* CtlImage;
    TLabel* NameLbl;
    TLabel* Label1;
    TLabel* DescLbl;
    TLabel* MakerLbl;
    TButton* OkBtn;

    void FormCreate(TObject* Sender);
};

// Shows the About box modally and frees it, also when showing it raised. Returns when the
// user has pressed OK, Enter or Escape, or closed the window.
void ShowLumawipeAbout();

}  // namespace AboutLumawipe
