// Forms layer of the win32 backend: TForm, its modal loop, and the keyboard handling of
// forms (key preview, access keys, dialog navigation) that it installs into the message
// loop as a filter.
#include "toolkit/win32/Forms.h"

#include <cwctype>
#include <vector>

#include "toolkit/Application.h"

namespace Toolkit {

using namespace Win32;

namespace {

TForm* gMainForm = nullptr;

bool PreTranslateMessage(MSG& msg);

// The forms' keyboard handling runs before the loop dispatches a message, from the
// first form on.
void InstallKeyboardFilter() {
    static const bool installed = (AddMessageFilter(PreTranslateMessage), true);
    (void)installed;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    InstallKeyboardFilter();
    SetVisible(false);  // shown by Show or ShowModal
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    CancelDeferred(FRelease);
    if (gMainForm == this) gMainForm = nullptr;
    // Owned controls go while the form is still whole.
    DestroyComponents();
    DestroyHandle();
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);  // the toolkit's own window class
    params.ExStyle = WS_EX_CONTROLPARENT;
    switch (FBorderStyle) {
        case TFormBorderStyle::bsDialog:
            params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
            params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsSizeable:
            params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
            break;
        case TFormBorderStyle::bsNone:
            params.Style = WS_POPUP | WS_CLIPCHILDREN;
            break;
    }
}

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::CenterOnScreen() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SetBounds(work.left + (work.right - work.left - Width()) / 2, work.top + (work.bottom - work.top - Height()) / 2,
              Width(), Height());
}

void TForm::Show() {
    const bool first = !HandleAllocated();
    Handle();
    if (first && FPosition == TPosition::poScreenCenter) CenterOnScreen();
    SetVisible(true);
    SetForegroundWindow(Handle());
    if (OnShow) OnShow(this);
    if (!FActiveControl) {
        // Focus the first control in tab order that takes it.
        if (TWinControl* c = FindNextControl(nullptr, true)) c->SetFocus();
    } else if (FActiveControl->CanFocus()) {
        FActiveControl->SetFocus();
    }
}

void TForm::Hide() { SetVisible(false); }

void TForm::SetActiveControl(TWinControl* control) { FActiveControl = control; }

void TForm::ControlFocused(TWinControl& control) {
    if (&control != this) SetActiveControl(&control);
}

void TForm::ModalResultClicked(TModalResult result) { SetModalResult(result); }

namespace {
BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}
}  // namespace

TModalResult TForm::ShowModal() {
    if (FModal || Visible()) throw Exception("Cannot make a visible window modal.");
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND hwnd : disabled) EnableWindow(hwnd, FALSE);
    FModal = true;
    FModalResult = TModalResult::mrNone;
    try {
        Show();
        MSG msg;
        while (FModalResult == TModalResult::mrNone && !Application().Terminated()) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                Application().Terminate();
                PostQuitMessage(0);
                break;
            }
            DispatchOne(msg);
        }
    } catch (...) {
        FModal = false;
        for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
        throw;
    }
    for (HWND hwnd : disabled)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    Hide();
    FModal = false;
    if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
    return FModalResult;
}

void TForm::Close() {
    if (FReleasing) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (FModal) {
        if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
        return;
    }
    if (this == gMainForm) {
        // The main form ends the program and is never freed by its closing: the program
        // that made it frees it after the loop. A free of its own would run in whatever
        // loop dispatches next (a dialog's, a message box's), under handlers of this very
        // form, and the program would then free it a second time.
        Application().Terminate();
        PostQuitMessage(0);
        Hide();
        return;
    }
    // Set before hiding: a close asked for while the window goes (by a handler of its
    // deactivation) is this one.
    if (action == TCloseAction::caFree) FReleasing = true;
    Hide();
    // Freed once the message now being handled (perhaps one of ours) is done.
    if (action == TCloseAction::caFree) FRelease = PostDeferred([this] { delete this; });
}

void TForm::KeyDown(WORD& key) {
    if (!KeyPreview) TWinControl::KeyDown(key);
}

void TForm::KeyUp(WORD& key) {
    if (!KeyPreview) TWinControl::KeyUp(key);
}

void TForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TForm::MakeMainForm() { gMainForm = this; }
TForm* TForm::MainForm() { return gMainForm; }

namespace {
// Controls of a form, depth first.
void ForEachControl(TControl* parent, const std::function<bool(TControl*)>& fn, bool& done) {
    for (TControl* c : parent->Controls()) {
        if (done) return;
        if (!c->Visible() || !c->Enabled()) continue;
        if (fn(c)) {
            done = true;
            return;
        }
        ForEachControl(c, fn, done);
    }
}

TWinControl* FindButton(TForm& form, bool (TWinControl::*flag)() const) {
    TWinControl* found = nullptr;
    bool done = false;
    ForEachControl(
        &form,
        [&](TControl* c) {
            auto* w = dynamic_cast<TWinControl*>(c);
            if (!w || !(w->*flag)()) return false;
            found = w;
            return true;
        },
        done);
    return found;
}
}  // namespace

TWinControl* TForm::DefaultButton() { return FindButton(*this, &TWinControl::IsDefault); }
TWinControl* TForm::CancelButton() { return FindButton(*this, &TWinControl::IsCancel); }

bool TForm::DialogChar(wchar_t key) {
    bool done = false;
    ForEachControl(this, [&](TControl* c) { return c->DialogChar(key); }, done);
    return done;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE: {
            const bool active = LOWORD(wParam) != WA_INACTIVE;
            LRESULT result = 0;
            if (active && FActiveControl && FActiveControl->CanFocus())
                ::SetFocus(FActiveControl->Handle());
            else
                result = TWinControl::WndProc(msg, wParam, lParam);
            active ? Activate() : Deactivate();  // may close and free the form: the last step
            return result;
        }
        case WM_SYSCOLORCHANGE:
            SysColorChange();
            return 0;
        case DM_GETDEFID: {
            TWinControl* button = DefaultButton();
            if (button && button->HandleAllocated() && button->CanFocus())
                return MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            return 0;
        }
        case WM_COMMAND:
            if (!lParam && !FromId(LOWORD(wParam))) {
                TWinControl* button = LOWORD(wParam) == IDOK       ? DefaultButton()
                                      : LOWORD(wParam) == IDCANCEL ? CancelButton()
                                                                   : nullptr;
                if (button && button->CanFocus()) button->Click();
                return 0;
            }
            break;
        default:
            break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Keyboard handling before dispatch

namespace {
bool PreTranslateMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
    if (!form) return false;
    if (form->KeyPreview) {
        const TKeyEvent& keyEvent = msg.message == WM_KEYDOWN ? form->OnKeyDown : form->OnKeyUp;
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && keyEvent) {
            WORD key = WORD(msg.wParam);
            keyEvent(form, key);
            if (!key) return true;
            msg.wParam = key;
        } else if (msg.message == WM_CHAR && form->OnKeyPress) {
            wchar_t key = wchar_t(msg.wParam);
            form->OnKeyPress(form, key);
            if (!key) return true;
            msg.wParam = WPARAM(key);
        }
    }
    if (msg.message == WM_SYSCHAR && form->DialogChar(wchar_t(std::towlower(wint_t(msg.wParam))))) return true;
    // Tab follows the tab order; the system's navigation does arrows, Enter and Escape.
    if (form->DialogTab(msg)) return true;
    return IsDialogMessageW(root, &msg) != 0;
}
}  // namespace

TForm* GetParentForm(TControl& control) {
    for (TControl* c = &control; c; c = c->Parent())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

}  // namespace Toolkit
