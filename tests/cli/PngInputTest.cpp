// PNG pictures in: every colour type and bit depth to 8-bit RGB, transparency over the
// control's Color, and damaged or oversized files refused.
#include <png.h>
#include <zlib.h>

#include <array>
#include <cstdio>

#include "cli/CliFixture.h"

using namespace CliFixture;

namespace {

constexpr int W = 5, H = 3;
constexpr TColor Background = 0x2040C0;  // red C0, green 40, blue 20

// A sample of a picture: gray or red/green/blue and alpha, at the file's bit depth.
struct Sample {
    unsigned R, G, B, A;
};

struct PngCase {
    const char* name;
    int colorType, depth;
    bool interlaced = false;
    bool keyTransparent = false;  // a tRNS chunk: one colour (or palette alphas) transparent
};

int Channels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY: case PNG_COLOR_TYPE_PALETTE: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        default: return 4;
    }
}

bool Gray(int colorType) { return !(colorType & PNG_COLOR_MASK_COLOR); }

// Pixel (x, y) of a case's picture in file samples: distinct values across the range of
// the depth (16-bit ones with a low byte that must not decide the result), alpha 0, full
// and in between.
Sample SampleAt(const PngCase& c, int x, int y) {
    const unsigned max = (1u << c.depth) - 1, i = unsigned(y * W + x);
    auto level = [&](unsigned k) {
        if (c.depth == 16) return ((k * 37 + 11) % 256) * 257 + 100;
        return (k * 7 + 3) % (max + 1);
    };
    const unsigned alphas[] = {max, 0, max, (max + 1) / 2, max};
    if (c.colorType == PNG_COLOR_TYPE_PALETTE) return {i % (max + 1), 0, 0, max};
    if (Gray(c.colorType)) return {level(i), level(i), level(i), alphas[i % 5]};
    return {level(i), level(i + 5), level(i + 9), alphas[i % 5]};
}

std::uint8_t To8(unsigned v, int depth) {
    return depth == 16 ? std::uint8_t(v / 257) : std::uint8_t(v * 255 / ((1u << depth) - 1));
}

// Palette entry k: a colour, and (with tRNS) an alpha that falls from opaque.
png_color PaletteColor(unsigned k) { return {png_byte(k * 50 + 5), png_byte(255 - k * 30), png_byte(k * 90)}; }
png_byte PaletteAlpha(unsigned k) { return png_byte(k == 0 ? 255 : k == 1 ? 0 : 200 - k); }

void WritePngFile(const std::string& path, const PngCase& c) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, W, H, c.depth, c.colorType, c.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::array<png_color, 256> palette{};
    std::array<png_byte, 256> alphas{};
    const unsigned entries = c.colorType == PNG_COLOR_TYPE_PALETTE ? 1u << c.depth : 0;
    for (unsigned k = 0; k < entries; ++k) {
        palette[k] = PaletteColor(k);
        alphas[k] = PaletteAlpha(k);
    }
    if (entries) png_set_PLTE(png, info, palette.data(), int(entries));
    png_color_16 key{};
    const Sample keyed = SampleAt(c, 1, 0);
    key.gray = png_uint_16(keyed.R);
    key.red = png_uint_16(keyed.R);
    key.green = png_uint_16(keyed.G);
    key.blue = png_uint_16(keyed.B);
    if (c.keyTransparent) png_set_tRNS(png, info, alphas.data(), int(entries), &key);
    png_write_info(png, info);
    // Rows packed as the file holds them: samples big-endian, low depths several to a byte.
    const int channels = Channels(c.colorType);
    std::vector<std::vector<png_byte>> rows(H, std::vector<png_byte>(std::size_t(W * channels * 2), 0));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const Sample s = SampleAt(c, x, y);
            const unsigned values[] = {s.R, Gray(c.colorType) ? s.A : s.G, s.B, s.A};
            for (int ch = 0; ch < channels; ++ch) {
                const unsigned v = values[ch];
                const int bit = (x * channels + ch) * c.depth;
                if (c.depth == 16) {
                    rows[y][std::size_t(bit / 8)] = png_byte(v >> 8);
                    rows[y][std::size_t(bit / 8 + 1)] = png_byte(v);
                } else {
                    rows[y][std::size_t(bit / 8)] |= png_byte(v << (8 - c.depth - bit % 8));
                }
            }
        }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

std::uint8_t Over(std::uint8_t fg, unsigned alpha8, std::uint8_t bg) {
    return std::uint8_t((fg * alpha8 + bg * (255 - alpha8) + 127) / 255);
}

// What the control shows at (x, y) of a case's picture.
Px Expected(const PngCase& c, int x, int y) {
    const Sample s = SampleAt(c, x, y);
    std::uint8_t r, g, b;
    unsigned alpha = 255;
    if (c.colorType == PNG_COLOR_TYPE_PALETTE) {
        const png_color p = PaletteColor(s.R);
        r = p.red, g = p.green, b = p.blue;
        if (c.keyTransparent) alpha = PaletteAlpha(s.R);
    } else {
        r = To8(s.R, c.depth), g = To8(s.G, c.depth), b = To8(s.B, c.depth);
        if (c.colorType & PNG_COLOR_MASK_ALPHA) alpha = To8(s.A, c.depth);
        const Sample key = SampleAt(c, 1, 0);
        if (c.keyTransparent && s.R == key.R && s.G == key.G && s.B == key.B) alpha = 0;
    }
    return Px{Over(b, alpha, 0x20), Over(g, alpha, 0x40), Over(r, alpha, 0xC0)};
}

// A PNG file of bytes: the signature and chunks with their CRCs.
std::string Chunk(const std::string& type, const std::string& data) {
    std::string chunk;
    for (int shift = 24; shift >= 0; shift -= 8) chunk += char(data.size() >> shift);
    chunk += type + data;
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(chunk.data() + 4), uInt(chunk.size() - 4));
    for (int shift = 24; shift >= 0; shift -= 8) chunk += char(crc >> shift);
    return chunk;
}

std::string Ihdr(std::uint32_t w, std::uint32_t h, int depth = 8, int colorType = PNG_COLOR_TYPE_RGB) {
    std::string data;
    for (std::uint32_t v : {w, h})
        for (int shift = 24; shift >= 0; shift -= 8) data += char(v >> shift);
    data += {char(depth), char(colorType), 0, 0, 0};
    return Chunk("IHDR", data);
}

const std::string Signature("\x89PNG\r\n\x1a\n", 8);

}  // namespace

TEST_F(CliTest, PngOfEveryColourTypeAndDepthIsRead) {
    const PngCase cases[] = {
        {"gray 1", PNG_COLOR_TYPE_GRAY, 1},
        {"gray 2", PNG_COLOR_TYPE_GRAY, 2},
        {"gray 4", PNG_COLOR_TYPE_GRAY, 4},
        {"gray 8", PNG_COLOR_TYPE_GRAY, 8},
        {"gray 16", PNG_COLOR_TYPE_GRAY, 16},
        {"gray 8 keyed", PNG_COLOR_TYPE_GRAY, 8, false, true},
        {"gray+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {"gray+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8},
        {"rgb 16", PNG_COLOR_TYPE_RGB, 16},
        {"rgb 8 interlaced", PNG_COLOR_TYPE_RGB, 8, true},
        {"rgb 16 keyed", PNG_COLOR_TYPE_RGB, 16, false, true},
        {"rgba 8", PNG_COLOR_TYPE_RGBA, 8},
        {"rgba 16 interlaced", PNG_COLOR_TYPE_RGBA, 16, true},
        {"palette 1", PNG_COLOR_TYPE_PALETTE, 1},
        {"palette 2", PNG_COLOR_TYPE_PALETTE, 2},
        {"palette 4 with alphas", PNG_COLOR_TYPE_PALETTE, 4, false, true},
        {"palette 8", PNG_COLOR_TYPE_PALETTE, 8},
    };
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.name);
        WritePngFile(Path("in.png"), c);
        // Frame 0 of toPush shows the from picture as the control holds it.
        const Result r = Cli({"render", "--from", Path("in.png"), "--to", Path("in.png"), "--color", "0x2040C0",
                              "--operation", "push", "--frame", "0", "--out", Path("f.bmp")});
        ASSERT_EQ(r.Code, 0) << r.Err;
        TBitmap frame;
        frame.LoadFromFile(Path("f.bmp"));
        // libpng composites 16-bit alpha before scaling to 8 bits: one step either way.
        const bool wide = c.depth == 16 && (c.colorType & PNG_COLOR_MASK_ALPHA);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const Px got = PixelOf(frame, x, y), want = Expected(c, x, y);
                if (wide)
                    EXPECT_TRUE(std::abs(got.R - want.R) <= 1 && std::abs(got.G - want.G) <= 1 && std::abs(got.B - want.B) <= 1)
                        << x << "," << y << ": " << ToString(got) << " vs " << ToString(want);
                else
                    EXPECT_EQ(got, want) << x << "," << y << ": " << ToString(got) << " vs " << ToString(want);
            }
    }
}

// Damaged files, sizes beyond the toolkit's limits and sizes beyond what the file's pixel
// data can expand to end with exit status 2 and a line naming the file, before the
// picture's memory is taken.
TEST_F(CliTest, DamagedOrOversizedPngIsRefused) {
    WritePngFile(Path("good.png"), {"rgb 8", PNG_COLOR_TYPE_RGB, 8});
    const std::string good = Contents(Path("good.png"));
    std::string badCrc = good;
    badCrc[29] = char(badCrc[29] ^ 1);  // the IHDR's CRC
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"signature only", Signature, "Invalid PNG file"},
        {"truncated pixel data", good.substr(0, good.size() - 20), "Invalid PNG file"},
        {"header CRC", badCrc, "Invalid PNG file"},
        {"zero width", Signature + Ihdr(0, 10), "Invalid PNG file"},
        {"side beyond the limit", Signature + Ihdr(Toolkit::MaxBitmapSide + 1, 1), "exceeds user limit"},
        {"bytes beyond the limit", Signature + Ihdr(30000, 30000) + Chunk("IDAT", "x"), "too large"},
        // Within the limit, but far more pixels than two bytes of data can expand to.
        {"size beyond its data", Signature + Ihdr(18918, 18918) + Chunk("IDAT", "xx") + Chunk("IEND", ""),
         "too short for the image size"},
        {"bad depth", Signature + Ihdr(4, 4, 3), "Invalid PNG file"},
    };
    for (const auto& c : cases) {
        std::ofstream(Path("bad.png"), std::ios::binary) << c.bytes;
        const Result r = Cli({"render", "--from", Path("bad.png"), "--operation", "push", "--frame", "0", "--out", Path("f.bmp")});
        EXPECT_EQ(r.Code, 2) << c.name;
        EXPECT_TRUE(r.Err.starts_with("lumawipe: --from \"" + Path("bad.png") + "\": ")) << c.name << ": " << r.Err;
        EXPECT_NE(r.Err.find(c.says), std::string::npos) << c.name << ": " << r.Err;
        EXPECT_EQ(r.Err.find('\n'), r.Err.size() - 1) << c.name << ": " << r.Err;
        EXPECT_FALSE(fs::exists(Path("f.bmp"))) << c.name;
    }
}
