#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/message_boxes.h"

namespace v270::test {

// Keeps every message instead of showing it.
class RecordingMessageBoxes : public platform::MessageBoxes {
  public:
    void show(std::u16string_view text) override {
        const std::lock_guard lock(mutex_);
        shown_.emplace_back(text);
    }
    std::vector<std::u16string> shown() const {
        const std::lock_guard lock(mutex_);
        return shown_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::u16string> shown_;
};

}  // namespace v270::test
