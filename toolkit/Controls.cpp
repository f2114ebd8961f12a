#include "toolkit/Controls.h"

#include <algorithm>
#include <exception>

namespace Toolkit {

TControl::TControl(TComponent* owner) : TComponent(owner), FPeer(NewControlPeer(*this)) {}

TControl::~TControl() {
    // Children outlive this control when they have another owner: they lose their parent.
    for (TControl* child : FControls) child->FParent = nullptr;
    FControls.clear();
    if (FParent) {
        auto& siblings = FParent->FControls;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        FParent = nullptr;
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    const bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    FPeer->BoundsChanged();
    BoundsChanged();
    if (resized) AlignControls();
    RealignParent();
}

void TControl::RealignParent() {
    if (FAlign != TAlign::alNone && FParent) FParent->AlignControls();
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (FParent) FParent->AlignControls();
}

void TControl::AlignControls() {
    if (FAligning) return;
    FAligning = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FAligning};
    TRect r = AlignRect();
    const std::vector<TControl*> children = FControls;  // a child's SetBounds may not reorder them
    for (const TAlign side : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : children) {
            if (c->FAlign != side || !c->FVisible) continue;
            const int w = std::max(r.Width(), 0), h = std::max(r.Height(), 0);
            switch (side) {
                case TAlign::alTop:
                    c->SetBounds(r.Left, r.Top, w, c->FHeight);
                    r.Top += std::min(c->FHeight, h);
                    break;
                case TAlign::alBottom:
                    c->SetBounds(r.Left, r.Bottom - c->FHeight, w, c->FHeight);
                    r.Bottom -= std::min(c->FHeight, h);
                    break;
                case TAlign::alLeft:
                    c->SetBounds(r.Left, r.Top, c->FWidth, h);
                    r.Left += std::min(c->FWidth, w);
                    break;
                case TAlign::alRight:
                    c->SetBounds(r.Right - c->FWidth, r.Top, c->FWidth, h);
                    r.Right -= std::min(c->FWidth, w);
                    break;
                default: c->SetBounds(r.Left, r.Top, w, h); break;
            }
        }
    }
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    FPeer->BoundsChanged();
    RealignParent();
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    FPeer->EnabledChanged();
}

void TControl::SetParent(TControl* parent) {
    if (parent == FParent) return;
    for (TControl* p = parent; p; p = p->FParent)
        if (p == this) throw Exception("A control cannot be its own parent.");
    TControl* const old = FParent;
    if (FParent) {
        auto& siblings = FParent->FControls;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    FParent = parent;
    if (FParent) FParent->FControls.push_back(this);
    FPeer->BoundsChanged();
    if (FAlign != TAlign::alNone && old) old->AlignControls();
    RealignParent();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& siblings = FParent->FControls;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    siblings.push_back(this);
    FPeer->StackingChanged();
    RealignParent();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& siblings = FParent->FControls;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    siblings.insert(siblings.begin(), this);
    FPeer->StackingChanged();
    RealignParent();
}

void TControl::Invalidate() { FPeer->Invalidate(); }

void TControl::MouseDown(TMouseButton button, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, x, y);
}

void TControl::MouseUp(TMouseButton button, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, x, y);
}

void TControl::PressMouse(TMouseButton button, int x, int y) {
    if (button == TMouseButton::mbLeft) FPressedHere = true;
    MouseDown(button, x, y);
}

void TControl::ReleaseMouse(TMouseButton button, int x, int y) {
    // A click is a press and a release of the left button on this control: a release
    // whose press began elsewhere clicks nothing.
    const bool click = button == TMouseButton::mbLeft && FPressedHere && x >= 0 && y >= 0 && x < FWidth && y < FHeight;
    if (button == TMouseButton::mbLeft) FPressedHere = false;
    const auto self = Watch();
    MouseUp(button, x, y);  // may free the control
    if (self && click) Click();
}

void TControl::MouseMove(int x, int y) {
    if (OnMouseMove) OnMouseMove(this, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::PaintControl() {
    if (auto* graphic = dynamic_cast<TGraphicControl*>(this)) {
        // Paint may raise an event whose handler frees the control.
        const auto self = Watch();
        graphic->FPainting = true;
        std::exception_ptr error;
        try {
            graphic->Canvas();
            Paint();
        } catch (...) {
            error = std::current_exception();
        }
        if (!self) {
            if (error) std::rethrow_exception(error);
            return;
        }
        graphic->FPainting = false;
        // A Paint that raised still shows what it drew before (a frame's fill colour):
        // the screen never keeps pixels of an earlier frame for it.
        FPeer->Present();
        if (error) std::rethrow_exception(error);
    } else {
        Paint();
    }
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
    // Drawing outside Paint goes to the screen at once, as a window DC would.
    FSurface.OnChange = [this](TBitmap&) {
        if (!FPainting) Peer().Present();
    };
}

TGraphicControl::~TGraphicControl() { FSurface.OnChange = nullptr; }

TCanvas& TGraphicControl::Canvas() {
    if (FSurface.Width() != Width() || FSurface.Height() != Height()) {
        const bool painting = FPainting;
        FPainting = true;  // resizing the surface is not a drawing to show
        FSurface.SetSize(Width(), Height());
        FPainting = painting;
    }
    return FSurface.Canvas();
}

}  // namespace Toolkit
