#include "cli/ImageFiles.h"

#ifdef LUMAWIPE_CLI_PNG
#include <png.h>
#endif
#ifdef LUMAWIPE_CLI_GIF
#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace LumawipeCli {

using Toolkit::TBitmap;
using Toolkit::TColor;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool HasPngSignature(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[sizeof PngSignature] = {};
    in.read(head, sizeof head);
    return in.gcount() == sizeof head && std::memcmp(head, PngSignature, sizeof head) == 0;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A picture format this build has no library for; what: "reads no PNG files".
[[noreturn, maybe_unused]] void Unavailable(const std::string& what) {
    throw Toolkit::EInvalidGraphic("this build of lumawipe " + what + " (BMP only)");
}

#ifdef LUMAWIPE_CLI_PNG
// Ancillary chunks (text, colour profiles) a file may ask libpng to hold in memory.
constexpr png_alloc_size_t PngChunkMemoryLimit = 8u << 20;

// Deflate turns at most 1032 bytes into 2 bits of its shortest codes: pixel data that needs
// more compressed bytes than the file's IDAT chunks hold is not there.
constexpr std::uint64_t MaxDeflateRatio = 1032;

// The bytes of the IDAT chunks that file holds (a chunk cut short counts what is there).
// The file is left where it was.
std::uint64_t PngDataBytes(std::FILE* file) {
    const long start = std::ftell(file);
    const long end = start >= 0 && std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (end < 0) {  // cannot tell: libpng finds out
        if (start >= 0) std::fseek(file, start, SEEK_SET);
        return UINT64_MAX;
    }
    std::uint64_t bytes = 0;
    long at = long(sizeof PngSignature);
    unsigned char head[8];
    while (at + 8 <= end && std::fseek(file, at, SEEK_SET) == 0 && std::fread(head, 1, 8, file) == 8) {
        const std::uint32_t length = std::uint32_t(head[0]) << 24 | std::uint32_t(head[1]) << 16 |
                                     std::uint32_t(head[2]) << 8 | head[3];
        const std::uint64_t there = std::min<std::uint64_t>(length, std::uint64_t(end - at - 8));
        if (std::memcmp(head + 4, "IDAT", 4) == 0) bytes += there;
        if (std::memcmp(head + 4, "IEND", 4) == 0 || there < length) break;
        at += long(8 + there + 4);
    }
    std::fseek(file, start, SEEK_SET);
    return bytes;
}

// libpng's state for one file. libpng reports errors by longjmp into ReadPngInto; the
// objects that own memory live here, outside the jump, so they are released on every path.
struct PngRead {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::unique_ptr<Toolkit::TPixelStore> Store;
    std::vector<png_bytep> Rows;
    int Width = 0;
    int Height = 0;
    std::uint64_t DataBytes = 0;  // of compressed pixel data in the file
    char Error[256] = "";
    char Warning[256] = "";  // the last one, which tells why libpng refuses a header
    ~PngRead() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

void PngFail(png_structp png, png_const_charp message) {
    auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
    std::snprintf(read->Error, sizeof read->Error, "%s", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp png, png_const_charp message) {
    auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
    std::snprintf(read->Warning, sizeof read->Warning, "%s", message);
}

// Decodes file into read.Store as 24-bit DIB pixels over background; false with
// read.Error set when libpng refuses the file. Only trivially destructible locals: a
// longjmp leaves this function from inside libpng.
bool ReadPngInto(PngRead& read, std::FILE* file, TColor background) {
    read.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, PngFail, PngWarning);
    if (!read.Png) throw Toolkit::EOutOfResources("Out of memory reading a PNG file.");
    read.Info = png_create_info_struct(read.Png);
    if (!read.Info) throw Toolkit::EOutOfResources("Out of memory reading a PNG file.");
    if (setjmp(png_jmpbuf(read.Png))) return false;

    png_init_io(read.Png, file);
    // libpng refuses larger IHDR sizes itself, before it allocates anything for the image.
    png_set_user_limits(read.Png, Toolkit::MaxBitmapSide, Toolkit::MaxBitmapSide);
    png_set_chunk_malloc_max(read.Png, PngChunkMemoryLimit);
    png_read_info(read.Png, read.Info);
    read.Width = int(png_get_image_width(read.Png, read.Info));
    read.Height = int(png_get_image_height(read.Png, read.Info));
    Toolkit::CheckedImageSize(read.Width, read.Height);  // the byte limit, before the store
    // The samples the header announces, against what the compressed data can expand to:
    // a large header over a few bytes of data is refused before the store is taken.
    const std::uint64_t samples = std::uint64_t(read.Width) * std::uint64_t(read.Height) *
                                  png_get_channels(read.Png, read.Info) * png_get_bit_depth(read.Png, read.Info) / 8;
    if (samples / MaxDeflateRatio > read.DataBytes) png_error(read.Png, "the pixel data is too short for the image size");

    // Every colour type and depth to 8-bit BGR: palettes and low gray depths expanded,
    // 16-bit samples scaled, gray spread to RGB, transparency (alpha or tRNS) composited.
    png_set_expand(read.Png);
    png_set_scale_16(read.Png);
    png_set_gray_to_rgb(read.Png);
    const TColor rgb = Toolkit::ColorToRGB(background);
    png_color_16 screen{};
    screen.red = Toolkit::GetRValue(rgb);
    screen.green = Toolkit::GetGValue(rgb);
    screen.blue = Toolkit::GetBValue(rgb);
    png_set_background(read.Png, &screen, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    png_set_bgr(read.Png);
    png_set_interlace_handling(read.Png);
    png_read_update_info(read.Png, read.Info);
    if (png_get_rowbytes(read.Png, read.Info) != std::size_t(read.Width) * 3) png_error(read.Png, "unexpected row format");

    read.Store = Toolkit::NewPixelStore(read.Width, read.Height);
    const Toolkit::TPixelView pixels = Toolkit::DibView(read.Store->Bits(), read.Width, read.Height);
    read.Rows.resize(std::size_t(read.Height));
    for (int y = 0; y < read.Height; ++y) read.Rows[std::size_t(y)] = pixels.Row(y);
    png_read_image(read.Png, read.Rows.data());
    png_read_end(read.Png, nullptr);
    return true;
}

void ReadPng(TBitmap& bitmap, const std::string& path, TColor background) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) throw Toolkit::EInvalidGraphic("Cannot open file \"" + path + "\".");
    PngRead read;
    read.DataBytes = PngDataBytes(file.get());
    if (!ReadPngInto(read, file.get(), background)) {
        std::string why = read.Error;
        if (*read.Warning) why += std::string(" (") + read.Warning + ")";
        throw Toolkit::EInvalidGraphic("Invalid PNG file: " + why + ".");
    }
    bitmap.Adopt(std::move(read.Store), read.Width, read.Height);
    bitmap.Changed();
}

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

#endif  // LUMAWIPE_CLI_PNG

}  // namespace

bool PngAvailable() {
#ifdef LUMAWIPE_CLI_PNG
    return true;
#else
    return false;
#endif
}

bool GifAvailable() {
#ifdef LUMAWIPE_CLI_GIF
    return true;
#else
    return false;
#endif
}

void ReadPicture(TBitmap& bitmap, const std::string& path, TColor background) {
    if (!HasPngSignature(path)) {
        bitmap.LoadFromFile(path);
        return;
    }
#ifdef LUMAWIPE_CLI_PNG
    ReadPng(bitmap, path, background);
#else
    (void)background;
    Unavailable("reads no PNG files");
#endif
}

void WritePicture(const TBitmap& bitmap, const std::string& path) {
    const std::string ext = Lower(std::filesystem::path(path).extension().string());
    if (ext == ".png") {
#ifdef LUMAWIPE_CLI_PNG
        WritePng(bitmap, path);
#else
        Unavailable("writes no PNG files: \"" + path + "\"");
#endif
    } else if (ext == ".gif") {
        GifWriter gif(path, bitmap.Width(), bitmap.Height(), 0);
        gif.AddFrame(bitmap);
        gif.Close();
    } else {
        bitmap.SaveToFile(path);
    }
}

#ifdef LUMAWIPE_CLI_GIF
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

#else

struct GifWriter::Impl {};

GifWriter::GifWriter(const std::string& path, int, int, int) { Unavailable("writes no GIF files: \"" + path + "\""); }
GifWriter::~GifWriter() = default;
void GifWriter::AddFrame(const TBitmap&) {}
void GifWriter::Close() {}

#endif  // LUMAWIPE_CLI_GIF

}  // namespace LumawipeCli
