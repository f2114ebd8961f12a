#include "engine/FXStates.h"

namespace Wipekit {

namespace {

void FreeList(TBarNode*& head) {
    while (head) {
        TBarNode* next = head->Next;
        delete head;
        head = next;
    }
}

}  // namespace

TBarNode* AppendBar(TBarNode* Tail, std::int32_t Value) {
    TBarNode* node = new TBarNode{Value, nullptr};
    if (Tail) Tail->Next = node;
    return node;
}

TBarsFXState::~TBarsFXState() { Release(nullptr); }

void TBarsFXState::Prepare(TTransitionParams* Params) {
    if (Params) Params->CurrentFrame = -1;
    ShownCount = -1;
    // A Prepare without Release would otherwise lose the old list.
    FreeList(Remaining);
    RemainingTail = nullptr;
    const std::int32_t count = BarCount > 0 ? BarCount : 1;
    for (std::int32_t v = 0; v < count; ++v) {
        RemainingTail = AppendBar(RemainingTail, v);
        if (!Remaining) Remaining = RemainingTail;
    }
}

void TBarsFXState::Release(TTransitionParams*) {
    ShownCount = -1;
    FreeList(Remaining);
    FreeList(Shown);
    RemainingTail = nullptr;
    ShownTail = nullptr;
}

}  // namespace Wipekit
