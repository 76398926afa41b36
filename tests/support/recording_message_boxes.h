#pragma once

#include <string>
#include <vector>

#include "platform/message_boxes.h"
#include "support/recording_list.h"

namespace v270::test {

// Keeps every message instead of showing it.
class RecordingMessageBoxes : public platform::MessageBoxes {
  public:
    void show(std::u16string_view text) override { shown_.add(std::u16string(text)); }
    // Records the question as a message and answers it with `answer`.
    bool ask(std::u16string_view text) override {
        shown_.add(std::u16string(text));
        return answer;
    }
    bool answer = true;
    std::vector<std::u16string> shown() const { return shown_.entries(); }

  private:
    RecordingList<std::u16string> shown_;
};

}  // namespace v270::test
