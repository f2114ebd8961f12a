// The demo's decisions apart from its windows: items, presets and the number edits.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "demo/MainModel.h"
#include "engine/LumawipeStream.h"
#include "lumawipe_pictures.h"

using namespace MainUnit;
using Op = Wipekit::TTransitionOperation;

TEST(DemoModel, TheItemsAreTheTwentyOperationsOfTheControl) {
    std::set<Op> seen;
    for (const auto& item : OperationItems) {
        EXPECT_LT(int(item.Operation), 20) << item.Caption;
        EXPECT_EQ(Wipekit::OperationName(item.Operation).substr(2), item.Caption);
        seen.insert(item.Operation);
    }
    EXPECT_EQ(seen.size(), 20u);
    EXPECT_EQ(OperationItemIndex(Op::toMonoSlider), 0);
    EXPECT_EQ(OperationItemIndex(Op::toCheckerBlinds), 19);
    EXPECT_EQ(OperationItemIndex(Op::toShade), -1);
}

TEST(DemoModel, PresetsAndTheSettingsEachItemShows) {
    const struct {
        const char* item;
        TPreset preset;
        bool delta, fade, channels;
    } cases[] = {
        {"MonoSlider", {10, 5, 1, true}, true, false, false},
        {"Slider", {10, 5, 1, true}, true, false, false},
        {"Strip", {10, 5, 1, true}, true, false, false},
        {"Crush", {10, 5, 1, true}, false, false, false},
        {"MonoReveal", {10, 10, std::nullopt, true}, false, false, false},
        {"Reveal", {10, 10, std::nullopt, true}, false, false, false},
        {"Push", {10, 10, std::nullopt, true}, false, false, false},
        {"Glide", {10, 10, std::nullopt, true}, false, false, false},
        {"Blinds", {50, 1, 15, false}, true, false, false},
        {"Checkerboard", {200, 1, 1, false}, false, false, false},
        {"Iris", {10, 1, 1, false}, false, false, false},
        {"Zoom", {10, 2, 1, true}, false, false, false},
        {"Fade", {10, 5, 1, true}, false, true, false},
        {"Mosaic", {100, 1, 6, false}, false, false, false},
        {"Blend", {10, 10, std::nullopt, true}, false, false, false},
        {"Replace", {10, 10, std::nullopt, true}, false, false, false},
        {"RGB", {1000, 1, 1, true}, false, false, true},
        {"RGBBlend", {1000, 1, 1, true}, false, false, true},
        {"Spiral", {10, 1, 7, false}, true, false, false},
        {"CheckerBlinds", {50, 1, 5, true}, true, false, false},
    };
    ASSERT_EQ(std::size(cases), OperationItems.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        ASSERT_STREQ(OperationItems[i].Caption, c.item);
        const TPreset p = PresetFor(OperationItems[i].Operation);
        EXPECT_EQ(p.Interval, c.preset.Interval) << c.item;
        EXPECT_EQ(p.Steps, c.preset.Steps) << c.item;
        EXPECT_EQ(p.Delta, c.preset.Delta) << c.item;
        EXPECT_EQ(p.ReverseOnDone, c.preset.ReverseOnDone) << c.item;
        EXPECT_EQ(DeltaApplies(int(i)), c.delta) << c.item;
        EXPECT_EQ(FadeColorApplies(int(i)), c.fade) << c.item;
        EXPECT_EQ(ChannelOrderApplies(int(i)), c.channels) << c.item;
    }
    const TPreset shade = PresetFor(Op::toShade);  // beyond the control's 20: Reverse on done stays
    EXPECT_EQ(shade.Delta, 1);
    EXPECT_FALSE(shade.ReverseOnDone.has_value());
}

TEST(DemoModel, NumberEditsTakeValuesInRangeAndKeepBackTheRest) {
    using K = TEditValue::TKind;
    const struct {
        const char* text;
        std::int64_t min;
        K kind;
        std::int64_t value;
    } cases[] = {
        {"", PositiveMin, K::Empty, 0},
        {"5", PositiveMin, K::Taken, 5},
        {"05", PositiveMin, K::Taken, 5},
        {"0", PositiveMin, K::OutOfRange, 0},  // on the way to "05": no message, not taken
        {"0", IntervalMin, K::OutOfRange, 0},  // an Interval of 0 would leave the run standing
        {"2147483647", PositiveMin, K::Taken, 2147483647},
        {"2147483648", PositiveMin, K::OutOfRange, 2147483648},  // would wrap
        {"99999999999999999999999", IntervalMin, K::OutOfRange, std::int64_t(1) << 40},
        {"-3", PositiveMin, K::OutOfRange, -3},
        {" 12 ", PositiveMin, K::Taken, 12},
    };
    for (const auto& c : cases) {
        const TEditValue v = ReadEditValue(c.text, c.min, Int32Max);
        EXPECT_EQ(v.Kind, c.kind) << '"' << c.text << '"';
        if (v.Kind != K::Empty) {
            EXPECT_EQ(v.Value, c.value) << '"' << c.text << '"';
        }
    }
    for (const char* pasted : {"abc", "1x", "+", "-", "1 2", "0x10"}) {
        try {
            ReadEditValue(pasted, PositiveMin, Int32Max);
            ADD_FAILURE() << pasted << " was taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(pasted) + "' is not a valid integer value");
        }
    }
    EXPECT_TRUE(EditAccepts(L'7'));
    EXPECT_TRUE(EditAccepts(8));
    EXPECT_FALSE(EditAccepts(L'a'));
    EXPECT_FALSE(EditAccepts(L'-'));
}

TEST(DemoModel, TheStoredComponentLoadsWithItsPicturesAsTheyAre) {
    const std::string stored = StoredLumawipe();
    // Each picture is stored as its length and the complete file, byte for byte.
    using Picture = std::pair<const std::uint8_t*, std::size_t>;
    for (const auto& [bytes, size] : {Picture{Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize},
                                         Picture{Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize}}) {
        ASSERT_EQ(size, 100554u);
        const std::string file(reinterpret_cast<const char*>(bytes), size);
        const std::string data = std::string(1, char(8)) + char(0xCA) + char(0x88) + char(0x01) + char(0) + file;
        EXPECT_NE(stored.find(data), std::string::npos);
    }
    Wipekit::TLumawipe w(nullptr);
    w.SetBounds(0, 0, 446, 75);
    std::istringstream in(stored);
    Wipekit::LoadLumawipe(in, w);
    EXPECT_EQ(w.Color(), Toolkit::clSilver);  // the stored colour, then the picture's top-left pixel
    EXPECT_EQ(w.Delta(), 1);
    EXPECT_EQ(w.Interval(), 10u);
    EXPECT_EQ(w.Steps(), 10);
    EXPECT_EQ(w.Operation(), Op::toMonoSlider);
    EXPECT_EQ(w.CurrentFrame(), 0);
    EXPECT_EQ(w.FromBitmap().Width(), 446);
    EXPECT_EQ(w.ToBitmap().Height(), 75);
    ASSERT_EQ(w.About().Count(), 4);
    EXPECT_EQ(w.About()[1], "Version: 2.0");
    EXPECT_FALSE(w.WorkBitmap().Empty()) << "loading runs the change handlers, which render";
}
