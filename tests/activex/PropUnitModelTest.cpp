// The property page's decisions apart from its windows: the operation items and their
// inverse, which controls an item uses, and the number edits' text as integers.
#include <gtest/gtest.h>

#include "activex/PropUnitModel.h"

using namespace PropUnit;

TEST(PageModel, OperationItemsAndTheirInverse) {
    // Item i means the operation whose ordinal is ItemOrdinals[i]; the inverse maps back.
    const int ItemOrdinals[] = {7, 8, 9, 3, 4, 5, 0, 14, 1, 2, 6, 10, 11, 12, 13, 15, 16, 17, 18, 19};
    const int OrdinalItems[] = {6, 8, 9, 3, 4, 5, 10, 0, 1, 2, 11, 12, 13, 14, 7, 15, 16, 17, 18, 19};
    ASSERT_EQ(std::size(ItemOrdinals), std::size_t(OperationItemCount));
    for (int item = 0; item < OperationItemCount; ++item) {
        ASSERT_TRUE(ItemOperation(item).has_value());
        EXPECT_EQ(int(*ItemOperation(item)), ItemOrdinals[item]) << "item " << item;
        EXPECT_EQ(OperationItem(ItemOrdinals[item]), item);
        EXPECT_EQ(OperationItem(item), OrdinalItems[item]) << "ordinal " << item;
    }
    EXPECT_EQ(OperationItem(int(TTransitionOperation::toGlide)), 7);
    // Values the control can hold but the page has no item for.
    for (std::int32_t outside : {-1, 20, 26, 27, 255, 258, 1 << 30}) EXPECT_EQ(OperationItem(outside), -1) << outside;
    for (int item : {-1, OperationItemCount}) EXPECT_FALSE(ItemOperation(item).has_value()) << item;
}

TEST(PageModel, OrdinalItemsOfModifierAndChannelOrder) {
    EXPECT_EQ(OrdinalItem(0, ModifierItemCount), 0);
    EXPECT_EQ(OrdinalItem(3, ModifierItemCount), 3);
    EXPECT_EQ(OrdinalItem(4, ModifierItemCount), -1);
    EXPECT_EQ(OrdinalItem(5, ChannelOrderItemCount), 5);
    EXPECT_EQ(OrdinalItem(6, ChannelOrderItemCount), -1);
    EXPECT_EQ(OrdinalItem(-1, ChannelOrderItemCount), -1);
}

TEST(PageModel, ControlsEachItemUses) {
    const TItemControls none{false, false, false}, delta{true, false, false};
    for (int item = -1; item <= OperationItemCount; ++item) {
        TItemControls expected = none;
        switch (item) {
            case 0: case 1: case 2: case 8: case 18: case 19: expected = delta; break;  // sliders, strip, blinds, spiral, checker blinds
            case 12: expected.FadeColor = true; break;                                  // Fade
            case 16: case 17: expected.ChannelOrder = true; break;                      // RGB, RGBBlend
            default: break;
        }
        EXPECT_EQ(ControlsFor(item), expected) << "item " << item;
    }
}

TEST(PageModel, EditTextAsInteger) {
    const struct {
        const char* text;
        std::int32_t value;
    } taken[] = {{"10", 10}, {"0", 0}, {" 7 ", 7}, {"-5", -5}, {"+3", 3}, {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1}, {"007", 7}};
    for (const auto& c : taken) EXPECT_EQ(EditInteger(c.text), c.value) << c.text;
    for (const char* text : {"", " ", "abc", "1.5", "12a", "--1", "2147483648", "99999999999999999999"})
        EXPECT_THROW(EditInteger(text), Toolkit::EConvertError) << text;
    try {
        EditInteger("x1");
        FAIL();
    } catch (const Toolkit::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
}

TEST(PageModel, PreviewIntervalTakesNoNegativeValue) {
    EXPECT_EQ(PreviewInterval(-1), 0u);
    EXPECT_EQ(PreviewInterval(0), 0u);
    EXPECT_EQ(PreviewInterval(250), 250u);
}
