#pragma once

#include <cstdint>

namespace v270::platform {

// A rectangle of pixels: left and top inside, right and bottom outside.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int32_t x, int32_t y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }

    bool operator==(const PixelRect&) const = default;
};

// A point in pixels: client pixels of the window it was taken in, or screen pixels where said.
struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const PixelPoint&) const = default;
};

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const PixelSize&) const = default;
};

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

// Pixels travel as 32-bit words 0x00RRGGBB: the layout of a 32-bit Windows DIB and of a cairo
// RGB24 surface on a little-endian machine, so rows copy between them unchanged.
inline constexpr uint32_t packRgb(Rgb colour) {
    return (uint32_t{colour.red} << 16) | (uint32_t{colour.green} << 8) | uint32_t{colour.blue};
}
inline constexpr Rgb unpackRgb(uint32_t pixel) {
    return Rgb{static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
               static_cast<uint8_t>(pixel)};
}

}  // namespace v270::platform
