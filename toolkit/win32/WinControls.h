// The windowed-controls layer of the win32 backend: TWinControl (a control with a window
// of its own) and TCustomControl (one that paints itself on a canvas). What the layers
// above need to ask of a control (access keys, default and cancel buttons, focus and
// modal results reported to the form) are virtual calls declared here.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/win32/Gdi.h"

namespace Toolkit {

// A typed character; setting it to 0 discards it.
using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;
// A virtual-key code going down or up; setting it to 0 keeps it from the window.
using TKeyEvent = std::function<void(TObject* sender, WORD& key)>;

// The access key of a caption: the character after its first single '&', lower case;
// 0 when there is none ("&&" stands for a plain '&').
wchar_t AccessKeyOf(const std::string& caption);

enum class TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// What CreateWindowEx is given for a control.
struct TCreateParams {
    std::wstring ClassName = L"LumawipeControl";  // our own class unless a system one
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    DWORD ExStyle = 0;
};

namespace Win32 {
// The cursor table: a program's own shapes under positive ids (a cursor resource loaded
// once and installed here); the system's under the negative ones. The table does not
// own the handles (cursors loaded from resources are shared).
void SetCustomCursor(TCursor id, HCURSOR cursor);
// The handle of a shape, or nullptr for crDefault and unknown ids.
HCURSOR CursorHandle(TCursor id);
}  // namespace Win32

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, made on demand together with its parents' (0 when there is no parent
    // window to put it in).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // A window not made by the toolkit (a container's) that the window of a control with
    // no windowed parent is made in; nullptr: none. A window already made moves into it.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND parent);

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    // Background colour (system colours follow the user's settings).
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TFont& Font() { return FFont; }
    // Take the parent's font when given a parent (true until the font is changed).
    bool ParentFont() const { return FParentFont; }

    // Position in the parent's tab sequence; TabStop: reached by the Tab key. The tab
    // sequence starts as the order the controls were given their parent and does not
    // follow the stacking order (Controls(), BringToFront, SendToBack), nor move it.
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    // Windowed children in tab order.
    std::vector<TWinControl*> TabList() const;
    // The control after current (before it, backwards) in the tab sequence of everything
    // inside this control, containers' children following their container, that is a
    // tab stop and can take the focus; the search wraps round. current may be nullptr
    // (the search starts at an end). nullptr when no control qualifies.
    TWinControl* FindNextControl(TWinControl* current, bool forward) const;
    // Focuses FindNextControl(current, forward); false when there is none.
    bool SelectNext(TWinControl* current, bool forward);
    // Tab or Shift+Tab typed in a window inside this control moves the focus along the
    // tab sequence (the system's dialog navigation would follow the windows' stacking).
    // True when msg was that key and is done with; a control that wants Tab keeps it.
    bool DialogTab(const MSG& msg);

    bool Focused() const;
    bool CanFocus() const;
    void SetFocus();
    int ClientWidth() const;
    int ClientHeight() const;

    // Paints the invalid parts of the window now rather than when the loop gets to it.
    void Repaint();

    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // The window's control, or nullptr for windows not made by the toolkit.
    static TWinControl* FromHandle(HWND hwnd);
    // The child control whose window has this id (WM_COMMAND), or nullptr.
    static TWinControl* FromId(int id);

    // Called when the system colours have changed; passes it on to the children.
    virtual void SysColorChange();

    // Pressed by Enter (IsDefault) or Escape (IsCancel) anywhere on its form.
    virtual bool IsDefault() const { return false; }
    virtual bool IsCancel() const { return false; }

    // Reports passed up the parent chain to the control that takes them, a form: control
    // (this one or one inside it) took the focus; a button inside asks to end the modal
    // run with result. By default a control hands them to its windowed parent.
    virtual void ControlFocused(TWinControl& control);
    virtual void ModalResultClicked(TModalResult result);

protected:
    virtual void CreateParams(TCreateParams& params);
    // Made after the window exists: fill it with the control's state.
    virtual void HandleCreated() {}
    // The window's messages. Default: the class's own procedure.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // Notification code of WM_COMMAND sent by this control to its parent.
    virtual void Command(WORD code) { (void)code; }
    // A key went down or up in the window (WM_KEYDOWN, WM_KEYUP). The defaults raise
    // OnKeyDown and OnKeyUp; a key set to 0 is kept from the window's own processing.
    virtual void KeyDown(WORD& key);
    virtual void KeyUp(WORD& key);
    // The window gained or lost the focus. The defaults raise OnEnter and OnExit.
    virtual void DoEnter();
    virtual void DoExit();
    // A windowless child asked for a repaint while this control has no visible window to
    // show it on, so no paint will come. Default: nothing (it is painted when shown). A
    // control whose children must draw all the same renders them off-screen here.
    virtual void PaintUnshownChild(TControl& child) { (void)child; }
    // The window's client area changed size.
    virtual void Resize() {}
    // Paints the window of our own class: background, Paint, then windowless children.
    virtual void PaintWindow(HDC dc);
    // Background of our own window; windowless opaque children are spared.
    void EraseBackground(HDC dc, const RECT& r);
    void PaintGraphicChildren(HDC dc, const RECT& area);
    void UpdateWindowBounds();
    // Height given to the window (a drop-down list's includes its list).
    virtual int WindowHeight() const { return Height(); }
    // Showing the window also activates it (top-level windows the user works in).
    virtual bool ActivatesWhenShown() const { return false; }
    HWND WindowHandle() const { return FHandle; }
    void CreateHandle();
    void ApplyFont();
    void DestroyHandle();
    bool Painting() const { return FPaintDC != nullptr; }

private:
    friend class TWin32ControlPeer;
    friend LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd);
    void Detach();
    // Mouse messages of our own windows: to the windowless child under the pointer (or
    // the one holding the capture), else to this control.
    void RouteMouse(UINT msg, LPARAM lParam);
    // The visible, enabled windowless child at client point (x, y), or nullptr.
    TControl* GraphicChildAt(int x, int y) const;
    // WM_SETCURSOR over the client area: the shape of the control under the pointer.
    bool SetCursorShape();
    // The tip of the control under the pointer (its Hint, when ShowHint is set); a
    // pressed button or the pointer leaving the window hides it.
    void ShowHintOf(const TControl& control);
    static void HideHint();
    void ParentChanged(TControl* from);
    void ArrangeStacking();

    HWND FHandle = nullptr;
    HWND FParentWindow = nullptr;
    WNDPROC FDefProc = nullptr;
    HDC FPaintDC = nullptr;  // the DC of the WM_PAINT in progress
    TControl* FMouseTarget = nullptr;  // what a button was pressed on: a windowless child, or this
    std::string FCaption;
    TColor FColor = clBtnFace;
    TFont FFont;
    bool FParentFont = true;
    bool FTabStop = false;
    int FTabOrder = -1;
    int FId = 0;
};

// The nearest windowed control among control's parents (the one whose window a
// windowless control shows on), or nullptr.
TWinControl* WindowedAncestor(const TControl& control);

// A windowed control that paints itself on a canvas (double-buffered: Paint draws into a
// bitmap of the client size, which is then shown).
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas& Canvas();

protected:
    void PaintWindow(HDC dc) override;
    // Paint draws the whole client area for its size: a new size repaints all of it.
    void Resize() override { Invalidate(); }

private:
    TBitmap FSurface;
    bool FInPaint = false;
};

}  // namespace Toolkit
