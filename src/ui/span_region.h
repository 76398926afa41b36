#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/pixel_types.h"

namespace v270 {

// A set of pixels kept row by row: each row that holds pixels has its sorted edges, where every
// even edge starts a run and the next one ends it (outside). Equal sets have equal
// representations, so == compares the pixels.
class SpanRegion {
  public:
    SpanRegion() = default;
    static SpanRegion fromRect(const platform::PixelRect& rect);

    // The pixels in exactly one of the two regions, as a new region: both are walked whole, so
    // one combine costs the size of both.
    SpanRegion combineXor(const SpanRegion& other) const;

    bool contains(int32_t x, int32_t y) const;
    bool empty() const { return rows_.empty(); }
    // Rows that hold pixels.
    size_t rowCount() const { return rows_.size(); }

    // The region as rectangles sorted top to bottom and left to right, with rows of equal runs
    // merged into bands: the form a system region is made from in one call.
    std::vector<platform::PixelRect> rects() const;
    platform::PixelRect bounds() const;

    bool operator==(const SpanRegion& other) const;

  private:
    friend class SpanRegionBuilder;
    struct Row {
        int32_t y = 0;
        uint32_t first = 0;  // index into edges_
        uint32_t count = 0;
    };
    std::span<const int32_t> edgesOf(const Row& row) const {
        return std::span<const int32_t>(edges_).subspan(row.first, row.count);
    }
    void appendRow(int32_t y, std::span<const int32_t> edges);

    std::vector<Row> rows_;
    std::vector<int32_t> edges_;
};

// Builds a region one row at a time, rows in increasing order.
class SpanRegionBuilder {
  public:
    // `edges`: strictly increasing, an even number of them. Rows without edges are skipped.
    void addRow(int32_t y, std::span<const int32_t> edges) { region_.appendRow(y, edges); }
    SpanRegion finish() { return std::move(region_); }

  private:
    SpanRegion region_;
};

}  // namespace v270
