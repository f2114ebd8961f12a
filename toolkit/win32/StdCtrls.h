// The standard-controls layer of the win32 backend: buttons, check boxes, radio groups,
// edits, drop-down lists, labels, group boxes, bevels, panels, memos and speed buttons. They answer the
// forms through the windowed controls' virtual calls and include nothing of forms.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/win32/WinControls.h"

namespace Toolkit {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    // Pressed by Enter (Default) or Escape (Cancel) anywhere on its form.
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v);
    // Given to the form when the button is clicked.
    TModalResult ModalResult = TModalResult::mrNone;
    void Click() override;
    bool DialogChar(wchar_t key) override;
    bool IsDefault() const override { return FDefault; }
    bool IsCancel() const override { return FCancel; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Command(WORD code) override;

private:
    bool FDefault = false;
    bool FCancel = false;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const;
    // A change raises OnClick, as a click does.
    void SetChecked(bool v);
    void Click() override;
    bool DialogChar(wchar_t key) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void Command(WORD code) override;

private:
    bool FChecked = false;
};

// A group box of radio buttons laid out in Columns, filled column by column.
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent* owner);
    const TStrings& Items() const { return FItems; }
    void SetItems(const TStrings& items);
    int Columns() const { return FColumns; }
    void SetColumns(int v);
    // -1: none selected. A change raises OnClick.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);

protected:
    void PaintWindow(HDC dc) override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TGroupButton;
    void ArrangeButtons();
    void ButtonClicked(int index);
    // An arrow key on item index: the next (or previous) item that can take the focus,
    // round the ends, gets it and is chosen.
    void StepFrom(int index, bool forward);

    TStrings FItems;
    int FColumns = 1;
    int FItemIndex = -1;
    std::vector<class TGroupButton*> FButtons;
};

// Single-line edit. OnKeyPress sees each typed character first and may discard it by
// setting it to 0.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    std::string Text() const;
    void SetText(const std::string& v);  // raises OnChange
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Command(WORD code) override;
};

// Drop-down list (no typing).
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    const TStrings& Items() const { return FItems; }
    void SetItems(const TStrings& items);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);  // does not raise OnChange, as with the system's list
    TNotifyEvent OnChange;     // the user picked an item

protected:
    void CreateParams(TCreateParams& params) override;
    int WindowHeight() const override;
    void HandleCreated() override;
    void Command(WORD code) override;

private:
    TStrings FItems;
    int FItemIndex = -1;
};

// Multi-line text box; read-only with both scroll bars as the forms use it.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    const TStrings& Lines() const { return FLines; }
    void SetLines(const TStrings& lines);
    bool ReadOnly = true;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    TStrings FLines;
};

// A framed box with a caption that holds other controls.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void PaintWindow(HDC dc) override;
};

enum class TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised };

// A box with an outer and an inner bevel, its caption centred.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    TPanelBevel BevelOuter = TPanelBevel::bvRaised;
    TPanelBevel BevelInner = TPanelBevel::bvNone;
    // Aligned children share what lies inside the bevels (one pixel each).
    TRect AlignRect() const override;

protected:
    void PaintWindow(HDC dc) override;
};

// A windowless text label. An '&' marks its access key, which focuses FocusControl.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    TFont& Font() { return FFont; }
    // Sizes the label to its text (on by default).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TWinControl* FocusControl = nullptr;
    // The key after '&', lower case, or 0.
    wchar_t AccessKey() const;
    // The access key focuses FocusControl.
    bool DialogChar(wchar_t key) override;

protected:
    void Paint() override;

private:
    void AdjustSize();

    std::string FCaption;
    TFont FFont;
    bool FAutoSize = true;
};

enum class TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// A windowless frame.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    TBevelStyle Style = TBevelStyle::bsLowered;

protected:
    void Paint() override;
};

// A windowless button that shows a picture. Flat: no frame except while pressed.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // Drawn centred; pixels of the colour of its bottom-left pixel are transparent.
    TBitmap& Glyph() { return FGlyph; }
    bool Down() const { return FDown; }
    void MouseDown(TMouseButton button, int x, int y) override;
    void MouseUp(TMouseButton button, int x, int y) override;

protected:
    void Paint() override;

private:
    TBitmap FGlyph;
    bool FFlat = false;
    bool FDown = false;
};

}  // namespace Toolkit
