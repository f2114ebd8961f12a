#include "cli/Render.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "cli/FrameStream.h"
#include "cli/ImageFiles.h"
#include "engine/Wipekit.h"
#include "lumawipe_pictures.h"

#ifndef LUMAWIPE_VERSION
#define LUMAWIPE_VERSION "unknown"
#endif

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

constexpr int DefaultFps = 25;
constexpr int MaxFps = 1000;
constexpr long long DefaultMaxFrames = 100000;
constexpr const char* StandardOutput = "-";

// The picture files this build reads and writes.
std::string Formats() {
    return std::string("BMP") + (PngAvailable() ? " and PNG" : "") + " in, BMP" + (PngAvailable() ? ", PNG" : "") +
           (GifAvailable() ? " and GIF" : "") + " out";
}

// The whole usage: every option, the operations, the exit status.
std::string Help() {
    const TLumawipe defaults(nullptr);
    std::ostringstream h;
    h << "lumawipe " LUMAWIPE_VERSION " renders the transitions of the Lumawipe engine: one picture turning\n"
         "into another by one of "
      << OperationCount << " operations.\n"
         "\n"
         "usage: lumawipe render [OPTIONS] --operation NAME (--frame F | --play) --out PATH\n"
         "       lumawipe list        the operations, one a line, with what each does\n"
         "       lumawipe --help      this text (also: lumawipe render --help)\n"
         "       lumawipe --version\n"
         "\n"
         "Pictures:\n"
         "  --from FILE        the picture at the start of the run: BMP or PNG; default: the demo's\n"
         "                     built-in from picture (446x75)\n"
         "  --to FILE          the picture at the end of the run; default: the built-in to picture\n"
         "                     A PNG's transparent parts are composited over --color.\n"
         "  --size WxH         the control's size in pixels; default: the size of the from picture\n"
         "  --color C          the control's Color, shown where no picture covers it: hex 0xBBGGRR\n"
         "                     (or $BBGGRR) or a colour name such as clBtnFace; default: clBtnFace\n"
         "\n"
         "Transition:\n"
         "  --operation NAME   one of the operations below, by identifier (toPush) or without \"to\",\n"
         "                     in any case (push, PUSH)\n"
         "  --modifier M       the direction, "
      << Choices(ModifierNames, "|") << " (or tmLeft, ...); default: "
      << Lower(std::string(ShortName(ModifierName(defaults.Modifier()))))
      << "\n"
         "  --delta N          the size the operations use: bar width, cell size, colour step; 1 or more;\n"
         "                     default: "
      << defaults.Delta()
      << "\n"
         "  --steps N          frames the run advances per tick; 1 or more; default: "
      << defaults.Steps()
      << "\n"
         "  --rgb-order O      the channel order of toRGB and toRGBBlend, "
      << Choices(RGBOrderNames, "|") << "; default: "
      << Lower(std::string(ShortName(RGBOrderName(defaults.RGBOrder()))))
      << "\n"
         "  --reverse          play the run backwards\n"
         "\n"
         "Output:\n"
         "  --frame F          render frame F (0 or more) alone and write it to PATH; refused for\n"
         "                     the operations whose frames depend on the run before them\n"
         "  --play             play the whole run as the animation driver does and write every frame\n"
         "  --out PATH         with --frame: a .bmp, .png or .gif file; with --play: a directory of\n"
         "                     frame-0000.bmp, frame-0001.bmp, ..., or one animated .gif file;\n"
         "                     - : the frames to standard output as a stream (see --format)\n"
         "  --format y4m|raw   the stream of --out -: y4m (default) is YUV4MPEG2 4:4:4 in BT.601\n"
         "                     limited range; raw is packed BGR24, rows top to bottom, no headers\n"
         "  --fps N            frames per second of the y4m stream and of an animated GIF; default: "
      << DefaultFps
      << "\n"
         "  --max-frames N     a run that has not ended after N frames fails; default: "
      << DefaultMaxFrames
      << "\n"
         "\n"
         "Each frame written is reported as \"frame F: running\" or \"frame F: finished\" on standard\n"
         "output, or on standard error when the frames go to standard output.\n"
         "\n"
         "Operations:\n";
    for (int i = 0; i < OperationCount; ++i)
        h << "  " << std::left << std::setw(18) << OperationNames[i] << " " << OperationInfo[i].Description << '\n';
    h << "\n"
         "Example: lumawipe render --operation iris --play --out - | ffmpeg -i - transition.mp4\n"
         "\n"
         "Picture files of this build: "
      << Formats()
      << ".\n"
         "\n"
         "Exit status: 0 on success, 1 when the engine raises or an output cannot be written,\n"
         "2 on a usage error or a picture that cannot be read.\n";
    return h.str();
}

// A command line that cannot run; exit status 2 with a hint to the usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A picture that cannot be read: exit status 2.
struct InputError : std::runtime_error {
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
    std::optional<TStreamFormat> Format;
    bool Reverse = false;
    bool Play = false;
    int Fps = DefaultFps;
    long long MaxFrames = DefaultMaxFrames;

    bool ToStandardOutput() const { return Out == StandardOutput; }
};

std::string Extension(const std::string& path) { return Lower(std::filesystem::path(path).extension().string()); }

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

// Refuses an output this build cannot write.
void CheckWritable(const Options& o) {
    if (o.ToStandardOutput()) return;
    const std::string ext = Extension(*o.Out);
    const bool png = ext == ".png" && o.Frame, gif = ext == ".gif";
    if ((png && !PngAvailable()) || (gif && !GifAvailable()))
        throw UsageError(std::string("this build of lumawipe writes no ") + (png ? "PNG" : "GIF") + " files (" +
                         Formats() + "): \"" + *o.Out + "\"");
}

Options Parse(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given; the commands are \"render\" and \"list\"");
    if (args[0] != "render") throw UsageError("unknown command \"" + args[0] + "\"; the commands are \"render\" and \"list\"");
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
        } else if (a == "--format") {
            const std::string v = Lower(value());
            if (v != "y4m" && v != "raw") throw UsageError("--format must be y4m or raw, not \"" + v + "\"");
            o.Format = v == "raw" ? TStreamFormat::Raw : TStreamFormat::Y4m;
        } else if (a == "--fps") {
            o.Fps = int(ParseInteger("--fps", value(), 1, MaxFps));
        } else if (a == "--max-frames") {
            o.MaxFrames = ParseInteger("--max-frames", value(), 1, 100000000);
        } else {
            throw UsageError("unknown argument \"" + a + "\"");
        }
    }
    if (!o.Operation) throw UsageError("--operation is required");
    if (o.Play == o.Frame.has_value()) throw UsageError("give exactly one of --frame F and --play");
    if (!o.Out) throw UsageError("--out is required");
    if (o.Format && !o.ToStandardOutput()) throw UsageError("--format applies to --out - only");
    if (o.Frame && OperationKeepsState(*o.Operation))
        throw UsageError("--frame is refused for " + std::string(OperationName(*o.Operation)) +
                         ": its frames depend on the run before them; use --play");
    CheckWritable(o);
    return o;
}

// Reads the picture an option names, or the built-in one; a file that cannot be read is
// named in the error.
void LoadPicture(TBitmap& bitmap, const char* option, const std::optional<std::string>& path,
                 const std::uint8_t* builtIn, std::size_t size, TColor background) {
    if (!path) {
        bitmap.LoadFromMemory(builtIn, size);
        return;
    }
    try {
        ReadPicture(bitmap, *path, background);
    } catch (const Toolkit::Exception& e) {
        throw InputError(std::string(option) + " \"" + *path + "\": " + e.what());
    }
}

std::string FrameFileName(long long index) {
    std::ostringstream name;
    name << "frame-" << std::setw(4) << std::setfill('0') << index << ".bmp";
    return name.str();
}

// Where the frames of a run go: a directory of BMP files, an animated GIF or a stream.
class FrameSink {
public:
    FrameSink(const Options& o, int width, int height, std::ostream& out) {
        if (o.ToStandardOutput()) {
            FStream = std::make_unique<FrameStream>(out, o.Format.value_or(TStreamFormat::Y4m), o.Fps);
        } else if (o.Frame) {
            FFile = *o.Out;
        } else if (Extension(*o.Out) == ".gif") {
            FGif = std::make_unique<GifWriter>(*o.Out, width, height, std::max(1, (100 + o.Fps / 2) / o.Fps));
        } else {
            FDirectory = *o.Out;
            std::error_code ec;
            std::filesystem::create_directories(FDirectory, ec);
            if (!std::filesystem::is_directory(FDirectory))
                throw UsageError("cannot create the directory \"" + *o.Out + "\"");
        }
    }

    void Add(const TBitmap& frame) {
        if (FStream)
            FStream->Add(frame.Pixels());
        else if (!FFile.empty())
            WritePicture(frame, FFile);
        else if (FGif)
            FGif->AddFrame(frame);
        else
            frame.SaveToFile((FDirectory / FrameFileName(FCount)).string());
        ++FCount;
    }

    void Finish() {
        if (FStream) FStream->Finish();
        if (FGif) FGif->Close();
    }

private:
    std::unique_ptr<FrameStream> FStream;
    std::unique_ptr<GifWriter> FGif;
    std::string FFile;
    std::filesystem::path FDirectory;
    long long FCount = 0;
};

int Render(const Options& o, std::ostream& out, std::ostream& err) {
    TLumawipe wipe(nullptr);
    TBitmap from, to;
    const TColor background = o.Color.value_or(wipe.Color());
    LoadPicture(from, "--from", o.From, Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize, background);
    LoadPicture(to, "--to", o.To, Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize, background);

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

    // The progress lines stay off a stream of frames.
    std::ostream& progress = o.ToStandardOutput() ? err : out;
    auto report = [&] { progress << "frame " << wipe.CurrentFrame() << ": " << (done ? "finished" : "running") << '\n'; };
    FrameSink sink(o, width, height, out);
    if (o.Frame) {
        wipe.SetCurrentFrame(*o.Frame);
        sink.Add(wipe.WorkBitmap());
        sink.Finish();
        report();
        return ExitOk;
    }

    wipe.Play();
    // done is set by OnDone, from inside AdvanceFrame (a while loop: clang cannot see that).
    long long frames = 0;
    while (!done) {
        if (frames++ >= o.MaxFrames)
            throw std::runtime_error("the run did not end within " + std::to_string(o.MaxFrames) + " frames");
        wipe.AdvanceFrame(nullptr);
        sink.Add(wipe.WorkBitmap());
        report();
    }
    sink.Finish();
    return ExitOk;
}

// One line per operation in ordinal order: its identifier and what it does.
int List(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() > 1) throw UsageError("list takes no arguments, not \"" + args[1] + "\"");
    for (int i = 0; i < OperationCount; ++i) out << OperationNames[i] << "  " << OperationInfo[i].Description << '\n';
    return ExitOk;
}

// "--help" anywhere, or "-h" or "help" as the command.
bool AsksForHelp(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "-h" || args[0] == "help")) return true;
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (AsksForHelp(args)) {
            out << Help();
            return ExitOk;
        }
        if (args.size() == 1 && args[0] == "--version") {
            out << "lumawipe " LUMAWIPE_VERSION "\n";
            return ExitOk;
        }
        if (!args.empty() && args[0] == "list") return List(args, out);
        return Render(Parse(args), out, err);
    } catch (const UsageError& e) {
        err << "lumawipe: " << e.what() << " (\"lumawipe --help\" shows the usage)\n";
        return ExitUsage;
    } catch (const InputError& e) {
        err << "lumawipe: " << e.what() << '\n';
        return ExitUsage;
    } catch (const std::exception& e) {
        err << "lumawipe: " << e.what() << '\n';
        return ExitEngineError;
    }
}

}  // namespace LumawipeCli
