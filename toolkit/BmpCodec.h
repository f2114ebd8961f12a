// BMP files: reading 1, 4, 8, 16, 24 and 32-bit uncompressed and bit-field pictures,
// top-down or bottom-up, into pixel memory; writing 24-bit bottom-up files.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "toolkit/Pixels.h"

namespace Toolkit {

// A picture read from a file: its pixels in a store of the backend's.
struct TBmpPicture {
    std::unique_ptr<TPixelStore> Store;
    int Width = 0;
    int Height = 0;
};

// A malformed, truncated or oversized file raises EInvalidGraphic (or EOutOfResources).
TBmpPicture ReadBmp(std::istream& in);
TBmpPicture ReadBmpFile(const std::string& path);
// A packed DIB: a BMP file without its file header, the pixels right after the colour
// table (as bitmap resources hold pictures).
TBmpPicture ReadDib(std::istream& in);

// Raises EInvalidGraphic when the file cannot be written.
void WriteBmp(std::ostream& out, const TConstPixelView& pixels);
void WriteBmpFile(const std::string& path, const TConstPixelView& pixels);

}  // namespace Toolkit
