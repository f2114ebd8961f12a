#include "demo/MainModel.h"

#include <cctype>
#include <sstream>

#include "engine/LumawipeStream.h"
#include "lumawipe_pictures.h"

namespace MainUnit {

using Op = TTransitionOperation;

const std::array<TOperationItem, 20> OperationItems = {{
    {"MonoSlider", Op::toMonoSlider}, {"Slider", Op::toSlider},   {"Strip", Op::toStrip},
    {"Crush", Op::toCrush},           {"MonoReveal", Op::toMonoReveal}, {"Reveal", Op::toReveal},
    {"Push", Op::toPush},             {"Glide", Op::toGlide},     {"Blinds", Op::toBlinds},
    {"Checkerboard", Op::toCheckerboard}, {"Iris", Op::toIris},   {"Zoom", Op::toZoom},
    {"Fade", Op::toFade},             {"Mosaic", Op::toMosaic},   {"Blend", Op::toBlend},
    {"Replace", Op::toReplace},       {"RGB", Op::toRGB},         {"RGBBlend", Op::toRGBBlend},
    {"Spiral", Op::toSpiral},         {"CheckerBlinds", Op::toCheckerBlinds},
}};

int OperationItemIndex(TTransitionOperation op) {
    for (std::size_t i = 0; i < OperationItems.size(); ++i)
        if (OperationItems[i].Operation == op) return int(i);
    return -1;
}

TPreset PresetFor(TTransitionOperation op) {
    switch (op) {
        case Op::toCrush:
        case Op::toMonoSlider:
        case Op::toSlider:
        case Op::toStrip:
        case Op::toFade: return {10, 5, 1, true};
        case Op::toBlinds: return {50, 1, 15, false};
        case Op::toCheckerboard: return {200, 1, 1, false};
        case Op::toIris: return {10, 1, 1, false};
        case Op::toZoom: return {10, 2, 1, true};
        case Op::toMosaic: return {100, 1, 6, false};
        case Op::toPush:
        case Op::toMonoReveal:
        case Op::toReveal:
        case Op::toBlend:
        case Op::toGlide:
        case Op::toReplace: return {10, 10, std::nullopt, true};
        case Op::toRGB:
        case Op::toRGBBlend: return {1000, 1, 1, true};
        case Op::toSpiral: return {10, 1, 7, false};
        case Op::toCheckerBlinds: return {50, 1, 5, true};
        default: return {10, 10, 1, std::nullopt};  // the operations the control does not offer
    }
}

bool DeltaApplies(int item) {
    return item == 0 || item == 1 || item == 2 || item == 8 || item == 18 || item == 19;
}
bool FadeColorApplies(int item) { return item == 12; }
bool ChannelOrderApplies(int item) { return item == 16 || item == 17; }

TEditValue ReadEditValue(std::string_view text, std::int64_t Min, std::int64_t Max) {
    if (text.empty()) return {TEditValue::TKind::Empty, 0};
    auto invalid = [&] { return Toolkit::InvalidInteger(std::string(text)); };
    std::size_t i = 0;
    const auto blank = [&](std::size_t k) { return k < text.size() && std::isspace((unsigned char)text[k]); };
    while (blank(i)) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digits = i;
    // Saturates far beyond any range: the value only has to tell "too large".
    constexpr std::int64_t Saturated = std::int64_t(1) << 40;
    std::int64_t magnitude = 0;
    while (i < text.size() && std::isdigit((unsigned char)text[i])) {
        magnitude = std::min(Saturated, magnitude * 10 + (text[i] - '0'));
        ++i;
    }
    if (i == digits) throw invalid();
    while (blank(i)) ++i;
    if (i != text.size()) throw invalid();
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < Min || value > Max) return {TEditValue::TKind::OutOfRange, value};
    return {TEditValue::TKind::Taken, value};
}

std::string StoredLumawipe() {
    // The component as it was set up in the form: saving it writes exactly what differs
    // from the defaults, and the pictures as complete BMP files.
    Wipekit::TLumawipe designed(nullptr);
    Toolkit::TBitmap from, to;
    from.LoadFromMemory(Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize);
    to.LoadFromMemory(Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize);
    designed.SetFromBitmap(from);
    designed.SetToBitmap(to);
    designed.SetColor(Toolkit::clSilver);
    designed.SetCurrentFrame(0);
    designed.SetDelta(1);
    designed.SetInterval(10);
    designed.SetOperation(Op::toMonoSlider);
    designed.SetSteps(10);
    auto& about = designed.AboutLines();
    about.Clear();
    Wipekit::WriteAbout(about, "Version: 2.0");
    std::ostringstream out;
    Wipekit::SaveLumawipe(out, designed);
    return out.str();
}

}  // namespace MainUnit
