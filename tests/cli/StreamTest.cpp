// Frames to standard output: the YUV4MPEG2 stream, raw BGR24 frames, and a reader that
// goes away.
#include <map>

#include "cli/CliFixture.h"

using namespace CliFixture;

namespace {

// Plain pictures of one colour, saved as BMP files.
std::string Plain(const std::string& path, int w, int h, TColor color) {
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas().Brush.Color = color;
    b.Canvas().FillRect(Toolkit::Rect(0, 0, w, h));
    b.SaveToFile(path);
    return path;
}

struct Y4m {
    std::string Header;
    std::vector<std::string> Frames;  // the Y, Cb and Cr planes of each
};

// Parses a stream of 4:4:4 frames of w x h; fails the test on any stray byte.
Y4m ParseY4m(const std::string& s, int w, int h) {
    Y4m y4m;
    const auto eol = s.find('\n');
    EXPECT_NE(eol, std::string::npos);
    y4m.Header = s.substr(0, eol);
    const std::size_t frame = std::size_t(w) * std::size_t(h) * 3;
    for (std::size_t at = eol + 1; at < s.size(); at += 6 + frame) {
        EXPECT_EQ(s.substr(at, 6), "FRAME\n") << "at byte " << at;
        EXPECT_LE(at + 6 + frame, s.size()) << "a frame cut short";
        if (s.substr(at, 6) != "FRAME\n") break;
        y4m.Frames.push_back(s.substr(at + 6, frame));
    }
    return y4m;
}

}  // namespace

// A run of red, blue and the green Color: the y4m stream of the program has the run's
// frames in BT.601 limited range, the raw stream has them as BGR24, both equal to the BMP
// frames; the progress lines go to standard error.
TEST_F(CliTest, PlayStreamsFramesToStandardOutput) {
    const std::string picture = " --from " + Plain(Path("red.bmp"), 4, 2, Toolkit::clRed) + " --to " +
                                Plain(Path("blue.bmp"), 4, 2, Toolkit::clBlue) +
                                " --size 6x3 --color 0x00FF00 --operation push --steps 2 --play --out ";
    Result files, y4m, raw;
    ASSERT_EQ(Program("render" + picture + Path("frames"), files), 0) << files.Err;
    ASSERT_EQ(Program("render" + picture + "- --fps 30", y4m), 0) << y4m.Err;
    EXPECT_EQ(y4m.Err, files.Out);
    ASSERT_EQ(Program("render" + picture + "- --format raw", raw), 0) << raw.Err;
    EXPECT_EQ(raw.Err, files.Out);

    const Y4m stream = ParseY4m(y4m.Out, 6, 3);
    EXPECT_EQ(stream.Header, "YUV4MPEG2 W6 H3 F30:1 Ip A1:1 C444 XCOLORRANGE=LIMITED");
    const std::size_t frames = std::size_t(std::distance(fs::directory_iterator(Dir / "frames"), fs::directory_iterator{}));
    ASSERT_EQ(stream.Frames.size(), frames);
    ASSERT_EQ(raw.Out.size(), frames * 6 * 3 * 3);
    // Y, Cb, Cr of each colour of the run by BT.601's equations.
    const std::map<std::uint32_t, std::array<int, 3>> ycbcr = {
        {0xFF0000, {81, 90, 240}}, {0x00FF00, {145, 54, 34}}, {0x0000FF, {41, 240, 110}}};
    for (std::size_t f = 0; f < frames; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04zu.bmp", f);
        TBitmap bmp;
        bmp.LoadFromFile((Dir / "frames" / name).string());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) {
                const Px px = PixelOf(bmp, x, y);
                const std::size_t i = std::size_t(y * 6 + x), at = (f * 18 + i) * 3;
                EXPECT_EQ(raw.Out.substr(at, 3), std::string({char(px.B), char(px.G), char(px.R)})) << f << ": " << x << "," << y;
                const auto c = ycbcr.find(std::uint32_t(px.R) << 16 | std::uint32_t(px.G) << 8 | px.B);
                ASSERT_NE(c, ycbcr.end()) << ToString(px);
                for (int plane = 0; plane < 3; ++plane)
                    EXPECT_EQ(std::uint8_t(stream.Frames[f][std::size_t(plane) * 18 + i]), c->second[std::size_t(plane)])
                        << "frame " << f << " plane " << plane << " at " << x << "," << y;
            }
    }
}

// Grey levels across the range land on BT.601's luma of 16..235 and neutral chroma, and
// a single frame goes to the stream as well.
TEST_F(CliTest, FrameStreamsGreyLevelsInLimitedRange) {
    const struct {
        TColor grey;
        int y;
    } cases[] = {{0x000000, 16}, {0x808080, 126}, {0xFFFFFF, 235}};
    for (const auto& c : cases) {
        const Result r = Cli({"render", "--size", "2x1", "--from", Plain(Path("g.bmp"), 2, 1, c.grey), "--operation", "push",
                              "--frame", "0", "--out", "-"});
        ASSERT_EQ(r.Code, 0) << r.Err;
        EXPECT_EQ(r.Err, "frame 0: running\n");
        const Y4m stream = ParseY4m(r.Out, 2, 1);
        EXPECT_EQ(stream.Header, "YUV4MPEG2 W2 H1 F25:1 Ip A1:1 C444 XCOLORRANGE=LIMITED");
        ASSERT_EQ(stream.Frames.size(), 1u);
        EXPECT_EQ(stream.Frames[0], std::string({char(c.y), char(c.y), char(128), char(128), char(128), char(128)})) << c.grey;
    }
}

// A reader that closes the pipe early ends the run with status 1 and one line saying so,
// not with a signal.
TEST_F(CliTest, ClosedPipeEndsTheRunWithAnError) {
    const std::string run = std::string(LUMAWIPE_CLI) + " render --operation fade --steps 1 --play --out - 2>" +
                            Path("stderr") + "; echo $? >" + Path("status");
    ASSERT_EQ(std::system(("(" + run + ") | head -c 1000 >/dev/null").c_str()), 0);
    EXPECT_EQ(Contents(Path("status")), "1\n");
    const std::string err = Contents(Path("stderr"));
    const auto last = err.rfind('\n', err.size() - 2);
    EXPECT_EQ(err.substr(last == std::string::npos ? 0 : last + 1), "lumawipe: cannot write a frame to standard output: Broken pipe\n");
}
