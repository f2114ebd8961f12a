#include "demo/MainUnit.h"

#include <sstream>

#include "engine/LumawipeStream.h"

namespace MainUnit {

using namespace Settings;
using Wipekit::TLumawipe;
using Wipekit::TRGBOrder;
using Wipekit::TTransitionModifier;

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
    Name = "MainForm";
    SetCaption("Lumawipe ActiveX Control 3.0 Demonstration");
    // A form has a dialog border, is centred and writes in MS Sans Serif 8 pt by default.
    SetClientSize(488, 376);
    CreateControls();
    LoadLumawipe();
    WireEvents();
    FormCreate(this);
}

void TMainForm::CreateControls() {
    GroupBox = Place(new TGroupBox(this), this, 8, 8, 473, 361);
    GroupBox->SetCaption("Lumawipe ActiveX Control");

    Lumawipe = Place(new TLumawipe(this), GroupBox, 14, 24, 446, 75);

    RadioGroup = Place(new TRadioGroup(this), GroupBox, 8, 112, 233, 201);
    RadioGroup->SetCaption("Operation");
    RadioGroup->SetColumns(2);
    TStrings operations;
    for (const auto& item : OperationItems) operations.Add(item.Caption);
    RadioGroup->SetItems(operations);
    RadioGroup->SetItemIndex(0);

    RadioGroup1 = Place(new TRadioGroup(this), GroupBox, 248, 112, 217, 73);
    RadioGroup1->SetCaption("Modifier");
    RadioGroup1->SetColumns(2);
    RadioGroup1->SetItems(TStrings({"Left", "Right", "Up", "Down"}));
    RadioGroup1->SetItemIndex(0);

    GroupBox1 = Place(new TGroupBox(this), GroupBox, 248, 192, 113, 121);
    GroupBox1->SetCaption("Other Parameters");
    const auto numberEdit = [this](TLabel*& label, const char* caption, int top, TEdit*& edit, const char* text) {
        edit = Place(new TEdit(this), GroupBox1, 56, top, 41, 21);
        edit->SetText(text);
        label = new TLabel(this);
        label->SetCaption(caption);
        label->SetLeft(8);
        label->SetTop(top + 4);
        label->SetParent(GroupBox1);
        label->FocusControl = edit;
    };
    numberEdit(Label2, "Interval:", 16, IntervalEdit, "10");
    numberEdit(Label1, "Steps:", 52, StepsEdit, "10");
    numberEdit(Label3, "Delta:", 88, DeltaEdit, "1");

    Panel1 = Place(new TPanel(this), GroupBox, 8, 320, 353, 33);
    Panel1->BevelInner = TPanelBevel::bvRaised;
    Panel1->BevelOuter = TPanelBevel::bvLowered;
    ReversibleCheckBox = Place(new TCheckBox(this), Panel1, 8, 8, 105, 17);
    ReversibleCheckBox->SetCaption("Reverse on done");
    UseThreadCheckBox = Place(new TCheckBox(this), Panel1, 128, 8, 97, 17);
    UseThreadCheckBox->SetCaption("UseThreads");
    ReverseCheckBox = Place(new TCheckBox(this), Panel1, 240, 8, 97, 17);
    ReverseCheckBox->SetCaption("Reverse");

    Bevel1 = Place(new TBevel(this), GroupBox, 368, 192, 97, 161);
    const auto button = [this](const char* caption, int top) {
        auto* b = Place(new TButton(this), GroupBox, 376, top, 81, 25);
        b->SetCaption(caption);
        return b;
    };
    ActivateButton = button("Play", 200);
    PauseButton = button("Pause", 240);
    PauseButton->SetEnabled(false);
    AboutButton = button("About...", 280);
    CloseButton = button("Close", 320);

    FadeColorButton = Place(new W95Color::TWin95ColorButton(this), GroupBox, 184, 161, 46, 22);
    FadeColorButton->SetColor(clBtnFace);
    FadeColorButton->ButtonCaption = "&More...";
    FadeColorButton->SetEnabled(false);
    FadeColorButton->SetVisible(false);

    RGBComboBox = Place(new TComboBox(this), GroupBox, 184, 232, 49, 21);
    RGBComboBox->SetItems(TStrings({"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"}));
    RGBComboBox->SetVisible(false);

    // Stacking follows creation: the colour button and the channel list, made after the
    // operation group they sit on, lie on top of it. The tab sequence is a matter of its
    // own: the settings, then the buttons, the channel list last.
    int order = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*>{RadioGroup, RadioGroup1, GroupBox1, Panel1, ActivateButton,
                                                               PauseButton, AboutButton, CloseButton, FadeColorButton,
                                                               RGBComboBox})
        c->SetTabOrder(order++);
    order = 0;
    for (TWinControl* c : {IntervalEdit, StepsEdit, DeltaEdit}) c->SetTabOrder(order++);
    order = 0;
    for (TWinControl* c : {ReversibleCheckBox, UseThreadCheckBox, ReverseCheckBox}) c->SetTabOrder(order++);

    FReplay = new TTimer(this);
    FReplay->SetEnabled(false);
    FReplay->SetInterval(ReplayDelay);
}

// The component as the form stores it, loaded as from a form file: its change handlers
// run as on a real load.
void TMainForm::LoadLumawipe() {
    std::istringstream in(StoredLumawipe());
    Wipekit::LoadLumawipe(in, *Lumawipe);
}

void TMainForm::WireEvents() {
    Lumawipe->OnDone = [this](TObject* s) { LumawipeDone(s); };
    RadioGroup->OnClick = [this](TObject* s) { RadioGroupClick(s); };
    RadioGroup1->OnClick = [this](TObject* s) { RadioGroup1Click(s); };
    for (TEdit* edit : {IntervalEdit, StepsEdit, DeltaEdit})
        edit->OnKeyPress = [this](TObject* s, wchar_t& key) { IntervalEditKeyPress(s, key); };
    IntervalEdit->OnChange = [this](TObject* s) { IntervalEditChange(s); };
    StepsEdit->OnChange = [this](TObject* s) { StepsEditChange(s); };
    DeltaEdit->OnChange = [this](TObject* s) { DeltaEditChange(s); };
    ActivateButton->OnClick = [this](TObject* s) { ActivateButtonClick(s); };
    PauseButton->OnClick = [this](TObject* s) { PauseButtonClick(s); };
    AboutButton->OnClick = [this](TObject* s) { AboutButtonClick(s); };
    CloseButton->OnClick = [this](TObject* s) { CloseButtonClick(s); };
    ReverseCheckBox->OnClick = [this](TObject* s) { ReverseCheckBoxClick(s); };
    UseThreadCheckBox->OnClick = [this](TObject* s) { UseThreadCheckBoxClick(s); };
    FadeColorButton->OnColorChange = [this](TObject* s) { FadeColorButtonColorChange(s); };
    RGBComboBox->OnChange = [this](TObject* s) { RGBComboBoxChange(s); };
    FReplay->OnTimer = [this](TObject* s) { Replay(s); };
}

void TMainForm::FormCreate(TObject*) { RGBComboBox->SetItemIndex(0); }

void TMainForm::RadioGroupClick(TObject*) {
    const int item = RadioGroup->ItemIndex();
    if (item < 0 || item >= int(OperationItems.size())) return;
    const TTransitionOperation op = OperationItems[std::size_t(item)].Operation;
    Label3->SetEnabled(DeltaApplies(op));
    DeltaEdit->SetEnabled(DeltaApplies(op));
    FadeColorButton->SetVisible(FadeColorApplies(op));
    FadeColorButton->SetEnabled(FadeColorApplies(op));
    RGBComboBox->SetVisible(ChannelOrderApplies(op));
    Lumawipe->SetOperation(op);

    // The preset of the operation the component now holds (it keeps its own while active).
    const TPreset preset = PresetFor(Lumawipe->Operation());
    Lumawipe->SetInterval(preset.Interval);
    Lumawipe->SetSteps(preset.Steps);
    if (preset.Delta) Lumawipe->SetDelta(*preset.Delta);
    if (preset.ReverseOnDone) ReversibleCheckBox->SetChecked(*preset.ReverseOnDone);
    ReverseCheckBox->SetChecked(false);
    IntervalEdit->SetText(std::to_string(preset.Interval));
    StepsEdit->SetText(std::to_string(preset.Steps));
    if (preset.Delta) DeltaEdit->SetText(std::to_string(*preset.Delta));
}

void TMainForm::RadioGroup1Click(TObject*) {
    const int item = RadioGroup1->ItemIndex();
    if (item >= 0 && item < 4) Lumawipe->SetModifier(TTransitionModifier(item));
}

void TMainForm::IntervalEditKeyPress(TObject*, wchar_t& Key) {
    if (!EditAccepts(Key)) Key = 0;
}

void TMainForm::ReadEdit(TEdit& Edit, std::int64_t Min, const std::function<void(std::int64_t)>& Store) {
    const TEditValue value = ReadEditValue(Edit.Text(), Min, Int32Max);  // raises for pasted text
    const bool keptBack = value.Kind == TEditValue::TKind::OutOfRange;
    Edit.Font().SetColor(keptBack ? clRed : clWindowText);
    Edit.Hint = keptBack ? "Not taken: " + std::to_string(Min) + " to " + std::to_string(Int32Max) : "";
    Edit.ShowHint = keptBack;
    if (value.Kind == TEditValue::TKind::Taken) Store(value.Value);
}

void TMainForm::IntervalEditChange(TObject*) {
    ReadEdit(*IntervalEdit, IntervalMin, [this](std::int64_t v) { Lumawipe->SetInterval(std::uint32_t(v)); });
}

void TMainForm::StepsEditChange(TObject*) {
    ReadEdit(*StepsEdit, PositiveMin, [this](std::int64_t v) { Lumawipe->SetSteps(std::int32_t(v)); });
}

void TMainForm::DeltaEditChange(TObject*) {
    ReadEdit(*DeltaEdit, PositiveMin, [this](std::int64_t v) { Lumawipe->SetDelta(std::int32_t(v)); });
}

void TMainForm::SetSettingsEnabled(bool Enabled) {
    for (TWinControl* group : std::initializer_list<TWinControl*>{RadioGroup, RadioGroup1, GroupBox1, Panel1})
        group->SetEnabled(Enabled);
    // The component refuses a new colour and channel order while it runs.
    const int item = RadioGroup->ItemIndex();
    FadeColorButton->SetEnabled(Enabled && item >= 0 && item < int(OperationItems.size()) &&
                               FadeColorApplies(OperationItems[std::size_t(item)].Operation));
    RGBComboBox->SetEnabled(Enabled);
}

void TMainForm::ActivateButtonClick(TObject*) {
    if (ActivateButton->Caption() == "Play") {
        ActivateButton->SetCaption("Stop");
        Lumawipe->SetActive(true);
        SetSettingsEnabled(false);
        PauseButton->SetCaption("Pause");
        PauseButton->SetEnabled(true);
    } else {
        ShowIdle();
    }
}

void TMainForm::ShowIdle() {
    FReplay->SetEnabled(false);  // a pending replay ends with the run
    FReplayHeld = false;
    ActivateButton->SetCaption("Play");
    Lumawipe->SetActive(false);
    SetSettingsEnabled(true);
    PauseButton->SetCaption("Pause");
    PauseButton->SetEnabled(false);
}

void TMainForm::PauseButtonClick(TObject*) {
    if (PauseButton->Caption() == "Pause") {
        // Between the runs of "Reverse on done" nothing runs to pause: the wait is held
        // instead, and the next run waits for Resume.
        if (FReplay->Enabled()) {
            FReplay->SetEnabled(false);
            FReplayHeld = true;
        }
        Lumawipe->Pause();
        PauseButton->SetCaption("Resume");
    } else {
        PauseButton->SetCaption("Pause");
        if (FReplayHeld) {
            FReplayHeld = false;
            Replay(nullptr);
            return;
        }
        Lumawipe->Resume();
    }
}

void TMainForm::LumawipeDone(TObject*) {
    if (!ReversibleCheckBox->Checked()) {
        ShowIdle();
        return;
    }
    // One second with the last frame on show, then the run turns round. A one-shot timer
    // keeps the window painting and answering meanwhile; Stop or closing the form cancels
    // it (the timer is the form's).
    FReplay->SetEnabled(false);
    FReplay->SetEnabled(true);
}

void TMainForm::Replay(TObject*) {
    FReplay->SetEnabled(false);
    if (ActivateButton->Caption() != "Stop") return;
    ReverseCheckBox->SetChecked(!ReverseCheckBox->Checked());  // its click sets Reverse
    Lumawipe->SetReverse(ReverseCheckBox->Checked());
    Lumawipe->SetActive(true);
}

void TMainForm::ReverseCheckBoxClick(TObject*) { Lumawipe->SetReverse(ReverseCheckBox->Checked()); }

void TMainForm::UseThreadCheckBoxClick(TObject*) { Lumawipe->SetUseThread(UseThreadCheckBox->Checked()); }

void TMainForm::FadeColorButtonColorChange(TObject*) { Lumawipe->SetColor(FadeColorButton->Color()); }

void TMainForm::RGBComboBoxChange(TObject*) {
    const int item = RGBComboBox->ItemIndex();
    if (item >= 0 && item < 6) Lumawipe->SetRGBOrder(TRGBOrder(item));
}

void TMainForm::AboutButtonClick(TObject*) {
    if (AboutForm) AboutForm->ShowModal();
}

void TMainForm::CloseButtonClick(TObject*) { Close(); }

}  // namespace MainUnit
