// A form with a running transition and the standard controls, for looking at the win32
// backend: win32_showcase [SECONDS] closes itself after SECONDS (default: when closed).
#include <cstdlib>
#include <string>

#include "engine/Wipekit.h"
#include "lumawipe_pictures.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"
#include "win32/ShowcaseRun.h"

using namespace Toolkit;

int main(int argc, char** argv) {
    Application().Title = "Lumawipe toolkit showcase";
    auto* form = new TForm(nullptr);
    form->SetCaption("Lumawipe on a Win32 form");
    form->SetClientSize(488, 300);
    form->MakeMainForm();

    auto* group = new TGroupBox(form);
    group->SetCaption("Transition");
    group->SetBounds(8, 8, 473, 284);
    group->SetParent(form);

    auto* wipe = new Wipekit::TLumawipe(form);
    wipe->SetBounds(14, 24, 446, 75);
    wipe->SetParent(group);
    TBitmap from, to;
    from.LoadFromMemory(Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize);
    to.LoadFromMemory(Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize);
    wipe->SetFromBitmap(from);
    wipe->SetToBitmap(to);
    wipe->SetOperation(Wipekit::TTransitionOperation::toPush);
    wipe->SetInterval(10);
    wipe->SetSteps(4);
    wipe->OnDone = [wipe](TObject*) {
        wipe->SetReverse(!wipe->Reverse());
        wipe->Play();
    };

    auto* radio = new TRadioGroup(form);
    radio->SetCaption("Modifier");
    radio->SetBounds(8, 112, 233, 73);
    radio->SetColumns(2);
    radio->SetParent(group);
    radio->SetItems(TStrings({"Left", "Right", "Up", "Down"}));
    radio->SetItemIndex(0);
    radio->OnClick = [wipe, radio](TObject*) {
        wipe->Stop();
        wipe->SetModifier(Wipekit::TTransitionModifier(radio->ItemIndex()));
        wipe->Play();
    };

    auto* label = new TLabel(form);
    label->SetCaption("&Interval:");
    label->SetLeft(8);
    label->SetTop(200);
    label->SetParent(group);
    auto* edit = new TEdit(form);
    edit->SetBounds(64, 196, 41, 21);
    edit->SetParent(group);
    edit->SetText("10");
    edit->OnKeyPress = [](TObject*, wchar_t& key) {
        if (!(key >= '0' && key <= '9') && key != 8) key = 0;
    };
    edit->OnChange = [wipe, edit](TObject*) {
        const std::string text = edit->Text();
        if (!text.empty()) wipe->SetInterval(std::uint32_t(std::strtoul(text.c_str(), nullptr, 10)));
    };
    label->FocusControl = edit;

    auto* combo = new TComboBox(form);
    combo->SetBounds(120, 196, 60, 21);
    combo->SetParent(group);
    combo->SetItems(TStrings({"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"}));
    combo->SetItemIndex(0);

    auto* panel = new TPanel(form);
    panel->BevelInner = TPanelBevel::bvRaised;
    panel->BevelOuter = TPanelBevel::bvLowered;
    panel->SetBounds(8, 236, 353, 33);
    panel->SetParent(group);
    auto* thread = new TCheckBox(form);
    thread->SetCaption("&UseThread");
    thread->SetBounds(8, 8, 97, 17);
    thread->SetParent(panel);
    auto* reverse = new TCheckBox(form);
    reverse->SetCaption("Reverse");
    reverse->SetBounds(128, 8, 97, 17);
    reverse->SetParent(panel);
    thread->OnClick = [wipe, thread](TObject*) {
        wipe->Stop();
        wipe->SetUseThread(thread->Checked());
        wipe->Play();
    };

    auto* bevel = new TBevel(form);
    bevel->SetBounds(368, 112, 97, 157);
    bevel->SetParent(group);
    auto* pause = new TButton(form);
    pause->SetCaption("&Pause");
    pause->SetBounds(376, 120, 81, 25);
    pause->SetParent(group);
    pause->OnClick = [wipe, pause](TObject*) {
        if (wipe->IsPaused()) {
            wipe->Resume();
            pause->SetCaption("&Pause");
        } else {
            wipe->Pause();
            pause->SetCaption("&Resume");
        }
    };
    auto* close = new TButton(form);
    close->SetCaption("Close");
    close->SetCancel(true);
    close->SetBounds(376, 236, 81, 25);
    close->SetParent(group);
    close->OnClick = [form](TObject*) { form->Close(); };

    form->Show();
    wipe->Play();
    return RunShowcase(*form, argc, argv);
}
