#include "ui/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace v270 {

namespace {

// Weights are fixed point with this many fraction bits; a pixel times the sum of a tap set then
// still fits 32 bits with room for the negative lobes.
constexpr int kWeightBits = 14;
constexpr int32_t kWeightOne = 1 << kWeightBits;

// Catmull-Rom: interpolates (passes through the source pixels) and keeps edges crisp.
double cubic(double x) {
    x = std::abs(x);
    if (x < 1)
        return 1.5 * x * x * x - 2.5 * x * x + 1;
    if (x < 2)
        return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
    return 0;
}

PictureResampler::AxisKernel axisKernel(int32_t from, int32_t to) {
    PictureResampler::AxisKernel kernel;
    if (from <= 0 || to <= 0)
        return kernel;
    const double ratio = static_cast<double>(from) / to;
    const double stretch = std::max(1.0, ratio);  // shrinking widens the filter
    const double support = 2 * stretch;
    // The taps start at the first source index past `centre - support`; the one that would
    // follow the last lies beyond `centre + support`, where the filter is zero.
    kernel.taps = static_cast<int32_t>(std::ceil(2 * support));
    kernel.index.resize(static_cast<size_t>(to) * static_cast<size_t>(kernel.taps));
    kernel.weight.resize(kernel.index.size());
    std::vector<double> raw(static_cast<size_t>(kernel.taps));
    for (int32_t t = 0; t < to; ++t) {
        const double centre = (t + 0.5) * ratio - 0.5;
        const auto first = static_cast<int32_t>(std::floor(centre - support)) + 1;
        double total = 0;
        for (int32_t k = 0; k < kernel.taps; ++k) {
            raw[static_cast<size_t>(k)] = cubic((first + k - centre) / stretch);
            total += raw[static_cast<size_t>(k)];
        }
        const size_t base = static_cast<size_t>(t) * static_cast<size_t>(kernel.taps);
        int32_t sum = 0;
        size_t largest = base;
        for (int32_t k = 0; k < kernel.taps; ++k) {
            const size_t at = base + static_cast<size_t>(k);
            kernel.index[at] = std::clamp(first + k, 0, from - 1);
            kernel.weight[at] =
                static_cast<int32_t>(std::lround(raw[static_cast<size_t>(k)] / total * kWeightOne));
            sum += kernel.weight[at];
            if (kernel.weight[at] > kernel.weight[largest])
                largest = at;
        }
        // The rounding error goes to the heaviest tap, so that a flat area stays flat.
        kernel.weight[largest] += kWeightOne - sum;
    }
    return kernel;
}

uint8_t clampChannel(int32_t sum) {
    return static_cast<uint8_t>(std::clamp((sum + kWeightOne / 2) >> kWeightBits, 0, 255));
}

}  // namespace

PictureResampler::PictureResampler(const platform::Picture& picture, platform::PixelSize size)
    : picture_(picture),
      size_(size),
      across_(axisKernel(picture.size().width, size.width)),
      down_(axisKernel(picture.size().height, size.height)) {}

void PictureResampler::resample(const platform::PixelRect& area, uint32_t* out,
                                size_t stride) const {
    if (area.empty())
        return;
    const auto width = static_cast<size_t>(area.width());
    if (across_.taps == 0 || down_.taps == 0) {
        for (int32_t y = area.top; y < area.bottom; ++y)
            std::fill_n(out + static_cast<size_t>(y - area.top) * stride, width, 0u);
        return;
    }
    const auto taps = static_cast<size_t>(across_.taps);
    const auto firstTap = static_cast<size_t>(area.left) * taps;

    // Across first: the part of a source row under the area becomes a row of the area's width,
    // one plane per channel, which keeps the pass down to plain row arithmetic. Only the rows the
    // pass down reads at the moment are kept, in a ring: the rows a target row reads are
    // consecutive (edges repeated) and move down with it, so each is made once, and no buffer of
    // the whole picture is allocated (fresh pages cost more than the arithmetic).
    const auto rows = static_cast<size_t>(down_.taps);
    std::vector<int16_t> ring(rows * 3 * width);
    std::vector<int32_t> ringRow(rows, -1);
    const auto acrossRow = [&](int32_t y) -> const int16_t* {
        const size_t slot = static_cast<size_t>(y) % rows;
        int16_t* planes = &ring[slot * 3 * width];
        if (ringRow[slot] == y)
            return planes;
        ringRow[slot] = y;
        const std::span<const uint32_t> row = picture_.row(y);
        for (size_t x = 0; x < width; ++x) {
            int32_t red = 0;
            int32_t green = 0;
            int32_t blue = 0;
            const size_t base = firstTap + x * taps;
            for (size_t k = base; k < base + taps; ++k) {
                const uint32_t pixel = row[static_cast<size_t>(across_.index[k])];
                const int32_t w = across_.weight[k];
                red += w * static_cast<int32_t>(pixel >> 16 & 0xFF);
                green += w * static_cast<int32_t>(pixel >> 8 & 0xFF);
                blue += w * static_cast<int32_t>(pixel & 0xFF);
            }
            planes[x] = clampChannel(red);
            planes[width + x] = clampChannel(green);
            planes[2 * width + x] = clampChannel(blue);
        }
        return planes;
    };

    // Then down: each target row sums whole rows of the planes.
    std::vector<int32_t> sums(3 * width);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const size_t base = static_cast<size_t>(y) * rows;
        for (size_t k = base; k < base + rows; ++k) {
            const int32_t w = down_.weight[k];
            const int16_t* in = acrossRow(down_.index[k]);
            for (size_t c = 0; c < 3 * width; ++c)
                sums[c] += w * in[c];
        }
        uint32_t* target = out + static_cast<size_t>(y - area.top) * stride;
        for (size_t x = 0; x < width; ++x) {
            target[x] = uint32_t{clampChannel(sums[x])} << 16 |
                        uint32_t{clampChannel(sums[width + x])} << 8 |
                        clampChannel(sums[2 * width + x]);
        }
    }
}

std::shared_ptr<const platform::PixelPicture> resamplePicture(const platform::Picture& picture,
                                                              platform::PixelSize size) {
    const platform::PixelSize from = picture.size();
    if (from.width <= 0 || from.height <= 0 || size.width <= 0 || size.height <= 0)
        return std::make_shared<platform::PixelPicture>(size, platform::Rgb{});
    std::vector<uint32_t> pixels(static_cast<size_t>(size.width) *
                                 static_cast<size_t>(size.height));
    PictureResampler(picture, size)
        .resample({0, 0, size.width, size.height}, pixels.data(), static_cast<size_t>(size.width));
    return std::make_shared<platform::PixelPicture>(size, std::move(pixels));
}

}  // namespace v270
