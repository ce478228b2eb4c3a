#include "ui/display_scale.h"

#include <algorithm>

namespace qw {
namespace {

// How much of each old pixel lies under new pixel j along one side. Old
// pixel i spans [i * to, (i + 1) * to) and new pixel j spans
// [j * from, (j + 1) * from), so that every overlap is a whole number and
// the overlaps under one new pixel add up to `from`.
struct Share {
    int index, weight;
};

std::vector<std::vector<Share>> Shares(int from, int to) {
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(to));
    for (int j = 0; j < to; ++j) {
        const long long begin = static_cast<long long>(j) * from, end = begin + from;
        for (int i = static_cast<int>(begin / to); i < from && static_cast<long long>(i) * to < end; ++i) {
            const long long left = std::max(static_cast<long long>(i) * to, begin);
            const long long right = std::min(static_cast<long long>(i + 1) * to, end);
            shares[static_cast<std::size_t>(j)].push_back({i, static_cast<int>(right - left)});
        }
    }
    return shares;
}

}  // namespace

int ScaleForDpi(int length, int dpi) { return (length * dpi + 48) / 96; }

Picture ScalePicture(const Picture& from, int width, int height) {
    Picture to;
    if (width <= 0 || height <= 0 || from.width <= 0 || from.height <= 0 ||
        from.pixels.size() != static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height))
        return to;
    to.width = width;
    to.height = height;
    to.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const auto columns = Shares(from.width, width), rows = Shares(from.height, height);
    const long long area = static_cast<long long>(from.width) * from.height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            long long sum[3] = {0, 0, 0};
            for (const Share& row : rows[static_cast<std::size_t>(y)]) {
                for (const Share& column : columns[static_cast<std::size_t>(x)]) {
                    const std::uint32_t p =
                        from.pixels[static_cast<std::size_t>(row.index) * static_cast<std::size_t>(from.width) +
                                    static_cast<std::size_t>(column.index)];
                    const long long weight = static_cast<long long>(row.weight) * column.weight;
                    for (int c = 0; c < 3; ++c) sum[c] += ((p >> (8 * c)) & 0xFF) * weight;
                }
            }
            std::uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c) pixel |= static_cast<std::uint32_t>((sum[c] + area / 2) / area) << (8 * c);
            to.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                pixel;
        }
    }
    return to;
}

}  // namespace qw
