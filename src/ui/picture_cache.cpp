#include "ui/picture_source.h"

#include <system_error>

namespace v270 {

std::shared_ptr<const platform::Picture> PictureCache::picture(const std::filesystem::path& file) {
    std::error_code error;
    Stamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (!error)
        stamp.modified = std::filesystem::last_write_time(file, error);
    if (error) {
        entries_.erase(file);
        return nullptr;
    }
    const auto found = entries_.find(file);
    if (found != entries_.end() && found->second.stamp == stamp)
        return found->second.picture;

    ++decodes_;
    Entry entry{stamp, decoder_.load(file)};
    auto picture = entry.picture;
    entries_.insert_or_assign(file, std::move(entry));
    return picture;
}

void PictureCache::seed(const std::filesystem::path& file,
                        std::shared_ptr<const platform::Picture> picture) {
    std::error_code error;
    Stamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (!error)
        stamp.modified = std::filesystem::last_write_time(file, error);
    if (!error)
        entries_.insert_or_assign(file, Entry{stamp, std::move(picture)});
}

}  // namespace v270
