#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "platform/picture.h"
#include "platform/pixel_types.h"
#include "platform/win32/gdi_objects.h"

namespace v270::win32 {

// A region made in one call from rectangles sorted top to bottom, left to right (the bands of a
// span region), as the window shape is given to SetWindowRgn.
UniqueRegion regionFromRects(std::span<const platform::PixelRect> rects);

// The window shape built one pixel at a time: the mask's rectangle, and each pixel that
// `cutOut` picks combined in with RGN_XOR, column by column. The reference the span region is
// held to, and slow: one region combine per cut pixel.
UniqueRegion regionPerPixel(const platform::Picture& mask, bool (*cutOut)(uint32_t pixel));

}  // namespace v270::win32
