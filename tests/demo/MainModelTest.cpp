// What the demo's main form stores: the component as the form was designed.
#include <gtest/gtest.h>

#include <sstream>

#include "demo/MainModel.h"
#include "engine/LumawipeStream.h"
#include "lumawipe_pictures.h"

using namespace MainUnit;
using Op = Wipekit::TTransitionOperation;

TEST(DemoModel, TheStoredComponentLoadsWithItsPicturesAsTheyAre) {
    const std::string stored = StoredLumawipe();
    // Each picture is stored as its length and the complete file, byte for byte.
    using Picture = std::pair<const std::uint8_t*, std::size_t>;
    for (const auto& [bytes, size] : {Picture{Wipekit::Pictures::FromPicture, Wipekit::Pictures::FromPictureSize},
                                         Picture{Wipekit::Pictures::ToPicture, Wipekit::Pictures::ToPictureSize}}) {
        ASSERT_EQ(size, 100554u);
        const std::string file(reinterpret_cast<const char*>(bytes), size);
        const std::string data = std::string(1, char(8)) + char(0xCA) + char(0x88) + char(0x01) + char(0) + file;
        EXPECT_NE(stored.find(data), std::string::npos);
    }
    Wipekit::TLumawipe w(nullptr);
    w.SetBounds(0, 0, 446, 75);
    std::istringstream in(stored);
    Wipekit::LoadLumawipe(in, w);
    EXPECT_EQ(w.Color(), Toolkit::clSilver);  // the stored colour, then the picture's top-left pixel
    EXPECT_EQ(w.Delta(), 1);
    EXPECT_EQ(w.Interval(), 10u);
    EXPECT_EQ(w.Steps(), 10);
    EXPECT_EQ(w.Operation(), Op::toMonoSlider);
    EXPECT_EQ(w.CurrentFrame(), 0);
    EXPECT_EQ(w.FromBitmap().Width(), 446);
    EXPECT_EQ(w.ToBitmap().Height(), 75);
    ASSERT_EQ(w.About().Count(), 4);
    EXPECT_EQ(w.About()[1], "Version: 2.0");
    EXPECT_FALSE(w.WorkBitmap().Empty()) << "loading runs the change handlers, which render";
}
