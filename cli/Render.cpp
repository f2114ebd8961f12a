#include "cli/Render.h"

#include <charconv>
#include <filesystem>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "cli/ImageFiles.h"
#include "engine/Wipekit.h"
#include "lumawipe_pictures.h"

namespace LumawipeCli {

using namespace Wipekit;
using Toolkit::TBitmap;

namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The short names of a list in lower case, joined: "left|right|up|down".
template <std::size_t N>
std::string Choices(const std::string_view (&names)[N], std::string_view separator) {
    std::string choices;
    for (const std::string_view name : names) {
        if (!choices.empty()) choices += separator;
        choices += Lower(std::string(ShortName(name)));
    }
    return choices;
}

std::string Usage() {
    return "usage: lumawipe render [--from A.bmp] [--to B.bmp] [--size WxH] --operation NAME\n"
           "                       [--modifier " + Choices(ModifierNames, "|") + "] [--delta N] [--steps N]\n"
           "                       [--color C] [--rgb-order " + Choices(RGBOrderNames, "|") + "] [--reverse]\n"
           "                       (--frame F | --play) --out PATH [--max-frames N]\n"
           "       lumawipe list\n";
}

// Delay between the frames of an animated GIF, in hundredths of a second.
constexpr int GifFrameDelay = 4;
constexpr long long DefaultMaxFrames = 100000;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::optional<std::string> From, To, Out;
    std::optional<std::pair<int, int>> Size;
    std::optional<TTransitionOperation> Operation;
    std::optional<TTransitionModifier> Modifier;
    std::optional<std::int32_t> Delta, Steps, Frame;
    std::optional<TColor> Color;
    std::optional<TRGBOrder> Order;
    bool Reverse = false;
    bool Play = false;
    long long MaxFrames = DefaultMaxFrames;
};

// The value a list names by text, for option.
template <class E, std::size_t N>
E ParseName(const std::string& option, const std::string& text, const std::string_view (&names)[N]) {
    E value{};
    if (!FromName(text, value))
        throw UsageError(option + " must be one of " + Choices(names, ", ") + ", not \"" + text + "\"");
    return value;
}

long long ParseInteger(const std::string& option, const std::string& text, long long lo, long long hi) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw UsageError(option + " expects a whole number, not \"" + text + "\"");
    if (value < lo || value > hi)
        throw UsageError(option + " must be between " + std::to_string(lo) + " and " + std::to_string(hi) +
                         ", not " + text);
    return value;
}

TColor ParseColor(const std::string& text) {
    TColor color = 0;
    if (Toolkit::IdentToColor(text, color)) return color;
    std::string digits = text;
    if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0)
        digits = digits.substr(2);
    else if (!digits.empty() && digits[0] == '$')
        digits = digits.substr(1);
    else
        throw UsageError("--color expects a hex TColor such as 0xBBGGRR or a colour name such as clBtnFace, not \"" +
                         text + "\"");
    unsigned long long value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, 16);
    if (digits.empty() || ec != std::errc() || ptr != end || value > 0xFFFFFFFFull)
        throw UsageError("--color \"" + text + "\" is not a 32-bit hex colour");
    return TColor(value);
}

Options Parse(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "render") throw UsageError("the commands are \"render\" and \"list\"");
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--from") {
            o.From = value();
        } else if (a == "--to") {
            o.To = value();
        } else if (a == "--out") {
            o.Out = value();
        } else if (a == "--size") {
            const std::string& v = value();
            const auto x = v.find_first_of("xX");
            if (x == std::string::npos) throw UsageError("--size expects WxH, not \"" + v + "\"");
            const int w = int(ParseInteger("--size width", v.substr(0, x), 1, Toolkit::MaxBitmapSide));
            const int h = int(ParseInteger("--size height", v.substr(x + 1), 1, Toolkit::MaxBitmapSide));
            o.Size = std::make_pair(w, h);
        } else if (a == "--operation") {
            const std::string& v = value();
            TTransitionOperation op{};
            if (!FromName(v, op))
                throw UsageError("unknown operation \"" + v + "\"; \"lumawipe list\" shows them all");
            o.Operation = op;
        } else if (a == "--modifier") {
            o.Modifier = ParseName<TTransitionModifier>(a, value(), ModifierNames);
        } else if (a == "--delta") {
            o.Delta = std::int32_t(ParseInteger("--delta", value(), 1, INT32_MAX));
        } else if (a == "--steps") {
            o.Steps = std::int32_t(ParseInteger("--steps", value(), 1, INT32_MAX));
        } else if (a == "--color") {
            o.Color = ParseColor(value());
        } else if (a == "--rgb-order") {
            o.Order = ParseName<TRGBOrder>(a, value(), RGBOrderNames);
        } else if (a == "--reverse") {
            o.Reverse = true;
        } else if (a == "--frame") {
            const std::string& v = value();
            const long long f = ParseInteger("--frame", v, INT32_MIN, INT32_MAX);
            if (f < 0) throw UsageError("--frame " + v + " is refused: CurrentFrame cannot be negative");
            o.Frame = std::int32_t(f);
        } else if (a == "--play") {
            o.Play = true;
        } else if (a == "--max-frames") {
            o.MaxFrames = ParseInteger("--max-frames", value(), 1, 100000000);
        } else {
            throw UsageError("unknown argument \"" + a + "\"");
        }
    }
    if (!o.Operation) throw UsageError("--operation is required");
    if (o.Play == o.Frame.has_value()) throw UsageError("give exactly one of --frame F and --play");
    if (!o.Out) throw UsageError("--out is required");
    if (o.Frame && OperationKeepsState(*o.Operation))
        throw UsageError("--frame is refused for " + std::string(OperationName(*o.Operation)) +
                         ": its frames depend on the run before them; use --play");
    return o;
}

void LoadPicture(TBitmap& bitmap, const std::optional<std::string>& path, const std::uint8_t* builtIn,
                 std::size_t size) {
    if (path) {
        bitmap.LoadFromFile(*path);
    } else {
        bitmap.LoadFromMemory(builtIn, size);
    }
}

std::string Extension(const std::string& path) { return Lower(std::filesystem::path(path).extension().string()); }

void WriteFrame(const TBitmap& frame, const std::string& path) {
    const std::string ext = Extension(path);
    if (ext == ".png") {
        WritePng(frame, path);
    } else if (ext == ".gif") {
        GifWriter gif(path, frame.Width(), frame.Height(), GifFrameDelay);
        gif.AddFrame(frame);
        gif.Close();
    } else {
        frame.SaveToFile(path);
    }
}

std::string FrameFileName(long long index) {
    std::ostringstream name;
    name << "frame-" << std::setw(4) << std::setfill('0') << index << ".bmp";
    return name.str();
}

int Render(const Options& o, std::ostream& out) {
    TBitmap from, to;
    try {
        LoadPicture(from, o.From, Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize);
        LoadPicture(to, o.To, Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize);
    } catch (const Toolkit::Exception& e) {
        throw UsageError(e.what());
    }

    TLumawipe wipe(nullptr);
    const auto [width, height] = o.Size.value_or(std::make_pair(from.Width(), from.Height()));
    wipe.SetBounds(0, 0, width, height);
    bool done = false;
    wipe.OnDone = [&](Toolkit::TObject*) { done = true; };

    wipe.SetFromBitmap(from);
    wipe.SetToBitmap(to);
    if (o.Color) wipe.SetColor(*o.Color);
    if (o.Order) wipe.SetRGBOrder(*o.Order);
    if (o.Delta) wipe.SetDelta(*o.Delta);
    if (o.Steps) wipe.SetSteps(*o.Steps);
    if (o.Modifier) wipe.SetModifier(*o.Modifier);
    wipe.SetReverse(o.Reverse);
    wipe.SetOperation(*o.Operation);
    done = false;  // only the frames asked for count

    if (o.Frame) {
        wipe.SetCurrentFrame(*o.Frame);
        WriteFrame(wipe.WorkBitmap(), *o.Out);
        out << "frame " << *o.Frame << ": " << (done ? "finished" : "running") << '\n';
        return ExitOk;
    }

    const bool gif = Extension(*o.Out) == ".gif";
    std::unique_ptr<GifWriter> writer;
    std::filesystem::path dir;
    if (gif) {
        writer = std::make_unique<GifWriter>(*o.Out, width, height, GifFrameDelay);
    } else {
        dir = *o.Out;
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (!std::filesystem::is_directory(dir)) throw UsageError("cannot create the directory \"" + *o.Out + "\"");
    }

    wipe.Play();
    for (long long index = 0; !done; ++index) {
        if (index >= o.MaxFrames)
            throw std::runtime_error("the run did not end within " + std::to_string(o.MaxFrames) + " frames");
        wipe.AdvanceFrame(nullptr);
        if (gif)
            writer->AddFrame(wipe.WorkBitmap());
        else
            wipe.WorkBitmap().SaveToFile((dir / FrameFileName(index)).string());
        out << "frame " << wipe.CurrentFrame() << ": " << (done ? "finished" : "running") << '\n';
    }
    if (writer) writer->Close();
    return ExitOk;
}

// One line per operation in ordinal order: its identifier and what it does.
int List(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() > 1) throw UsageError("list takes no arguments, not \"" + args[1] + "\"");
    for (int i = 0; i < OperationCount; ++i) out << OperationNames[i] << "  " << OperationInfo[i].Description << '\n';
    return ExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (!args.empty() && args[0] == "list") return List(args, out);
        return Render(Parse(args), out);
    } catch (const UsageError& e) {
        err << "lumawipe: " << e.what() << '\n' << Usage();
        return ExitUsage;
    } catch (const std::exception& e) {
        err << "lumawipe: " << e.what() << '\n';
        return ExitEngineError;
    }
}

}  // namespace LumawipeCli
