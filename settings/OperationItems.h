// The operations a person chooses from in the demo and on the control's property page: the
// 20 the control offers, in item sequence, with the preset each brings and the settings it
// uses besides Interval and Steps.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "engine/Wipekit.h"

namespace Settings {

using Wipekit::TTransitionOperation;

// What choosing an operation sets. Delta and "Reverse on done" may stay as they are.
struct TPreset {
    std::uint32_t Interval;
    std::int32_t Steps;
    std::optional<std::int32_t> Delta;
    std::optional<bool> ReverseOnDone;
};

// The settings an operation uses besides Interval and Steps, as bits.
enum TUses : std::uint8_t {
    usNone = 0,
    usDelta = 1,         // the size of its slats, bands or cells
    usFadeColor = 2,     // the colour faded through
    usChannelOrder = 4,  // the order the colour channels change in
};

struct TOperationItem {
    const char* Caption;
    TTransitionOperation Operation;
    TPreset Preset;
    std::uint8_t Uses;  // TUses bits
};
extern const std::array<TOperationItem, 20> OperationItems;

// Item index of an operation, or -1 when no item offers it.
int OperationItemIndex(TTransitionOperation op);

// The preset of an operation; the operations no item offers keep Delta 1 and leave
// "Reverse on done" as it is.
TPreset PresetFor(TTransitionOperation op);

// Whether an operation uses a setting; false for the operations no item offers.
bool Uses(TTransitionOperation op, TUses setting);
inline bool DeltaApplies(TTransitionOperation op) { return Uses(op, usDelta); }
inline bool FadeColorApplies(TTransitionOperation op) { return Uses(op, usFadeColor); }
inline bool ChannelOrderApplies(TTransitionOperation op) { return Uses(op, usChannelOrder); }

}  // namespace Settings
