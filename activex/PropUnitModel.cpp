#include "activex/PropUnitModel.h"

#include <limits>

#include "settings/NumberEdits.h"

namespace PropUnit {

std::optional<TTransitionOperation> ItemOperation(int item) {
    if (item < 0 || item >= OperationItemCount) return std::nullopt;
    return Settings::OperationItems[std::size_t(item)].Operation;
}

int OperationItem(std::int32_t operation) {
    if (operation < 0 || operation > std::numeric_limits<std::uint8_t>::max()) return -1;
    return Settings::OperationItemIndex(TTransitionOperation(operation));
}

int OrdinalItem(std::int32_t value, int count) { return value >= 0 && value < count ? int(value) : -1; }

TItemControls ControlsFor(int item) {
    const std::optional<TTransitionOperation> op = ItemOperation(item);
    if (!op) return {false, false, false};
    return {Settings::DeltaApplies(*op), Settings::FadeColorApplies(*op), Settings::ChannelOrderApplies(*op)};
}

std::int32_t EditInteger(const std::string& text) {
    using Settings::TEditValue;
    const TEditValue value = Settings::ReadEditValue(text, std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max());
    if (value.Kind != TEditValue::TKind::Taken) throw Toolkit::InvalidInteger(text);
    return std::int32_t(value.Value);
}

std::uint32_t PreviewInterval(std::int32_t value) { return value < 0 ? 0u : std::uint32_t(value); }

}  // namespace PropUnit
