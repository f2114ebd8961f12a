// Not built yet: every routine of this file raises ELumawipe naming its operation.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

bool CrushEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toCrush);
}

bool CrushReverseEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toCrush);
}

}  // namespace Wipekit
