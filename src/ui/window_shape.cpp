#include "ui/window_shape.h"

#include <vector>

namespace v270 {

SpanRegion maskRegion(const platform::Picture& mask, DisplayScale scale) {
    const platform::PixelSize size = mask.size();
    SpanRegionBuilder builder;
    std::vector<int32_t> edges;
    std::vector<int32_t> scaled;
    for (int32_t y = 0; y < size.height; ++y) {
        const std::span<const uint32_t> row = mask.row(y);
        edges.clear();
        bool inside = false;
        for (int32_t x = 0; x < size.width; ++x) {
            const bool kept = !isCutOut(row[static_cast<size_t>(x)]);
            if (kept != inside) {
                edges.push_back(x);
                inside = kept;
            }
        }
        if (inside)
            edges.push_back(size.width);
        if (scale.identity()) {
            builder.addRow(y, edges);
            continue;
        }
        // Below 96 DPI two edges may meet: the run between them is gone.
        scaled.clear();
        for (const int32_t edge : edges) {
            const int32_t at = scale.px(edge);
            if (!scaled.empty() && scaled.back() == at) {
                scaled.pop_back();
            } else {
                scaled.push_back(at);
            }
        }
        for (int32_t line = scale.px(y); line < scale.px(y + 1); ++line)
            builder.addRow(line, scaled);
    }
    return builder.finish();
}

SpanRegion maskRegionPerPixel(const platform::Picture& mask) {
    const platform::PixelSize size = mask.size();
    SpanRegion region = SpanRegion::fromRect({0, 0, size.width, size.height});
    for (int32_t x = 0; x < size.width; ++x) {
        for (int32_t y = 0; y < size.height; ++y) {
            if (isCutOut(mask.row(y)[static_cast<size_t>(x)])) {
                region = region.combineXor(SpanRegion::fromRect({x, y, x + 1, y + 1}));
            }
        }
    }
    return region;
}

WindowShape buildWindowShape(const platform::Picture* mask, const SkinTables& tables,
                             DisplayScale scale) {
    WindowShape shape;
    if (mask != nullptr) {
        shape.size = scale.size(mask->size());
        shape.windowRegion = maskRegion(*mask, scale);
    }
    shape.advancedRedrawRegion =
        shape.windowRegion.combineXor(SpanRegion::fromRect(tables.nameEditRect))
            .combineXor(SpanRegion::fromRect(tables.stepListRect))
            .combineXor(SpanRegion::fromRect(tables.macroListRect));
    return shape;
}

}  // namespace v270
