#include "ui/span_region.h"

#include <algorithm>
#include <limits>

namespace v270 {

namespace {

// The edges of the symmetric difference of two runs lists: both merged, equal edges cancelled.
void mergeXor(std::span<const int32_t> a, std::span<const int32_t> b, std::vector<int32_t>& out) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i] < b[j])) {
            out.push_back(a[i++]);
        } else if (i == a.size() || b[j] < a[i]) {
            out.push_back(b[j++]);
        } else {
            ++i;
            ++j;
        }
    }
}

}  // namespace

SpanRegion SpanRegion::fromRect(const platform::PixelRect& rect) {
    SpanRegionBuilder builder;
    if (rect.empty())
        return builder.finish();
    const int32_t edges[] = {rect.left, rect.right};
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        builder.addRow(y, edges);
    return builder.finish();
}

void SpanRegion::appendRow(int32_t y, std::span<const int32_t> edges) {
    if (edges.empty())
        return;
    rows_.push_back(
        Row{y, static_cast<uint32_t>(edges_.size()), static_cast<uint32_t>(edges.size())});
    edges_.insert(edges_.end(), edges.begin(), edges.end());
}

SpanRegion SpanRegion::combineXor(const SpanRegion& other) const {
    SpanRegion result;
    result.rows_.reserve(rows_.size() + other.rows_.size());
    result.edges_.reserve(edges_.size() + other.edges_.size());
    std::vector<int32_t> merged;
    size_t i = 0;
    size_t j = 0;
    while (i < rows_.size() || j < other.rows_.size()) {
        if (j == other.rows_.size() || (i < rows_.size() && rows_[i].y < other.rows_[j].y)) {
            result.appendRow(rows_[i].y, edgesOf(rows_[i]));
            ++i;
        } else if (i == rows_.size() || other.rows_[j].y < rows_[i].y) {
            result.appendRow(other.rows_[j].y, other.edgesOf(other.rows_[j]));
            ++j;
        } else {
            merged.clear();
            mergeXor(edgesOf(rows_[i]), other.edgesOf(other.rows_[j]), merged);
            result.appendRow(rows_[i].y, merged);
            ++i;
            ++j;
        }
    }
    return result;
}

bool SpanRegion::contains(int32_t x, int32_t y) const {
    const auto row = std::ranges::lower_bound(rows_, y, {}, &Row::y);
    if (row == rows_.end() || row->y != y)
        return false;
    const std::span<const int32_t> edges = edgesOf(*row);
    // Inside when an odd number of edges lie at or left of x.
    const auto passed = std::ranges::upper_bound(edges, x) - edges.begin();
    return passed % 2 == 1;
}

std::vector<platform::PixelRect> SpanRegion::rects() const {
    std::vector<platform::PixelRect> out;
    size_t band = 0;
    while (band < rows_.size()) {
        const std::span<const int32_t> edges = edgesOf(rows_[band]);
        size_t end = band + 1;
        while (end < rows_.size() && rows_[end].y == rows_[end - 1].y + 1 &&
               std::ranges::equal(edgesOf(rows_[end]), edges)) {
            ++end;
        }
        const int32_t top = rows_[band].y;
        const int32_t bottom = rows_[end - 1].y + 1;
        for (size_t e = 0; e + 1 < edges.size(); e += 2) {
            out.push_back({edges[e], top, edges[e + 1], bottom});
        }
        band = end;
    }
    return out;
}

platform::PixelRect SpanRegion::bounds() const {
    if (rows_.empty())
        return {};
    int32_t left = std::numeric_limits<int32_t>::max();
    int32_t right = std::numeric_limits<int32_t>::min();
    for (const Row& row : rows_) {
        const std::span<const int32_t> edges = edgesOf(row);
        left = std::min(left, edges.front());
        right = std::max(right, edges.back());
    }
    return {left, rows_.front().y, right, rows_.back().y + 1};
}

bool SpanRegion::operator==(const SpanRegion& other) const {
    if (rows_.size() != other.rows_.size())
        return false;
    for (size_t r = 0; r < rows_.size(); ++r) {
        if (rows_[r].y != other.rows_[r].y ||
            !std::ranges::equal(edgesOf(rows_[r]), other.edgesOf(other.rows_[r]))) {
            return false;
        }
    }
    return true;
}

}  // namespace v270
