// Controls apart from any window system: the stacking order of a parent's children.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "toolkit/Controls.h"

using namespace Toolkit;

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
