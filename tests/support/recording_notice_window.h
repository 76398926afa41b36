#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/notice_window.h"

namespace v270::test {

// Keeps every notice instead of showing it, from any thread: its text, with "(cn)" after it when
// it is in the Chinese font.
class RecordingNoticeWindow final : public platform::NoticeWindow {
  public:
    void show(std::u16string_view text, platform::FontChoice font) override {
        std::u16string entry(text);
        if (font == platform::FontChoice::Chinese)
            entry += u" (cn)";
        const std::lock_guard lock(mutex_);
        shown_.push_back(std::move(entry));
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
