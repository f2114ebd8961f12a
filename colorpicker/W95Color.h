// W95Color on Windows: the colour button, the pop-up palette it opens and the palette's
// dialog button. What they draw and decide comes from the portable core
// (W95ColorCore.h); these classes carry it onto windows, mouse and keys.
#pragma once

#include <string>

#include "colorpicker/W95ColorCore.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/WinControls.h"

namespace W95Color {

using Toolkit::TComponent;
using Toolkit::TMouseButton;
using Toolkit::TNotifyEvent;
using Toolkit::TStrings;

// A push button drawn by the toolkit: pressed while the left mouse button is held down
// on it (and the pointer is over it) or Space is held; Space released and Enter click
// it. It takes Enter from the form's dialog keys. Its key-down event is not raised.
class TPushControl : public Toolkit::TCustomControl {
public:
    explicit TPushControl(TComponent* owner);

    bool Pressed() const { return FPush.Pressed(); }
    bool Tracking() const { return FPush.Tracking(); }

    void MouseDown(TMouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(TMouseButton button, int x, int y) override;

protected:
    void KeyDown(WORD& key) override;
    void KeyUp(WORD& key) override;
    void DoEnter() override;
    void DoExit() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TPushTracker FPush;
};

// The colour button: a swatch of Color and a drop-down arrow. A click opens a new
// TPopUpColorBox under it; choosing there sets Color.
class TWin95ColorButton : public TPushControl {
public:
    // 46 x 24, a tab stop, white.
    explicit TWin95ColorButton(TComponent* owner);
    ~TWin95ColorButton() override;

    TColor Color() const { return FColor; }
    // A different colour is stored, raises OnColorChange and repaints; the same one does
    // nothing.
    void SetColor(TColor value);

    // Caption of the pop-up's dialog button; '&' marks its access key.
    std::string ButtonCaption = "&More...";
    // Handed to the colour dialog the pop-up's dialog button opens.
    Toolkit::TColorDialogOptions ColorDlgOptions;
    TStrings& ColorDlgCustomColors() { return FColorDlgCustomColors; }
    const TStrings& ColorDlgCustomColors() const { return FColorDlgCustomColors; }
    // Copies the lines (see Toolkit::ReadCustomColors for their form).
    void SetColorDlgCustomColors(const TStrings& lines) { FColorDlgCustomColors.Assign(lines); }

    TNotifyEvent OnColorChange;

    // Opens a new pop-up palette under the button (above it near the bottom of the
    // monitor's work area, kept inside the work area at its sides), then raises OnClick.
    void Click() override;

protected:
    void Paint() override;

private:
    TColor FColor = Toolkit::clWhite;
    TStrings FColorDlgCustomColors;
};

class TWin95Button;

// The pop-up palette: a borderless window of 20 colour cells, a cell for a colour
// outside them, and a dialog button. A click on a cell sets the colour button's Color
// and closes the pop-up; Escape, or another window becoming active, closes it
// unchanged. A closed pop-up frees itself.
class TPopUpColorBox : public Toolkit::TForm {
public:
    // owner: the colour button whose Color it offers to change; the owner places it.
    explicit TPopUpColorBox(TWin95ColorButton& owner);
    ~TPopUpColorBox() override;

    const TPopUpModel& Model() const { return FModel; }
    TWin95Button& DialogButton() const { return *FDialogButton; }
    // Becoming inactive closes the pop-up (not while its colour dialog is open).
    bool CloseOnDeactivate = true;

    void MouseDown(TMouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(TMouseButton button, int x, int y) override;
    void SysColorChange() override;

protected:
    void CreateParams(Toolkit::TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void Deactivate() override;

private:
    friend class TWin95Button;
    void FormCreate();
    // Hides the pop-up, runs the colour dialog for the colour button, and closes.
    void RunColorDialog(TWin95Button& button);
    // The surface holding what the window shows, painted whole when it is new.
    Toolkit::TCanvas& Surface();
    void ShowSurface();

    TWin95ColorButton& FColorButton;
    TPopUpModel FModel;
    Toolkit::TBitmap FSurface;
    bool FSurfacePainted = false;
    TWin95Button* FDialogButton = nullptr;
};

// The pop-up's flat push button with a caption. On a pop-up it opens the colour dialog
// when clicked (and then raises OnClick); elsewhere a click only raises OnClick. Its
// access key (Alt + the letter after '&') clicks it.
class TWin95Button : public TPushControl {
public:
    // 40 x 20, in its parent's font.
    explicit TWin95Button(TComponent* owner);

    void Click() override;
    bool DialogChar(wchar_t key) override;

protected:
    void Paint() override;
};

// The pop-up the last colour button click created, until it has closed and freed
// itself; nullptr then, and before the first.
TPopUpColorBox* LastPopUp();

}  // namespace W95Color
