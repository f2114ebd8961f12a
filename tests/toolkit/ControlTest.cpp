// Controls apart from any window system: the stacking order of a parent's children, how
// aligned children share their parent, and what makes a click of the mouse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Controls.h"

using namespace Toolkit;

namespace {

// A control that notes its clicks and releases.
struct Probe : TControl {
    explicit Probe(TComponent* owner) : TControl(owner) {
        SetBounds(0, 0, 10, 10);
        OnMouseUp = [this](TObject*, TMouseButton, int, int) { ++Releases; };
    }
    void Click() override {
        ++Clicks;
        TControl::Click();
    }
    int Clicks = 0;
    int Releases = 0;
};

}  // namespace

TEST(Stacking, ChildrenStackInTheOrderTheyCameUntilMoved) {
    TControl parent(nullptr);
    auto* a = new TControl(&parent);
    auto* b = new TControl(&parent);
    auto* c = new TControl(&parent);
    for (TControl* child : {a, b, c}) child->SetParent(&parent);
    EXPECT_EQ(parent.Controls(), (std::vector<TControl*>{a, b, c})) << "bottom first";
    struct Step {
        const char* name;
        std::function<void()> act;
        std::vector<TControl*> stack;
    } const steps[] = {
        {"the bottom one to the front", [&] { a->BringToFront(); }, {b, c, a}},
        {"the top one to the front again", [&] { a->BringToFront(); }, {b, c, a}},
        {"the middle one to the back", [&] { c->SendToBack(); }, {c, b, a}},
        {"the bottom one to the back again", [&] { c->SendToBack(); }, {c, b, a}},
        {"given the parent anew: on top", [&] {
             b->SetParent(nullptr);
             b->SetParent(&parent);
         }, {c, a, b}},
        {"a child freed", [&] { delete a; }, {c, b}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(parent.Controls(), step.stack) << step.name;
    }
    TControl alone(nullptr);  // no parent: nothing to stack among
    alone.BringToFront();
    alone.SendToBack();
    EXPECT_EQ(alone.Parent(), nullptr);
}

// Aligned children take the sides of what their siblings left, tops first, then fill the
// rest; the parent places them again when its size or a child's alignment changes.
TEST(Align, ChildrenShareTheParentSideBySideAndFollowItsSize) {
    TControl parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    const auto child = [&](TAlign align, int width, int height) {
        auto* c = new TControl(&parent);
        c->SetBounds(5, 5, width, height);
        c->SetAlign(align);
        c->SetParent(&parent);
        return c;
    };
    TControl* fill = child(TAlign::alClient, 1, 1);  // before the sides: still placed last
    TControl* left = child(TAlign::alLeft, 30, 1);
    TControl* top = child(TAlign::alTop, 1, 20);
    TControl* bottom = child(TAlign::alBottom, 1, 10);
    TControl* right = child(TAlign::alRight, 40, 1);
    TControl* free = child(TAlign::alNone, 7, 8);
    const auto expect = [&](const char* step, std::vector<TRect> bounds) {
        const TControl* controls[] = {top, bottom, left, right, fill, free};
        for (std::size_t i = 0; i < bounds.size(); ++i)
            EXPECT_EQ(controls[i]->BoundsRect(), bounds[i]) << step << ", child " << i;
    };
    expect("placed", {Rect(0, 0, 200, 20), Rect(0, 90, 200, 100), Rect(0, 20, 30, 90), Rect(160, 20, 200, 90),
                      Rect(30, 20, 160, 90), Rect(5, 5, 12, 13)});
    parent.SetBounds(0, 0, 300, 50);
    expect("parent resized", {Rect(0, 0, 300, 20), Rect(0, 40, 300, 50), Rect(0, 20, 30, 40), Rect(260, 20, 300, 40),
                              Rect(30, 20, 260, 40)});
    top->SetVisible(false);
    left->SetAlign(TAlign::alNone);
    expect("top hidden, left freed", {Rect(0, 0, 300, 20), Rect(0, 40, 300, 50), Rect(0, 0, 30, 40),
                                      Rect(260, 0, 300, 40), Rect(0, 0, 260, 40)});
    fill->SetBounds(1, 1, 2, 2);  // an aligned child moved by hand goes back
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 0, 260, 40));
    parent.SetBounds(0, 0, 30, 15);  // less room than the sides want: nothing negative
    for (TControl* c : parent.Controls()) {
        EXPECT_GE(c->Width(), 0);
        EXPECT_GE(c->Height(), 0);
    }
    EXPECT_EQ(fill->BoundsRect(), Rect(0, 0, 0, 5));
}

// A click is a press and a release of the left button both on the control, the release
// inside it; every release raises OnMouseUp.
TEST(Click, NeedsThePressAndTheReleaseOnTheControl) {
    enum Op { PressLeft, PressRight, ReleaseLeftInside, ReleaseLeftOutside, ReleaseRight };
    struct Case {
        const char* name;
        std::vector<Op> ops;
        int clicks, releases;
    } const cases[] = {
        {"press and release", {PressLeft, ReleaseLeftInside}, 1, 1},
        {"released outside", {PressLeft, ReleaseLeftOutside}, 0, 1},
        {"a release without a press", {ReleaseLeftInside}, 0, 1},
        {"the press is used up by its release", {PressLeft, ReleaseLeftOutside, ReleaseLeftInside}, 0, 2},
        {"the right button clicks nothing", {PressRight, ReleaseRight}, 0, 1},
        {"a right press is no left press", {PressRight, ReleaseLeftInside}, 0, 1},
        {"two clicks", {PressLeft, ReleaseLeftInside, PressLeft, ReleaseLeftInside}, 2, 2},
    };
    for (const auto& c : cases) {
        Probe probe(nullptr);
        for (const Op op : c.ops) switch (op) {
                case PressLeft: probe.PressMouse(TMouseButton::mbLeft, 5, 5); break;
                case PressRight: probe.PressMouse(TMouseButton::mbRight, 5, 5); break;
                case ReleaseLeftInside: probe.ReleaseMouse(TMouseButton::mbLeft, 9, 9); break;
                case ReleaseLeftOutside: probe.ReleaseMouse(TMouseButton::mbLeft, 10, 5); break;
                case ReleaseRight: probe.ReleaseMouse(TMouseButton::mbRight, 5, 5); break;
            }
        EXPECT_EQ(probe.Clicks, c.clicks) << c.name;
        EXPECT_EQ(probe.Releases, c.releases) << c.name;
    }
}

// A release whose handler frees the control ends there: no click reaches freed memory.
TEST(Click, AReleaseHandlerMayFreeTheControl) {
    bool clicked = false;
    auto* probe = new Probe(nullptr);
    probe->OnClick = [&](TObject*) { clicked = true; };
    probe->OnMouseUp = [probe](TObject*, TMouseButton, int, int) { delete probe; };
    probe->PressMouse(TMouseButton::mbLeft, 5, 5);
    probe->ReleaseMouse(TMouseButton::mbLeft, 5, 5);
    EXPECT_FALSE(clicked);
}
