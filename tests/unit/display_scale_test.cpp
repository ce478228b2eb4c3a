// Menu pictures and banners drawn at 100 % scaled to the display: every
// pixel kept at whole multiples, blended only at edges between, each channel
// averaged on its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/display_scale.h"

namespace qw {
namespace {

// Every pixel different in every channel.
Picture Menu(int side) {
    Picture p{side, side, {}};
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) p.pixels.push_back(static_cast<std::uint32_t>(x * 19 << 16 | y * 19 << 8 | x));
    return p;
}

TEST(ScalePicture, WholeMultiplesKeepEveryPixelOthersBlendOnlyAtEdges) {
    const Picture menu = Menu(13);
    EXPECT_EQ(ScalePicture(menu, 13, 13).pixels, menu.pixels);
    const Picture big = ScalePicture(menu, 26, 39);
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 26; ++x) ASSERT_EQ(big.pixels[y * 26 + x], menu.pixels[y / 3 * 13 + x / 2]) << x;
    // Black up to column 6 of 13, white after: at 19 wide, one grey column between.
    Picture edge{13, 1, {}};
    for (int x = 0; x < 13; ++x) edge.pixels.push_back(x < 6 ? 0u : 0xFFFFFFu);
    const Picture wide = ScalePicture(edge, 19, 1);
    EXPECT_EQ(std::count(wide.pixels.begin(), wide.pixels.end(), 0u), 8);
    EXPECT_EQ(std::count(wide.pixels.begin(), wide.pixels.end(), 0xFFFFFFu), 10);
    EXPECT_EQ(wide.pixels[8], 0x3B3B3Bu);  // 3/13 of it over white
}

TEST(ScalePicture, ShrinkingAveragesEachChannelOfTheSquareBelow) {
    const Picture two{4, 2, {0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF, 0xFF0000, 0x0000FF}};
    EXPECT_EQ(ScalePicture(two, 2, 1).pixels, (std::vector<std::uint32_t>{0x800080u, 0x800080u}));
    EXPECT_TRUE(ScalePicture(two, 0, 5).pixels.empty());
    EXPECT_TRUE(ScalePicture(Picture{3, 3, {1, 2}}, 6, 6).pixels.empty());  // fewer pixels than its size says
}

}  // namespace
}  // namespace qw
