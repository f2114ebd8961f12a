// Visual controls: position, size, repaint requests and a canvas to paint on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

namespace Toolkit {

class TControl;

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Mouse events: the button and the position in the control's client coordinates.
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, int x, int y)>;

// The platform side of a control: where its pixels go and how repaints are requested.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // Request a repaint of the whole control.
    virtual void Invalidate() = 0;
    // The control's canvas was drawn on outside Paint: show what it holds.
    virtual void Present() = 0;
    // Position, size, visibility or parent changed.
    virtual void BoundsChanged() = 0;
    // Enabled changed.
    virtual void EnabledChanged() {}
    // The control's place in its parent's stacking order changed.
    virtual void StackingChanged() {}
};

// Supplied by the backend.
std::unique_ptr<TControlPeer> NewControlPeer(TControl& control);

// A mouse pointer shape: 0 the default of the window, negative the system's shapes,
// positive a program's own (see the backend's cursor table).
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    TRect BoundsRect() const { return Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    // How the control lies in its parent: alNone where SetBounds puts it; alTop, alBottom,
    // alLeft and alRight along that side of what aligned siblings before them leave of the
    // parent's AlignRect, keeping their own height or width; alClient over all that is
    // left. Sides are taken in that order (tops first), siblings in stacking order. The
    // parent places them again whenever its size, a child's Align, size or visibility, or
    // its children change.
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    // The part of the control its aligned children share: the client area by default.
    virtual TRect AlignRect() const { return ClientRect(); }
    // Places the aligned children.
    void AlignControls();

    TControl* Parent() const { return FParent; }
    // Moves the control into parent's list of children, on top of them (nullptr: takes
    // it out).
    void SetParent(TControl* parent);
    // Children in stacking order, bottom first: a child is drawn over those before it and
    // under those after it. That is the order they were given this parent until
    // BringToFront or SendToBack moves one. (The order of the Tab key is a matter of its
    // own, kept by windowed controls.)
    const std::vector<TControl*>& Controls() const { return FControls; }
    int ControlCount() const { return int(FControls.size()); }
    // Puts the control over all its siblings, or under all of them. Windowless controls
    // are painted on their parent's window, so they stay under every windowed sibling:
    // among themselves they stack as the list says.
    void BringToFront();
    void SendToBack();

    // An opaque control paints its whole area; nothing is erased behind it.
    bool Opaque() const { return FOpaque; }

    // Request a repaint; the backend calls PaintControl when it is due.
    void Invalidate();
    // Runs Paint on the control's canvas (called by the backend) and, for a graphic
    // control, presents the canvas, also when Paint raised (then re-raised afterwards).
    void PaintControl();

    // Pointer shape over the control.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    // Text shown in a tip while the pointer rests on the control, when ShowHint is set.
    std::string Hint;
    bool ShowHint = false;
    // Topic of the control in the program's help file; 0: none.
    int HelpContext = 0;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The backend reports a press and a release of a mouse button here, in client
    // coordinates; a button pressed on the control reports its release to the same
    // control, wherever it happens. They run MouseDown and MouseUp; releasing the left
    // button over the control clicks it when the press was on it too.
    void PressMouse(TMouseButton button, int x, int y);
    void ReleaseMouse(TMouseButton button, int x, int y);
    // What a control does with a press, a release and a move; the defaults raise the
    // events (a key that stands for a press or a release calls them too).
    virtual void MouseDown(TMouseButton button, int x, int y);
    virtual void MouseUp(TMouseButton button, int x, int y);
    virtual void MouseMove(int x, int y);
    // Raises OnClick (controls with a state of their own change it first).
    virtual void Click();
    // An access key (Alt + letter, lower case) went to the control's form: true when the
    // control took it (focused or clicked what it stands for).
    virtual bool DialogChar(wchar_t key) {
        (void)key;
        return false;
    }

    TControlPeer& Peer() { return *FPeer; }

protected:
    void SetOpaque(bool v) { FOpaque = v; }
    virtual void Paint() {}
    // Called by SetBounds (and SetLeft, SetWidth, ...) after the position or size has
    // changed: a control that keeps others in step with its size does it here.
    virtual void BoundsChanged() {}

private:
    // An aligned control asks its parent to place the aligned children again.
    void RealignParent();

    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FOpaque = false;
    bool FPressedHere = false;  // the left button went down on the control and is not released yet
    bool FAligning = false;     // AlignControls is placing the children
    TCursor FCursor = crDefault;
    TAlign FAlign = TAlign::alNone;
    TControl* FParent = nullptr;
    std::vector<TControl*> FControls;
    std::unique_ptr<TControlPeer> FPeer;
};

// Puts control at the bounds inside parent and returns it (forms built in code).
template <class T>
T* Place(T* control, TControl* parent, int left, int top, int width, int height) {
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
}

// A windowless control: it paints on a canvas the size of its client area, which the
// backend shows in the control's bounds.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    // Drawing surface of the control; drawing on it outside Paint shows at once.
    TCanvas& Canvas();
    // The pixels currently shown by the control (its client area).
    const TBitmap& Surface() const { return FSurface; }

protected:
    // Runs draw(surface) on the surface itself, sized to the control, for a control that
    // would otherwise draw into a bitmap of its own and copy that here: what it draws is
    // shown once, when draw returns (inside Paint, when the paint ends), not at each change.
    // The canvas keeps the brush, pen and copy mode its owner gave it, whatever draw set.
    template <class Draw>
    void DrawOnSurface(Draw&& draw) {
        TCanvas& canvas = Canvas();
        struct Restore {
            TGraphicControl& Control;
            TCanvas& Canvas;
            const bool Painting;
            const TBrush Brush;
            const TPen Pen;
            const TCopyMode Mode;
            ~Restore() {
                Control.FPainting = Painting;
                Canvas.Brush = Brush;
                Canvas.Pen = Pen;
                Canvas.CopyMode = Mode;
            }
        };
        {
            const Restore restore{*this, canvas, FPainting, canvas.Brush, canvas.Pen, canvas.CopyMode};
            FPainting = true;
            draw(FSurface);
            if (restore.Painting) return;
        }
        Peer().Present();
    }

private:
    TBitmap FSurface;
    bool FPainting = false;
    friend class TControl;
};

}  // namespace Toolkit
