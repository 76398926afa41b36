#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/text.h"

// Section and key names as the settings-file reader compares them, and a rough list of the names
// a file holds, for targets that check which values a write leaves alone.
namespace v270::fuzz {

inline bool isIniSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

inline std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isIniSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isIniSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A name as lookups compare it: without the spaces around it, up to a NUL, ASCII letters folded.
inline std::u16string normalised(std::u16string_view name) {
    std::u16string out(untilNul(trimmed(name)));
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - (u'a' - u'A'));
    }
    return out;
}

using NamePair = std::pair<std::u16string, std::u16string>;

// The section and key of every line of `text` read as UTF-8, at most `limit` of them. Only a
// guide to what to read: the reader's own rules decide what the names mean.
inline std::vector<NamePair> namesIn(std::string_view text, size_t limit) {
    std::vector<NamePair> pairs;
    std::u16string section;
    size_t start = 0;
    while (start < text.size() && pairs.size() < limit) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::u16string line = utf8ToUtf16(text.substr(start, end - start));
        const std::u16string_view view = trimmed(line);
        if (!view.empty() && view.front() == u'[') {
            section = std::u16string(view.substr(1, view.find(u']') - 1));
        } else if (!view.empty()) {
            pairs.emplace_back(section, std::u16string(view.substr(0, view.find(u'='))));
        }
        start = end + 1;
    }
    return pairs;
}

}  // namespace v270::fuzz
