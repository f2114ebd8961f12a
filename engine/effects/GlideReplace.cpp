// Not built yet: every routine of this file raises ELumawipe naming its operation.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

bool GlideEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toGlide);
}

bool GlideReverseEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toGlide);
}

bool ReplaceEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toReplace);
}

}  // namespace Wipekit
