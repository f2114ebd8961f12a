// Basic value types shared by the toolkit and everything built on it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace Toolkit {

// A colour: 0x00BBGGRR for a plain RGB value, or 0x800000nn for system colour nn.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor SystemColorFlag = 0x80000000u;
constexpr TColor clScrollBar = 0x80000000u;
constexpr TColor clBackground = 0x80000001u;
constexpr TColor clActiveCaption = 0x80000002u;
constexpr TColor clInactiveCaption = 0x80000003u;
constexpr TColor clMenu = 0x80000004u;
constexpr TColor clWindow = 0x80000005u;
constexpr TColor clWindowFrame = 0x80000006u;
constexpr TColor clMenuText = 0x80000007u;
constexpr TColor clWindowText = 0x80000008u;
constexpr TColor clCaptionText = 0x80000009u;
constexpr TColor clActiveBorder = 0x8000000Au;
constexpr TColor clInactiveBorder = 0x8000000Bu;
constexpr TColor clAppWorkSpace = 0x8000000Cu;
constexpr TColor clHighlight = 0x8000000Du;
constexpr TColor clHighlightText = 0x8000000Eu;
constexpr TColor clBtnFace = 0x8000000Fu;
constexpr TColor clBtnShadow = 0x80000010u;
constexpr TColor clGrayText = 0x80000011u;
constexpr TColor clBtnText = 0x80000012u;
constexpr TColor clInactiveCaptionText = 0x80000013u;
constexpr TColor clBtnHighlight = 0x80000014u;
constexpr TColor cl3DDkShadow = 0x80000015u;
constexpr TColor cl3DLight = 0x80000016u;
constexpr TColor clInfoText = 0x80000017u;
constexpr TColor clInfoBk = 0x80000018u;

constexpr int SystemColorCount = 25;

// Resolves a system colour to its current RGB value; plain colours pass unchanged.
TColor ColorToRGB(TColor color);

// Name of a colour constant ("clBtnFace") to its value; false when the name is unknown.
bool IdentToColor(const std::string& name, TColor& color);
// The reverse: the constant's name of a colour that has one; false otherwise.
bool ColorToIdent(TColor color, std::string& name);

constexpr std::uint8_t GetRValue(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GetGValue(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }
constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// (Left, Top, Right, Bottom); Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

constexpr TRect Intersect(const TRect& a, const TRect& b) {
    return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
}

std::string ToString(const TRect& r);

// Base of the toolkit's own exceptions.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture file or stream that cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A picture too large to hold, or memory refused.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// A malformed form-data stream.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// A text that does not hold a value of the kind asked for ("'x' is not a valid integer
// value").
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
// The conversion error of a text that is not an integer.
EConvertError InvalidInteger(const std::string& text);

}  // namespace Toolkit
