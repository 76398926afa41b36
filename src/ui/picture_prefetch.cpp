#include "ui/picture_prefetch.h"

#include <deque>
#include <utility>

#include "ui/picture_scaler.h"

namespace v270 {

PicturePrefetch::PicturePrefetch(std::unique_ptr<platform::PictureDecoder> decoder,
                                 std::vector<File> files)
    : decoder_(std::move(decoder)),
      files_(std::move(files)),
      thread_("picture prefetch", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { run(stop); }) {
    for (const File& file : files_)
        prepared_.emplace(file.path, std::nullopt);
    thread_.ensureRunning();
}

void PicturePrefetch::scaleTo(DisplayScale scale) {
    const std::lock_guard lock(mutex_);
    scale_ = scale;
    changed_.notify_all();
}

void PicturePrefetch::publish(const std::filesystem::path& file, Prepared picture) {
    const std::lock_guard lock(mutex_);
    prepared_[file] = std::move(picture);
    changed_.notify_all();
}

void PicturePrefetch::run(std::stop_token stop) {
    // Decoded pictures that wait for the scale, in their order.
    std::deque<std::pair<std::filesystem::path, Prepared>> unscaled;
    const auto scaleWaiting = [&](DisplayScale scale) {
        for (; !unscaled.empty() && !stop.stop_requested(); unscaled.pop_front()) {
            auto& [file, picture] = unscaled.front();
            picture.scale = scale;
            picture.scaled = picture.original;
            if (picture.original && !scale.identity())
                picture.scaled =
                    resamplePicture(*picture.original, scale.size(picture.original->size()));
            publish(file, std::move(picture));
        }
    };
    const auto knownScale = [&]() {
        const std::lock_guard lock(mutex_);
        return scale_;
    };

    for (const File& file : files_) {
        if (const std::optional<DisplayScale> scale = knownScale())
            scaleWaiting(*scale);
        if (stop.stop_requested())
            return;
        Prepared picture;
        picture.original = decoder_->load(file.path);
        picture.scaled = picture.original;
        if (file.scaled && picture.original)
            unscaled.emplace_back(file.path, std::move(picture));
        else
            publish(file.path, std::move(picture));
    }
    while (!unscaled.empty()) {
        std::optional<DisplayScale> scale;
        {
            std::unique_lock lock(mutex_);
            if (!changed_.wait(lock, stop, [&] { return scale_.has_value(); }))
                return;
            scale = scale_;
        }
        scaleWaiting(*scale);
        if (stop.stop_requested())
            return;
    }
}

std::optional<PicturePrefetch::Prepared> PicturePrefetch::take(const std::filesystem::path& file) {
    std::unique_lock lock(mutex_);
    const auto found = prepared_.find(file);
    if (found == prepared_.end())
        return std::nullopt;
    changed_.wait(lock, [&] { return found->second.has_value(); });
    Prepared picture = std::move(*found->second);
    prepared_.erase(found);
    return picture;
}

std::optional<PicturePrefetch::Prepared> PicturePrefetch::takeIfReady(
    const std::filesystem::path& file) {
    std::unique_lock lock(mutex_);
    const auto found = prepared_.find(file);
    if (found == prepared_.end() || !found->second)
        return std::nullopt;
    Prepared picture = std::move(*found->second);
    prepared_.erase(found);
    return picture;
}

bool PicturePrefetch::empty() {
    const std::lock_guard lock(mutex_);
    return prepared_.empty();
}

}  // namespace v270
