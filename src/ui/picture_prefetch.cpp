#include "ui/picture_prefetch.h"

#include <utility>

#include "ui/picture_scaler.h"

namespace v270 {

PicturePrefetch::PicturePrefetch(std::unique_ptr<platform::PictureDecoder> decoder,
                                 std::vector<std::filesystem::path> files, DisplayScale scale)
    : decoder_(std::move(decoder)),
      files_(std::move(files)),
      scale_(scale),
      thread_("picture prefetch", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { run(stop); }) {
    for (const std::filesystem::path& file : files_)
        prepared_.emplace(file, std::nullopt);
    thread_.ensureRunning();
}

void PicturePrefetch::run(std::stop_token stop) {
    for (const std::filesystem::path& file : files_) {
        if (stop.stop_requested())
            return;
        Prepared picture;
        picture.original = decoder_->load(file);
        picture.scaled = picture.original;
        if (picture.original && !scale_.identity())
            picture.scaled =
                resamplePicture(*picture.original, scale_.size(picture.original->size()));
        const std::lock_guard lock(mutex_);
        prepared_[file] = std::move(picture);
        ready_.notify_all();
    }
}

std::optional<PicturePrefetch::Prepared> PicturePrefetch::take(const std::filesystem::path& file) {
    std::unique_lock lock(mutex_);
    const auto found = prepared_.find(file);
    if (found == prepared_.end())
        return std::nullopt;
    ready_.wait(lock, [&] { return found->second.has_value(); });
    Prepared picture = std::move(*found->second);
    prepared_.erase(found);
    return picture;
}

}  // namespace v270
