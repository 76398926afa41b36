#pragma once

#include <memory>
#include <mutex>
#include <utility>

#include "device/report_channel.h"

namespace v270 {

// The mouse's two vendor interfaces as the last search left them. Each is published whole,
// capabilities with device, so a thread that sees a new interface also sees its lengths. A
// thread keeps the interface it took for as long as it uses it: a later search that replaces
// it closes it only when the last user lets go, so a read blocked on it is never cut off.
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

    // The replaced interface is let go after the lock, since closing it may take a while.
    void publishInput(std::shared_ptr<InputChannel> channel) {
        std::shared_ptr<InputChannel> replaced;
        const std::lock_guard lock(mutex_);
        replaced = std::exchange(input_, std::move(channel));
    }
    void publishFeature(std::shared_ptr<FeatureChannel> channel) {
        std::shared_ptr<FeatureChannel> replaced;
        const std::lock_guard lock(mutex_);
        replaced = std::exchange(feature_, std::move(channel));
    }

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<InputChannel> input_;
    std::shared_ptr<FeatureChannel> feature_;
};

}  // namespace v270
