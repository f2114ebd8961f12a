// The type library's automation types (generated from Lumawipe.idl) next to the engine's,
// with compile-time checks that the enumerations agree: every engine modifier and RGB
// order exists in the type library under its name with its ordinal, and the type
// library's operations are the engine's first ControlOperationCount ones, in order.
#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>

#include "toolkit/win32/WindowsApi.h"

#include <ole2.h>

#include "Lumawipe.h"
#include "engine/EffectApi.h"

// The operations of the type library, in order (as in Lumawipe.idl).
#define LUMAWIPE_TX_OPERATIONS(X)                                                           \
    X(toPush) X(toBlinds) X(toCheckerboard) X(toCrush) X(toMonoReveal) X(toReveal) X(toIris) \
    X(toMonoSlider) X(toSlider) X(toStrip) X(toZoom) X(toFade) X(toMosaic) X(toBlend)         \
    X(toGlide) X(toReplace) X(toRGB) X(toRGBBlend) X(toSpiral) X(toCheckerBlinds)

namespace LumawipeActiveX {

#define LUMAWIPE_SAME(type, engineType, name)                                               \
    static_assert(std::is_same_v<decltype(::name), type>, #name " is not a " #type);          \
    static_assert(static_cast<int>(::name) == static_cast<int>(Wipekit::engineType::name), \
                  #name " differs between the type library and the engine");
#define LUMAWIPE_SAME_MODIFIER(name) LUMAWIPE_SAME(TxTransitionModifier, TTransitionModifier, name)
#define LUMAWIPE_SAME_RGB_ORDER(name) LUMAWIPE_SAME(TxRGBOrder, TRGBOrder, name)
#define LUMAWIPE_SAME_OPERATION(name) LUMAWIPE_SAME(TxTransitionOperation, TTransitionOperation, name)
WIPEKIT_MODIFIERS(LUMAWIPE_SAME_MODIFIER)
WIPEKIT_RGB_ORDERS(LUMAWIPE_SAME_RGB_ORDER)
LUMAWIPE_TX_OPERATIONS(LUMAWIPE_SAME_OPERATION)
#undef LUMAWIPE_SAME_OPERATION
#undef LUMAWIPE_SAME_RGB_ORDER
#undef LUMAWIPE_SAME_MODIFIER
#undef LUMAWIPE_SAME

// The operations' values, in the order listed: 0, 1, ... up to the engine's last operation
// offered by the control.
inline constexpr TxTransitionOperation TxOperations[] = {
#define LUMAWIPE_VALUE(name) ::name,
    LUMAWIPE_TX_OPERATIONS(LUMAWIPE_VALUE)
#undef LUMAWIPE_VALUE
};
static_assert(std::size(TxOperations) == Wipekit::ControlOperationCount,
              "the type library lists the operations that the control offers");
static_assert(
    [] {
        for (std::size_t i = 0; i < std::size(TxOperations); ++i)
            if (static_cast<std::size_t>(TxOperations[i]) != i) return false;
        return true;
    }(),
    "the type library's operations count up from 0 in the listed order");

}  // namespace LumawipeActiveX
