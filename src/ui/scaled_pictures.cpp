#include "ui/scaled_pictures.h"

#include "ui/picture_scaler.h"

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
        entry.scaled = resamplePicture(*original, scale_.size(original->size()));
        entry.original = std::move(original);
    }
    return entry.scaled;
}

void ScaledPictures::forgetAll() {
    entries_.clear();
    source_.forgetAll();
}

}  // namespace v270
