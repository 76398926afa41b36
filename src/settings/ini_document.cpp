#include "settings/ini_document.h"

#include "settings/text.h"

namespace v270 {

namespace {

// White space as the profile functions see it: ASCII white space and ^Z, the old end-of-file
// mark. Wider Unicode spaces (no-break space, ideographic space) are part of names and values.
bool isIniSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

char16_t foldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c;
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

std::u16string_view trim(std::u16string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isIniSpace(text[begin]))
        ++begin;
    while (end > begin && isIniSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool holdsLineBreakOrNul(std::u16string_view text) {
    return text.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

constexpr unsigned char kUtf8Bom[] = {0xEF, 0xBB, 0xBF};

// Splits at CRLF, LF or CR, each one line end, so that blank lines stay lines.
template <typename Unit, typename OnLine>
void splitLines(std::basic_string_view<Unit> text, OnLine onLine) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != Unit('\r') && text[end] != Unit('\n'))
            ++end;
        onLine(text.substr(start, end - start));
        if (end < text.size() && text[end] == Unit('\r') && end + 1 < text.size() &&
            text[end + 1] == Unit('\n')) {
            ++end;
        }
        start = end + 1;
    }
}

void appendUtf16(std::vector<std::byte>& out, std::u16string_view text, bool bigEndian) {
    for (char16_t unit : text) {
        const auto low = static_cast<std::byte>(unit & 0xFF);
        const auto high = static_cast<std::byte>(unit >> 8);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
}

}  // namespace

IniDocument::Line IniDocument::classify(std::u16string text) {
    Line line;
    line.text = std::move(text);
    const std::u16string_view view = line.text;
    size_t begin = 0, end = view.size();
    while (begin < end && isIniSpace(view[begin]))
        ++begin;
    while (end > begin && isIniSpace(view[end - 1]))
        --end;
    if (begin == end) {
        line.kind = LineKind::Blank;
        return line;
    }
    if (view[begin] == u'[') {
        const size_t close = view.find(u']', begin + 1);
        if (close != std::u16string_view::npos && close < end) {
            line.kind = LineKind::Section;
            line.nameBegin = begin + 1;
            line.nameEnd = close;
            return line;
        }
    }
    const size_t equals = view.find(u'=', begin);
    if (equals == std::u16string_view::npos || equals >= end) {
        line.kind = LineKind::NameOnly;
        line.nameBegin = begin;
        line.nameEnd = end;
        return line;
    }
    line.kind = LineKind::Key;
    line.nameBegin = begin;
    line.nameEnd = equals;
    while (line.nameEnd > line.nameBegin && isIniSpace(view[line.nameEnd - 1]))
        --line.nameEnd;
    line.valueBegin = equals + 1;
    while (line.valueBegin < end && isIniSpace(view[line.valueBegin]))
        ++line.valueBegin;
    line.valueEnd = end;
    return line;
}

IniDocument IniDocument::parse(std::span<const std::byte> bytes) {
    IniDocument document;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size >= 2 &&
        ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        const bool bigEndian = data[0] == 0xFE;
        document.encoding_ = bigEndian ? Encoding::Utf16BeWithBom : Encoding::Utf16LeWithBom;
        std::u16string units;
        units.reserve((size - 2) / 2);
        for (size_t i = 2; i + 1 < size; i += 2) {  // an odd last byte is dropped
            const auto first = static_cast<char16_t>(data[i]);
            const auto second = static_cast<char16_t>(data[i + 1]);
            units.push_back(bigEndian ? static_cast<char16_t>(first << 8 | second)
                                      : static_cast<char16_t>(second << 8 | first));
        }
        splitLines<char16_t>(units, [&](std::u16string_view line) {
            document.lines_.push_back(classify(std::u16string(line)));
        });
        return document;
    }
    size_t start = 0;
    if (size >= 3 && data[0] == kUtf8Bom[0] && data[1] == kUtf8Bom[1] && data[2] == kUtf8Bom[2]) {
        document.encoding_ = Encoding::Utf8WithBom;
        start = 3;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + start, size - start);
    splitLines<char>(text, [&](std::string_view raw) {
        Line line = classify(utf8ToUtf16(raw));
        line.rawUtf8 = std::string(raw);
        line.hasRaw = true;
        document.lines_.push_back(std::move(line));
    });
    return document;
}

std::u16string_view IniDocument::nameOf(const Line& line) const {
    return trim(
        std::u16string_view(line.text).substr(line.nameBegin, line.nameEnd - line.nameBegin));
}

std::optional<ptrdiff_t> IniDocument::findSection(std::u16string_view section) const {
    const std::u16string_view wanted = untilNul(trim(section));
    if (wanted.empty())
        return -1;  // the lines before the first header
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section &&
            equalsIgnoringCase(untilNul(nameOf(lines_[i])), wanted)) {
            return static_cast<ptrdiff_t>(i);
        }
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::findKey(ptrdiff_t sectionLine, std::u16string_view key) const {
    const std::u16string_view wanted = untilNul(trim(key));
    for (size_t i = static_cast<size_t>(sectionLine + 1); i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section)
            break;
        if ((line.kind == LineKind::Key || line.kind == LineKind::NameOnly) &&
            equalsIgnoringCase(untilNul(nameOf(line)), wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::u16string IniDocument::read(std::u16string_view section, std::u16string_view key,
                                 size_t bufferChars) const {
    if (bufferChars == 0)
        return {};
    const auto sectionLine = findSection(section);
    if (!sectionLine)
        return {};
    const auto keyLine = findKey(*sectionLine, key);
    if (!keyLine)
        return {};
    const Line& line = lines_[*keyLine];
    if (line.kind == LineKind::NameOnly)
        return {};
    std::u16string_view value = untilNul(
        std::u16string_view(line.text).substr(line.valueBegin, line.valueEnd - line.valueBegin));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::u16string(value.substr(0, bufferChars - 1));
}

bool IniDocument::write(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value) {
    const std::u16string_view sectionName = trim(section);
    const std::u16string_view keyName = trim(key);
    if (sectionName.empty() || keyName.empty() || holdsLineBreakOrNul(sectionName) ||
        holdsLineBreakOrNul(keyName) || sectionName.find(u']') != std::u16string_view::npos ||
        keyName.find(u'=') != std::u16string_view::npos || keyName.front() == u'[') {
        return false;
    }
    size_t valueStart = 0;
    while (valueStart < value.size() && isIniSpace(value[valueStart]))
        ++valueStart;
    value = value.substr(valueStart);
    value = value.substr(0, value.find_first_of(std::u16string_view(u"\r\n\0", 3)));

    std::u16string keyLineText;
    keyLineText.append(keyName).append(u"=").append(value);

    const auto sectionLine = findSection(sectionName);
    if (!sectionLine) {
        if (!lines_.empty() && lines_.back().kind != LineKind::Blank) {
            lines_.push_back(classify(u""));
        }
        lines_.push_back(classify(u"[" + std::u16string(sectionName) + u"]"));
        lines_.push_back(classify(std::move(keyLineText)));
        modified_ = true;
        return true;
    }
    if (const auto keyLine = findKey(*sectionLine, keyName)) {
        Line& line = lines_[*keyLine];
        const std::u16string_view current(line.text);
        if (line.kind == LineKind::NameOnly) {
            std::u16string text(current.substr(0, line.nameEnd));
            text.append(u"=").append(value);
            line = classify(std::move(text));
            modified_ = true;
            return true;
        }
        if (current.substr(line.valueBegin, line.valueEnd - line.valueBegin) == value)
            return true;
        std::u16string text(current.substr(0, line.valueBegin));
        text.append(value);
        line = classify(std::move(text));
        modified_ = true;
        return true;
    }
    size_t insertAt = static_cast<size_t>(*sectionLine + 1);
    for (size_t i = insertAt; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
        if (lines_[i].kind == LineKind::Key)
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(insertAt),
                  classify(std::move(keyLineText)));
    modified_ = true;
    return true;
}

bool IniDocument::remove(std::u16string_view section, std::u16string_view key) {
    const auto sectionLine = findSection(section);
    if (!sectionLine)
        return false;
    const auto keyLine = findKey(*sectionLine, key);
    if (!keyLine)
        return false;
    lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(*keyLine));
    modified_ = true;
    return true;
}

std::vector<std::byte> IniDocument::serialize() const {
    std::vector<std::byte> out;
    const bool utf16 =
        encoding_ == Encoding::Utf16LeWithBom || encoding_ == Encoding::Utf16BeWithBom;
    const bool bigEndian = encoding_ == Encoding::Utf16BeWithBom;
    if (utf16) {
        appendUtf16(out, u"\xFEFF", bigEndian);
    } else if (encoding_ == Encoding::Utf8WithBom) {
        for (unsigned char b : kUtf8Bom)
            out.push_back(static_cast<std::byte>(b));
    }
    for (const Line& line : lines_) {
        if (utf16) {
            appendUtf16(out, line.text, bigEndian);
            appendUtf16(out, u"\r\n", bigEndian);
            continue;
        }
        const std::string bytes = line.hasRaw ? line.rawUtf8 : utf16ToUtf8(line.text);
        for (char c : bytes)
            out.push_back(static_cast<std::byte>(c));
        out.push_back(std::byte{'\r'});
        out.push_back(std::byte{'\n'});
    }
    return out;
}

}  // namespace v270
