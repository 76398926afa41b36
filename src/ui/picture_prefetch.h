#pragma once

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/picture.h"
#include "platform/worker_thread.h"
#include "ui/display_scale.h"

namespace v270 {

// The pictures the first frame shows (and the window's mask), decoded and scaled on a thread of
// their own while the window initialises, so that the first frame waits for none of the work
// another core could do. The thread uses a decoder of its own; each picture is handed over once.
class PicturePrefetch {
  public:
    struct Prepared {
        std::shared_ptr<const platform::Picture> original;  // null: missing or undecodable
        std::shared_ptr<const platform::Picture> scaled;    // the original itself at 96 DPI
    };

    PicturePrefetch(std::unique_ptr<platform::PictureDecoder> decoder,
                    std::vector<std::filesystem::path> files, DisplayScale scale);
    ~PicturePrefetch() { thread_.stop(); }

    // The prepared picture of `file`, once the thread has made it; nullopt for a file it was not
    // given, or one already taken.
    std::optional<Prepared> take(const std::filesystem::path& file);

  private:
    void run(std::stop_token stop);

    std::unique_ptr<platform::PictureDecoder> decoder_;
    const std::vector<std::filesystem::path> files_;
    const DisplayScale scale_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<std::filesystem::path, std::optional<Prepared>> prepared_;  // nullopt: coming
    platform::WorkerThread thread_;  // last: it ends before the rest goes
};

}  // namespace v270
