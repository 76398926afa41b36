#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture.h"
#include "platform/pixel_picture.h"
#include "platform/pixel_types.h"

namespace v270 {

// Resamples one picture to one size with a bicubic (Catmull-Rom) filter, widened when it shrinks
// so that every source pixel counts: sharp edges without the blocks of a pixel-doubling copy.
// Each target pixel's centre maps to the matching point of the source; the edges repeat
// outwards. Any part of the target can be made on its own, with the same pixels as when the
// whole is made. Keeps a reference to `picture`, which must not change meanwhile.
class PictureResampler {
  public:
    PictureResampler(const platform::Picture& picture, platform::PixelSize size);

    platform::PixelSize size() const { return size_; }

    // Writes the target pixels of `area` (inside the size) to `out`, its top left pixel, whose
    // rows lie `stride` pixels apart. An empty source leaves them black.
    void resample(const platform::PixelRect& area, uint32_t* out, size_t stride) const;

    // For each target index along one axis: the source indices it reads (edges repeated) and
    // their weights, `taps` of each per target.
    struct AxisKernel {
        int32_t taps = 0;
        std::vector<int32_t> index;
        std::vector<int32_t> weight;
    };

  private:
    const platform::Picture& picture_;
    platform::PixelSize size_;
    AxisKernel across_;
    AxisKernel down_;
};

// `picture` resampled to `size` as a whole (see PictureResampler). An empty picture or size gives
// an empty picture of `size`.
std::shared_ptr<const platform::PixelPicture> resamplePicture(const platform::Picture& picture,
                                                              platform::PixelSize size);

}  // namespace v270
