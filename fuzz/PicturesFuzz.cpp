// Every reader of picture data on arbitrary bytes: BMP files (streams and memory, as
// files, the form data and the control's property bags hold them), packed DIBs (as
// bitmap resources hold them) and the renderer's PNG files. A reader either yields a
// picture of consistent size or raises a toolkit exception; a failed load leaves the
// bitmap as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "cli/ImageFiles.h"
#include "toolkit/Graphics.h"

namespace {

// Reads the picture's every pixel, so that a store smaller than its size shows.
unsigned Touch(const Toolkit::TBitmap& b) {
    unsigned sum = 0;
    if (b.Empty()) return sum;
    const Toolkit::TConstPixelView pixels = b.Pixels();
    for (int y = 0; y < b.Height(); ++y)
        for (int i = 0; i < b.Width() * 3; ++i) sum += pixels.Row(y)[i];
    return sum;
}

template <class Load>
void Try(Load&& load) {
    Toolkit::TBitmap b;
    b.SetSize(2, 3);
    try {
        load(b);
    } catch (const Toolkit::Exception&) {
        if (b.Width() != 2 || b.Height() != 3) std::abort();  // a failed load changed the bitmap
        return;
    }
    if (b.Empty() != (b.Width() == 0 || b.Height() == 0)) std::abort();
    Touch(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Try([&](Toolkit::TBitmap& b) { b.LoadFromMemory(data, size); });
    Try([&](Toolkit::TBitmap& b) { b.LoadDibFromMemory(data, size); });
    // The renderer reads PNG files by path: the bytes go through a file of this process.
    constexpr unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof png && std::memcmp(data, png, sizeof png) == 0) {
        static const std::string path = "/tmp/fuzz_pictures_" + std::to_string(::getpid()) + ".png";
        static const int removed = std::atexit([] { std::remove(path.c_str()); });
        (void)removed;
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                      std::streamsize(size));
        Try([&](Toolkit::TBitmap& b) { LumawipeCli::ReadPicture(b, path, Toolkit::clWhite); });
    }
    return 0;
}
