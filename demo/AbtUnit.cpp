#include "demo/AbtUnit.h"

namespace AbtUnit {

const char* const AboutText[] = {
    "Lumawipe ActiveX Control, version 3.0",
    "",
    "Lumawipe animates one picture into another. Drop the control on a form,",
    "a dialog or a web page, give it a \"from\" and a \"to\" picture, choose",
    "an effect and call Play; the control raises OnDone when the last frame",
    "has been shown.",
    "",
    "The 20 effects:",
    "  Push            Blinds          Checkerboard    Crush",
    "  MonoReveal      Reveal          Iris            MonoSlider",
    "  Slider          Strip           Zoom            Fade",
    "  Mosaic          Blend           Glide           Replace",
    "  RGB             RGBBlend        Spiral          CheckerBlinds",
    "",
    "Modifiers: every effect runs to the left, right, up or down; Reverse",
    "plays it from the \"to\" picture back to the \"from\" picture.",
    "Delta sets the size of slats, bands and cells, Steps the distance a",
    "frame advances, Interval the milliseconds between frames, Color the",
    "background (and the colour Fade passes through), RGBOrder the order in",
    "which RGB and RGBBlend replace the colour channels.",
    "",
    "Pacing: frames come from a timer on the user-interface thread, or, with",
    "UseThread, from a worker thread that sleeps between frames and hands",
    "each one to the user-interface thread, so a busy program keeps an even",
    "frame rate.",
    "",
    "Further information",
    "  Register the control once with regsvr32 Lumawipe.ocx; then it can be",
    "  created as \"Lumawipe.Lumawipe\" from scripts, or placed on a form by",
    "  any container of ActiveX controls. Its property page sets every",
    "  option with a live preview.",
    "  The transition engine behind the control also ships as a C++ library",
    "  and as the command-line renderer lumawipe, which writes any frame or",
    "  a whole run to BMP, PNG or animated GIF.",
    "  News, documentation and examples: https://lumawipe.example/",
    nullptr,
};

TAboutForm::TAboutForm(TComponent* AOwner) : TForm(AOwner) {
    Name = "AboutForm";
    SetCaption("About Lumawipe");
    // A form has a dialog border, is centred and writes in MS Sans Serif 8 pt by default.
    ShowHint = true;
    SetClientSize(616, 343);

    Panel1 = new TPanel(this);
    Panel1->SetBounds(8, 8, 601, 297);
    Panel1->BevelInner = TPanelBevel::bvRaised;
    Panel1->BevelOuter = TPanelBevel::bvLowered;
    Panel1->SetParent(this);

    Memo1 = new TMemo(this);
    Memo1->SetAlign(TAlign::alClient);  // the panel's client area inside its two bevels
    Memo1->ReadOnly = true;
    Memo1->Font().SetName("Courier New");
    Memo1->Font().SetSize(10);
    TStrings lines;
    for (const char* const* line = AboutText; *line; ++line) lines.Add(*line);
    Memo1->SetLines(lines);
    Memo1->SetParent(Panel1);

    const auto link = [this](int left, int width, const char* caption, const char* url) {
        auto* label = new UrlLabel::TUrlLabel(this);
        label->SetBounds(left, 320, width, 13);  // sized to its text, which the font decides
        label->SetCaption(caption);
        label->URL = url;
        label->Hint = url;
        label->ShowHint = true;
        label->SetParent(this);
        return label;
    };
    UrlLabel1 = link(8, 179, "Lumawipe on the web", "https://lumawipe.example/docs/");
    UrlLabel2 = link(272, 195, "Click here to visit Lumawipe homepage", "https://lumawipe.example/");

    OKButton = new TButton(this);
    OKButton->SetCaption("OK");
    OKButton->SetBounds(536, 312, 73, 25);
    OKButton->SetDefault(true);
    OKButton->SetCancel(true);
    OKButton->ModalResult = TModalResult::mrOk;
    OKButton->SetParent(this);
    SetActiveControl(OKButton);
}

}  // namespace AbtUnit
