#pragma once

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/picture.h"
#include "platform/worker_thread.h"
#include "ui/display_scale.h"

namespace v270 {

// The pictures the first frame shows (and the window's mask), decoded on a thread of their own
// from the moment the window is made, and scaled once the scale is known, so that the first
// frame waits for none of the work another core could do. The thread decodes them all, then
// scales what is left; a scale other than 96 DPI adds a second thread that scales each picture
// as soon as it is decoded, so that two are resampled at once while the window is being made.
// A picture decoded but not yet scaled when a taker needs it is scaled by the taker. The
// decoding thread uses a decoder of its own; each picture is handed over once.
class PicturePrefetch {
  public:
    struct File {
        std::filesystem::path path;
        bool scaled = true;  // false: wanted at the skin's own size only (the mask)
        // Not shown by the first frame: decoded and scaled only once scaleLater() is called, so
        // that it takes no core from the first frame (a taker waits until then).
        bool later = false;
    };
    struct Prepared {
        std::shared_ptr<const platform::Picture> original;  // null: missing or undecodable
        std::shared_ptr<const platform::Picture> scaled;    // the original itself at 96 DPI
        DisplayScale scale;                                 // what `scaled` was made for
    };

    // Starts decoding `files`, in their order.
    PicturePrefetch(std::unique_ptr<platform::PictureDecoder> decoder, std::vector<File> files);
    ~PicturePrefetch() {
        thread_.stop();
        helper_.stop();
    }

    // The scale to resample at. Pictures wait for it once decoded; a later call changes it for
    // the pictures not yet scaled.
    void scaleTo(DisplayScale scale);

    // Lets the threads decode and scale the pictures marked `later`.
    void scaleLater();

    // The prepared pictures of `files`, in their order, once made; nullopt for a file it was not
    // given, or one already taken. Waits for the scale of pictures to be scaled.
    std::vector<std::optional<Prepared>> take(std::span<const std::filesystem::path> files);
    std::optional<Prepared> take(const std::filesystem::path& file) {
        return std::move(take(std::span(&file, 1)).front());
    }
    // As take(), but nullopt at once while the picture is still coming.
    std::optional<Prepared> takeIfReady(const std::filesystem::path& file);
    // Whether every picture has been taken.
    bool empty();

  private:
    enum class Stage { Coming, Decoded, Scaling, Ready };
    struct Entry {
        Stage stage = Stage::Coming;
        Prepared picture;
    };

    void run(std::stop_token stop);
    // Scales the decoded picture of `entry`, which the caller has marked Scaling, with the lock
    // released meanwhile.
    Prepared scale(std::unique_lock<std::mutex>& lock, Entry& entry);
    // Scales every decoded picture nobody has taken on; false when asked to stop.
    bool scaleDecoded(std::stop_token stop);
    // The second thread's job: scales what is decoded until nothing is left to decode or scale.
    void help(std::stop_token stop);
    bool anyDecoded() const;
    // Whether a decoded picture waits for a thread to scale it, now.
    bool scalable() const;
    bool scalesNow(const File& file) const { return !file.later || scaleLater_; }

    std::unique_ptr<platform::PictureDecoder> decoder_;
    const std::vector<File> files_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::optional<DisplayScale> scale_;
    std::map<std::filesystem::path, Entry> entries_;  // until taken
    bool decodingDone_ = false;
    bool scaleLater_ = false;
    // Last: they end before the rest goes.
    platform::WorkerThread thread_;
    platform::WorkerThread helper_;
};

}  // namespace v270
