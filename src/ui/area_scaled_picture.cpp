#include "ui/area_scaled_picture.h"

#include <algorithm>

namespace v270 {

namespace {

// An unprepared read of one row makes this many rows at once: the filter reads several source
// rows for each row it makes, and neighbouring rows share them.
constexpr int32_t kUnpreparedRows = 32;

bool holds(const platform::PixelRect& outer, const platform::PixelRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

AreaScaledPicture::AreaScaledPicture(std::shared_ptr<const platform::Picture> original,
                                     platform::PixelSize size)
    : original_(std::move(original)),
      resampler_(*original_, {std::max(size.width, 0), std::max(size.height, 0)}) {}

std::span<const uint32_t> AreaScaledPicture::rowPart(int32_t y, int32_t left, int32_t right) const {
    const Block* block = find({left, y, right, y + 1});
    if (block == nullptr)
        block = blockFor({left, y, right, y + kUnpreparedRows});
    const auto width = static_cast<size_t>(block->area.width());
    return {block->pixels.get() + static_cast<size_t>(y - block->area.top) * width +
                static_cast<size_t>(left - block->area.left),
            static_cast<size_t>(right - left)};
}

const AreaScaledPicture::Block* AreaScaledPicture::find(const platform::PixelRect& area) const {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
        if (holds(it->area, area))
            return &*it;
    }
    return nullptr;
}

const AreaScaledPicture::Block* AreaScaledPicture::blockFor(
    const platform::PixelRect& wanted) const {
    const platform::PixelSize whole = size();
    platform::PixelRect area{std::max(wanted.left, 0), std::max(wanted.top, 0),
                             std::min(wanted.right, whole.width),
                             std::min(wanted.bottom, whole.height)};
    if (area.empty())
        area = {0, 0, 0, 0};
    if (const Block* block = find(area))
        return block;
    // Parts that would add up to more than the whole make way for the whole.
    const int64_t pixels = int64_t{area.width()} * area.height();
    if (blockPixels_ + pixels > int64_t{whole.width} * whole.height) {
        blocks_.clear();
        area = {0, 0, whole.width, whole.height};
        blockPixels_ = 0;
    }
    Block block{area, std::make_unique_for_overwrite<uint32_t[]>(
                          static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()))};
    resampler_.resample(area, block.pixels.get(), static_cast<size_t>(area.width()));
    blockPixels_ += int64_t{area.width()} * area.height();
    blocks_.push_back(std::move(block));
    return &blocks_.back();
}

}  // namespace v270
