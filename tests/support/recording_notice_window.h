#pragma once

#include <string>
#include <vector>

#include "platform/notice_window.h"
#include "support/recording_list.h"

namespace v270::test {

// Keeps every notice instead of showing it, from any thread: its text, with "(cn)" after it when
// it is in the Chinese font.
class RecordingNoticeWindow final : public platform::NoticeWindow {
  public:
    void show(std::u16string_view text, platform::FontChoice font) override {
        std::u16string entry(text);
        if (font == platform::FontChoice::Chinese)
            entry += u" (cn)";
        shown_.add(std::move(entry));
    }
    std::vector<std::u16string> shown() const { return shown_.entries(); }

  private:
    RecordingList<std::u16string> shown_;
};

}  // namespace v270::test
