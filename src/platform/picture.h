#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "platform/pixel_types.h"

namespace v270::platform {

// A decoded picture, held in memory for copying onto frames and for reading its pixels.
class Picture {
  public:
    virtual ~Picture() = default;

    virtual PixelSize size() const = 0;

    // Row `y` (0 <= y < height) as size().width pixels in the 0x00RRGGBB layout.
    virtual std::span<const uint32_t> row(int32_t y) const = 0;

    // Pixels [left, right) of row `y`, within the picture. A picture made only where it is read
    // makes just that part of the row, where row() makes the whole; what such a picture hands
    // out stays valid until it is read again.
    virtual std::span<const uint32_t> rowPart(int32_t y, int32_t left, int32_t right) const {
        return row(y).subspan(static_cast<size_t>(left), static_cast<size_t>(right - left));
    }
    // Readers of `area` may call this first: a picture made where it is read then makes the
    // whole area at once rather than row by row.
    virtual void prepare(const PixelRect& /*area*/) const {}
};

// Decodes the skin's JPEG pictures.
class PictureDecoder {
  public:
    virtual ~PictureDecoder() = default;

    // The picture in `file`, or null when the file is missing or is not a picture it can decode.
    virtual std::shared_ptr<const Picture> load(const std::filesystem::path& file) = 0;
};

}  // namespace v270::platform
