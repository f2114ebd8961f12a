#include <gtest/gtest.h>

#include "toolkit/Classes.h"

using namespace Toolkit;

namespace {
struct Tracked : TComponent {
    Tracked(TComponent* owner, std::vector<std::string>& log, std::string name) : TComponent(owner), Log(log) {
        Name = std::move(name);
    }
    ~Tracked() override { Log.push_back(Name); }
    std::vector<std::string>& Log;
};
}  // namespace

TEST(Ownership, OwnerFreesWhatItOwnsLastCreatedFirst) {
    std::vector<std::string> log;
    auto* form = new Tracked(nullptr, log, "form");
    new Tracked(form, log, "a");
    auto* b = new Tracked(form, log, "b");
    new Tracked(b, log, "b.child");
    auto* c = new Tracked(form, log, "c");
    delete c;  // a freed child leaves its owner's list
    EXPECT_EQ(form->ComponentCount(), 2);
    form->SetDesigning(true);
    EXPECT_TRUE(b->Components()[0]->Designing());
    delete form;
    EXPECT_EQ(log, (std::vector<std::string>{"c", "form", "b", "b.child", "a"}));
}
