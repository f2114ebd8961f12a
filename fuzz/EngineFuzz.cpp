// Both engines driven by arbitrary sequences of settings and frames: operation, modifier,
// reverse, RGBOrder, Delta, Steps, CurrentFrame, colours, the control's size and picture
// sizes from 0 x 0 to 2560 on a side (unequal, empty, single lines). The full engine gets
// its 27 operations, the control's engine any byte for its enumerations and any Delta and
// Steps, as automation may store them. A frame either draws or is refused with ELumawipe
// (or a toolkit exception for a picture beyond the bitmap limit). Run with -timeout: a
// frame whose work is not bounded by its pictures is a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "activex/Wipeax.h"
#include "engine/Wipekit.h"

namespace {

constexpr int MaxCommands = 24;
constexpr int LargestSide = 2560;

// Mostly small sides, where most inputs stay fast; now and then up to LargestSide.
int Side(FuzzedDataProvider& in) {
    const std::uint16_t v = in.ConsumeIntegral<std::uint16_t>();
    return v & 0x8000 ? int(v & 0x7FFF) % (LargestSide + 1) : int(v & 0xFF) % 65;
}

void Picture(FuzzedDataProvider& in, Toolkit::TBitmap& b) {
    const int w = Side(in), h = Side(in);
    b.SetSize(w, h);
    auto& canvas = b.Canvas();
    canvas.Brush.Color = Toolkit::TColor(in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF);
    canvas.FillRect(Toolkit::Rect(0, 0, w, h));
    // A second colour in one corner, so that moving pictures change pixels.
    canvas.Brush.Color = Toolkit::TColor(in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF);
    canvas.FillRect(Toolkit::Rect(0, 0, w / 2, h / 3));
}

template <class Action>
void Guarded(Action&& action) {
    try {
        action();
    } catch (const Wipekit::ELumawipe&) {
    } catch (const Toolkit::Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Wipekit::TLumawipe full(nullptr);
    Wipeax::TLumawipe control(nullptr);
    Toolkit::TBitmap picture;
    for (int n = 0; n < MaxCommands && in.remaining_bytes() > 0; ++n) {
        const std::uint8_t command = in.ConsumeIntegral<std::uint8_t>();
        const std::uint8_t byte = in.ConsumeIntegral<std::uint8_t>();
        const std::int32_t value = in.ConsumeIntegral<std::int32_t>();
        Guarded([&] {
            switch (command % 16) {
                case 0:
                    full.SetOperation(Wipekit::TTransitionOperation(byte % Wipekit::OperationCount));
                    control.SetOperation(Wipekit::TTransitionOperation(byte));
                    break;
                case 1:
                    full.SetModifier(Wipekit::TTransitionModifier(byte % Wipekit::ModifierCount));
                    control.SetModifier(Wipekit::TTransitionModifier(byte));
                    break;
                case 2:
                    full.SetReverse(byte & 1);
                    control.SetReverse(byte & 1);
                    break;
                case 3:
                    full.SetRGBOrder(Wipekit::TRGBOrder(byte % Wipekit::RGBOrderCount));
                    control.SetRGBOrder(Wipekit::TRGBOrder(byte));
                    break;
                case 4:
                    full.SetDelta(value);
                    control.SetDelta(value);
                    break;
                case 5:
                    full.SetSteps(value);
                    control.SetSteps(value);
                    break;
                case 6: full.SetCurrentFrame(value); break;
                case 7:
                    full.SetColor(Toolkit::TColor(value));
                    control.SetColor(Toolkit::TColor(value));
                    break;
                case 8:
                    Picture(in, picture);
                    full.SetFromBitmap(picture);
                    control.SetFromBitmap(picture);
                    break;
                case 9:
                    Picture(in, picture);
                    full.SetToBitmap(picture);
                    control.SetToBitmap(picture);
                    break;
                case 10: {
                    const int w = Side(in), h = Side(in);
                    full.SetBounds(0, 0, w, h);
                    control.SetBounds(0, 0, w, h);
                    break;
                }
                case 11:
                    full.Play();
                    control.Play();
                    break;
                case 12:
                    full.Stop();
                    control.Stop();
                    break;
                case 13:
                    full.AdvanceFrame(nullptr);
                    control.AdvanceFrame(nullptr);
                    break;
                case 14: full.RenderFrame(); break;
                case 15:
                    if (byte & 1) {
                        full.Pause();
                        control.Pause();
                    } else {
                        full.Resume();
                        control.Resume();
                    }
                    break;
            }
        });
        // The control draws its frame in every paint, whatever the command was.
        Guarded([&] { control.PaintControl(); });
    }
    return 0;
}
