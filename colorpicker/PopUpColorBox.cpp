// The pop-up palette: cell layout, hit-testing, the mark's moves and the paint.
#include "colorpicker/Drawing.h"

namespace W95Color {

using namespace Toolkit;

namespace {

constexpr int CellSize = 16;
constexpr int CellPitch = 18;
constexpr int GridMargin = 4;
constexpr int CellsPerColumn = 5;
constexpr TRect CustomCellRect{58, 106, 74, 122};

// Pointer areas, wider than the cells they serve (right and bottom exclusive).
constexpr TRect GridArea{3, 3, 75, 93};
constexpr TRect CustomArea{57, 105, 75, 123};

constexpr bool Contains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Column (of x) or row (of y) inside GridArea. Three bands divide by different numbers,
// so the boundaries fall at 21, 22, 40 and 57 (and 76 for rows), not on the cells' pitch.
constexpr int GridBand(int v) { return v <= 21 ? v / 21 : v <= 39 ? v / 20 : v / 19; }

}  // namespace

TRect CellRect(int index) {
    if (index == CustomIndex) return CustomCellRect;
    if (index < 0 || index > CustomIndex) return TRect{};
    const int left = index / CellsPerColumn * CellPitch + GridMargin;
    const int top = index % CellsPerColumn * CellPitch + GridMargin;
    return Rect(left, top, left + CellSize, top + CellSize);
}

std::optional<int> IndexAt(int x, int y) {
    if (Contains(CustomArea, x, y)) return CustomIndex;
    if (!Contains(GridArea, x, y)) return std::nullopt;
    return GridBand(x) * CellsPerColumn + GridBand(y);
}

void DrawCell(TCanvas& canvas, int index, TColor color, bool marked) {
    if (index < 0 || index > CustomIndex) return;
    TRect r = CellRect(index);
    const TRect around = Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
    if (marked) {
        FrameWith(canvas, around, clBlack);
        FrameWith(canvas, Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), clBlack);
        FrameWith(canvas, r, clWhite);
        return;
    }
    FillWith(canvas, around, clBtnFace);
    DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
    DrawFrame3D(canvas, r, clWindowFrame, clBtnFace, 1);
    canvas.Pen = TPen{color, TPenStyle::psSolid};
    canvas.Brush = TBrush{color, TBrushStyle::bsSolid};
    canvas.Rectangle(r);
}

// ---------------------------------------------------------------------------------------

TPopUpModel::TPopUpModel(TColor currentColor) : FCurrentColor(currentColor) {
    for (int i = PaletteCount - 1; i >= 0; --i)
        if (PaletteColors[i] == currentColor) {
            FMarkedIndex = i;
            return;
        }
    FShowCustom = true;
    FMarkedIndex = CustomIndex;
}

TColor TPopUpModel::CellColor(int index) const {
    return index >= 0 && index < PaletteCount ? PaletteColors[index] : FCurrentColor;
}

std::vector<TCellDraw> TPopUpModel::MouseMove(int x, int y) {
    const std::optional<int> index = IndexAt(x, y);
    if (!index) return {};
    if (*index == CustomIndex) {
        if (!FShowCustom || FHotIndex == CustomIndex || FMarkedIndex == CustomIndex) return {};
    } else if (*index == FHotIndex || *index == FMarkedIndex) {
        // First move, onto the marked cell: it becomes hot without a redraw.
        if (FHotIndex == NoIndex) FHotIndex = FMarkedIndex;
        return {};
    }
    FHotIndex = *index;
    std::vector<TCellDraw> draws{{*index, CellColor(*index), true}, {FMarkedIndex, CellColor(FMarkedIndex), false}};
    FMarkedIndex = *index;
    return draws;
}

void TPopUpModel::MouseDown() { FPressIndex = FHotIndex; }

std::optional<TColor> TPopUpModel::MouseUp(int x, int y) const {
    if (FPressIndex != FHotIndex) return std::nullopt;
    if (FHotIndex == CustomIndex && FShowCustom && Contains(CustomArea, x, y)) return FCurrentColor;
    if (FHotIndex < PaletteCount && Contains(GridArea, x, y)) return PaletteColors[FHotIndex];
    return std::nullopt;
}

void PaintPopUp(TCanvas& canvas, const TPopUpModel& model) {
    // The form's own background is button face; the surface starts out blank.
    TRect client = Rect(0, 0, canvas.Target().Width(), canvas.Target().Height());
    FillWith(canvas, client, clBtnFace);
    DrawFrame3D(canvas, client, clBtnHighlight, clWindowFrame, 1);
    DrawFrame3D(canvas, client, clBtnHighlight, clBtnShadow, 1);
    for (int i = 0; i < PaletteCount; ++i) DrawCell(canvas, i, PaletteColors[i], false);
    if (model.ShowCustom()) DrawCell(canvas, CustomIndex, model.CurrentColor(), false);
    if (model.HotIndex() != model.MarkedIndex())
        DrawCell(canvas, model.MarkedIndex(), model.CellColor(model.MarkedIndex()), true);
    DrawEtchedLine(canvas, Rect(SeparatorRect.Left, SeparatorRect.Top, SeparatorRect.Right, SeparatorRect.Top + 1),
                   0, 1);
}

}  // namespace W95Color
