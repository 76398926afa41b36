#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <utility>

#include "device/report_channel.h"

namespace v270 {

// The mouse's two vendor interfaces as the last search left them. Each is published whole,
// listing with device, so a thread that sees a new interface also sees its lengths. A thread
// keeps the interface it took for as long as it uses it: a later search that replaces it closes
// it only when the last user lets go, so a read blocked on it is never cut off.
class MouseInterfaces {
  public:
    std::shared_ptr<InputChannel> input() const {
        const std::lock_guard lock(mutex_);
        return input_;
    }
    std::shared_ptr<FeatureChannel> feature() const {
        const std::lock_guard lock(mutex_);
        return feature_;
    }

    // Sleeps until an input interface other than `current` is published, then returns it; null
    // when `stop` came first. The reader waits here while it has nothing it can read.
    std::shared_ptr<InputChannel> waitForInputOtherThan(const InputChannel* current,
                                                        std::stop_token stop) const {
        std::unique_lock lock(mutex_);
        published_.wait(lock, stop, [&] { return input_ != nullptr && input_.get() != current; });
        return stop.stop_requested() ? nullptr : input_;
    }

    // The replaced interface is let go after the lock, since closing it may take a while.
    void publishInput(std::shared_ptr<InputChannel> channel) {
        std::shared_ptr<InputChannel> replaced;
        {
            const std::lock_guard lock(mutex_);
            replaced = std::exchange(input_, std::move(channel));
        }
        published_.notify_all();
    }
    void publishFeature(std::shared_ptr<FeatureChannel> channel) {
        std::shared_ptr<FeatureChannel> replaced;
        const std::lock_guard lock(mutex_);
        replaced = std::exchange(feature_, std::move(channel));
    }

    // The mouse went, or the system asks for its handles: both interfaces are withdrawn and
    // closed before this returns, a read in progress ended and a send in progress finished.
    void closeAll() {
        std::shared_ptr<InputChannel> input;
        std::shared_ptr<FeatureChannel> feature;
        {
            const std::lock_guard lock(mutex_);
            input = std::exchange(input_, nullptr);
            feature = std::exchange(feature_, nullptr);
        }
        if (input)
            input->close();
        if (feature)
            feature->close();
    }

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable_any published_;
    std::shared_ptr<InputChannel> input_;
    std::shared_ptr<FeatureChannel> feature_;
};

}  // namespace v270
