#include "ui/scaled_pictures.h"

#include "ui/area_scaled_picture.h"

namespace v270 {

void ScaledPictures::setScale(DisplayScale scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    entries_.clear();
}

std::shared_ptr<const platform::Picture> ScaledPictures::picture(
    const std::filesystem::path& file) {
    std::shared_ptr<const platform::Picture> original = source_.picture(file);
    if (scale_.identity())
        return original;
    if (!original) {
        entries_.erase(file);
        return nullptr;
    }
    Entry& entry = entries_[file];
    if (entry.original != original) {
        ++resamples_;
        // Made where frames read it: most frames show only parts of most pictures.
        entry.scaled = std::make_shared<AreaScaledPicture>(original, scale_.size(original->size()));
        entry.original = std::move(original);
    }
    return entry.scaled;
}

void ScaledPictures::forgetAll() {
    entries_.clear();
    source_.forgetAll();
}

}  // namespace v270
