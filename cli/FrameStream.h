// Frames written one after another to a stream (standard output), for a video encoder
// reading a pipe.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "toolkit/Pixels.h"

namespace LumawipeCli {

enum class TStreamFormat {
    Y4m,  // YUV4MPEG2, 4:4:4, BT.601 limited range
    Raw,  // packed BGR24: rows top to bottom, no padding, no headers
};

// A pixel in BT.601 Y'CbCr of limited range (Y 16..235, Cb and Cr 16..240):
//   Y  = 16  + ( 65.481 R + 128.553 G +  24.966 B) / 255
//   Cb = 128 + (-37.797 R -  74.203 G + 112.000 B) / 255
//   Cr = 128 + (112.000 R -  93.786 G -  18.214 B) / 255
// each rounded to the nearest integer (halves upwards).
struct TYCbCr {
    std::uint8_t Y, Cb, Cr;
};
TYCbCr Bt601(Toolkit::TBgr pixel);

class FrameStream {
public:
    // fps goes into the YUV4MPEG2 header; the raw format carries none.
    FrameStream(std::ostream& out, TStreamFormat format, int fps);

    // Writes a frame. Every frame has the size of the first. Throws std::runtime_error
    // when the stream refuses the bytes (a closed pipe, a full disk).
    void Add(const Toolkit::TConstPixelView& frame);
    // Flushes the stream; throws as Add does.
    void Finish();

private:
    void Check(const char* what);

    std::ostream& FOut;
    TStreamFormat FFormat;
    int FFps;
    int FWidth = 0, FHeight = 0;
    long long FFrames = 0;
    std::string FBuffer;
};

}  // namespace LumawipeCli
