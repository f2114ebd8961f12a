// AbtUnit: TAboutForm, the demo's About dialog: a description of the control and two
// links to pages about it.
#pragma once

#include "demo/UrlLabel.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

namespace AbtUnit {

using namespace Toolkit;

class TAboutForm : public TForm {
public:
    explicit TAboutForm(TComponent* AOwner);

    TPanel* Panel1;
    TMemo* Memo1;
    UrlLabel::TUrlLabel* UrlLabel1;
    UrlLabel::TUrlLabel* UrlLabel2;
    TButton* OKButton;
};

// The memo's text, one entry a line.
extern const char* const AboutText[];

}  // namespace AbtUnit
