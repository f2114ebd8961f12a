// W95Color, portable core: the palette, the 3-D drawing routines, the colour button's
// paint and press tracking, and the pop-up palette's layout, hit-testing, state and paint.
//
// How the Windows classes use it (each handler is one or two calls):
//
// - TWin95ColorButton (a TCustomControl, opaque, 46 x 24):
//     Paint          PaintColorButton(Canvas(), W, H, Color(), FPush.Pressed(), Focused(), Enabled())
//     MouseDown      after the ordinary processing: if button is left and Enabled(), take the
//                    focus; if FPush.LeftDown(Enabled()) repaint at once
//     MouseMove      if FPush.Move(x, y, ClientWidth(), ClientHeight()) Invalidate()
//     MouseUp        if FPush.LeftUp() Invalidate()
//     KeyDown        switch FPush.KeyDown(key, Enabled()): MouseDown(mbLeft, 1, 1) / Click();
//                    the key is never passed on
//     KeyUp          if FPush.KeyUp(key, Enabled()) == MouseUpThenClick: MouseUp(mbLeft, 1, 1),
//                    Click(); then the ordinary key-up processing
//     Click          a new TPopUpColorBox at PopupPlacement(the button's bounds on the
//                    screen, the work area of its monitor), shown modeless; then OnClick
// - TPopUpColorBox (borderless TForm, 78 x 128) holds a TPopUpModel made from the owner's
//   Color in FormCreate, and a surface bitmap of its client size:
//     FormPaint      PaintPopUp(surface canvas, model), then show the surface
//     FormMouseMove  for each TCellDraw of model.MouseMove(x, y): DrawCell on the surface;
//                    then show it (a full repaint would drop the mark while the pointer
//                    rests on the marked cell, see PaintPopUp)
//     FormMouseDown  model.MouseDown()
//     FormMouseUp    if model.MouseUp(x, y) gives a colour: owner's SetColor(it), Close()
//     the dialog button sits at DialogButtonRect.
// - TWin95Button (TCustomControl): Paint is PaintButtonFrame(Canvas(), W, H, pressed, focused)
//   and then the caption, drawn with GDI text in CaptionRect(W, H, pressed, focused);
//   mouse and keys as for the colour button, with its own TPushTracker.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

namespace W95Color {

using Toolkit::TCanvas;
using Toolkit::TColor;
using Toolkit::TPoint;
using Toolkit::TRect;

// ---------------------------------------------------------------------------------------
// The palette shared by every colour button and pop-up: indices run down the pop-up's
// four columns, five to a column.

constexpr int PaletteCount = 20;

constexpr std::array<TColor, PaletteCount> PaletteColors = {
    0xFFFFFF,  // white
    0x0000FF,  // red
    0x00FF00,  // lime
    0xFF0000,  // blue
    0xC0DCC0,  // money green
    0x000000,  // black
    0x000080,  // maroon
    0x008000,  // green
    0x800000,  // navy
    0xF0CAA6,  // sky blue
    0xC0C0C0,  // silver
    0x00FFFF,  // yellow
    0xFFFF00,  // aqua
    0xFF00FF,  // fuchsia
    0xF0FBFF,  // cream
    0x808080,  // gray
    0x008080,  // olive
    0x808000,  // teal
    0x800080,  // purple
    0xA4A0A0,  // medium gray
};

// The colour button's construction step for the palette. The table is constant from
// start-up, so there is nothing left to fill.
constexpr void InitPalette() {}

// ---------------------------------------------------------------------------------------
// Drawing routines. Rectangles are (left, top, right, bottom), right and bottom exclusive.
// System colours resolve through Toolkit::ColorToRGB, so the look follows the display
// settings.

// Width times: the top and left edges in top, the right and bottom edges in bottom, then
// one pixel inwards. r is left shrunk by width on every side. Leaves the pen in bottom.
void DrawFrame3D(TCanvas& canvas, TRect& r, TColor top, TColor bottom, int width);

// Fills r with button face, then a raised (or, pressed, a pushed-in) two-ring bevel of
// bevel pixels per ring. Returns the rectangle inside both rings. Leaves the brush in
// solid button face.
TRect DrawButtonFace(TCanvas& canvas, const TRect& r, int bevel, bool pressed);

// A black downward triangle in r: rows 1, 3, 5, ... pixels wide from the tip upwards,
// (bottom - top) div 2 rows. Does not touch the pen or the brush.
void DrawDropArrow(TCanvas& canvas, const TRect& r);

// The dotted focus outline of r: every other pixel of the outline inverted (those with an
// even x + y), so drawing it twice restores the picture.
void DrawFocusRect(TCanvas& canvas, const TRect& r);

// ---------------------------------------------------------------------------------------
// Push buttons (the colour button and the pop-up's dialog button).

// The face of a W x H push button and, while focused, its focus rectangle.
void PaintButtonFrame(TCanvas& canvas, int width, int height, bool pressed, bool focused);
// Where a push button's focus rectangle goes.
TRect FocusRect(int width, int height, bool pressed);
// Rectangle a push button's caption is centred in, on one line from its top.
TRect CaptionRect(int width, int height, bool pressed, bool focused);

// The whole colour button: face, focus, drop arrow, swatch in color (button face when
// disabled) and the etched separator between swatch and arrow.
void PaintColorButton(TCanvas& canvas, int width, int height, TColor color, bool pressed, bool focused,
                      bool enabled);

constexpr std::uint16_t VkReturn = 0x0D;
constexpr std::uint16_t VkEscape = 0x1B;
constexpr std::uint16_t VkSpace = 0x20;

// What a key does to a push button, for the control to carry out.
enum class TPushKeyAction : std::uint8_t {
    None,
    MouseDown,         // a left mouse-down at (1, 1)
    Click,             // a click
    MouseUpThenClick,  // a left mouse-up at (1, 1), then a click
};

// Pressed (drawn pushed in) and Tracking (the left button went down on the control and is
// still down). The mouse operations return whether the button must be repainted.
class TPushTracker {
public:
    bool Pressed() const { return FPressed; }
    bool Tracking() const { return FTracking; }

    // Left mouse button down; a disabled button ignores it.
    bool LeftDown(bool enabled);
    // Pointer at (x, y) of a width x height client area; inside includes y = height.
    bool Move(int x, int y, int width, int height);
    bool LeftUp();

    // Space presses a button that is not pressed yet, Enter clicks it.
    TPushKeyAction KeyDown(std::uint16_t key, bool enabled) const;
    // Space releases and clicks.
    TPushKeyAction KeyUp(std::uint16_t key, bool enabled) const;

private:
    bool FPressed = false;
    bool FTracking = false;
};

// ---------------------------------------------------------------------------------------
// Placing the pop-up.

constexpr int PopupWidth = 78;
constexpr int PopupHeight = 128;

// The pop-up's screen rectangle for a colour button at `button` (its bounds on the
// screen) inside `work`, the work area of the monitor the button is on (the monitor
// without its task bars): below the button with the left edges aligned; above it,
// bottom on the button's top, when it does not fit below; moved sideways onto the work
// area where it would leave it. When it fits neither below nor above it takes the side
// with more room and is pushed into the work area. A work area smaller than the pop-up
// holds its left and top edges.
TRect PopupPlacement(const TRect& button, const TRect& work);

// ---------------------------------------------------------------------------------------
// The pop-up palette.

constexpr int CustomIndex = 20;  // the cell showing a colour outside the palette
constexpr int NoIndex = 22;      // no cell under the pointer yet

// Rectangle of cell 0 to 20; empty for any other index.
TRect CellRect(int index);
constexpr TRect DialogButtonRect{3, 101, 56, 123};
// The etched line between the cells and the dialog button: shadow row, then highlight row.
constexpr TRect SeparatorRect{4, 96, 74, 98};

// The cell a pointer at (x, y) counts for: 0 to 19 over the palette's grid, CustomIndex
// over the custom cell, nullopt elsewhere. The grid's columns and rows are wider than the
// cells, and split unevenly between them.
std::optional<int> IndexAt(int x, int y);

// A cell to redraw: DrawCell(canvas, Index, Color, Marked).
struct TCellDraw {
    int Index = 0;
    TColor Color = 0;
    bool Marked = false;
    friend bool operator==(const TCellDraw&, const TCellDraw&) = default;
};

// Draws cell index (0 to 20; others draw nothing). Unmarked: a sunken 16 x 16 well
// filled with color, the selection frame around it erased. Marked: the selection frame
// (black, white, black rings) over the well's edge; color is not used.
void DrawCell(TCanvas& canvas, int index, TColor color, bool marked);

// State of one pop-up, from its creation to a choice.
class TPopUpModel {
public:
    // currentColor: the owning button's colour. Its highest palette index is marked;
    // a colour outside the palette shows in the custom cell, which is then marked.
    explicit TPopUpModel(TColor currentColor);

    int HotIndex() const { return FHotIndex; }        // cell last under the pointer
    int MarkedIndex() const { return FMarkedIndex; }  // cell with the selection frame
    TColor CurrentColor() const { return FCurrentColor; }
    bool ShowCustom() const { return FShowCustom; }
    TColor CellColor(int index) const;

    // The pointer moved to (x, y): the mark follows it onto another cell. Returns the
    // cells to redraw, in order.
    std::vector<TCellDraw> MouseMove(int x, int y);
    void MouseDown();
    // Released at (x, y): the colour to give the button before closing, when the release
    // completes a click on the hot cell; nullopt to stay open.
    std::optional<TColor> MouseUp(int x, int y) const;

private:
    int FHotIndex = NoIndex;
    int FMarkedIndex = CustomIndex;
    int FPressIndex = NoIndex;
    TColor FCurrentColor;
    bool FShowCustom = false;
};

// The whole pop-up on a canvas of its client size: button face, a raised frame, the cells
// unmarked, the mark and the separator. The mark is left out while the hot cell is the
// marked one.
void PaintPopUp(TCanvas& canvas, const TPopUpModel& model);

}  // namespace W95Color
