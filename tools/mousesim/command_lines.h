#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace v270::mousesim {

// One command line as it came, LF and a CR before it removed. A line longer than
// CommandLines::kMaxLineLength keeps no text, only that it was too long.
struct CommandLine {
    std::string text;
    bool tooLong = false;
};

// Cuts a stream of characters into command lines without holding more than one line's limit,
// whatever the stream: the same rules for standard input and for each control connection.
class CommandLines {
  public:
    static constexpr size_t kMaxLineLength = 64 * 1024;

    // Takes the next character; the line it ends, if it is an LF.
    std::optional<CommandLine> take(char c);

  private:
    std::string pending_;
    bool tooLong_ = false;
};

}  // namespace v270::mousesim
