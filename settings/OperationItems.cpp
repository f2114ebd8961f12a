#include "settings/OperationItems.h"

namespace Settings {

namespace {

using Op = TTransitionOperation;

constexpr TPreset Short{10, 5, 1, true};            // sliders, strip, crush, fade
constexpr TPreset Whole{10, 10, std::nullopt, true};  // push, reveals, glide, blend, replace
constexpr TPreset Channels{1000, 1, 1, true};       // RGB, RGB blend

}  // namespace

const std::array<TOperationItem, 20> OperationItems = {{
    {"MonoSlider", Op::toMonoSlider, Short, usDelta},
    {"Slider", Op::toSlider, Short, usDelta},
    {"Strip", Op::toStrip, Short, usDelta},
    {"Crush", Op::toCrush, Short, usNone},
    {"MonoReveal", Op::toMonoReveal, Whole, usNone},
    {"Reveal", Op::toReveal, Whole, usNone},
    {"Push", Op::toPush, Whole, usNone},
    {"Glide", Op::toGlide, Whole, usNone},
    {"Blinds", Op::toBlinds, {50, 1, 15, false}, usDelta},
    {"Checkerboard", Op::toCheckerboard, {200, 1, 1, false}, usNone},
    {"Iris", Op::toIris, {10, 1, 1, false}, usNone},
    {"Zoom", Op::toZoom, {10, 2, 1, true}, usNone},
    {"Fade", Op::toFade, Short, usFadeColor},
    {"Mosaic", Op::toMosaic, {100, 1, 6, false}, usNone},
    {"Blend", Op::toBlend, Whole, usNone},
    {"Replace", Op::toReplace, Whole, usNone},
    {"RGB", Op::toRGB, Channels, usChannelOrder},
    {"RGBBlend", Op::toRGBBlend, Channels, usChannelOrder},
    {"Spiral", Op::toSpiral, {10, 1, 7, false}, usDelta},
    {"CheckerBlinds", Op::toCheckerBlinds, {50, 1, 5, true}, usDelta},
}};

int OperationItemIndex(TTransitionOperation op) {
    for (std::size_t i = 0; i < OperationItems.size(); ++i)
        if (OperationItems[i].Operation == op) return int(i);
    return -1;
}

TPreset PresetFor(TTransitionOperation op) {
    const int item = OperationItemIndex(op);
    return item < 0 ? TPreset{10, 10, 1, std::nullopt} : OperationItems[std::size_t(item)].Preset;
}

bool Uses(TTransitionOperation op, TUses setting) {
    const int item = OperationItemIndex(op);
    return item >= 0 && (OperationItems[std::size_t(item)].Uses & setting) != 0;
}

}  // namespace Settings
