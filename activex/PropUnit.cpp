#include "activex/PropUnit.h"

#include <string>

#include "activex/PropUnitModel.h"
#include "settings/NumberEdits.h"
#include "activex/com/Automation.h"
#include "activex/com/Module.h"

namespace PropUnit {

using Wipekit::TRGBOrder;
using Wipekit::TTransitionModifier;

namespace {

// Help topics of the page's controls.
constexpr int IntervalHelp = 1330, StepsHelp = 1350, DeltaHelp = 1320, UseThreadHelp = 1360, ReverseHelp = 1345,
              OperationHelp = 1340, ModifierHelp = 1335, FadeColorHelp = 1315, ChannelOrderHelp = 1348;

std::int32_t Read(IDispatch* control, TPageProperty p) { return Com::GetIntegerProperty(control, PropertyName(p)); }

}  // namespace

TLumawipeProperties::TLumawipeProperties(TComponent* AOwner) : TPropertyPage(AOwner) {
    Name = "LumawipeProperties";
    SetCaption("Lumawipe");
    SetClientSize(PageWidth, PageHeight);
    CreateControls();
    WireEvents();
    FormCreate(this);
}

TLumawipeProperties::~TLumawipeProperties() {
    // The preview stops before the controls its handlers use go.
    Lumawipe->OnDone = nullptr;
    Lumawipe->SetActive(false);
}

void TLumawipeProperties::CreateControls() {
    PreviewGroupBox = Place(new TGroupBox(this), this, 8, 8, 137, 113);
    PreviewGroupBox->SetCaption("Preview");
    Lumawipe = Place(new Wipekit::TLumawipe(this), PreviewGroupBox, 8, 16, 120, 90);
    Lumawipe->SetColor(clBtnFace);
    Lumawipe->SetCurrentFrame(0);

    MiscGroupBox = Place(new TGroupBox(this), this, 152, 8, 289, 113);
    MiscGroupBox->SetCaption("Miscellaneous Properties");
    Bevel1 = Place(new TBevel(this), MiscGroupBox, 8, 16, 273, 49);
    Bevel2 = Place(new TBevel(this), MiscGroupBox, 8, 72, 273, 33);
    const auto numberEdit = [this](TLabel*& label, const char* caption, int labelLeft, TEdit*& edit, int editLeft,
                                   const char* text, int help) {
        edit = Place(new TEdit(this), MiscGroupBox, editLeft, 32, 41, 21);
        edit->SetText(text);
        edit->HelpContext = help;
        label = new TLabel(this);
        label->SetCaption(caption);
        label->SetLeft(labelLeft);
        label->SetTop(36);
        label->SetParent(MiscGroupBox);
        label->FocusControl = edit;
    };
    numberEdit(Label2, "&Interval:", 16, IntervalEdit, 56, "10", IntervalHelp);
    numberEdit(Label1, "&Steps:", 112, StepsEdit, 144, "10", StepsHelp);
    numberEdit(Label3, "&Delta:", 200, DeltaEdit, 232, "1", DeltaHelp);

    UseThreadCheckBox = Place(new TCheckBox(this), MiscGroupBox, 16, 80, 89, 17);
    UseThreadCheckBox->SetCaption("&UseThreads");
    UseThreadCheckBox->HelpContext = UseThreadHelp;
    UseThreadCheckBox->SetChecked(true);
    ReverseCheckBox = Place(new TCheckBox(this), MiscGroupBox, 152, 80, 81, 17);
    ReverseCheckBox->SetCaption("&Reverse");
    ReverseCheckBox->HelpContext = ReverseHelp;

    OperationRadioGroup = Place(new TRadioGroup(this), this, 8, 128, 313, 145);
    OperationRadioGroup->SetCaption("&Operation");
    OperationRadioGroup->SetColumns(3);
    TStrings operations;
    for (const auto& item : Settings::OperationItems) operations.Add(item.Caption);
    OperationRadioGroup->SetItems(operations);
    OperationRadioGroup->SetItemIndex(0);
    OperationRadioGroup->HelpContext = OperationHelp;

    ModifierRadioGroup = Place(new TRadioGroup(this), this, 328, 128, 113, 145);
    ModifierRadioGroup->SetCaption("&Modifier");
    ModifierRadioGroup->SetItems(TStrings({"Left", "Right", "Up", "Down"}));
    ModifierRadioGroup->SetItemIndex(0);
    ModifierRadioGroup->HelpContext = ModifierHelp;

    FadeColorButton = Place(new W95Color::TWin95ColorButton(this), this, 168, 231, 46, 22);
    FadeColorButton->ButtonCaption = "&More...";
    FadeColorButton->SetColor(clBtnFace);
    FadeColorButton->HelpContext = FadeColorHelp;
    FadeColorButton->SetVisible(false);
    FadeColorButton->SetEnabled(false);

    RGBComboBox = Place(new TComboBox(this), this, 264, 176, 49, 21);
    RGBComboBox->SetItems(TStrings({"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"}));
    RGBComboBox->HelpContext = ChannelOrderHelp;
    RGBComboBox->SetVisible(false);

    // Stacking and tab sequence both follow creation: the colour button and the channel
    // list, made after the operation group they sit on, lie on top of it and come after
    // it in the tab sequence.
}

void TLumawipeProperties::WireEvents() {
    Lumawipe->OnDone = [this](TObject* s) { LumawipeDone(s); };
    OperationRadioGroup->OnClick = [this](TObject* s) { OperationRadioGroupClick(s); };
    ModifierRadioGroup->OnClick = [this](TObject* s) { ModifierRadioGroupClick(s); };
    RGBComboBox->OnChange = [this](TObject* s) { RGBComboBoxChange(s); };
    for (TEdit* edit : {IntervalEdit, StepsEdit, DeltaEdit})
        edit->OnKeyPress = [this](TObject* s, wchar_t& key) { IntervalEditKeyPress(s, key); };
    IntervalEdit->OnChange = [this](TObject* s) { IntervalEditChange(s); };
    StepsEdit->OnChange = [this](TObject* s) { StepsEditChange(s); };
    DeltaEdit->OnChange = [this](TObject* s) { DeltaEditChange(s); };
    UseThreadCheckBox->OnClick = [this](TObject* s) { UseThreadCheckBoxClick(s); };
    ReverseCheckBox->OnClick = [this](TObject* s) { ReverseCheckBoxClick(s); };
    FadeColorButton->OnColorChange = [this](TObject* s) { FadeColorButtonColorChange(s); };
}

void TLumawipeProperties::FormCreate(TObject*) {
    LoadBitmapResource(Lumawipe->FromBitmap(), Com::ThisModule(), FromPictureId);
    LoadBitmapResource(Lumawipe->ToBitmap(), Com::ThisModule(), ToPictureId);
    RGBComboBox->SetItemIndex(0);
    Lumawipe->SetActive(true);
}

void TLumawipeProperties::Restart(const std::function<void()>& change) {
    Lumawipe->Stop();
    change();
    Lumawipe->Play();
}

void TLumawipeProperties::OperationRadioGroupClick(TObject*) {
    Modified();
    const int item = OperationRadioGroup->ItemIndex();
    const TItemControls uses = ControlsFor(item);
    Label3->SetEnabled(uses.Delta);
    DeltaEdit->SetEnabled(uses.Delta);
    FadeColorButton->SetVisible(uses.FadeColor);
    FadeColorButton->SetEnabled(uses.FadeColor);
    RGBComboBox->SetVisible(uses.ChannelOrder);
    Restart([&] {
        // Without an item the preview keeps the operation it plays.
        if (const auto op = ItemOperation(item)) Lumawipe->SetOperation(*op);
    });
}

void TLumawipeProperties::ModifierRadioGroupClick(TObject*) {
    Modified();
    const int item = ModifierRadioGroup->ItemIndex();
    Restart([&] {
        if (item >= 0) Lumawipe->SetModifier(TTransitionModifier(item));
    });
}

void TLumawipeProperties::RGBComboBoxChange(TObject*) {
    Modified();
    const int item = RGBComboBox->ItemIndex();
    Restart([&] {
        if (item >= 0) Lumawipe->SetRGBOrder(TRGBOrder(item));
    });
}

void TLumawipeProperties::IntervalEditKeyPress(TObject*, wchar_t& Key) {
    if (!Settings::EditAccepts(Key)) Key = 0;
}

void TLumawipeProperties::EditChanged(const TEdit& edit, const std::function<void(std::int32_t)>& store) {
    Modified();
    Restart([&] {
        const std::string text = edit.Text();
        if (!text.empty()) store(EditInteger(text));
    });
}

void TLumawipeProperties::IntervalEditChange(TObject*) {
    EditChanged(*IntervalEdit, [this](std::int32_t v) {
        if (v >= Settings::IntervalMin) Lumawipe->SetInterval(PreviewInterval(v));
    });
}

// The preview refuses Steps and Delta below 1 and keeps its value.
void TLumawipeProperties::StepsEditChange(TObject*) {
    EditChanged(*StepsEdit, [this](std::int32_t v) { Lumawipe->SetSteps(v); });
}

void TLumawipeProperties::DeltaEditChange(TObject*) {
    EditChanged(*DeltaEdit, [this](std::int32_t v) { Lumawipe->SetDelta(v); });
}

void TLumawipeProperties::UseThreadCheckBoxClick(TObject*) {
    Modified();
    Restart([this] { Lumawipe->SetUseThread(UseThreadCheckBox->Checked()); });
}

void TLumawipeProperties::ReverseCheckBoxClick(TObject*) {
    Modified();
    Restart([this] { Lumawipe->SetReverse(ReverseCheckBox->Checked()); });
}

void TLumawipeProperties::FadeColorButtonColorChange(TObject*) {
    Modified();
    Restart([this] { Lumawipe->SetColor(FadeColorButton->Color()); });
}

void TLumawipeProperties::LumawipeDone(TObject*) {
    // The last frame stays on show for a moment; the page waits with it.
    Sleep(ReplayDelay);
    Lumawipe->SetActive(true);
}

void TLumawipeProperties::UpdatePropertyPage() {
    IDispatch* control = OleObject;
    using P = TPageProperty;
    OperationRadioGroup->SetItemIndex(OperationItem(Read(control, P::Operation)));
    ModifierRadioGroup->SetItemIndex(OrdinalItem(Read(control, P::Modifier), ModifierItemCount));
    IntervalEdit->SetText(std::to_string(Read(control, P::Interval)));
    StepsEdit->SetText(std::to_string(Read(control, P::Steps)));
    DeltaEdit->SetText(std::to_string(Read(control, P::Delta)));
    ReverseCheckBox->SetChecked(Read(control, P::Reverse) != 0);
    RGBComboBox->SetItemIndex(OrdinalItem(Read(control, P::RGBOrder), ChannelOrderItemCount));
    FadeColorButton->SetColor(TColor(Read(control, P::Color)));
    UseThreadCheckBox->SetChecked(Read(control, P::UseThread) != 0);

    // The preview takes the control's state, whatever the handlers above left.
    Lumawipe->SetActive(false);
    if (const auto op = ItemOperation(OperationRadioGroup->ItemIndex())) Lumawipe->SetOperation(*op);
    if (const int item = ModifierRadioGroup->ItemIndex(); item >= 0) Lumawipe->SetModifier(TTransitionModifier(item));
    Lumawipe->SetInterval(PreviewInterval(Read(control, P::Interval)));
    Lumawipe->SetSteps(Read(control, P::Steps));  // values below 1 are refused
    Lumawipe->SetDelta(Read(control, P::Delta));
    Lumawipe->SetReverse(Read(control, P::Reverse) != 0);
    if (const int order = OrdinalItem(Read(control, P::RGBOrder), ChannelOrderItemCount); order >= 0)
        Lumawipe->SetRGBOrder(TRGBOrder(order));
    Lumawipe->SetColor(TColor(Read(control, P::Color)));
    Lumawipe->SetUseThread(Read(control, P::UseThread) != 0);
    Lumawipe->SetActive(true);
}

// A property the page shows no choice for (no item selected) keeps the control's value.
void TLumawipeProperties::UpdateObject() {
    IDispatch* control = OleObject;
    using P = TPageProperty;
    const auto put = [control](P p, std::int32_t value) { Com::PutIntegerProperty(control, PropertyName(p), value); };
    const auto putBool = [control](P p, bool value) { Com::PutBoolProperty(control, PropertyName(p), value); };
    if (const auto op = ItemOperation(OperationRadioGroup->ItemIndex())) put(P::Operation, std::int32_t(*op));
    if (const int item = ModifierRadioGroup->ItemIndex(); item >= 0) put(P::Modifier, item);
    // An Interval below the lowest the page takes keeps the control's value.
    if (const std::int32_t interval = EditInteger(IntervalEdit->Text()); interval >= Settings::IntervalMin)
        put(P::Interval, interval);
    put(P::Steps, EditInteger(StepsEdit->Text()));
    put(P::Delta, EditInteger(DeltaEdit->Text()));
    putBool(P::Reverse, ReverseCheckBox->Checked());
    if (const int order = RGBComboBox->ItemIndex(); order >= 0) put(P::RGBOrder, order);
    Com::PutUnsignedProperty(control, PropertyName(P::Color), FadeColorButton->Color());
    putBool(P::UseThread, UseThreadCheckBox->Checked());
}

}  // namespace PropUnit
