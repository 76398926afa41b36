#pragma once

#include <cstdint>

#include "platform/picture.h"
#include "platform/pixel_types.h"
#include "ui/display_scale.h"
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

// The mask's rectangle without its bright pixels, built from the dark runs of each row; at another
// scale each mask pixel covers the screen pixels its scaled edges enclose.
SpanRegion maskRegion(const platform::Picture& mask, DisplayScale scale = {});

// The same region built the slow way, for comparison: the whole rectangle, then, column by
// column, each bright pixel combined in with exclusive-or.
SpanRegion maskRegionPerPixel(const platform::Picture& mask);

// The main window's shape, made from the mask picture for the scale of the window's monitor.
struct WindowShape {
    platform::PixelSize size;         // every frame has the mask's size, scaled
    SpanRegion windowRegion;          // the window's shape
    SpanRegion advancedRedrawRegion;  // repainted on the advanced page: without its controls
};

// `advancedRedrawRegion` is `windowRegion` combined with exclusive-or with the name edit, the
// step list and the macro list of `tables` (already at `scale`), in that order. A missing mask
// gives an empty shape of size 0.
WindowShape buildWindowShape(const platform::Picture* mask, const SkinTables& tables,
                             DisplayScale scale = {});

}  // namespace v270
