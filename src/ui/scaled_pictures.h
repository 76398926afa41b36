#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "platform/picture.h"
#include "ui/display_scale.h"
#include "ui/picture_source.h"

namespace v270 {

// The pictures of another source at the window's scale. Each is resampled once per scale, part
// by part as readers first ask for its parts (ui/area_scaled_picture.h), and kept for as long
// as its source hands out the same picture, so a cached frame costs at every scale what it costs
// at 96 DPI; at 96 DPI the source's pictures pass through untouched. Used from one thread, and
// so are the pictures it makes.
class ScaledPictures : public PictureSource {
  public:
    explicit ScaledPictures(PictureSource& source) : source_(source) {}

    // A new scale forgets the pictures resampled for the old one.
    void setScale(DisplayScale scale);
    DisplayScale scale() const { return scale_; }

    std::shared_ptr<const platform::Picture> picture(const std::filesystem::path& file) override;
    // Keeps `scaled`, made elsewhere from `original` at this scale, as if resampled here.
    void seed(const std::filesystem::path& file, std::shared_ptr<const platform::Picture> original,
              std::shared_ptr<const platform::Picture> scaled) {
        if (!scale_.identity())
            entries_.insert_or_assign(file, Entry{std::move(original), std::move(scaled)});
    }
    void forgetAll() override;

    // How many scaled pictures have been made, to tell a kept picture from a fresh one.
    uint64_t resampleCount() const { return resamples_; }

  private:
    struct Entry {
        std::shared_ptr<const platform::Picture> original;
        std::shared_ptr<const platform::Picture> scaled;
    };

    PictureSource& source_;
    DisplayScale scale_;
    std::map<std::filesystem::path, Entry> entries_;
    uint64_t resamples_ = 0;
};

}  // namespace v270
