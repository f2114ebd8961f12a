// Not built yet: every routine of this file raises ELumawipe naming its operation.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

bool RandomBarsEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toRandomBars);
}

bool TwinRandomBarsEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toTwinRandomBars);
}

}  // namespace Wipekit
