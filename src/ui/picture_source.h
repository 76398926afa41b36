#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/picture.h"

namespace v270 {

// Where frames get their pictures from.
class PictureSource {
  public:
    virtual ~PictureSource() = default;

    // The picture in `file`, or null when it is missing or cannot be decoded.
    virtual std::shared_ptr<const platform::Picture> picture(const std::filesystem::path& file) = 0;

    // Drops whatever is kept between frames (the interface language changed).
    virtual void forgetAll() {}
};

// Decodes the file at every request, so that only the files present at that moment matter.
class UncachedPictures : public PictureSource {
  public:
    explicit UncachedPictures(platform::PictureDecoder& decoder) : decoder_(decoder) {}

    std::shared_ptr<const platform::Picture> picture(const std::filesystem::path& file) override {
        return decoder_.load(file);
    }

  private:
    platform::PictureDecoder& decoder_;
};

// Keeps each decoded picture until its file changes: every request compares the file's size and
// modification time with those it was decoded from, so a frame costs a look at each file and
// no decoding. A file that is gone is forgotten and gives null, as an uncached read would.
// Used from one thread.
class PictureCache : public PictureSource {
  public:
    explicit PictureCache(platform::PictureDecoder& decoder) : decoder_(decoder) {}

    std::shared_ptr<const platform::Picture> picture(const std::filesystem::path& file) override;

    // Forgets every picture, so that the next request of each decodes its file again.
    void forgetAll() override { entries_.clear(); }
    // Keeps `picture`, decoded elsewhere from `file` as it is now, as if decoded here.
    void seed(const std::filesystem::path& file, std::shared_ptr<const platform::Picture> picture);

    // How many files have been decoded, to tell a cached request from a fresh one.
    uint64_t decodeCount() const { return decodes_; }

  private:
    struct Stamp {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        Stamp stamp;
        std::shared_ptr<const platform::Picture> picture;  // null: the file did not decode
    };

    platform::PictureDecoder& decoder_;
    std::map<std::filesystem::path, Entry> entries_;
    uint64_t decodes_ = 0;
};

}  // namespace v270
