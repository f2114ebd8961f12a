// Standard-controls layer of the win32 backend: system button, edit and list windows
// wrapped as controls, and the group boxes, panels, labels and bevels drawn by the toolkit.
#include "toolkit/win32/StdCtrls.h"

#include <algorithm>

namespace Toolkit {

using namespace Win32;

namespace {

TColor ParentColor(const TControl& control) {
    auto* parent = dynamic_cast<TWinControl*>(control.Parent());
    return parent ? parent->Color() : clBtnFace;
}

// A frame with its caption in the top edge, as group boxes are drawn.
void DrawGroupFrame(HDC dc, const RECT& client, TWinControl& box) {
    HGDIOBJ oldFont = SelectObject(dc, box.Font().Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = Widen(box.Caption());
    if (!caption.empty()) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ColorToRGB(box.Color()));
        SetTextColor(dc, ColorToRGB(box.Enabled() ? box.Font().Color() : clGrayText));
        RECT text{8, 0, client.right - 8, tm.tmHeight};
        DrawTextW(dc, (L" " + caption + L" ").c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    }
    SelectObject(dc, oldFont);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
    FDefault = v;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool v) { FCancel = v; }

void TButton::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

void TButton::Click() {
    if (ModalResult != TModalResult::mrNone) ModalResultClicked(ModalResult);
    TWinControl::Click();
}

bool TButton::DialogChar(wchar_t key) {
    if (key != AccessKeyOf(Caption()) || !CanFocus()) return false;
    SetFocus();
    Click();
    return true;
}

// ---------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::HandleCreated() { SendMessageW(WindowHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

bool TCheckBox::Checked() const { return FChecked; }

void TCheckBox::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    TWinControl::Click();
}

void TCheckBox::Click() { SetChecked(!FChecked); }

void TCheckBox::Command(WORD code) {
    if (code != BN_CLICKED) return;
    const bool checked = SendMessageW(WindowHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked == FChecked) return;
    FChecked = checked;
    TWinControl::Click();
}

bool TCheckBox::DialogChar(wchar_t key) {
    if (key != AccessKeyOf(Caption()) || !CanFocus()) return false;
    SetFocus();
    Click();
    return true;
}

// ---------------------------------------------------------------------------------------
// TRadioGroup and its buttons

namespace {
bool IsArrow(WPARAM key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }
}  // namespace

class TGroupButton final : public TWinControl {
public:
    TGroupButton(TRadioGroup& group, int index) : TWinControl(&group), FGroup(group), FIndex(index) {
        SetCaption(group.Items()[index]);
        SetParent(&group);
    }
    void SetChecked(bool v) {
        FChecked = v;
        SetTabStop(v || (FGroup.ItemIndex() < 0 && FIndex == 0));
        if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool DialogChar(wchar_t key) override {
        if (key != AccessKeyOf(Caption()) || !CanFocus()) return false;
        SetFocus();
        FGroup.ButtonClicked(FIndex);
        return true;
    }

protected:
    // The arrow keys step through the group's items in their order (the system's dialog
    // navigation would follow the windows' stacking order instead). Only asked about an
    // arrow key does the button want it: the system's own code tells radio buttons by
    // their usual answer.
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
        const auto* asked = reinterpret_cast<const MSG*>(lParam);
        if (msg == WM_GETDLGCODE && asked && asked->message == WM_KEYDOWN && IsArrow(asked->wParam))
            return result | DLGC_WANTARROWS;
        return result;
    }
    void KeyDown(WORD& key) override {
        TWinControl::KeyDown(key);
        if (!IsArrow(key)) return;
        const bool forward = key == VK_RIGHT || key == VK_DOWN;
        key = 0;
        FGroup.StepFrom(FIndex, forward);
    }
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = L"BUTTON";
        // Each button is a group of its own to the system, whose group walk follows the
        // windows' stacking: the radio group keeps its buttons' checks itself.
        params.Style |= BS_AUTORADIOBUTTON | WS_GROUP;
    }
    void HandleCreated() override {
        SendMessageW(WindowHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void Command(WORD code) override {
        if (code == BN_CLICKED && SendMessageW(WindowHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED)
            FGroup.ButtonClicked(FIndex);
    }

private:
    TRadioGroup& FGroup;
    int FIndex;
    bool FChecked = false;
};

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 105); }

void TRadioGroup::SetItems(const TStrings& items) {
    for (TGroupButton* b : FButtons) delete b;
    FButtons.clear();
    FItems.Assign(items);
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    for (int i = 0; i < FItems.Count(); ++i) FButtons.push_back(new TGroupButton(*this, i));
    for (int i = 0; i < FItems.Count(); ++i) FButtons[std::size_t(i)]->SetChecked(i == FItemIndex);
    ArrangeButtons();
}

void TRadioGroup::SetColumns(int v) {
    FColumns = std::clamp(v, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int v) {
    if (v < -1 || v >= FItems.Count()) v = -1;
    if (v == FItemIndex) return;
    FItemIndex = v;
    for (std::size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetChecked(int(i) == v);
    Click();
}

void TRadioGroup::ButtonClicked(int index) {
    if (index == FItemIndex) return;
    SetItemIndex(index);
}

void TRadioGroup::StepFrom(int index, bool forward) {
    const int count = int(FButtons.size());
    for (int k = 1; k < count; ++k) {
        const int next = ((forward ? index + k : index - k) % count + count) % count;
        TGroupButton* button = FButtons[std::size_t(next)];
        if (!button->CanFocus()) continue;
        button->SetFocus();
        ButtonClicked(next);
        return;
    }
}

// Buttons fill the columns top to bottom, left to right, below the caption.
void TRadioGroup::ArrangeButtons() {
    const int count = int(FButtons.size());
    if (!count) return;
    constexpr int Margin = 8, CaptionSpace = 16, BottomSpace = 4, ButtonHeight = 17;
    const int rows = (count + FColumns - 1) / FColumns;
    const int columnWidth = std::max(1, (Width() - 2 * Margin) / FColumns);
    const int rowHeight = std::max(1, (Height() - CaptionSpace - BottomSpace) / rows);
    const int height = std::min(ButtonHeight, rowHeight);
    for (int i = 0; i < count; ++i) {
        const int column = i / rows, row = i % rows;
        FButtons[std::size_t(i)]->SetBounds(Margin + column * columnWidth,
                                            CaptionSpace + row * rowHeight + (rowHeight - height) / 2,
                                            columnWidth - 2, height);
    }
}

void TRadioGroup::HandleCreated() { ArrangeButtons(); }

LRESULT TRadioGroup::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE) ArrangeButtons();
    return TWinControl::WndProc(msg, wParam, lParam);
}

void TRadioGroup::PaintWindow(HDC dc) {
    RECT client;
    GetClientRect(WindowHandle(), &client);
    EraseBackground(dc, client);
    DrawGroupFrame(dc, client, *this);
    PaintGraphicChildren(dc, client);
}

// ---------------------------------------------------------------------------------------
// TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"EDIT";
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::string TEdit::Text() const {
    HWND hwnd = WindowHandle();
    if (!hwnd) return Caption();
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return Narrow(text);
}

void TEdit::SetText(const std::string& v) {
    SetCaption(v);  // the window reports the change itself
    if (!HandleAllocated() && OnChange) OnChange(this);
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR && OnKeyPress) {
        wchar_t key = wchar_t(wParam);
        OnKeyPress(this, key);
        if (!key) return 0;
        wParam = WPARAM(key);
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

void TEdit::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"COMBOBOX";
    params.Style |= CBS_DROPDOWNLIST | WS_VSCROLL;
}

int TComboBox::WindowHeight() const {
    constexpr int ListLines = 8, LineHeight = 16;
    return Height() + ListLines * LineHeight;
}

void TComboBox::HandleCreated() {
    for (const auto& item : FItems.Lines()) SendMessageW(WindowHandle(), CB_ADDSTRING, 0, LPARAM(Widen(item).c_str()));
    SendMessageW(WindowHandle(), CB_SETCURSEL, WPARAM(FItemIndex), 0);
}

void TComboBox::SetItems(const TStrings& items) {
    FItems.Assign(items);
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    if (!HandleAllocated()) return;
    SendMessageW(WindowHandle(), CB_RESETCONTENT, 0, 0);
    HandleCreated();
}

void TComboBox::SetItemIndex(int v) {
    FItemIndex = v >= -1 && v < FItems.Count() ? v : -1;
    if (HandleAllocated()) SendMessageW(WindowHandle(), CB_SETCURSEL, WPARAM(FItemIndex), 0);
}

void TComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    FItemIndex = int(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 185, 89);
}

void TMemo::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"EDIT";
    params.Style |= ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::HandleCreated() { SetWindowTextW(WindowHandle(), Widen(FLines.Text()).c_str()); }

void TMemo::SetLines(const TStrings& lines) {
    FLines.Assign(lines);
    if (HandleAllocated()) HandleCreated();
}

// ---------------------------------------------------------------------------------------
// TGroupBox, TPanel

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 105); }

void TGroupBox::PaintWindow(HDC dc) {
    RECT client;
    GetClientRect(WindowHandle(), &client);
    EraseBackground(dc, client);
    DrawGroupFrame(dc, client, *this);
    Paint();
    PaintGraphicChildren(dc, client);
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

TRect TPanel::AlignRect() const {
    const int inset = int(BevelOuter != TPanelBevel::bvNone) + int(BevelInner != TPanelBevel::bvNone);
    return Rect(inset, inset, Width() - inset, Height() - inset);
}

void TPanel::PaintWindow(HDC dc) {
    RECT r;
    GetClientRect(WindowHandle(), &r);
    const RECT client = r;
    EraseBackground(dc, client);
    if (BevelOuter != TPanelBevel::bvNone)
        DrawEdge(dc, &r, BevelOuter == TPanelBevel::bvRaised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (BevelInner != TPanelBevel::bvNone)
        DrawEdge(dc, &r, BevelInner == TPanelBevel::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
    if (!Caption().empty()) {
        HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        DrawTextW(dc, Widen(Caption()).c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
    }
    Paint();
    PaintGraphicChildren(dc, client);
}

// ---------------------------------------------------------------------------------------
// TLabel, TBevel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 13);
    FFont.OnChange = [this] {
        AdjustSize();
        Invalidate();
    };
}

void TLabel::SetCaption(const std::string& v) {
    FCaption = v;
    AdjustSize();
    Invalidate();
}

void TLabel::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustSize();
}

wchar_t TLabel::AccessKey() const { return AccessKeyOf(FCaption); }

bool TLabel::DialogChar(wchar_t key) {
    if (key != AccessKey() || !FocusControl || !FocusControl->CanFocus()) return false;
    FocusControl->SetFocus();
    return true;
}

void TLabel::AdjustSize() {
    if (!FAutoSize) return;
    HDC dc = NewMemoryDC();
    HGDIOBJ oldFont = SelectObject(dc, FFont.Handle());
    RECT r{0, 0, 0, 0};
    const std::wstring text = Widen(FCaption.empty() ? std::string(" ") : FCaption);
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS);  // one line per line of the caption
    SelectObject(dc, oldFont);
    DeleteMemoryDC(dc);
    SetBounds(Left(), Top(), r.right, r.bottom);
}

void TLabel::Paint() {
    TBitmap& surface = Canvas().Target();
    if (surface.Empty()) return;
    TBitmapDC dc(surface);
    RECT r{0, 0, Width(), Height()};
    HBRUSH brush = NewSolidBrush(ParentColor(*this));
    FillRect(dc.Handle(), &r, brush);
    DeleteGdiObject(brush);
    HGDIOBJ oldFont = SelectObject(dc.Handle(), FFont.Handle());
    SetBkMode(dc.Handle(), TRANSPARENT);
    SetTextColor(dc.Handle(), ColorToRGB(Enabled() ? FFont.Color() : clGrayText));
    DrawTextW(dc.Handle(), Widen(FCaption).c_str(), -1, &r, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
    SelectObject(dc.Handle(), oldFont);
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::Paint() {
    TBitmap& surface = Canvas().Target();
    if (surface.Empty()) return;
    TBitmapDC dc(surface);
    RECT r{0, 0, Width(), Height()};
    HBRUSH brush = NewSolidBrush(ParentColor(*this));
    FillRect(dc.Handle(), &r, brush);
    DeleteGdiObject(brush);
    DrawEdge(dc.Handle(), &r, Style == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP, BF_RECT);
}

// ---------------------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 23, 22);
    FGlyph.OnChange = [this](TBitmap&) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { FGlyph.OnChange = nullptr; }

void TSpeedButton::SetFlat(bool v) {
    FFlat = v;
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        FDown = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        FDown = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, x, y);  // may free the button: the last step
}

void TSpeedButton::Paint() {
    TCanvas& canvas = Canvas();
    if (canvas.Target().Empty()) return;
    canvas.Brush.Color = ParentColor(*this);
    canvas.FillRect(ClientRect());
    if (!FFlat || FDown) {
        TBitmapDC dc(canvas.Target());
        RECT r{0, 0, Width(), Height()};
        DrawEdge(dc.Handle(), &r, FDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (FGlyph.Empty()) return;
    // A pressed button shows its picture one pixel down and to the right.
    const int shift = FDown ? 1 : 0;
    const int left = (Width() - FGlyph.Width()) / 2 + shift, top = (Height() - FGlyph.Height()) / 2 + shift;
    const TCanvas& glyph = FGlyph.Canvas();
    const TColor transparent = glyph.Pixel(0, FGlyph.Height() - 1);
    for (int y = 0; y < FGlyph.Height(); ++y)
        for (int x = 0; x < FGlyph.Width(); ++x)
            if (const TColor c = glyph.Pixel(x, y); c != transparent) canvas.SetPixel(left + x, top + y, c);
}

}  // namespace Toolkit
