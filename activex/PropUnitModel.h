// What the property page decides, apart from its windows: its operation items (the same
// 20 items in the same order as the demo's) and their inverse, which settings show for an
// item, the edits' text as integers, and the preview's values from the control's.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/OperationItems.h"

namespace PropUnit {

using Wipekit::TTransitionOperation;

constexpr int OperationItemCount = int(std::tuple_size_v<decltype(Settings::OperationItems)>);
// The direction and channel-order lists hold the engine's values in ordinal order.
constexpr int ModifierItemCount = Wipekit::ModifierCount;
constexpr int ChannelOrderItemCount = Wipekit::RGBOrderCount;

// The operation of an item; none for an index outside the items (no item selected).
std::optional<TTransitionOperation> ItemOperation(int item);
// The item of a control's Operation value; -1 for a value the page has no item for
// (outside 0..19, which the automation interface lets through).
int OperationItem(std::int32_t operation);
// The item of a control's value in a list of count items in ordinal order (Modifier,
// RGBOrder); -1 outside it.
int OrdinalItem(std::int32_t value, int count);

// Which of the page's optional controls an operation item uses: the Delta edit (enabled),
// the fade colour button (shown and enabled), the channel order list (shown). No item
// uses none of them.
struct TItemControls {
    bool Delta;
    bool FadeColor;
    bool ChannelOrder;
    friend bool operator==(const TItemControls&, const TItemControls&) = default;
};
TItemControls ControlsFor(int item);

// The integer in a number edit: a decimal 32-bit integer, blanks around it and a sign
// allowed. Anything else, an empty text included, raises Toolkit::EConvertError.
std::int32_t EditInteger(const std::string& text);

// The preview's Interval for a value of the control or an edit (negative ones as 0).
std::uint32_t PreviewInterval(std::int32_t value);

// The control's properties the page reads and writes, by name, in the order apply writes
// them.
enum class TPageProperty : std::uint8_t { Operation, Modifier, Interval, Steps, Delta, Reverse, RGBOrder, Color, UseThread };
constexpr std::array<const wchar_t*, 9> PagePropertyNames = {
    L"Operation", L"Modifier", L"Interval", L"Steps", L"Delta", L"Reverse", L"RGBOrder", L"Color", L"UseThread"};
constexpr const wchar_t* PropertyName(TPageProperty p) { return PagePropertyNames[std::size_t(p)]; }

}  // namespace PropUnit
