#pragma once

#include <cstdint>

#include "platform/picture.h"
#include "platform/pixel_types.h"
#include "ui/skin_tables.h"
#include "ui/span_region.h"

namespace v270 {

// A mask pixel whose red, green and blue are all above this is cut out of the window.
inline constexpr uint8_t kMaskCutThreshold = 100;

constexpr bool isCutOut(uint32_t pixel) {
    const platform::Rgb rgb = platform::unpackRgb(pixel);
    return rgb.red > kMaskCutThreshold && rgb.green > kMaskCutThreshold &&
           rgb.blue > kMaskCutThreshold;
}

// The mask's rectangle without its bright pixels, built from the dark runs of each row.
SpanRegion maskRegion(const platform::Picture& mask);

// The same region built the slow way, for comparison: the whole rectangle, then, column by
// column, each bright pixel combined in with exclusive-or.
SpanRegion maskRegionPerPixel(const platform::Picture& mask);

// The main window's shape, made once from the mask picture.
struct WindowShape {
    platform::PixelSize size;         // every frame has the mask's size
    SpanRegion windowRegion;          // the window's shape
    SpanRegion advancedRedrawRegion;  // repainted on the advanced page: without its controls
};

// `advancedRedrawRegion` is `windowRegion` combined with exclusive-or with the name edit, the
// step list and the macro list, in that order. A missing mask gives an empty shape of size 0.
WindowShape buildWindowShape(const platform::Picture* mask, const SkinTables& tables);

}  // namespace v270
