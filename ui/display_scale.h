// Drawing for the display scale: lengths and pictures designed at 100 %
// (96 dpi) at another scale.
#pragma once

#include <cstdint>
#include <vector>

namespace qw {

// A rectangle in pixels of a window's client area, or of the screen.
struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
};

struct LayoutSize {
    int width = 0, height = 0;
};

// A length designed at 96 dpi at `dpi`, to the nearest pixel.
int ScaleForDpi(int length, int dpi);

// Pixels as 0x00RRGGBB, row by row from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// `from` at width x height through a box filter: each new pixel is the mean
// of the old pixels under it, each weighted by how much of it lies under.
// Whole multiples keep every edge sharp; other sizes blend only where an
// edge falls inside a new pixel. An empty picture for an empty size.
Picture ScalePicture(const Picture& from, int width, int height);

}  // namespace qw
