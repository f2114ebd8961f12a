// The tests' oracle of blinds, checker blinds, spiral and checkerboard: their frames drawn
// the plain way, one CopyBand per band, which the engine's row-wise routines must equal.
#pragma once

#include "engine/EffectApi.h"

namespace Wipekit::Effects {

bool BlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);
bool CheckerBlindsByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                          TTransitionParams* Params);
bool SpiralByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap, TTransitionParams* Params);
bool CheckerboardByBands(const TBitmap& FromBitmap, const TBitmap& ToBitmap, TBitmap& WorkBitmap,
                         TTransitionParams* Params);

}  // namespace Wipekit::Effects
