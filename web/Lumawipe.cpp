// The component for a web page (see Lumawipe.h): one TLumawipe per handle, its timers on
// the headless backend's virtual clock, which the page moves with real time.
#include "web/Lumawipe.h"

#include <cmath>
#include <exception>
#include <iterator>
#include <limits>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Wipekit.h"
#include "toolkit/Application.h"
#include "toolkit/headless/Headless.h"

namespace {

using namespace Wipekit;
using Toolkit::TBitmap;

std::string gMessage;

// A refusal: its text becomes lw_message, and the call answers 0.
struct Refusal {
    std::string Text;
};

// Runs a call of the interface: a refusal or an exception of the component becomes the
// message, and the answer is 0.
template <class Fn>
int Call(Fn&& fn) {
    gMessage.clear();
    try {
        fn();
        return 1;
    } catch (const Refusal& r) {
        gMessage = r.Text;
    } catch (const std::bad_alloc&) {
        gMessage = "Not enough memory for pictures of this size.";
    } catch (const std::exception& e) {
        gMessage = e.what();
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// The shared generator

// Sets the shared generator to seed. Its sequence (seed := seed * 134775813 + 1 modulo
// 2^32) runs through every seed, and a seed's low j bits depend only on the number of
// draws modulo 2^j, so the draws from here to seed are found bit by bit, lowest first, by
// probing: skipping 2^32 - n draws after n returns to where the probe began.
void MoveRandomTo(std::uint32_t seed) {
    constexpr std::int64_t Period = std::int64_t(1) << 32;
    std::uint32_t draws = 0;
    for (int bit = 0; bit < 32; ++bit) {
        const std::uint32_t mask = bit == 31 ? 0xFFFFFFFFu : (2u << bit) - 1;
        SkipRandom(draws);
        const std::uint32_t reached = RandSeed();
        SkipRandom(Period - draws);
        if ((reached ^ seed) & mask) draws |= 1u << bit;
    }
    SkipRandom(draws);
}

// Operations whose frame depends on the frames before it: the random bars keep state,
// and the swarm draws its pixels from the shared generator.
bool FramesFollowRun(TTransitionOperation op) {
    return OperationKeepsState(op) || op == TTransitionOperation::toSwarm;
}

// The frame a run shows at its tick-th tick: -1 + tick * steps, saturating as ticks do.
std::int32_t FrameOfTick(std::int32_t tick, std::int32_t steps) {
    const std::int64_t frame = -1 + std::int64_t(tick) * steps;
    return std::int32_t(std::min<std::int64_t>(frame, std::numeric_limits<std::int32_t>::max()));
}

// ---------------------------------------------------------------------------------------
// Values

struct TRule {
    const char* Name;
    double Min, Max;
};

constexpr double MaxInt32 = 2147483647.0;
constexpr double MaxUInt32 = 4294967295.0;

constexpr TRule Rules[lwPropertyCount] = {
    {"Operation", 0, OperationCount - 1},
    {"Modifier", 0, 3},
    {"Reverse", 0, 1},
    {"Delta", 1, MaxInt32},
    {"Steps", 1, MaxInt32},
    {"Interval", 0, MaxUInt32},
    {"Color", 0, MaxUInt32},
    {"RGBOrder", 0, 5},
    {"CurrentFrame", 0, MaxInt32},
};

std::string Number(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

// The value as the property's integer, or a refusal naming the range.
std::int64_t Checked(int property, double value) {
    if (property < 0 || property >= lwPropertyCount) throw Refusal{"No such property: " + std::to_string(property) + "."};
    const TRule& rule = Rules[property];
    const std::string keeps = "; it keeps its value.";
    if (!std::isfinite(value) || value != std::floor(value))
        throw Refusal{std::string(rule.Name) + " must be a whole number" + keeps};
    if (value < rule.Min) {
        throw Refusal{std::string(rule.Name) + " must be " +
                      (rule.Min == 1 ? std::string("1 or more") : Number(rule.Min) + " to " + Number(rule.Max)) + keeps};
    }
    if (value > rule.Max)
        throw Refusal{std::string(rule.Name) + " must be " + Number(rule.Min) + " to " + Number(rule.Max) + keeps};
    return std::int64_t(value);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The component

struct LwComponent final : TLumawipe {
    LwComponent() : TLumawipe(nullptr) {
        OnDone = [this](Toolkit::TObject*) { Done = true; };
    }

    void AdvanceFrame(Toolkit::TObject* Sender) override {
        ++Ticks;
        TLumawipe::AdvanceFrame(Sender);
    }

    // Play from the first frame, the shared generator where a program starts it, so that a
    // run draws the random pictures the renderer draws.
    void Restart() {
        Stop();
        MoveRandomTo(0);
        Ticks = 0;
        Done = false;
        Play();
    }

    double Get(int property) const {
        switch (property) {
            case lwOperation: return double(Operation());
            case lwModifier: return double(Modifier());
            case lwReverse: return Reverse() ? 1 : 0;
            case lwDelta: return Delta();
            case lwSteps: return Steps();
            case lwInterval: return Interval();
            case lwColor: return Color();
            case lwRGBOrder: return double(RGBOrder());
            case lwCurrentFrame: return CurrentFrame();
            default: return std::nan("");
        }
    }

    void Set(int property, std::int64_t v) {
        switch (property) {
            case lwOperation: SetOperation(TTransitionOperation(v)); break;
            case lwModifier: SetModifier(TTransitionModifier(v)); break;
            case lwReverse: SetReverse(v != 0); break;
            case lwDelta: SetDelta(std::int32_t(v)); break;
            case lwSteps: SetSteps(std::int32_t(v)); break;
            case lwInterval: SetInterval(std::uint32_t(v)); break;
            case lwColor: SetColor(TColor(v)); break;
            case lwRGBOrder: SetRGBOrder(TRGBOrder(v)); break;
            case lwCurrentFrame: SetCurrentFrame(std::int32_t(v)); break;
            default: break;
        }
    }

    // The tick a run ends at: the routine's first ending frame, found by bisection on
    // frames drawn as in a fresh run (every routine draws its last frame for any frame
    // beyond it), in the ticks of the present Steps. The generator is put back.
    std::int32_t RunLength() {
        if (FromBitmap().Empty()) return 0;
        const TEffectEntry& row = OperationTable[int(Operation())];
        const TEffectProc routine = Reverse() ? row.Reverse : row.Forward;
        TTransitionParams params = Params();
        params.ClientRect = Toolkit::Rect(0, 0, Width(), Height());
        params.State = nullptr;
        TBitmap work;
        work.SetSize(Width(), Height());
        const std::uint32_t seed = RandSeed();
        auto ends = [&](std::int32_t frame) {
            std::unique_ptr<TFXState> state;
            if (row.StateClass) {
                state.reset(row.StateClass());
                state->BarCount = OperationBarCount(Operation(), Modifier(), Width(), Height());
                state->Prepare(&params);
            }
            params.State = state.get();
            params.CurrentFrame = frame;
            const bool last = routine(FromBitmap(), ToBitmap(), work, &params);
            if (state) state->Release(&params);
            params.State = nullptr;
            return last;
        };
        constexpr std::int32_t Longest = 1 << 30;
        std::int32_t below = -1, end = 1;
        while (end < Longest && !ends(end)) {
            below = end;
            end *= 2;
        }
        while (end - below > 1) {
            const std::int32_t mid = below + (end - below) / 2;
            (ends(mid) ? end : below) = mid;
        }
        MoveRandomTo(seed);
        // The first tick whose frame, -1 + tick * Steps, reaches the end.
        return std::int32_t((std::int64_t(end) + Steps()) / Steps());
    }

    void Seek(std::int32_t tick) {
        if (FramesFollowRun(Operation())) {
            // Replayed from the first frame, or played on when the run is before it.
            if (!Active() || Ticks > tick) Restart();
            Pause();
            while (Active() && Ticks < tick) AdvanceFrame(nullptr);
            return;
        }
        if (!Active()) {
            Ticks = 0;
            Play();
        }
        Pause();
        Done = false;
        Ticks = tick;
        SetCurrentFrame(FrameOfTick(tick, Steps()));
    }

    // The frame in RGBA.
    void ConvertFrame() {
        const auto view = WorkBitmap().Pixels();
        Rgba.resize(std::size_t(view.Width) * std::size_t(view.Height) * 4);
        std::uint8_t* out = Rgba.data();
        for (int y = 0; y < view.Height; ++y) {
            const std::uint8_t* row = view.Row(y);
            for (int x = 0; x < view.Width; ++x, row += 3, out += 4) {
                out[0] = row[2];
                out[1] = row[1];
                out[2] = row[0];
                out[3] = 255;
            }
        }
    }

    bool Done = false;
    std::int32_t Ticks = 0;
    std::vector<std::uint8_t> Rgba;
    std::string Bmp;
};

namespace {

// A tick of a timer that raised: its message, reported by lw_advance_time.
std::string gTickError;

// Once, before the first component: the clock moves only when the page moves it, and an
// exception of a timer's tick is kept for the page instead of printed.
void SetUpBackend() {
    static const bool ready = [] {
        Toolkit::Headless::UseVirtualTime(true);
        Toolkit::Application().OnException = [](const std::exception& e) {
            if (gTickError.empty()) gTickError = e.what();
        };
        return true;
    }();
    (void)ready;
}

// A mix of a picture's colour over the background by alpha, rounded as PNG readers do.
std::uint8_t Over(std::uint8_t fg, std::uint8_t bg, std::uint8_t alpha) {
    const unsigned mix = unsigned(fg) * alpha + unsigned(bg) * (255u - alpha) + 128u;
    return std::uint8_t((mix + (mix >> 8)) >> 8);
}

}  // namespace

extern "C" {

const char* lw_message() { return gMessage.c_str(); }

// The lists' identifiers are string literals, so their views end in a zero byte.
const char* lw_name(int list, int index) {
    auto at = [index](const auto& names) -> const char* {
        return index >= 0 && index < int(std::size(names)) ? names[index].data() : nullptr;
    };
    switch (list) {
        case 0: return at(OperationNames);
        case 1: return at(ModifierNames);
        case 2: return at(RGBOrderNames);
        default: return nullptr;
    }
}

const char* lw_operation_description(int operation) {
    return operation >= 0 && operation < OperationCount ? OperationInfo[operation].Description.data() : nullptr;
}

int lw_operation_in_control(int operation) {
    return operation >= 0 && operation < OperationCount && OperationInfo[operation].OfferedBy == TOfferedBy::obControl;
}

LwComponent* lw_create(int width, int height) {
    SetUpBackend();
    LwComponent* created = nullptr;
    Call([&] {
        if (width < 1 || height < 1 || width > Toolkit::MaxBitmapSide || height > Toolkit::MaxBitmapSide)
            throw Refusal{"A component is 1 to " + std::to_string(Toolkit::MaxBitmapSide) +
                          " pixels a side, not " + std::to_string(width) + " x " + std::to_string(height) + "."};
        Toolkit::CheckedImageSize(width, height);  // the toolkit's limit of a picture's memory
        auto c = std::make_unique<LwComponent>();
        c->SetBounds(0, 0, width, height);
        created = c.release();
    });
    return created;
}

void lw_destroy(LwComponent* c) { delete c; }

int lw_set_picture(LwComponent* c, int which, const std::uint8_t* rgba, int width, int height) {
    return Call([&] {
        if (which != 0 && which != 1) throw Refusal{"The picture is 0 (from) or 1 (to), not " + std::to_string(which) + "."};
        if (c->Active()) throw Refusal{"The pictures cannot change while a run is active."};
        TBitmap picture;
        if (width > 0 && height > 0) {
            if (!rgba) throw Refusal{"The picture has no pixels."};
            picture.SetSize(width, height);  // refuses sizes beyond the toolkit's limits
            const TColor back = Toolkit::ColorToRGB(c->Color());
            const std::uint8_t bg[3] = {std::uint8_t(back), std::uint8_t(back >> 8), std::uint8_t(back >> 16)};
            const auto view = picture.Pixels();
            const std::uint8_t* in = rgba;
            for (int y = 0; y < height; ++y) {
                std::uint8_t* row = view.Row(y);
                for (int x = 0; x < width; ++x, in += 4, row += 3) {
                    row[0] = Over(in[2], bg[2], in[3]);
                    row[1] = Over(in[1], bg[1], in[3]);
                    row[2] = Over(in[0], bg[0], in[3]);
                }
            }
        }
        if (which == 0)
            c->SetFromBitmap(picture);
        else
            c->SetToBitmap(picture);
    });
}

int lw_set(LwComponent* c, int property, double value) {
    return Call([&] {
        const std::int64_t v = Checked(property, value);
        if (property == lwCurrentFrame && OperationKeepsState(c->Operation()))
            throw Refusal{"CurrentFrame cannot be set for " + std::string(OperationName(c->Operation())) +
                          ": its frames depend on the run before them."};
        c->Set(property, v);
        if (c->Get(property) != double(v))
            throw Refusal{std::string(Rules[property].Name) + " cannot change while a run is active; it keeps its value."};
    });
}

double lw_get(LwComponent* c, int property) { return c->Get(property); }

int lw_play(LwComponent* c) {
    return Call([&] {
        if (c->Active()) throw Refusal{"A run is active: Stop it first, or Pause and Resume it."};
        c->Restart();
    });
}

int lw_pause(LwComponent* c) {
    return Call([&] {
        if (!c->Active() || c->IsPaused()) throw Refusal{"Only a playing run can pause."};
        c->Pause();
    });
}

int lw_resume(LwComponent* c) {
    return Call([&] {
        if (!c->Active() || !c->IsPaused()) throw Refusal{"Only a paused run can resume."};
        c->Resume();
    });
}

int lw_stop(LwComponent* c) {
    return Call([&] {
        if (!c->Active()) throw Refusal{"No run is active."};
        c->Stop();
    });
}

int lw_tick(LwComponent* c) { return Call([&] { c->AdvanceFrame(nullptr); }); }

int lw_seek(LwComponent* c, int tick) {
    return Call([&] {
        if (tick < 1) throw Refusal{"The frames of a run count from 1, not " + std::to_string(tick) + "."};
        c->Seek(tick);
    });
}

int lw_advance_time(std::uint32_t ms) {
    return Call([&] {
        gTickError.clear();
        Toolkit::Headless::AdvanceTime(ms);
        if (!gTickError.empty()) throw Refusal{gTickError};
    });
}

int lw_active(LwComponent* c) { return c->Active(); }
int lw_paused(LwComponent* c) { return c->Active() && c->IsPaused(); }
int lw_done(LwComponent* c) { return c->Done; }
int lw_ticks(LwComponent* c) { return c->Ticks; }

int lw_run_length(LwComponent* c) {
    std::int32_t length = 0;
    Call([&] { length = c->RunLength(); });
    return length;
}

const std::uint8_t* lw_frame(LwComponent* c) {
    const std::uint8_t* frame = nullptr;
    Call([&] {
        c->ConvertFrame();
        frame = c->Rgba.empty() ? nullptr : c->Rgba.data();
    });
    return frame;
}

int lw_frame_width(LwComponent* c) { return c->WorkBitmap().Width(); }
int lw_frame_height(LwComponent* c) { return c->WorkBitmap().Height(); }

const std::uint8_t* lw_frame_bmp(LwComponent* c) {
    const std::uint8_t* bmp = nullptr;
    Call([&] {
        if (c->WorkBitmap().Empty()) throw Refusal{"No frame has been drawn yet."};
        std::ostringstream out;
        c->WorkBitmap().SaveToStream(out);
        c->Bmp = std::move(out).str();
        bmp = reinterpret_cast<const std::uint8_t*>(c->Bmp.data());
    });
    return bmp;
}

int lw_frame_bmp_size(LwComponent* c) { return int(c->Bmp.size()); }

std::uint8_t* lw_alloc(std::size_t bytes) { return static_cast<std::uint8_t*>(::operator new(bytes, std::nothrow)); }

void lw_free(std::uint8_t* p) { ::operator delete(p); }

}  // extern "C"
