// MainUnit: TMainForm, the demo's dialog. A TLumawipe plays between the two built-in
// pictures; the user picks the operation, modifier, timing and options, plays, pauses
// and stops, and opens the About form.
#pragma once

#include "colorpicker/W95Color.h"
#include "demo/MainModel.h"
#include "engine/Wipekit.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

namespace MainUnit {

using namespace Toolkit;

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* AOwner);

    TGroupBox* GroupBox;
    Wipekit::TLumawipe* Lumawipe;
    TRadioGroup* RadioGroup;
    TRadioGroup* RadioGroup1;
    TGroupBox* GroupBox1;
    TLabel* Label2;
    TEdit* IntervalEdit;
    TLabel* Label1;
    TEdit* StepsEdit;
    TLabel* Label3;
    TEdit* DeltaEdit;
    TPanel* Panel1;
    TCheckBox* ReversibleCheckBox;
    TCheckBox* UseThreadCheckBox;
    TCheckBox* ReverseCheckBox;
    TBevel* Bevel1;
    TButton* ActivateButton;
    TButton* PauseButton;
    TButton* AboutButton;
    TButton* CloseButton;
    W95Color::TWin95ColorButton* FadeColorButton;
    TComboBox* RGBComboBox;

    // Shown by AboutButtonClick; set by the program (the form does not own it).
    TForm* AboutForm = nullptr;

    // The pause between the end of a run and the reversed replay with "Reverse on done".
    static constexpr std::uint32_t ReplayDelay = 1000;
    bool ReplayPending() const { return FReplay->Enabled(); }
    bool ReplayHeld() const { return FReplayHeld; }

    // Event handlers.
    void FormCreate(TObject* Sender);
    void RadioGroupClick(TObject* Sender);
    void RadioGroup1Click(TObject* Sender);
    void IntervalEditKeyPress(TObject* Sender, wchar_t& Key);
    void IntervalEditChange(TObject* Sender);
    void StepsEditChange(TObject* Sender);
    void DeltaEditChange(TObject* Sender);
    void ActivateButtonClick(TObject* Sender);
    void PauseButtonClick(TObject* Sender);
    void LumawipeDone(TObject* Sender);
    void ReverseCheckBoxClick(TObject* Sender);
    void UseThreadCheckBoxClick(TObject* Sender);
    void FadeColorButtonColorChange(TObject* Sender);
    void RGBComboBoxChange(TObject* Sender);
    void AboutButtonClick(TObject* Sender);
    void CloseButtonClick(TObject* Sender);

private:
    void CreateControls();
    void WireEvents();
    void LoadLumawipe();
    // The Stop branch of the Play/Stop button: back to the idle state.
    void ShowIdle();
    void SetSettingsEnabled(bool Enabled);
    // Reads a number edit; Store gets the value when it is taken. A value out of range is
    // kept back and the edit shows it in red until it holds one that is taken.
    void ReadEdit(TEdit& Edit, std::int64_t Min, const std::function<void(std::int64_t)>& Store);
    void Replay(TObject* Sender);

    TTimer* FReplay;
    bool FReplayHeld = false;  // Pause came during the wait of "Reverse on done"
};

}  // namespace MainUnit
