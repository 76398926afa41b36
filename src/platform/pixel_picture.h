#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/picture.h"

namespace v270::platform {

// A picture held as plain pixels in memory: what the native decoder produces, and what tests and
// tools build by hand.
class PixelPicture : public Picture {
  public:
    PixelPicture(PixelSize size, std::vector<uint32_t> pixels)
        : size_(size), pixels_(std::move(pixels)) {
        pixels_.resize(static_cast<size_t>(size_.width) * static_cast<size_t>(size_.height));
    }
    PixelPicture(PixelSize size, Rgb fill)
        : PixelPicture(size, std::vector<uint32_t>(
                                 static_cast<size_t>(size.width) * static_cast<size_t>(size.height),
                                 packRgb(fill))) {}

    PixelSize size() const override { return size_; }
    std::span<const uint32_t> row(int32_t y) const override {
        return std::span<const uint32_t>(pixels_).subspan(offset(0, y),
                                                          static_cast<size_t>(size_.width));
    }

    void set(int32_t x, int32_t y, Rgb colour) { pixels_[offset(x, y)] = packRgb(colour); }
    Rgb at(int32_t x, int32_t y) const { return unpackRgb(pixels_[offset(x, y)]); }

  private:
    size_t offset(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(size_.width) + static_cast<size_t>(x);
    }

    PixelSize size_;
    std::vector<uint32_t> pixels_;
};

}  // namespace v270::platform
