// The forms layer of the win32 backend: TForm (a top-level window shown modeless or
// modal) and the keyboard handling of forms (key preview, access keys, dialog
// navigation), which it installs into the message loop. It asks its controls through
// the windowed controls' virtual calls and knows none of the standard controls.
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/win32/MessageLoop.h"
#include "toolkit/win32/WinControls.h"

namespace Toolkit {

enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum class TPosition : std::uint8_t { poDesigned, poScreenCenter };
enum class TFormBorderStyle : std::uint8_t { bsDialog, bsSizeable, bsNone };

// A top-level window: dialog border, centred by default, shown modeless or modal.
// Without a border (bsNone) it is a plain pop-up window; with poDesigned it opens at
// its bounds, in screen coordinates.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void SetClientSize(int width, int height);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    bool KeyPreview = false;

    void Show();
    void Hide();
    // Shows the form modally: other windows of the program are disabled until
    // ModalResult becomes non-zero (a button's ModalResult, Close, Escape on a cancel
    // button). Returns the result.
    TModalResult ShowModal();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // Asks OnClose what to do (caHide by default; caFree frees the form once the
    // current message is done). The application's main form ends the message loop
    // instead, whatever the action (but caNone); it stays for its maker to free.
    void Close();

    // Focus moves here when the form is activated.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);

    // The enabled, visible control that is the default (Enter) or cancel (Escape)
    // button, or nullptr.
    TWinControl* DefaultButton();
    TWinControl* CancelButton();

    std::function<void(TObject* sender, TCloseAction& action)> OnClose;
    TNotifyEvent OnShow;
    TNotifyEvent OnCreate;
    // The form's window became the active window, or stopped being it.
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Makes this the form whose closing ends Application().Run(); the program frees it
    // once the loop has ended.
    void MakeMainForm();
    static TForm* MainForm();

    bool DialogChar(wchar_t key) override;
    void ControlFocused(TWinControl& control) override;
    void ModalResultClicked(TModalResult result) override;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool ActivatesWhenShown() const override { return true; }
    // With KeyPreview the form's key events were raised before the key reached any of
    // its windows, its own included: they are not raised again.
    void KeyDown(WORD& key) override;
    void KeyUp(WORD& key) override;
    // Called after the activation change has been handled; the defaults raise OnActivate
    // and OnDeactivate.
    virtual void Activate();
    virtual void Deactivate();

private:
    void CenterOnScreen();

    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsDialog;
    TPosition FPosition = TPosition::poScreenCenter;
    TModalResult FModalResult = TModalResult::mrNone;
    TWinControl* FActiveControl = nullptr;
    bool FModal = false;
    bool FReleasing = false;
    Win32::TDeferredCall FRelease = 0;  // the pending free of a caFree close
};

// The form control sits on (control itself when it is one), or nullptr.
TForm* GetParentForm(TControl& control);

}  // namespace Toolkit
