// Picture files the renderer writes besides BMP: PNG (libpng) and animated GIF (giflib).
#pragma once

#include <memory>
#include <string>

#include "toolkit/Graphics.h"

namespace LumawipeCli {

// Writes bitmap as an 8-bit RGB PNG; throws std::runtime_error on failure.
void WritePng(const Toolkit::TBitmap& bitmap, const std::string& path);

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
