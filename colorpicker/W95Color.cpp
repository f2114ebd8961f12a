// W95Color on Windows: the colour button, the pop-up palette and its dialog button, each
// handler a call or two into the portable core.
#include "colorpicker/W95Color.h"

namespace W95Color {

using namespace Toolkit;

namespace {

// The pop-up of the last click; cleared by the pop-up when it goes.
TPopUpColorBox* gLastPopUp = nullptr;

constexpr int ColorButtonWidth = 46;
constexpr int ColorButtonHeight = 24;
constexpr int DialogButtonWidth = 40;
constexpr int DialogButtonHeight = 20;

// The work area (the monitor without its task bars) of the monitor that r lies on most,
// or of the nearest one.
TRect WorkAreaAt(const RECT& r) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace

TPopUpColorBox* LastPopUp() { return gLastPopUp; }

// ---------------------------------------------------------------------------------------
// TPushControl

TPushControl::TPushControl(TComponent* owner) : TCustomControl(owner) {}

void TPushControl::MouseDown(TMouseButton button, int x, int y) {
    const auto alive = Watch();
    TCustomControl::MouseDown(button, x, y);
    if (!alive || button != TMouseButton::mbLeft || !Enabled()) return;
    if (!Focused()) SetFocus();
    if (FPush.LeftDown(true)) Repaint();
}

void TPushControl::MouseMove(int x, int y) {
    const auto alive = Watch();
    TCustomControl::MouseMove(x, y);
    if (alive && FPush.Move(x, y, ClientWidth(), ClientHeight())) Invalidate();
}

void TPushControl::MouseUp(TMouseButton button, int x, int y) {
    if (FPush.LeftUp()) Invalidate();
    TCustomControl::MouseUp(button, x, y);  // the click follows a left release over the button
}

void TPushControl::KeyDown(WORD& key) {
    const TPushKeyAction action = FPush.KeyDown(key, Enabled());
    if (key == VkSpace || key == VkReturn) key = 0;
    if (action == TPushKeyAction::MouseDown)
        MouseDown(TMouseButton::mbLeft, 1, 1);
    else if (action == TPushKeyAction::Click)
        Click();
}

void TPushControl::KeyUp(WORD& key) {
    if (FPush.KeyUp(key, Enabled()) == TPushKeyAction::MouseUpThenClick) {
        const auto alive = Watch();
        MouseUp(TMouseButton::mbLeft, 1, 1);  // a release that clicks nothing by itself
        if (alive) Click();
        if (!alive) return;
    }
    TCustomControl::KeyUp(key);
}

void TPushControl::DoEnter() {
    TCustomControl::DoEnter();
    Invalidate();
}

void TPushControl::DoExit() {
    TCustomControl::DoExit();
    Invalidate();
}

LRESULT TPushControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) {
        // Enter presses this button, not the form's default one.
        const auto* m = reinterpret_cast<const MSG*>(lParam);
        return m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// TWin95ColorButton

TWin95ColorButton::TWin95ColorButton(TComponent* owner) : TPushControl(owner) {
    SetBounds(Left(), Top(), ColorButtonWidth, ColorButtonHeight);
    SetTabStop(true);
    SetOpaque(true);
    InitPalette();
}

// Its pop-up goes first, while the button is still whole.
TWin95ColorButton::~TWin95ColorButton() { DestroyComponents(); }

void TWin95ColorButton::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    const auto alive = Watch();
    if (OnColorChange) OnColorChange(this);
    if (alive) Invalidate();
}

void TWin95ColorButton::Paint() {
    PaintColorButton(Canvas(), ClientWidth(), ClientHeight(), FColor, Pressed(), Focused(), Enabled());
}

void TWin95ColorButton::Click() {
    RECT r{0, 0, Width(), Height()};
    if (HWND hwnd = Handle()) MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const TRect bounds = PopupPlacement(TRect{r.left, r.top, r.right, r.bottom}, WorkAreaAt(r));
    auto* popup = new TPopUpColorBox(*this);  // frees itself when it closes
    popup->Name = "PopUpColorBox";
    popup->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    const auto alive = Watch();
    popup->Show();
    if (alive) TPushControl::Click();
}

// ---------------------------------------------------------------------------------------
// TPopUpColorBox

TPopUpColorBox::TPopUpColorBox(TWin95ColorButton& owner)
    : TForm(&owner), FColorButton(owner), FModel(owner.Color()) {
    gLastPopUp = this;
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetPosition(TPosition::poDesigned);
    KeyPreview = true;
    Font().SetColor(clBlack);  // the default face and size, in black
    SetBounds(Left(), Top(), PopupWidth, PopupHeight);
    OnKeyDown = [this](TObject*, WORD& key) {
        if (key == VkEscape) Close();
    };
    OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    FormCreate();
}

TPopUpColorBox::~TPopUpColorBox() {
    if (gLastPopUp == this) gLastPopUp = nullptr;
}

void TPopUpColorBox::FormCreate() {
    FDialogButton = new TWin95Button(this);
    FDialogButton->SetParent(this);
    FDialogButton->SetBounds(DialogButtonRect.Left, DialogButtonRect.Top, DialogButtonRect.Width(),
                             DialogButtonRect.Height());
    FDialogButton->SetCaption(FColorButton.ButtonCaption);
    FDialogButton->SetVisible(true);
    SetActiveControl(FDialogButton);
    CloseOnDeactivate = true;
}

void TPopUpColorBox::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    params.ExStyle |= WS_EX_TOOLWINDOW;  // no button on the task bar
}

TCanvas& TPopUpColorBox::Surface() {
    const int w = ClientWidth(), h = ClientHeight();
    if (!FSurfacePainted || FSurface.Width() != w || FSurface.Height() != h) {
        FSurface.SetSize(w, h);
        PaintPopUp(FSurface.Canvas(), FModel);
        FSurfacePainted = true;
    }
    return FSurface.Canvas();
}

// The window shows the surface rather than a fresh PaintPopUp: a repaint from the model
// alone would lose the mark while the pointer rests on the marked cell.
void TPopUpColorBox::PaintWindow(HDC dc) {
    Surface();
    Win32::DrawBitmap(dc, 0, 0, FSurface);
}

void TPopUpColorBox::ShowSurface() {
    if (!HandleAllocated()) return;
    HDC dc = GetDC(Handle());
    if (!dc) return;
    Win32::DrawBitmap(dc, 0, 0, FSurface);
    ReleaseDC(Handle(), dc);
}

void TPopUpColorBox::SysColorChange() {
    FSurfacePainted = false;
    TForm::SysColorChange();
}

void TPopUpColorBox::MouseMove(int x, int y) {
    const auto alive = Watch();
    TForm::MouseMove(x, y);
    if (!alive) return;
    TCanvas& canvas = Surface();
    const std::vector<TCellDraw> draws = FModel.MouseMove(x, y);
    for (const TCellDraw& d : draws) DrawCell(canvas, d.Index, d.Color, d.Marked);
    if (!draws.empty()) ShowSurface();
}

void TPopUpColorBox::MouseDown(TMouseButton button, int x, int y) {
    const auto alive = Watch();
    TForm::MouseDown(button, x, y);
    if (alive) FModel.MouseDown();
}

void TPopUpColorBox::MouseUp(TMouseButton button, int x, int y) {
    const auto alive = Watch();
    TForm::MouseUp(button, x, y);
    if (!alive) return;
    const std::optional<TColor> chosen = FModel.MouseUp(x, y);
    if (!chosen) return;
    FColorButton.SetColor(*chosen);
    if (alive) Close();
}

void TPopUpColorBox::Deactivate() {
    const auto alive = Watch();
    TForm::Deactivate();
    if (alive && CloseOnDeactivate) Close();
}

void TPopUpColorBox::RunColorDialog(TWin95Button& button) {
    const auto alive = Watch();
    const auto buttonAlive = button.Watch();
    CloseOnDeactivate = false;
    Hide();
    auto* dialog = new TColorDialog(this);
    const auto dialogAlive = dialog->Watch();
    // Whatever the dialog did, an error included: it goes, the button reports its
    // click, and the pop-up closes. Handlers may free the pop-up (and so the button).
    const auto finish = [&] {
        if (dialogAlive) delete dialog;
        if (buttonAlive) button.TCustomControl::Click();
        if (!alive) return;
        CloseOnDeactivate = true;
        Close();
    };
    try {
        dialog->Options = FColorButton.ColorDlgOptions;
        dialog->CustomColors = FColorButton.ColorDlgCustomColors();
        dialog->Color = FColorButton.Color();
        HWND owner = FColorButton.HandleAllocated() ? GetAncestor(FColorButton.Handle(), GA_ROOT) : nullptr;
        if (dialog->Execute(owner) && alive) FColorButton.SetColor(dialog->Color);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// ---------------------------------------------------------------------------------------
// TWin95Button

TWin95Button::TWin95Button(TComponent* owner) : TPushControl(owner) {
    SetBounds(Left(), Top(), DialogButtonWidth, DialogButtonHeight);
}

void TWin95Button::Paint() {
    TCanvas& canvas = Canvas();
    const int w = ClientWidth(), h = ClientHeight();
    const bool focused = Focused();
    PaintButtonFrame(canvas, w, h, Pressed(), focused);
    const TRect r = CaptionRect(w, h, Pressed(), focused);
    RECT text{r.Left, r.Top, r.Right, r.Bottom};
    TBitmapDC dc(canvas.Target());
    const HGDIOBJ oldFont = SelectObject(dc.Handle(), Font().Handle());
    SetBkMode(dc.Handle(), TRANSPARENT);
    SetTextColor(dc.Handle(), ColorToRGB(Font().Color()));
    DrawTextW(dc.Handle(), Widen(Caption()).c_str(), -1, &text, DT_CENTER | DT_SINGLELINE);
    SelectObject(dc.Handle(), oldFont);
}

void TWin95Button::Click() {
    if (auto* popup = dynamic_cast<TPopUpColorBox*>(Owner()))
        popup->RunColorDialog(*this);
    else
        TPushControl::Click();
}

bool TWin95Button::DialogChar(wchar_t key) {
    if (key == 0 || key != AccessKeyOf(Caption()) || !Enabled()) return false;
    Click();
    return true;
}

}  // namespace W95Color
