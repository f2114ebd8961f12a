// TLumawipe's form data: the bytes saved, and the load rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/LumawipeStream.h"
#include "support/Fixtures.h"

using namespace Wipekit;
using namespace Fixtures;
using namespace std::string_literals;

namespace {

std::string Save(const TLumawipe& c) {
    std::ostringstream out;
    SaveLumawipe(out, c);
    return out.str();
}

void Load(const std::string& bytes, TLumawipe& c) {
    std::istringstream in(bytes);
    LoadLumawipe(in, c);
}

// Names of the stored properties, in stream order, found by their length-prefixed names.
std::vector<std::string> StoredNames(const std::string& bytes) {
    std::vector<std::string> names;
    for (const auto& prop : LumawipeClassInfo().Properties) {
        const std::string key = std::string(1, char(prop.Name.size())) + prop.Name;
        if (bytes.find(key) != std::string::npos) names.push_back(prop.Name);
    }
    return names;
}

// Bytes as hex pairs, 16 to a line, so a mismatch shows where the streams part.
std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = std::uint8_t(bytes[i]);
        text += digits[b >> 4];
        text += digits[b & 15];
        text += i % 16 == 15 ? '\n' : ' ';
    }
    return text;
}

// What differs between the components set away from every default.
struct Setting {
    const char* About;
    int FromW, FromH, ToW, ToH;
    TColor Color;
    std::uint32_t Interval;
};

// Sets every stored property away from its default: Delta 2, CurrentFrame 3, coGBR,
// tmDown, toMonoSlider, Reverse, UseThread, 10 steps and the setting's values.
void SetAwayFromDefaults(TLumawipe& a, const Setting& s) {
    a.AboutLines().Clear();
    a.AboutLines().Add(s.About);
    TBitmap from, to;
    MakeCoordPicture(from, s.FromW, s.FromH, FromTag);
    MakeCoordPicture(to, s.ToW, s.ToH, ToTag);
    a.SetFromBitmap(from);
    a.SetToBitmap(to);
    a.SetColor(s.Color);
    a.SetDelta(2);
    a.SetInterval(s.Interval);
    a.SetRGBOrder(TRGBOrder::coGBR);
    a.SetModifier(TTransitionModifier::tmDown);
    a.SetOperation(TTransitionOperation::toMonoSlider);
    a.SetReverse(true);
    a.SetUseThread(true);
    a.SetSteps(10);
    a.SetCurrentFrame(3);
    ASSERT_EQ(a.CurrentFrame(), 3);
}

// The 54-byte header of a 24-bit bottom-up BMP file one line high; the sizes are
// little-endian bytes.
std::string BmpHeader(const std::string& fileSize, const std::string& width, const std::string& imageSize) {
    return "BM"s + fileSize + "\0\0\0\0"s + "\x36\0\0\0"s  // file size, reserved, pixel offset 54
           + "\x28\0\0\0"s + width + "\x01\0\0\0"s          // header 40, width, height 1
           + "\x01\0"s + "\x18\0"s + "\0\0\0\0"s + imageSize  // 1 plane, 24 bits, uncompressed
           + std::string(16, '\0');
}

// Every stored property away from its default, with pictures of 2 x 1 and 1 x 1 pixels:
// the whole stream, byte for byte. Color is no colour name (an integer), Interval is past
// the int32 range (an int64), enumerations are identifiers.
TEST(LumawipeStream, SavesTheGoldenBytes) {
    TLumawipe a(nullptr);
    SetAwayFromDefaults(a, {"Hi", 2, 1, 1, 1, 0x123456, 3000000000u});

    const std::string expected =
        "LWFD"s "\x09"s "TLumawipe"s
        "\x05"s "About"s "\x01"s                    // vaList
            "\x07"s "\x02\0\0\0"s "Hi"s "\x00"s     // vaString, length, bytes; vaNull
        "\x05"s "Color"s "\x02"s "\x56\x34\x12\x00"s  // vaInt32
        "\x0C"s "CurrentFrame"s "\x02"s "\x03\0\0\0"s
        "\x0A"s "FromBitmap"s "\x08"s "\x3E\0\0\0"s  // vaBinary, 62 bytes of BMP file
            + BmpHeader("\x3E\0\0\0"s, "\x02\0\0\0"s, "\x08\0\0\0"s) +
            "\x00\x00\x40"s "\x01\x00\x40"s "\0\0"s           // B G R of (0, 0) and (1, 0), padding
        "\x08"s "ToBitmap"s "\x08"s "\x3A\0\0\0"s    // 58 bytes
            + BmpHeader("\x3A\0\0\0"s, "\x01\0\0\0"s, "\x04\0\0\0"s) +
            "\x00\x00\x80"s "\0"s
        "\x05"s "Delta"s "\x02"s "\x02\0\0\0"s
        "\x08"s "Interval"s "\x03"s "\x00\x5E\xD0\xB2\0\0\0\0"s  // vaInt64
        "\x08"s "RGBOrder"s "\x06"s "\x05"s "coGBR"s     // vaIdent
        "\x08"s "Modifier"s "\x06"s "\x06"s "tmDown"s
        "\x09"s "Operation"s "\x06"s "\x0C"s "toMonoSlider"s
        "\x07"s "Reverse"s "\x05"s                      // vaTrue
        "\x09"s "UseThread"s "\x05"s
        "\x05"s "Steps"s "\x02"s "\x0A\0\0\0"s
        "\x00"s;                                        // end: an empty name
    EXPECT_EQ(Hex(Save(a)), Hex(expected));
}

// A fresh component stores only what has no default: the About lines, Color (by its
// name) and CurrentFrame.
TEST(LumawipeStream, FreshComponentSavesTheGoldenBytes) {
    TLumawipe c(nullptr);
    const std::string expected =
        "LWFD"s "\x09"s "TLumawipe"s
        "\x05"s "About"s "\x01"s
            "\x07"s "\x14\0\0\0"s "Component: TLumawipe"s
            "\x07"s "\x0C\0\0\0"s "Version: 4.0"s
            "\x07"s "\x1F\0\0\0"s "Author: The Lumawipe developers"s
            "\x07"s "\x22\0\0\0"s "Contact: lumawipe@lumawipe.example"s
            "\x00"s
        "\x05"s "Color"s "\x06"s "\x09"s "clBtnFace"s
        "\x0C"s "CurrentFrame"s "\x02"s "\0\0\0\0"s
        "\x00"s;
    EXPECT_EQ(Hex(Save(c)), Hex(expected));
}

// The demo's component: every stored property away from its default, loaded into a
// fresh one in the order of the stream.
TEST(LumawipeStream, RoundTripAppliesEveryValue) {
    TLumawipe a(nullptr);
    a.SetBounds(0, 0, 20, 10);
    SetAwayFromDefaults(a, {"Component: TLumawipe", 20, 10, 20, 10, 0xC0C0C0, 10});
    const std::string bytes = Save(a);
    EXPECT_EQ(StoredNames(bytes).size(), LumawipeClassInfo().Properties.size());

    TLumawipe b(nullptr);
    b.SetBounds(0, 0, 20, 10);
    Load(bytes, b);
    EXPECT_EQ(b.About(), a.About());
    EXPECT_EQ(b.CurrentFrame(), 3);
    EXPECT_TRUE(FrameEquals(b.FromBitmap(), 20, 10, [](int x, int y) { return Coord(x, y, FromTag); }));
    EXPECT_TRUE(FrameEquals(b.ToBitmap(), 20, 10, [](int x, int y) { return Coord(x, y, ToTag); }));
    EXPECT_EQ(b.Delta(), 2);
    EXPECT_EQ(b.Interval(), 10u);
    EXPECT_EQ(b.RGBOrder(), TRGBOrder::coGBR);
    EXPECT_EQ(b.Modifier(), TTransitionModifier::tmDown);
    EXPECT_EQ(b.Operation(), TTransitionOperation::toMonoSlider);
    EXPECT_TRUE(b.Reverse());
    EXPECT_TRUE(b.UseThread());
    EXPECT_EQ(b.Steps(), 10);
    EXPECT_FALSE(b.Active());
}

// FromBitmap follows Color: its change handler sets Color to the picture's top-left pixel
// after the stored Color has been applied.
TEST(LumawipeStream, FromBitmapOverridesTheStoredColor) {
    TLumawipe a(nullptr);
    TBitmap from;
    MakeCoordPicture(from, 4, 4, FromTag);
    a.SetFromBitmap(from);
    a.SetColor(0xC0C0C0);  // stored, then replaced on load
    TLumawipe b(nullptr);
    Load(Save(a), b);
    const Px topLeft = Coord(0, 0, FromTag);
    EXPECT_EQ(b.Color(), Toolkit::RGB(topLeft.R, topLeft.G, topLeft.B));
}

TEST(LumawipeStream, MalformedDataLeavesTheComponentAsItWas) {
    TLumawipe a(nullptr);
    a.SetDelta(7);
    a.SetOperation(TTransitionOperation::toIris);
    std::string bytes = Save(a);
    const std::size_t at = bytes.find("toIris");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 6, "toXris");

    TLumawipe b(nullptr);
    b.SetColor(0x123456);
    EXPECT_THROW(Load(bytes, b), Toolkit::EReadError);
    EXPECT_THROW(Load(bytes.substr(0, bytes.size() - 1), b), Toolkit::EReadError);
    // An About list of more tiny strings than a list may hold.
    std::string many = "LWFD\x09TLumawipe\x05" "About\x01";
    for (std::size_t i = 0; i <= Toolkit::MaxListItems; ++i) many += "\x07"s + std::string(4, '\0');
    EXPECT_THROW(Load(many + "\x00\x00"s, b), Toolkit::EReadError);
    EXPECT_EQ(b.Color(), 0x123456u);
    EXPECT_EQ(b.Delta(), 10);
    EXPECT_EQ(b.Operation(), TTransitionOperation::toPush);
    EXPECT_EQ(b.About().Count(), 4);
}

}  // namespace
