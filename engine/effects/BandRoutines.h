// Blinds, checker blinds and spiral drawn the plain way, one CopyBand per band: the same
// frames as their row-wise routines, which the tests hold them to.
#pragma once

#include "engine/EffectApi.h"

namespace Wipekit::Effects {

bool BlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);
bool CheckerBlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                          TTransitionParams* Params);
bool SpiralByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);

}  // namespace Wipekit::Effects
