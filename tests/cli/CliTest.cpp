// The lumawipe command: output files, printed lines, usage errors and engine errors.
#include <cstdlib>

#include "cli/CliFixture.h"

using namespace CliFixture;
using namespace Wipekit;

namespace {

std::string Cased(std::string_view s, int (*change)(int)) {
    std::string cased(s);
    for (auto& c : cased) c = char(change(static_cast<unsigned char>(c)));
    return cased;
}

// Every value of a list is found by its identifier, by its short name and in any case, and
// named by its identifier; names of other lists, bare prefixes and values beyond the list are not.
template <class E, std::size_t N>
void ExpectNamesRoundTrip(const std::string_view (&names)[N], std::string_view (*nameOf)(E)) {
    for (std::size_t i = 0; i < N; ++i) {
        const E value = E(i);
        EXPECT_EQ(nameOf(value), names[i]);
        for (const std::string& spelling : {std::string(names[i]), Cased(ShortName(names[i]), std::tolower),
                                            Cased(names[i], std::toupper)}) {
            E found = E((i + 1) % N);
            EXPECT_TRUE(FromName(spelling, found)) << spelling;
            EXPECT_EQ(found, value) << spelling;
        }
    }
    E untouched = E(0);
    for (const char* unknown : {"", "to", "tm", "co", "toLeft", "tmPush", "coUp", "wobble", "lef", "rgbb"})
        EXPECT_FALSE(FromName(unknown, untouched)) << unknown;
    EXPECT_EQ(untouched, E(0));
    EXPECT_EQ(nameOf(E(N)), "?");
}

}  // namespace

TEST(CliNames, EveryNameRoundTripsThroughItsList) {
    ExpectNamesRoundTrip(OperationNames, OperationName);
    ExpectNamesRoundTrip(ModifierNames, ModifierName);
    ExpectNamesRoundTrip(RGBOrderNames, RGBOrderName);
}

// One line per operation in ordinal order, each naming an operation the renderer takes;
// frames of those that keep state are refused.
TEST_F(CliTest, ListShowsEveryOperationInOrder) {
    const Result r = Cli({"list"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_TRUE(r.Err.empty()) << r.Err;
    const auto from = Picture("a.bmp", 6, 4, FromTag);
    const auto to = Picture("b.bmp", 6, 4, ToTag);
    std::istringstream lines(r.Out);
    std::string line;
    int i = 0;
    for (; std::getline(lines, line); ++i) {
        ASSERT_LT(i, OperationCount) << line;
        const std::string name(OperationNames[i]);
        EXPECT_FALSE(OperationInfo[i].Description.empty()) << name;
        EXPECT_EQ(line, name + "  " + std::string(OperationInfo[i].Description));
        fs::remove(Path("f.bmp"));
        const Result frame = Cli({"render", "--from", from, "--to", to, "--operation", line.substr(0, line.find(' ')),
                                  "--frame", "1", "--out", Path("f.bmp")});
        if (OperationKeepsState(TTransitionOperation(i))) {
            EXPECT_EQ(frame.Code, 2) << name;
            EXPECT_NE(frame.Err.find("--frame is refused for " + name), std::string::npos) << frame.Err;
            EXPECT_TRUE(frame.Out.empty()) << name;
            EXPECT_FALSE(fs::exists(Path("f.bmp"))) << name;
        } else {
            EXPECT_EQ(frame.Code, 0) << name << ": " << frame.Err;
            EXPECT_TRUE(frame.Out == "frame 1: running\n" || frame.Out == "frame 1: finished\n") << name << ": " << frame.Out;
            TBitmap written;
            EXPECT_NO_THROW(written.LoadFromFile(Path("f.bmp"))) << name;
            EXPECT_EQ(written.Width(), 6) << name;
            EXPECT_EQ(written.Height(), 4) << name;
        }
    }
    EXPECT_EQ(i, OperationCount);
}

// Every modifier and channel order, named as the usage shows it, reaches the engine: the
// frame written is the one the component draws with that value. Frames 1 and 2 of toRGB
// tell all six channel orders apart.
TEST_F(CliTest, ModifierAndOrderNamesReachTheEngine) {
    TBitmap from, to;
    MakeCoordPicture(from, 10, 4, FromTag);
    MakeCoordPicture(to, 10, 4, ToTag);
    from.SaveToFile(Path("a.bmp"));
    to.SaveToFile(Path("b.bmp"));
    struct Case {
        std::string option, value, frame;
        TTransitionOperation op;
        std::function<void(TLumawipe&)> set;
    };
    std::vector<Case> cases;
    for (std::size_t i = 0; i < std::size(ModifierNames); ++i)
        cases.push_back({"--modifier", Cased(ShortName(ModifierNames[i]), std::tolower), "3", TTransitionOperation::toPush,
                         [i](TLumawipe& w) { w.SetModifier(TTransitionModifier(i)); }});
    for (std::size_t i = 0; i < std::size(RGBOrderNames); ++i)
        for (const char* frame : {"1", "2"})
            cases.push_back({"--rgb-order", Cased(ShortName(RGBOrderNames[i]), std::tolower), frame,
                             TTransitionOperation::toRGB, [i](TLumawipe& w) { w.SetRGBOrder(TRGBOrder(i)); }});
    for (const Case& c : cases) {
        const std::string what = c.option + " " + c.value + " --frame " + c.frame;
        const Result r = Cli({"render", "--from", Path("a.bmp"), "--to", Path("b.bmp"), "--operation",
                              std::string(OperationName(c.op)), c.option, c.value, "--frame", c.frame, "--out", Path("f.bmp")});
        ASSERT_EQ(r.Code, 0) << what << ": " << r.Err;
        TBitmap written;
        written.LoadFromFile(Path("f.bmp"));
        TLumawipe w(nullptr);
        w.SetBounds(0, 0, 10, 4);
        w.SetFromBitmap(from);
        w.SetToBitmap(to);
        w.SetOperation(c.op);
        c.set(w);
        w.SetCurrentFrame(std::stoi(c.frame));
        EXPECT_TRUE(FrameEquals(written, 10, 4, [&](int x, int y) { return PixelOf(w.WorkBitmap(), x, y); })) << what;
    }
}

TEST_F(CliTest, FrameWritesExactlyTheFramesPixels) {
    const auto from = Picture("a.bmp", 10, 4, FromTag);
    const auto to = Picture("b.bmp", 10, 4, ToTag);
    const Result r = Cli({"render", "--from", from, "--to", to, "--operation", "toPush", "--frame", "3", "--out", Path("f.bmp")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, "frame 3: running\n");
    EXPECT_EQ(fs::file_size(Path("f.bmp")), 54u + 32 * 4);
    TBitmap frame;
    frame.LoadFromFile(Path("f.bmp"));
    EXPECT_TRUE(FrameEquals(frame, 10, 4, [](int x, int y) { return x < 7 ? Coord(x + 3, y, FromTag) : Coord(x - 7, y, ToTag); }));

    const Result end = Cli({"render", "--from", from, "--to", to, "--operation", "PUSH", "--modifier", "up", "--frame", "5",
                            "--out", Path("g.png")});
    ASSERT_EQ(end.Code, 0) << end.Err;
    EXPECT_EQ(end.Out, "frame 5: finished\n");
    EXPECT_EQ(Head(Path("g.png"), 4), "\x89PNG");
}

// A colour by number or by name fills what the picture leaves of the control.
TEST_F(CliTest, ExplicitColourWinsAndSizeSetsTheControl) {
    const auto from = Picture("a.bmp", 4, 2, FromTag);
    const struct {
        const char* color;
        Px fill;
    } cases[] = {{"0x0000FF", Px{0x00, 0x00, 0xFF}}, {"clBtnFace", ColorPx(Toolkit::clBtnFace)}};
    for (const auto& c : cases) {
        const Result r = Cli({"render", "--from", from, "--size", "6x3", "--color", c.color, "--operation", "push",
                              "--frame", "0", "--out", Path("f.bmp")});
        ASSERT_EQ(r.Code, 0) << c.color << ": " << r.Err;
        EXPECT_EQ(r.Out, "frame 0: running\n") << c.color;
        TBitmap frame;
        frame.LoadFromFile(Path("f.bmp"));
        EXPECT_TRUE(FrameEquals(frame, 6, 3, [&](int x, int y) {
            return x < 4 && y < 2 ? Coord(x, y, FromTag) : c.fill;
        })) << c.color;
    }
}

TEST_F(CliTest, PlayWritesEveryFrameInOrder) {
    const auto from = Picture("a.bmp", 5, 2, FromTag);
    const auto to = Picture("b.bmp", 5, 2, ToTag);
    const Result r = Cli({"render", "--from", from, "--to", to, "--operation", "push", "--steps", "2", "--play", "--out",
                          Path("frames")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, "frame 1: running\nframe 3: running\nframe 5: running\nframe 7: finished\n");
    for (int i = 0; i < 4; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.bmp", i);
        EXPECT_TRUE(fs::exists(Dir / "frames" / name)) << name;
    }
    EXPECT_FALSE(fs::exists(Dir / "frames" / "frame-0004.bmp"));
    TBitmap last;
    last.LoadFromFile((Dir / "frames" / "frame-0003.bmp").string());
    EXPECT_TRUE(FrameEquals(last, 5, 2, [](int x, int y) { return Coord(x, y, ToTag); }));

    const Result gif = Cli({"render", "--operation", "toPush", "--steps", "100", "--play", "--out", Path("run.gif")});
    ASSERT_EQ(gif.Code, 0) << gif.Err;
    EXPECT_EQ(gif.Out, "frame 99: running\nframe 199: running\nframe 299: running\nframe 399: running\nframe 499: finished\n");
    EXPECT_EQ(Head(Path("run.gif"), 6), "GIF89a");
}

TEST_F(CliTest, UsageErrorsSayWhatIsWrong) {
    const auto bad = Path("bad.bmp");
    std::ofstream(bad) << "BM not really";
    struct Case {
        std::vector<std::string> args;
        const char* says;
    } const cases[] = {
        {{}, "render"},
        {{"draw", "--operation", "push", "--frame", "0", "--out", "x.bmp"}, "render"},
        {{"render", "--frame", "0", "--out", "x.bmp"}, "--operation"},
        {{"render", "--operation", "wobble", "--frame", "0", "--out", "x.bmp"}, "wobble"},
        {{"render", "--operation", "push", "--frame", "0"}, "--out"},
        {{"render", "--operation", "push", "--out", "x.bmp"}, "--frame"},
        {{"render", "--operation", "push", "--frame", "0", "--play", "--out", "x.bmp"}, "--frame"},
        {{"render", "--operation", "push", "--frame", "-1", "--out", "x.bmp"}, "negative"},
        {{"render", "--operation", "push", "--frame", "ten", "--out", "x.bmp"}, "ten"},
        {{"list", "--all"}, "--all"},
        {{"render", "--operation", "push", "--delta", "0", "--frame", "0", "--out", "x.bmp"}, "--delta"},
        {{"render", "--operation", "push", "--steps", "3000000000", "--frame", "0", "--out", "x.bmp"}, "--steps"},
        {{"render", "--operation", "push", "--size", "0x5", "--frame", "0", "--out", "x.bmp"}, "--size"},
        {{"render", "--operation", "push", "--size", "12", "--frame", "0", "--out", "x.bmp"}, "WxH"},
        {{"render", "--operation", "push", "--color", "red", "--frame", "0", "--out", "x.bmp"}, "--color"},
        {{"render", "--operation", "push", "--color", "0x1FFFFFFFF", "--frame", "0", "--out", "x.bmp"}, "32-bit"},
        {{"render", "--operation", "push", "--rgb-order", "rrg", "--frame", "0", "--out", "x.bmp"}, "--rgb-order"},
        {{"render", "--operation", "push", "--modifier", "diagonal", "--frame", "0", "--out", "x.bmp"}, "--modifier"},
        {{"render", "--operation", "push", "--frame", "0", "--out", "x.bmp", "--fast"}, "--fast"},
        {{"render", "--operation", "push", "--frame"}, "needs a value"},
        {{"render", "--operation", "push", "--play", "--out", "dir", "--format", "raw"}, "--format applies to --out -"},
        {{"render", "--operation", "push", "--play", "--out", "-", "--format", "yuv"}, "--format must be y4m or raw"},
        {{"render", "--operation", "push", "--play", "--out", "-", "--fps", "0"}, "--fps must be between 1"},
        {{"render", "--from", "/nonexistent.bmp", "--operation", "push", "--frame", "0", "--out", "x.bmp"}, "nonexistent"},
        {{"render", "--from", bad, "--operation", "push", "--frame", "0", "--out", "x.bmp"}, "Invalid bitmap"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        EXPECT_EQ(r.Code, 2) << joined;
        EXPECT_NE(r.Err.find(c.says), std::string::npos) << joined << "\n" << r.Err;
        EXPECT_TRUE(r.Err.starts_with("lumawipe: ")) << r.Err;
        EXPECT_EQ(r.Err.find('\n'), r.Err.size() - 1) << "one line: " << r.Err;
        EXPECT_TRUE(r.Out.empty()) << joined;
    }
    EXPECT_FALSE(fs::exists("x.bmp"));
}

TEST_F(CliTest, EngineErrorsExitWithOne) {
    const auto from = Picture("a.bmp", 6, 4, FromTag);
    const auto to = Picture("b.bmp", 6, 5, ToTag);
    const Result blend = Cli({"render", "--from", from, "--to", to, "--operation", "toBlend", "--frame", "3", "--out", Path("f.bmp")});
    EXPECT_EQ(blend.Code, 1);
    EXPECT_EQ(blend.Err, "lumawipe: Bitmaps are unequal in size.\n");
    EXPECT_TRUE(blend.Out.empty()) << blend.Out;
    EXPECT_FALSE(fs::exists(Path("f.bmp")));

    const Result endless = Cli({"render", "--operation", "fade", "--play", "--max-frames", "5", "--out", Path("frames")});
    EXPECT_EQ(endless.Code, 1);
    EXPECT_EQ(endless.Err, "lumawipe: the run did not end within 5 frames\n");
    // The five frames played before the limit are written and reported.
    std::istringstream lines(endless.Out);
    int reported = 0;
    for (std::string line; std::getline(lines, line); ++reported)
        EXPECT_TRUE(line.starts_with("frame ") && line.ends_with(": running")) << line;
    EXPECT_EQ(reported, 5);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "frames"), fs::directory_iterator{}), 5);
}

// The program itself: its exit status, what it prints on each stream and what it writes.
TEST_F(CliTest, TheProgramReportsThroughItsExitStatus) {
    const std::string to = Picture("t.bmp", 2, 2, ToTag);
    const struct {
        std::string args, out;
        int status;
        std::string err;
        bool writes;
    } cases[] = {
        {"render --operation iris --frame 4 --out " + Path("ok.bmp"), Path("ok.bmp"), 0, "", true},
        {"render --operation iris --frame -4 --out " + Path("no.bmp"), Path("no.bmp"), 2,
         "lumawipe: --frame -4 is refused: CurrentFrame cannot be negative (\"lumawipe --help\" shows the usage)\n", false},
        {"render --operation blend --size 3x3 --to " + to + " --frame 4 --out " + Path("err.bmp"), Path("err.bmp"), 1,
         "lumawipe: Bitmaps are unequal in size.\n", false},
    };
    for (const auto& c : cases) {
        Result r;
        EXPECT_EQ(Program(c.args, r), c.status) << c.args;
        EXPECT_EQ(r.Out, c.writes ? "frame 4: running\n" : "") << c.args;
        EXPECT_EQ(r.Err, c.err) << c.args;
        EXPECT_EQ(fs::exists(c.out), c.writes) << c.args;
    }
}

// The usage on standard output: every option the command takes with its explanation, and
// every operation with its description.
TEST_F(CliTest, HelpExplainsEveryOptionAndOperation) {
    Result version;
    ASSERT_EQ(Program("--version", version), 0);
    EXPECT_TRUE(version.Out.starts_with("lumawipe ") && version.Out.ends_with("\n")) << version.Out;
    EXPECT_EQ(version.Out.find('\n'), version.Out.size() - 1) << version.Out;
    std::string first;
    for (const char* args : {"--help", "-h", "render --help", "render --operation push --help", "list --help"}) {
        Result r;
        ASSERT_EQ(Program(args, r), 0) << args;
        EXPECT_TRUE(r.Err.empty()) << args << ": " << r.Err;
        if (first.empty()) first = r.Out;
        EXPECT_EQ(r.Out, first) << args;
    }
    for (const char* option : {"--from FILE ", "--to FILE ", "--size WxH ", "--color C ", "--operation NAME ", "--modifier M ",
                               "--delta N ", "--steps N ", "--rgb-order O ", "--reverse ", "--frame F ", "--play ",
                               "--out PATH ", "--format y4m|raw ", "--fps N ", "--max-frames N "}) {
        // An option begins a line and is followed by its explanation on that line.
        const auto at = first.find("\n  " + std::string(option));
        ASSERT_NE(at, std::string::npos) << option;
        const auto line = first.substr(at + 3, first.find('\n', at + 1) - at - 3);
        EXPECT_NE(line.find_first_not_of(' ', std::string(option).size()), std::string::npos) << line;
    }
    for (int i = 0; i < OperationCount; ++i) {
        const auto at = first.find("\n  " + std::string(OperationNames[i]) + " ");
        ASSERT_NE(at, std::string::npos) << OperationNames[i];
        const std::string line = first.substr(at + 1, first.find('\n', at + 1) - at - 1);
        EXPECT_TRUE(line.ends_with(" " + std::string(OperationInfo[i].Description))) << line;
    }
}
