// PropUnit: TLumawipeProperties, the control's property page. It edits the transition
// parameters of a control through the control's automation interface, by property name,
// and plays the chosen transition between two built-in pictures, over and over, on a
// preview engine of its own.
#pragma once

#include <cstdint>
#include <functional>

#include "activex/com/PropertyPageForm.h"
#include "colorpicker/W95Color.h"
#include "engine/Wipekit.h"
#include "toolkit/win32/StdCtrls.h"

namespace PropUnit {

using namespace Toolkit;

class TLumawipeProperties : public Com::TPropertyPage {
public:
    explicit TLumawipeProperties(TComponent* AOwner);
    ~TLumawipeProperties() override;

    // The page's size: the client area of its form of 455 x 307 pixels.
    static constexpr int PageWidth = 447, PageHeight = 280;
    // The pause between the end of a preview run and the next one (the page waits).
    static constexpr std::uint32_t ReplayDelay = 1000;
    // The preview's pictures: bitmap resources of the library's own module.
    static constexpr int FromPictureId = 101, ToPictureId = 102;

    TGroupBox* PreviewGroupBox;
    Wipekit::TLumawipe* Lumawipe;
    TGroupBox* MiscGroupBox;
    TBevel* Bevel1;
    TBevel* Bevel2;
    TLabel* Label2;
    TEdit* IntervalEdit;
    TLabel* Label1;
    TEdit* StepsEdit;
    TLabel* Label3;
    TEdit* DeltaEdit;
    TCheckBox* UseThreadCheckBox;
    TCheckBox* ReverseCheckBox;
    TRadioGroup* OperationRadioGroup;
    TRadioGroup* ModifierRadioGroup;
    W95Color::TWin95ColorButton* FadeColorButton;
    TComboBox* RGBComboBox;

    // Event handlers.
    void FormCreate(TObject* Sender);
    void OperationRadioGroupClick(TObject* Sender);
    void ModifierRadioGroupClick(TObject* Sender);
    void RGBComboBoxChange(TObject* Sender);
    void IntervalEditKeyPress(TObject* Sender, wchar_t& Key);
    void IntervalEditChange(TObject* Sender);
    void StepsEditChange(TObject* Sender);
    void DeltaEditChange(TObject* Sender);
    void UseThreadCheckBoxClick(TObject* Sender);
    void ReverseCheckBoxClick(TObject* Sender);
    void FadeColorButtonColorChange(TObject* Sender);
    void LumawipeDone(TObject* Sender);

protected:
    void UpdatePropertyPage() override;
    void UpdateObject() override;

private:
    void CreateControls();
    void WireEvents();
    // A change of the preview: stop, change, play (from the first frame). When change
    // raises, the preview stays stopped.
    void Restart(const std::function<void()>& change);
    // The change of a number edit: a text that is not empty goes to the preview as an
    // integer (raises EConvertError for anything else).
    void EditChanged(const TEdit& edit, const std::function<void(std::int32_t)>& store);
};

}  // namespace PropUnit
