// TLumawipe's form data: stored properties, their order, defaults and the load rules.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/LumawipeStream.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;

namespace {

std::string Save(const TLumawipe& c) {
    std::ostringstream out;
    SaveLumawipe(out, c);
    return out.str();
}

void Load(const std::string& bytes, TLumawipe& c) {
    std::istringstream in(bytes);
    LoadLumawipe(in, c);
}

// Names of the stored properties, in stream order, found by their length-prefixed names.
std::vector<std::string> StoredNames(const std::string& bytes) {
    std::vector<std::string> names;
    for (const auto& prop : LumawipeClassInfo().Properties) {
        const std::string key = std::string(1, char(prop.Name.size())) + prop.Name;
        if (bytes.find(key) != std::string::npos) names.push_back(prop.Name);
    }
    return names;
}

TEST(LumawipeStream, DeclaresTheStoredPropertiesInOrder) {
    std::vector<std::string> names;
    for (const auto& prop : LumawipeClassInfo().Properties) names.push_back(prop.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"About", "Color", "CurrentFrame", "FromBitmap", "ToBitmap", "Delta",
                                               "Interval", "RGBOrder", "Modifier", "Operation", "Reverse",
                                               "UseThread", "Steps"}));
}

TEST(LumawipeStream, FreshComponentStoresOnlyWhatHasNoDefault) {
    TLumawipe c(nullptr);
    EXPECT_EQ(StoredNames(Save(c)), (std::vector<std::string>{"About", "Color", "CurrentFrame"}));
}

// The demo's component: every stored property away from its default, loaded into a
// fresh one in the order of the stream.
TEST(LumawipeStream, RoundTripAppliesEveryValue) {
    TLumawipe a(nullptr);
    a.SetBounds(0, 0, 20, 10);
    a.AboutLines().Clear();
    a.AboutLines().Add("Component: TLumawipe");
    TBitmap from, to;
    MakeCoordPicture(from, 20, 10, FromTag);
    MakeCoordPicture(to, 20, 10, ToTag);
    a.SetFromBitmap(from);
    a.SetToBitmap(to);
    a.SetColor(0xC0C0C0);
    a.SetCurrentFrame(3);
    a.SetDelta(2);
    a.SetInterval(10);
    a.SetRGBOrder(TRGBOrder::coGBR);
    a.SetModifier(TTransitionModifier::tmDown);
    a.SetOperation(TTransitionOperation::toMonoSlider);
    a.SetReverse(true);
    a.SetSteps(10);
    a.SetUseThread(true);
    const std::string bytes = Save(a);
    EXPECT_EQ(StoredNames(bytes).size(), LumawipeClassInfo().Properties.size());

    TLumawipe b(nullptr);
    b.SetBounds(0, 0, 20, 10);
    Load(bytes, b);
    EXPECT_EQ(b.About(), a.About());
    EXPECT_EQ(b.CurrentFrame(), 3);
    EXPECT_TRUE(FrameEquals(b.FromBitmap(), 20, 10, [](int x, int y) { return Coord(x, y, FromTag); }));
    EXPECT_TRUE(FrameEquals(b.ToBitmap(), 20, 10, [](int x, int y) { return Coord(x, y, ToTag); }));
    EXPECT_EQ(b.Delta(), 2);
    EXPECT_EQ(b.Interval(), 10u);
    EXPECT_EQ(b.RGBOrder(), TRGBOrder::coGBR);
    EXPECT_EQ(b.Modifier(), TTransitionModifier::tmDown);
    EXPECT_EQ(b.Operation(), TTransitionOperation::toMonoSlider);
    EXPECT_TRUE(b.Reverse());
    EXPECT_TRUE(b.UseThread());
    EXPECT_EQ(b.Steps(), 10);
    EXPECT_FALSE(b.Active());
}

// FromBitmap follows Color: its change handler sets Color to the picture's top-left pixel
// after the stored Color has been applied.
TEST(LumawipeStream, FromBitmapOverridesTheStoredColor) {
    TLumawipe a(nullptr);
    TBitmap from;
    MakeCoordPicture(from, 4, 4, FromTag);
    a.SetFromBitmap(from);
    a.SetColor(0xC0C0C0);  // stored, then replaced on load
    TLumawipe b(nullptr);
    Load(Save(a), b);
    const Px topLeft = Coord(0, 0, FromTag);
    EXPECT_EQ(b.Color(), Toolkit::RGB(topLeft.R, topLeft.G, topLeft.B));
}

TEST(LumawipeStream, MalformedDataLeavesTheComponentAsItWas) {
    TLumawipe a(nullptr);
    a.SetDelta(7);
    a.SetOperation(TTransitionOperation::toIris);
    std::string bytes = Save(a);
    const std::size_t at = bytes.find("toIris");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 6, "toXris");

    TLumawipe b(nullptr);
    b.SetColor(0x123456);
    EXPECT_THROW(Load(bytes, b), Toolkit::EReadError);
    EXPECT_THROW(Load(bytes.substr(0, bytes.size() - 1), b), Toolkit::EReadError);
    EXPECT_EQ(b.Color(), 0x123456u);
    EXPECT_EQ(b.Delta(), 10);
    EXPECT_EQ(b.Operation(), TTransitionOperation::toPush);
    EXPECT_EQ(b.About().Count(), 4);
}

}  // namespace
