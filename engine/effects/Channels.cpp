// Not built yet: every routine of this file raises ELumawipe naming its operation.
#include "engine/effects/EffectKit.h"

namespace Wipekit {

bool RGBEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toRGB);
}

bool RGBBlendEffect(const TBitmap&, const TBitmap&, TBitmap&, TTransitionParams*) {
    Effects::NotBuilt(TTransitionOperation::toRGBBlend);
}

}  // namespace Wipekit
