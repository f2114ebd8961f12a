// The settings the demo and the property page share: items, presets and the number edits.
#include <gtest/gtest.h>

#include <set>

#include "settings/NumberEdits.h"
#include "settings/OperationItems.h"

using namespace Settings;
using Op = Wipekit::TTransitionOperation;

TEST(Settings, TheItemsAreTheTwentyOperationsOfTheControl) {
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

TEST(Settings, PresetsAndTheSettingsEachItemShows) {
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
        const Op op = OperationItems[i].Operation;
        EXPECT_EQ(DeltaApplies(op), c.delta) << c.item;
        EXPECT_EQ(FadeColorApplies(op), c.fade) << c.item;
        EXPECT_EQ(ChannelOrderApplies(op), c.channels) << c.item;
    }
    const TPreset shade = PresetFor(Op::toShade);  // beyond the control's 20: Reverse on done stays
    EXPECT_EQ(shade.Delta, 1);
    EXPECT_FALSE(shade.ReverseOnDone.has_value());
    EXPECT_FALSE(DeltaApplies(Op::toShade) || FadeColorApplies(Op::toShade) || ChannelOrderApplies(Op::toShade));
}

TEST(Settings, NumberEditsTakeValuesInRangeAndKeepBackTheRest) {
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
