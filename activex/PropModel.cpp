#include "activex/PropModel.h"

#include <limits>

namespace PropUnit {

std::optional<TTransitionOperation> ItemOperation(int item) {
    if (item < 0 || item >= OperationItemCount) return std::nullopt;
    return MainUnit::OperationItems[std::size_t(item)].Operation;
}

int OperationItem(std::int32_t operation) {
    if (operation < 0 || operation > std::numeric_limits<std::uint8_t>::max()) return -1;
    return MainUnit::OperationItemIndex(TTransitionOperation(operation));
}

int OrdinalItem(std::int32_t value, int count) { return value >= 0 && value < count ? int(value) : -1; }

TItemControls ControlsFor(int item) {
    return {MainUnit::DeltaApplies(item), MainUnit::FadeColorApplies(item), MainUnit::ChannelOrderApplies(item)};
}

std::int32_t EditInteger(const std::string& text) {
    using MainUnit::TEditValue;
    const TEditValue value = MainUnit::ReadEditValue(text, std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max());
    if (value.Kind != TEditValue::TKind::Taken) throw Toolkit::InvalidInteger(text);
    return std::int32_t(value.Value);
}

std::uint32_t PreviewInterval(std::int32_t value) { return value < 0 ? 0u : std::uint32_t(value); }

}  // namespace PropUnit
