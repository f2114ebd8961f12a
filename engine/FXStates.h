// State objects of the random-bar operations: the bars not shown yet and the bars shown
// so far, carried from frame to frame of a run.
#pragma once

#include <cstdint>

#include "engine/EffectApi.h"

namespace Wipekit {

// One bar index in a singly linked list owned by a state object.
struct TBarNode {
    std::int32_t Value;
    TBarNode* Next;
};

// Allocates a node holding Value with no successor, links it behind Tail when there is
// one, and returns it.
TBarNode* AppendBar(TBarNode* Tail, std::int32_t Value);

// The fields and code both random-bar state classes share. BarCount is the base's.
class TBarsFXState : public TFXState {
public:
    TBarsFXState() = default;
    TBarsFXState(const TBarsFXState&) = delete;
    TBarsFXState& operator=(const TBarsFXState&) = delete;
    ~TBarsFXState() override;

    // Rewinds Params->CurrentFrame to -1 and lists the bars 0 .. BarCount - 1 as not shown
    // (the single bar 0 when BarCount < 1). Shown is left alone: callers Release first.
    void Prepare(TTransitionParams* Params) override;
    // Frees both lists; nothing is shown afterwards. Params is not read.
    void Release(TTransitionParams* Params) override;

    TBarNode* Remaining = nullptr;      // bars not shown yet, ascending after Prepare
    TBarNode* RemainingTail = nullptr;  // used only while Prepare builds the list
    TBarNode* Shown = nullptr;          // bars shown, in the sequence they were picked
    TBarNode* ShownTail = nullptr;
    std::int32_t ShownCount = 0;        // shown bars minus one; -1 when none is shown
};

class TRandomBarsFXState final : public TBarsFXState {};
class TTwinRandomBarsFXState final : public TBarsFXState {};

}  // namespace Wipekit
