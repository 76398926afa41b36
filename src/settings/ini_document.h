#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace v270 {

// One settings file in memory, read and written with the semantics of the Windows profile
// functions. Every line is kept as it stands, so that writing a value changes only the line
// that holds it: blank lines, comments, spacing and the order of lines stay.
//
// Reading: section and key names compare case-insensitively (ASCII letters); white space around
// names and values is not part of them; a value wrapped in a matching pair of quotes loses them;
// only the first section of a name and the first key of a name in it count. A line that is
// neither a section header nor holds an equals sign (a comment, a stray word) names a key with no
// value: it reads as empty and hides later keys of the same name, as it does for the Windows
// functions.
class IniDocument {
  public:
    enum class Encoding { Utf8, Utf8WithBom, Utf16LeWithBom, Utf16BeWithBom };

    // An empty document, written as UTF-8 without a byte order mark (plain ASCII for ASCII text).
    IniDocument() = default;

    // Never fails: a UTF-16 file needs its byte order mark, anything else is read as UTF-8, with
    // each byte of an invalid sequence read as U+FFFD.
    static IniDocument parse(std::span<const std::byte> bytes);

    // The value as GetPrivateProfileStringW returns it into a buffer of `bufferChars` UTF-16
    // units: at most bufferChars - 1 of them; empty when the section or key is missing.
    std::u16string read(std::u16string_view section, std::u16string_view key,
                        size_t bufferChars) const;

    // Sets a value where it stands, or appends the key after the last key of its section, or
    // the section at the end. Leading white space of the value is dropped, and the value ends at
    // its first line break or NUL, so that no write can add lines of its own. Returns false and
    // changes nothing for a section or key name that a file line could not hold.
    bool write(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // Removes the line of the key that reads see (a later line of the same name then shows
    // through). Returns false, changing nothing, when the section or the key is missing.
    bool remove(std::u16string_view section, std::u16string_view key);

    // The file's bytes in its encoding, every line ended with CRLF. Lines that no write touched
    // keep their bytes.
    std::vector<std::byte> serialize() const;

    Encoding encoding() const { return encoding_; }
    bool modified() const { return modified_; }
    size_t lineCount() const { return lines_.size(); }

  private:
    enum class LineKind { Blank, Section, Key, NameOnly };
    struct Line {
        std::u16string text;
        std::string rawUtf8;  // the line's bytes as read from a UTF-8 file, until it is rewritten
        bool hasRaw = false;
        LineKind kind = LineKind::Blank;
        size_t nameBegin = 0, nameEnd = 0;    // section or key name
        size_t valueBegin = 0, valueEnd = 0;  // key value
    };

    static Line classify(std::u16string text);
    std::u16string_view nameOf(const Line& line) const;
    // Index of the section header that a lookup uses, or -1 for the lines before the first
    // header (the unnamed section); nullopt when the section is missing.
    std::optional<ptrdiff_t> findSection(std::u16string_view section) const;
    std::optional<size_t> findKey(ptrdiff_t sectionLine, std::u16string_view key) const;

    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    bool modified_ = false;
};

}  // namespace v270
