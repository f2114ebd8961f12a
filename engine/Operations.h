// The list of transition operations, written once. Order is the ordinal: never reorder,
// only append. Columns:
//   name         enumeration identifier
//   forward      effect routine of a forward run
//   reverse      effect routine of a reverse run (the forward one when it reads Reverse itself)
//   state        class of the state object carried from frame to frame (NoState: none)
//   bars         how Play sets up the state's BarCount (TBarAxis)
//   cover        fcWhole: both routines draw every pixel of every frame from 0 on when both
//                pictures have the frame's size (the engine leaves out the Color fill);
//                fcPart: the fill shows around what they draw
//   redraw       rdChanges: both routines draw only through TFrameLayers, so a tick can draw
//                just where its frame differs from the one on screen (worth it where
//                consecutive frames differ in a small part); rdWhole: every frame is drawn whole
//   offered by   obControl: the ActiveX control offers it too; obEngineOnly: the engine alone
//   description  one line for listings and docs
#pragma once

#define WIPEKIT_OPERATIONS(X)                                                                                      \
    X(toPush, PushEffect, PushEffect, NoState, baNone, fcWhole, rdWhole, obControl,                                \
      "the to picture pushes the from picture out")                                                                \
    X(toBlinds, BlindsEffect, BlindsEffect, NoState, baNone, fcWhole, rdWhole, obControl,                          \
      "slats Delta pixels wide open onto the to picture like a venetian blind")                                    \
    X(toCheckerboard, CheckerboardEffect, CheckerboardEffect, NoState, baNone, fcWhole, rdWhole, obControl,        \
      "ever denser grids of small cells of the to picture cover the from picture")                                 \
    X(toCrush, CrushEffect, CrushReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,                    \
      "two halves of the to picture slide over the from picture from the centre line or the edges")                \
    X(toMonoReveal, MonoRevealEffect, MonoRevealReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,     \
      "one edge moves across the from picture and uncovers the to picture in place")                               \
    X(toReveal, RevealEffect, RevealReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,                 \
      "two edges move apart or together and uncover the to picture in place")                                      \
    X(toIris, IrisEffect, IrisEffect, NoState, baNone, fcWhole, rdChanges, obControl,                              \
      "a rectangle of the to picture opens from the centre or closes in from the edges")                           \
    X(toMonoSlider, MonoSliderEffect, MonoSliderReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,     \
      "every second band of the to picture slides in, then the bands between are wiped in")                        \
    X(toSlider, SliderEffect, SliderReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,                 \
      "bands of the to picture slide in from both edges in turn")                                                  \
    X(toStrip, StripEffect, StripEffect, NoState, baNone, fcWhole, rdChanges, obControl,                           \
      "bands of the to picture are wiped in from both edges in turn")                                              \
    X(toZoom, ZoomEffect, ZoomEffect, NoState, baNone, fcPart, rdWhole, obControl,                                 \
      "the from picture shrinks into the centre and the to picture grows out of it")                               \
    X(toFade, FadeEffect, FadeEffect, NoState, baNone, fcWhole, rdWhole, obControl,                                \
      "the from picture fades into Color, then the to picture fades in out of it")                                 \
    X(toMosaic, MosaicEffect, MosaicEffect, NoState, baNone, fcPart, rdWhole, obControl,                           \
      "the from picture coarsens into ever larger blocks and the to picture sharpens out of them")                 \
    X(toBlend, BlendEffect, BlendEffect, NoState, baNone, fcWhole, rdWhole, obControl,                             \
      "the from picture cross-fades into the to picture")                                                          \
    X(toGlide, GlideEffect, GlideReverseEffect, NoState, baNone, fcWhole, rdChanges, obControl,                    \
      "the to picture glides in from one edge over the still from picture")                                        \
    X(toReplace, ReplaceEffect, ReplaceEffect, NoState, baNone, fcWhole, rdWhole, obControl,                       \
      "a cut from the from picture to the to picture")                                                             \
    X(toRGB, RGBEffect, RGBEffect, NoState, baNone, fcWhole, rdWhole, obControl,                                   \
      "the from picture loses its colour channels one by one, then the to picture gains them")                     \
    X(toRGBBlend, RGBBlendEffect, RGBBlendEffect, NoState, baNone, fcWhole, rdWhole, obControl,                    \
      "the from picture's colour channels are replaced one by one by the to picture's")                            \
    X(toSpiral, SpiralEffect, SpiralEffect, NoState, baNone, fcWhole, rdWhole, obControl,                          \
      "the to picture is uncovered in every cell along a square spiral")                                           \
    X(toCheckerBlinds, CheckerBlindsEffect, CheckerBlindsEffect, NoState, baNone, fcWhole, rdWhole, obControl,     \
      "the to picture is uncovered in every cell by blinds offset from row to row")                                \
    X(toShade, ShadeEffect, ShadeEffect, NoState, baNone, fcWhole, rdWhole, obEngineOnly,                          \
      "the to picture slides in as an exclusive-or overlay, then the from picture slides back out")                \
    X(toShadeContinue, ShadeContinueEffect, ShadeContinueEffect, NoState, baNone, fcWhole, rdWhole, obEngineOnly,  \
      "as toShade, but the from picture slides on out through the opposite edge")                                  \
    X(toSqueeze, SqueezeEffect, SqueezeReverseEffect, NoState, baNone, fcWhole, rdWhole, obEngineOnly,             \
      "the to picture grows from the centre and squeezes the from picture to the edges")                           \
    X(toRandomBars, RandomBarsEffect, RandomBarsEffect, TRandomBarsFXState, baTravel, fcWhole, rdWhole,            \
      obEngineOnly, "one-pixel bars of the to picture appear at random, one a frame")                              \
    X(toTwinRandomBars, TwinRandomBarsEffect, TwinRandomBarsEffect, TTwinRandomBarsFXState, baLongerSide, fcWhole, \
      rdWhole, obEngineOnly, "a row and a column of the to picture appear at random, one pair a frame")            \
    X(toSwarm, SwarmEffect, SwarmReverseEffect, NoState, baNone, fcWhole, rdWhole, obEngineOnly,                   \
      "the to picture wipes in behind a swarm of its own random pixels")                                           \
    X(toStripedIris, StripedIrisEffect, StripedIrisEffect, NoState, baNone, fcWhole, rdChanges, obEngineOnly,      \
      "concentric rings of the to picture appear, every other one first")
