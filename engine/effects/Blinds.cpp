// Not built yet: every routine of this file raises ELumawipe naming its operation.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

bool BlindsEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toBlinds);
}

}  // namespace Wipekit
