#include "command_lines.h"

#include <utility>

namespace v270::mousesim {

std::optional<CommandLine> CommandLines::take(char c) {
    if (c != '\n') {
        // One character beyond the limit is kept: it may be the CR that the LF drops.
        if (tooLong_ || pending_.size() > kMaxLineLength) {
            tooLong_ = true;
            pending_.clear();
        } else {
            pending_ += c;
        }
        return std::nullopt;
    }
    if (!pending_.empty() && pending_.back() == '\r')
        pending_.pop_back();
    CommandLine line{std::exchange(pending_, {}), std::exchange(tooLong_, false)};
    if (line.text.size() > kMaxLineLength) {
        line.text.clear();
        line.tooLong = true;
    }
    return line;
}

}  // namespace v270::mousesim
