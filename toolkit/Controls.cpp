#include "toolkit/Controls.h"

namespace Toolkit {

TControl::TControl(TComponent* owner) : TComponent(owner), FPeer(NewControlPeer(*this)) {}

TControl::~TControl() = default;

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    FPeer->BoundsChanged();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    FPeer->BoundsChanged();
}

void TControl::SetParent(TControl* parent) {
    FParent = parent;
    FPeer->BoundsChanged();
}

void TControl::Invalidate() { FPeer->Invalidate(); }

void TControl::PaintControl() {
    if (auto* graphic = dynamic_cast<TGraphicControl*>(this)) {
        graphic->FPainting = true;
        try {
            graphic->Canvas();
            Paint();
        } catch (...) {
            graphic->FPainting = false;
            throw;
        }
        graphic->FPainting = false;
        FPeer->Present();
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
