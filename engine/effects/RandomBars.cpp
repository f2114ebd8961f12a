// toRandomBars and toTwinRandomBars: the incoming picture is revealed over the outgoing
// one in one-pixel bars picked at random, one bar per frame. The state object carries the
// bars picked so far from frame to frame.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/FXStates.h"
#include "engine/effects/EffectKit.h"
#include "engine/effects/MaskedRows.h"

namespace Wipekit {

using namespace Effects;

namespace {

template <class TState>
TState& StateOf(const TTransitionParams& p, TTransitionOperation op) {
    auto* state = dynamic_cast<TState*>(p.State);
    if (!state) throw ELumawipe(std::string(OperationName(op)) + " has no state object of its own class.");
    return *state;
}

// Moves bars from Remaining to the end of Shown until f + 1 bars are shown. Each pick
// draws from the first BarCount - f entries of Remaining: the range is fixed by the frame,
// so a frame that advances by several steps picks several bars from the same range.
void PickBars(TBarsFXState& s, std::int32_t f) {
    while (s.ShownCount < f && s.Remaining) {
        // 0 <= f < BarCount in a run: ShownCount starts at -1 and f is below BarCount.
        std::uint32_t i = Random(std::uint32_t(std::int64_t(s.BarCount) - f));
        TBarNode* previous = nullptr;
        TBarNode* node = s.Remaining;
        // Remaining always holds at least BarCount - f entries during a run; the test of
        // Next keeps the walk inside the list should that ever not hold.
        for (; i > 0 && node->Next; --i) {
            previous = node;
            node = node->Next;
        }
        s.ShownTail = AppendBar(s.ShownTail, node->Value);
        if (!s.Shown) s.Shown = s.ShownTail;
        if (previous)
            previous->Next = node->Next;
        else
            s.Remaining = node->Next;
        // The tail is not read after Prepare; it is kept valid all the same.
        if (s.RemainingTail == node) s.RemainingTail = previous;
        delete node;
        ++s.ShownCount;
    }
}

// Which columns and rows of the frame show the bars' picture.
struct BarMasks {
    TMarks Columns;
    TMarks Rows;

    BarMasks(int width, int height) : Columns(std::size_t(std::max(width, 0))), Rows(std::size_t(std::max(height, 0))) {}
    void Column(std::int64_t x) {
        if (x >= 0 && x < std::int64_t(Columns.size())) Columns[std::size_t(x)] = 1;
    }
    void Row(std::int64_t y) {
        if (y >= 0 && y < std::int64_t(Rows.size())) Rows[std::size_t(y)] = 1;
    }
};

// Draws the background over client and the bars' picture onto every shown column and
// row, where both bitmaps have them. Every bar is a copy of the same picture to the same
// place, so the order of the bars does not matter: one pass over the rows in memory order
// draws the background and the bars together, each pixel once.
void DrawBars(TBitmap& work, const TBitmap& background, const TRect& client, const TBitmap& picture,
              BarMasks masks) {
    const std::size_t W = masks.Columns.size(), H = masks.Rows.size();
    const TCrossing crossings[2] = {{TMarks(H, 1), std::move(masks.Columns)}, {std::move(masks.Rows), TMarks(W, 1)}};
    DrawCrossings(work, background, client, picture, crossings);
}

// v * num / den rounded to the nearest integer, halves to even; v, num >= 0, den > 0.
std::int64_t ScaleRounded(std::int64_t v, std::int64_t num, std::int64_t den) {
    const std::int64_t product = v * num;
    std::int64_t q = product / den;
    const std::int64_t twice = 2 * (product % den);
    if (twice > den || (twice == den && (q & 1))) ++q;
    return q;
}

struct BarsFrame {
    bool Finished = false;
    bool DrawShownBars = false;
};

// The part both routines share: the end test and the picking. At the last bar's frame the
// whole picture of the bars is shown; before it the routine draws the background and the
// bars shown (DrawBars).
BarsFrame PickFrame(TBarsFXState& s, const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                    TTransitionParams& p) {
    const TBitmap& bars = p.Reverse ? FromBitmap : ToBitmap;
    BarsFrame frame;
    std::int32_t f = p.CurrentFrame;
    if (s.BarCount < f) {
        frame.Finished = true;
        f = s.BarCount;
        ReportFrame(p, f);
    }
    if (f != s.BarCount) {
        PickBars(s, f);
        frame.DrawShownBars = true;
    } else {
        CopyBand(WorkBitmap, bars, p.ClientRect);
    }
    return frame;
}

}  // namespace

bool RandomBarsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                      TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    auto& s = StateOf<TRandomBarsFXState>(p, TTransitionOperation::toRandomBars);
    const BarsFrame frame = PickFrame(s, FromBitmap, ToBitmap, WorkBitmap, *Params);
    if (frame.DrawShownBars) {
        BarMasks masks(WorkBitmap.Width(), WorkBitmap.Height());
        const bool columns = MotionAxis(p.Modifier).Horizontal;
        for (const TBarNode* n = s.Shown; n; n = n->Next) {
            if (columns)
                masks.Column(n->Value);
            else
                masks.Row(n->Value);
        }
        DrawBars(WorkBitmap, p.Reverse ? ToBitmap : FromBitmap, p.ClientRect, p.Reverse ? FromBitmap : ToBitmap,
                 std::move(masks));
    }
    return frame.Finished;
}

bool TwinRandomBarsEffect(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                          TTransitionParams* Params) {
    const TTransitionParams p = *Params;
    auto& s = StateOf<TTwinRandomBarsFXState>(p, TTransitionOperation::toTwinRandomBars);
    const BarsFrame frame = PickFrame(s, FromBitmap, ToBitmap, WorkBitmap, *Params);
    const int W = WorkBitmap.Width();
    const int H = WorkBitmap.Height();
    // An empty frame has no bars to draw (and no side to scale an index by).
    if (frame.DrawShownBars && W > 0 && H > 0) {
        BarMasks masks(W, H);
        // Indices run over the longer side; each reveals its line there and the line at the
        // same proportion of the shorter side.
        for (const TBarNode* n = s.Shown; n; n = n->Next) {
            if (W > H) {
                masks.Column(n->Value);
                masks.Row(ScaleRounded(n->Value, H, W));
            } else {
                masks.Column(ScaleRounded(n->Value, W, H));
                masks.Row(n->Value);
            }
        }
        DrawBars(WorkBitmap, p.Reverse ? ToBitmap : FromBitmap, p.ClientRect, p.Reverse ? FromBitmap : ToBitmap,
                 std::move(masks));
    }
    return frame.Finished;
}

}  // namespace Wipekit
