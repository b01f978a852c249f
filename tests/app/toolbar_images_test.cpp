// The toolbar images: icon-file layout, and what the decoder makes of them.
#include "toolbar_images.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nimbel {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kFace = 0xFFC0C0C0, kShadow = 0xFF808080;

std::uint32_t at(const IconPixels& image, int x, int y) { return image.argb[static_cast<size_t>(y * image.width + x)]; }

TEST(ToolbarImages, IconFilesHoldARaisedButtonFaceWithAnEngravedSymbol)
{
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto file = toolbarIconFile(i);
        ASSERT_EQ(file.size(), 6u + 16u + 744u);
        // An icon of one 32 x 32 image, 16 colours at 4 bits per pixel.
        EXPECT_EQ((std::vector<int>{file[2], file[4], file[6], file[7], file[8], file[12], file[14] | file[15] << 8}),
                  (std::vector<int>{1, 1, 32, 32, 16, 4, 744}));
        const IconPixels image = decodeIconFile(file);
        ASSERT_EQ(image.width, 32);
        ASSERT_EQ(image.height, 32);
        EXPECT_EQ(at(image, 0, 0), kBlack);  // outline
        EXPECT_EQ(at(image, 31, 31), kBlack);
        EXPECT_EQ(at(image, 5, 1), kWhite);    // lit top edge
        EXPECT_EQ(at(image, 1, 5), kWhite);    // lit left edge
        EXPECT_EQ(at(image, 5, 30), kShadow);  // shadowed bottom edge
        EXPECT_EQ(at(image, 30, 5), kShadow);
        EXPECT_EQ(at(image, 4, 4), kFace);
        EXPECT_TRUE(at(image, 15, 15) == kBlack || at(image, 20, 15) == kBlack);  // the symbol
    }
    EXPECT_TRUE(toolbarIconFile(3).empty());
    // The three symbols differ: a square, two bars with a gap, a triangle.
    const IconPixels stop = decodeIconFile(toolbarIconFile(kStopImage));
    const IconPixels pause = decodeIconFile(toolbarIconFile(kPauseImage));
    const IconPixels play = decodeIconFile(toolbarIconFile(kPlayImage));
    EXPECT_EQ(at(stop, 15, 15), kBlack);
    EXPECT_EQ(at(pause, 15, 15), kFace);  // the gap between the bars
    EXPECT_EQ(at(pause, 11, 15), kBlack);
    EXPECT_EQ(at(play, 12, 15), kBlack);  // wide at the left
    EXPECT_NE(at(play, 21, 10), kBlack);  // narrow at the right
}

TEST(ToolbarImages, MalformedFilesDecodeToNothing)
{
    const auto good = toolbarIconFile(kPlayImage);
    EXPECT_TRUE(decodeIconFile({}).argb.empty());
    EXPECT_TRUE(decodeIconFile(good.first(100)).argb.empty());
    std::vector<std::uint8_t> badOffset(good.begin(), good.end());
    badOffset[18] = 0xFF;
    badOffset[19] = 0xFF;
    EXPECT_TRUE(decodeIconFile(badOffset).argb.empty());
}

}  // namespace
}  // namespace nimbel
