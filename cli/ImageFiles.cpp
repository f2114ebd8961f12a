#include "cli/ImageFiles.h"

#include <gif_lib.h>
#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace LumawipeCli {

using Toolkit::TBitmap;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};

}  // namespace

void WritePng(const TBitmap& bitmap, const std::string& path) {
    if (bitmap.Empty()) throw std::runtime_error("cannot write an empty picture to \"" + path + "\"");
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot create \"" + path + "\"");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("out of memory writing \"" + path + "\"");
    }
    std::vector<png_byte> row(std::size_t(bitmap.Width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot write \"" + path + "\"");
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(bitmap.Width()), png_uint_32(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const Toolkit::TConstPixelView pixels = bitmap.Pixels();
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* src = pixels.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            row[std::size_t(x) * 3] = src[x * 3 + 2];
            row[std::size_t(x) * 3 + 1] = src[x * 3 + 1];
            row[std::size_t(x) * 3 + 2] = src[x * 3];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write \"" + path + "\"");
}

struct GifWriter::Impl {
    GifFileType* Gif = nullptr;
    std::string Path;
    int Width = 0;
    int Height = 0;
    int Delay = 4;
    bool First = true;

    [[noreturn]] void Fail(int error) const {
        throw std::runtime_error("cannot write \"" + Path + "\": " + GifErrorString(error));
    }
};

GifWriter::GifWriter(const std::string& path, int width, int height, int delayCentiseconds)
    : FImpl(std::make_unique<Impl>()) {
    FImpl->Path = path;
    FImpl->Width = std::max(width, 1);
    FImpl->Height = std::max(height, 1);
    FImpl->Delay = delayCentiseconds;
    int error = 0;
    // Opened here rather than by giflib, which would create the file readable by its owner only.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) throw std::runtime_error("cannot create \"" + path + "\"");
    FImpl->Gif = EGifOpenFileHandle(fd, &error);
    if (!FImpl->Gif) {
        ::close(fd);
        FImpl->Fail(error);
    }
    EGifSetGifVersion(FImpl->Gif, true);
    if (EGifPutScreenDesc(FImpl->Gif, FImpl->Width, FImpl->Height, 8, 0, nullptr) == GIF_ERROR)
        FImpl->Fail(FImpl->Gif->Error);
}

GifWriter::~GifWriter() {
    if (FImpl->Gif) {
        int error = 0;
        EGifCloseFile(FImpl->Gif, &error);
    }
}

void GifWriter::AddFrame(const TBitmap& frame) {
    Impl& g = *FImpl;
    if (g.First) {
        // Loop forever (NETSCAPE2.0 application extension).
        const unsigned char app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const unsigned char loop[] = {1, 0, 0};
        if (EGifPutExtensionLeader(g.Gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(g.Gif, sizeof app, app) == GIF_ERROR ||
            EGifPutExtensionBlock(g.Gif, sizeof loop, loop) == GIF_ERROR || EGifPutExtensionTrailer(g.Gif) == GIF_ERROR)
            g.Fail(g.Gif->Error);
        g.First = false;
    }
    const int w = g.Width, h = g.Height;
    const std::size_t n = std::size_t(w) * std::size_t(h);
    std::vector<GifByteType> red(n, 0), green(n, 0), blue(n, 0), indices(n, 0);
    const Toolkit::TConstPixelView pixels = frame.Pixels();
    for (int y = 0; y < std::min(h, pixels.Height); ++y) {
        const std::uint8_t* src = pixels.Row(y);
        for (int x = 0; x < std::min(w, frame.Width()); ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            blue[i] = src[x * 3];
            green[i] = src[x * 3 + 1];
            red[i] = src[x * 3 + 2];
        }
    }
    int colors = 256;
    GifColorType palette[256] = {};
    if (GifQuantizeBuffer(unsigned(w), unsigned(h), &colors, red.data(), green.data(), blue.data(), indices.data(),
                          palette) == GIF_ERROR)
        throw std::runtime_error("cannot reduce a frame to 256 colours for \"" + g.Path + "\"");
    ColorMapObject* map = GifMakeMapObject(256, palette);
    if (!map) throw std::runtime_error("out of memory writing \"" + g.Path + "\"");

    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = g.Delay;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const std::size_t extLen = EGifGCBToExtension(&gcb, ext);
    bool ok = EGifPutExtension(g.Gif, GRAPHICS_EXT_FUNC_CODE, int(extLen), ext) != GIF_ERROR &&
              EGifPutImageDesc(g.Gif, 0, 0, w, h, false, map) != GIF_ERROR;
    for (int y = 0; ok && y < h; ++y) ok = EGifPutLine(g.Gif, indices.data() + std::size_t(y) * std::size_t(w), w) != GIF_ERROR;
    GifFreeMapObject(map);
    if (!ok) g.Fail(g.Gif->Error);
}

void GifWriter::Close() {
    if (!FImpl->Gif) return;
    int error = 0;
    const int rc = EGifCloseFile(FImpl->Gif, &error);
    FImpl->Gif = nullptr;
    if (rc == GIF_ERROR) FImpl->Fail(error);
}

}  // namespace LumawipeCli
