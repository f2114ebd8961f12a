#include "cli/FrameStream.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <stdexcept>

namespace LumawipeCli {

namespace {

// The coefficients of BT.601's equations in thousandths, over 255 * 1000.
constexpr std::int32_t Scale = 255 * 1000;

std::uint8_t Rounded(std::int32_t offset, std::int32_t numerator) {
    // Floor division of numerator + Scale / 2: the nearest integer, halves upwards.
    const std::int32_t shifted = numerator + Scale / 2;
    const std::int32_t quotient = shifted / Scale - (shifted % Scale < 0 ? 1 : 0);
    return std::uint8_t(offset + quotient);
}

}  // namespace

TYCbCr Bt601(Toolkit::TBgr p) {
    const std::int32_t r = p.R, g = p.G, b = p.B;
    return {Rounded(16, 65481 * r + 128553 * g + 24966 * b), Rounded(128, -37797 * r - 74203 * g + 112000 * b),
            Rounded(128, 112000 * r - 93786 * g - 18214 * b)};
}

FrameStream::FrameStream(std::ostream& out, TStreamFormat format, int fps) : FOut(out), FFormat(format), FFps(fps) {}

void FrameStream::Check(const char* what) {
    if (FOut) return;
    const int error = errno;
    std::string message = "cannot write " + std::string(what) + " to standard output";
    if (error != 0) message += std::string(": ") + std::strerror(error);
    throw std::runtime_error(message);
}

void FrameStream::Add(const Toolkit::TConstPixelView& frame) {
    errno = 0;
    if (FFrames == 0) {
        FWidth = frame.Width;
        FHeight = frame.Height;
        if (FFormat == TStreamFormat::Y4m) {
            // Interlacing progressive, square pixels, and the range of Bt601 named for readers.
            FOut << "YUV4MPEG2 W" << FWidth << " H" << FHeight << " F" << FFps << ":1 Ip A1:1 C444 XCOLORRANGE=LIMITED\n";
        }
    }
    if (frame.Width != FWidth || frame.Height != FHeight) throw std::logic_error("frames of a stream differ in size");
    const std::size_t plane = std::size_t(FWidth) * std::size_t(FHeight);
    if (FFormat == TStreamFormat::Raw) {
        for (int y = 0; y < FHeight; ++y) FOut.write(reinterpret_cast<const char*>(frame.Row(y)), std::streamsize(frame.RowBytes()));
    } else {
        FBuffer.resize(plane * 3);
        std::size_t i = 0;
        for (int y = 0; y < FHeight; ++y) {
            const std::uint8_t* row = frame.Row(y);
            for (int x = 0; x < FWidth; ++x, ++i) {
                const TYCbCr c = Bt601({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
                FBuffer[i] = char(c.Y);
                FBuffer[plane + i] = char(c.Cb);
                FBuffer[2 * plane + i] = char(c.Cr);
            }
        }
        FOut << "FRAME\n";
        FOut.write(FBuffer.data(), std::streamsize(FBuffer.size()));
    }
    ++FFrames;
    Check("a frame");
}

void FrameStream::Finish() {
    errno = 0;
    FOut.flush();
    Check("the frames");
}

}  // namespace LumawipeCli
