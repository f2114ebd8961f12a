// Picture files of the renderer: BMP everywhere (the toolkit's codec), PNG in and out
// (libpng) and animated GIF out (giflib) where the build has those libraries.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Graphics.h"

namespace LumawipeCli {

// Whether this build reads and writes PNG, and writes GIF.
bool PngAvailable();
bool GifAvailable();

// Reads a BMP or PNG file, told apart by their signatures. A PNG's transparency is
// composited over background (a TColor, system colours resolved); its 16-bit samples are
// scaled to 8 bits. A malformed, truncated or oversized file raises
// Toolkit::EInvalidGraphic or EOutOfResources before any allocation of its size.
void ReadPicture(Toolkit::TBitmap& bitmap, const std::string& path, Toolkit::TColor background);

// Writes one picture as a BMP, PNG or (single-frame) GIF file, by path's extension;
// throws std::runtime_error on failure.
void WritePicture(const Toolkit::TBitmap& bitmap, const std::string& path);

// An animated GIF written frame by frame, each frame with its own 256-colour table.
class GifWriter {
public:
    GifWriter(const std::string& path, int width, int height, int delayCentiseconds);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Frames of another size are drawn at the top-left of the canvas, cut to it.
    void AddFrame(const Toolkit::TBitmap& frame);
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace LumawipeCli
