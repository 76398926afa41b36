#pragma once

#include <memory>

#include "platform/picture.h"
#include "platform/pixel_picture.h"
#include "platform/pixel_types.h"

namespace v270 {

// `picture` resampled to `size` with a bicubic (Catmull-Rom) filter, widened when it shrinks so
// that every source pixel counts: sharp edges without the blocks of a pixel-doubling copy. Each
// target pixel's centre maps to the matching point of the source; the edges repeat outwards.
// An empty picture or size gives an empty picture of `size`.
std::shared_ptr<const platform::PixelPicture> resamplePicture(const platform::Picture& picture,
                                                              platform::PixelSize size);

}  // namespace v270
