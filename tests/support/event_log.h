#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "support/recording_list.h"

namespace v270::test {

// Report bytes as upper-case hex pairs separated by spaces: "07 09 01 A0".
inline std::string hex(std::span<const uint8_t> bytes) {
    std::string text;
    for (const uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += pair;
    }
    return text;
}

// One ordered record of what the fakes saw, from any thread.
class EventLog : public RecordingList<std::string> {
  public:
    std::vector<std::string> events() const { return entries(); }
};

}  // namespace v270::test
