#include "ui/picture_prefetch.h"

#include <utility>

#include "ui/picture_scaler.h"

namespace v270 {

PicturePrefetch::PicturePrefetch(std::unique_ptr<platform::PictureDecoder> decoder,
                                 std::vector<File> files)
    : decoder_(std::move(decoder)),
      files_(std::move(files)),
      thread_("picture prefetch", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { run(stop); }),
      helper_("picture scaling", platform::ThreadPriority::Normal,
              [this](std::stop_token stop) { help(stop); }) {
    for (const File& file : files_)
        entries_.emplace(file.path, Entry{});
    thread_.ensureRunning();
}

void PicturePrefetch::scaleTo(DisplayScale scale) {
    {
        const std::lock_guard lock(mutex_);
        scale_ = scale;
        changed_.notify_all();
    }
    if (!scale.identity())
        helper_.ensureRunning();
}

void PicturePrefetch::scaleLater() {
    const std::lock_guard lock(mutex_);
    scaleLater_ = true;
    changed_.notify_all();
}

bool PicturePrefetch::anyDecoded() const {
    for (const auto& [path, entry] : entries_) {
        if (entry.stage == Stage::Decoded)
            return true;
    }
    return false;
}

bool PicturePrefetch::scalable() const {
    if (!scale_)
        return false;
    for (const File& file : files_) {
        const auto found = entries_.find(file.path);
        if (found != entries_.end() && found->second.stage == Stage::Decoded && scalesNow(file))
            return true;
    }
    return false;
}

void PicturePrefetch::help(std::stop_token stop) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!changed_.wait(lock, stop,
                               [&] { return scalable() || (decodingDone_ && !anyDecoded()); }) ||
                !scalable())
                return;
        }
        if (!scaleDecoded(stop))
            return;
    }
}

PicturePrefetch::Prepared PicturePrefetch::scale(std::unique_lock<std::mutex>& lock, Entry& entry) {
    Prepared picture = entry.picture;
    picture.scale = *scale_;
    lock.unlock();
    if (!picture.scale.identity())
        picture.scaled =
            resamplePicture(*picture.original, picture.scale.size(picture.original->size()));
    lock.lock();
    return picture;
}

bool PicturePrefetch::scaleDecoded(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    if (!scale_)
        return true;
    // In the files' order; an entry taken while the lock was released is looked for no more.
    for (const File& file : files_) {
        if (stop.stop_requested())
            return false;
        auto found = entries_.find(file.path);
        if (found == entries_.end() || found->second.stage != Stage::Decoded || !scalesNow(file))
            continue;
        found->second.stage = Stage::Scaling;
        Prepared picture = scale(lock, found->second);
        found = entries_.find(file.path);  // the taker may wait on it, never takes it
        found->second.picture = std::move(picture);
        found->second.stage = Stage::Ready;
        changed_.notify_all();
    }
    return true;
}

void PicturePrefetch::run(std::stop_token stop) {
    // The first frame's pictures decoded first, so that the scaling thread has work as soon as
    // it can; the later ones once let, so that they take no core from the first frame. Until
    // then this thread scales the first frame's pictures too.
    for (const bool later : {false, true}) {
        if (later) {
            std::unique_lock lock(mutex_);
            for (;;) {
                if (!changed_.wait(lock, stop, [&] { return scaleLater_ || scalable(); }))
                    return;
                if (scaleLater_)
                    break;
                lock.unlock();
                if (!scaleDecoded(stop))
                    return;
                lock.lock();
            }
        }
        for (const File& file : files_) {
            if (stop.stop_requested())
                return;
            if (file.later != later)
                continue;
            Prepared picture;
            picture.original = decoder_->load(file.path);
            picture.scaled = picture.original;
            const std::lock_guard lock(mutex_);
            Entry& entry = entries_[file.path];
            entry.picture = std::move(picture);
            entry.stage = file.scaled && entry.picture.original ? Stage::Decoded : Stage::Ready;
            changed_.notify_all();
        }
    }
    {
        const std::lock_guard lock(mutex_);
        decodingDone_ = true;
        changed_.notify_all();
    }
    // The pictures wait for the scale (the later ones for their turn), unless taken meanwhile.
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!changed_.wait(lock, stop, [&] { return !anyDecoded() || scalable(); }) ||
                !anyDecoded())
                return;
        }
        if (!scaleDecoded(stop))
            return;
    }
}

std::vector<std::optional<PicturePrefetch::Prepared>> PicturePrefetch::take(
    std::span<const std::filesystem::path> files) {
    std::vector<std::optional<Prepared>> taken(files.size());
    std::vector<bool> pending(files.size());
    std::unique_lock lock(mutex_);
    for (size_t i = 0; i < files.size(); ++i)
        pending[i] = entries_.contains(files[i]);
    for (;;) {
        bool progress = false;
        bool left = false;
        for (size_t i = 0; i < files.size(); ++i) {
            if (!pending[i])
                continue;
            const auto found = entries_.find(files[i]);
            Entry& entry = found->second;
            if (entry.stage == Stage::Ready) {
                taken[i] = std::move(entry.picture);
            } else if (entry.stage == Stage::Decoded && scale_) {
                // Scaled here, while the thread goes on with the next.
                entry.stage = Stage::Scaling;
                taken[i] = scale(lock, entry);
            } else {
                left = true;
                continue;
            }
            entries_.erase(files[i]);
            pending[i] = false;
            progress = true;
        }
        if (!left)
            return taken;
        if (!progress)
            changed_.wait(lock);
    }
}

std::optional<PicturePrefetch::Prepared> PicturePrefetch::takeIfReady(
    const std::filesystem::path& file) {
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(file);
    if (found == entries_.end() || found->second.stage != Stage::Ready)
        return std::nullopt;
    Prepared picture = std::move(found->second.picture);
    entries_.erase(found);
    return picture;
}

bool PicturePrefetch::empty() {
    const std::lock_guard lock(mutex_);
    return entries_.empty();
}

}  // namespace v270
