// The list of transition operations, written once. Order is the ordinal: never reorder,
// only append. Columns: enumeration name, forward routine, reverse routine, state class
// (NoState when the operation keeps no data between frames).
#pragma once

#define WIPEKIT_OPERATIONS(X)                                                 \
    X(toPush, PushEffect, PushEffect, NoState)                                \
    X(toBlinds, BlindsEffect, BlindsEffect, NoState)                          \
    X(toCheckerboard, CheckerboardEffect, CheckerboardEffect, NoState)        \
    X(toCrush, CrushEffect, CrushReverseEffect, NoState)                      \
    X(toMonoReveal, MonoRevealEffect, MonoRevealReverseEffect, NoState)       \
    X(toReveal, RevealEffect, RevealReverseEffect, NoState)                   \
    X(toIris, IrisEffect, IrisEffect, NoState)                                \
    X(toMonoSlider, MonoSliderEffect, MonoSliderReverseEffect, NoState)       \
    X(toSlider, SliderEffect, SliderReverseEffect, NoState)                   \
    X(toStrip, StripEffect, StripEffect, NoState)                             \
    X(toZoom, ZoomEffect, ZoomEffect, NoState)                                \
    X(toFade, FadeEffect, FadeEffect, NoState)                                \
    X(toMosaic, MosaicEffect, MosaicEffect, NoState)                          \
    X(toBlend, BlendEffect, BlendEffect, NoState)                             \
    X(toGlide, GlideEffect, GlideReverseEffect, NoState)                      \
    X(toReplace, ReplaceEffect, ReplaceEffect, NoState)                       \
    X(toRGB, RGBEffect, RGBEffect, NoState)                                   \
    X(toRGBBlend, RGBBlendEffect, RGBBlendEffect, NoState)                    \
    X(toSpiral, SpiralEffect, SpiralEffect, NoState)                          \
    X(toCheckerBlinds, CheckerBlindsEffect, CheckerBlindsEffect, NoState)     \
    X(toShade, ShadeEffect, ShadeEffect, NoState)                             \
    X(toShadeContinue, ShadeContinueEffect, ShadeContinueEffect, NoState)     \
    X(toSqueeze, SqueezeEffect, SqueezeReverseEffect, NoState)                \
    X(toRandomBars, RandomBarsEffect, RandomBarsEffect, TRandomBarsFXState)   \
    X(toTwinRandomBars, TwinRandomBarsEffect, TwinRandomBarsEffect, TTwinRandomBarsFXState) \
    X(toSwarm, SwarmEffect, SwarmReverseEffect, NoState)                      \
    X(toStripedIris, StripedIrisEffect, StripedIrisEffect, NoState)
