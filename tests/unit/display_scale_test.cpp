// Menu pictures and banners drawn at 100 % scaled to the display: sharp at
// whole multiples, blended only at edges between, colours kept.
#include <gtest/gtest.h>

#include <functional>

#include "ui/display_scale.h"

namespace qw {
namespace {

Picture Draw(int width, int height, const std::function<std::uint32_t(int, int)>& at) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.pixels.push_back(at(x, y));
    return p;
}

std::uint32_t At(const Picture& p, int x, int y) { return p.pixels[static_cast<std::size_t>(y * p.width + x)]; }

// A 13 x 13 menu picture with every pixel different in every channel.
const Picture kMenu = Draw(13, 13, [](int x, int y) {
    return static_cast<std::uint32_t>((x * 19) << 16 | (y * 19) << 8 | (x * 7 + y * 11));
});

TEST(ScalePicture, SameSizeAndWholeMultiplesKeepEveryPixel) {
    EXPECT_EQ(ScalePicture(kMenu, 13, 13).pixels, kMenu.pixels);
    for (const auto& [across, down] : {std::pair{2, 2}, std::pair{3, 1}}) {
        const Picture big = ScalePicture(kMenu, 13 * across, 13 * down);
        ASSERT_EQ(big.pixels.size(), static_cast<std::size_t>(169 * across * down));
        for (int y = 0; y < big.height; ++y)
            for (int x = 0; x < big.width; ++x)
                ASSERT_EQ(At(big, x, y), At(kMenu, x / across, y / down)) << x << ',' << y;
    }
}

TEST(ScalePicture, BetweenSizesBlendsOnlyWhereAnEdgeFalls) {
    // Left half black, right half white, the edge between columns 5 and 6.
    const Picture edge = Draw(13, 13, [](int x, int) { return x < 6 ? 0u : 0xFFFFFFu; });
    const Picture plain = Draw(13, 13, [](int, int) { return 0x2D6FD1u; });
    for (int side : {15, 19, 25}) {
        const Picture wide = ScalePicture(edge, side, side);
        const Picture flat = ScalePicture(plain, side, side);
        int blended = 0;
        for (int x = 0; x < side; ++x) {
            const std::uint32_t p = At(wide, x, side / 2);
            for (int y = 0; y < side; ++y) {
                EXPECT_EQ(At(wide, x, y), p) << side;  // no row differs
            }
            if (p != 0 && p != 0xFFFFFFu) {
                ++blended;
                EXPECT_TRUE((p & 0xFF) == (p >> 8 & 0xFF) && (p & 0xFF) == (p >> 16)) << std::hex << p;  // grey
            }
            EXPECT_GE(p, At(wide, x > 0 ? x - 1 : 0, 0)) << side;  // never darker to the right
        }
        EXPECT_LE(blended, 1) << side;
        // Black takes 6/13 of the width here too, to the pixel.
        int dark = 0;
        for (int x = 0; x < side; ++x) dark += 255 - static_cast<int>(At(wide, x, 0) & 0xFF);
        EXPECT_NEAR(dark, 255 * side * 6 / 13, 128) << side;
        for (std::uint32_t p : flat.pixels) {
            ASSERT_EQ(p, 0x2D6FD1u) << side;
        }
    }
}

TEST(ScalePicture, ShrinkingAveragesEachChannelOfTheSquareBelow) {
    const Picture two = Draw(4, 2, [](int x, int y) { return (x + y) % 2 ? 0xFF0000u : 0x0000FFu; });
    EXPECT_EQ(ScalePicture(two, 2, 1).pixels, (std::vector<std::uint32_t>{0x800080u, 0x800080u}));
    EXPECT_TRUE(ScalePicture(two, 0, 5).pixels.empty());
    EXPECT_TRUE(ScalePicture(Picture{3, 3, {1, 2}}, 6, 6).pixels.empty());  // fewer pixels than its size says
}

}  // namespace
}  // namespace qw
