#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/picture.h"
#include "ui/picture_scaler.h"

namespace v270 {

// A picture resampled to another size only where it is read: each area a reader prepares (or,
// unprepared, each band of rows it reads) is resampled on its own, into memory of its own size.
// A frame that shows a few entries of a page's down or over picture then costs a few small
// resamplings, not the whole picture and its memory. The pixels are those resamplePicture()
// gives. Used from one thread, like the cache that makes it.
class AreaScaledPicture final : public platform::Picture {
  public:
    AreaScaledPicture(std::shared_ptr<const platform::Picture> original, platform::PixelSize size);

    platform::PixelSize size() const override { return resampler_.size(); }
    std::span<const uint32_t> row(int32_t y) const override { return rowPart(y, 0, size().width); }
    std::span<const uint32_t> rowPart(int32_t y, int32_t left, int32_t right) const override;
    void prepare(const platform::PixelRect& area) const override { blockFor(area); }

  private:
    struct Block {
        platform::PixelRect area;
        std::unique_ptr<uint32_t[]> pixels;  // the area's rows, one after the other
    };

    // The latest block holding all of `area`, or null.
    const Block* find(const platform::PixelRect& area) const;
    // The block holding `area` (clipped to the picture), made when none does.
    const Block* blockFor(const platform::PixelRect& area) const;

    std::shared_ptr<const platform::Picture> original_;
    PictureResampler resampler_;
    mutable std::vector<Block> blocks_;
    mutable int64_t blockPixels_ = 0;
};

}  // namespace v270
