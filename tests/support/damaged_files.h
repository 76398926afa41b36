#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

// Damaged copies of a settings or layout file, made the ways files on disk go bad: cut short,
// overwritten with noise, or edited by hand into huge or negative numbers, names of 10,000
// characters and line breaks inside values.
namespace v270::test {

struct DamagedFile {
    std::string what;  // how it was damaged, for failure messages
    std::string bytes;
};

// A file's text as UTF-16 units: decoded from UTF-16LE after its byte order mark, otherwise each
// byte widened to one unit, so that damage written in ASCII keeps every other byte as it was.
struct FileText {
    bool utf16 = false;
    std::u16string text;

    static FileText of(std::string_view bytes) {
        FileText file;
        file.utf16 = bytes.starts_with("\xFF\xFE");
        if (file.utf16) {
            for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
                file.text.push_back(
                    static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8));
            }
        } else {
            for (const char c : bytes)
                file.text.push_back(static_cast<unsigned char>(c));
        }
        return file;
    }

    std::string bytes() const {
        std::string out = utf16 ? "\xFF\xFE" : "";
        for (const char16_t unit : text) {
            out.push_back(static_cast<char>(unit & 0xFF));
            if (utf16)
                out.push_back(static_cast<char>(unit >> 8));
        }
        return out;
    }
};

// Splits at LF; a CR before it stays with its line.
inline std::vector<std::u16string> splitAtLineFeeds(std::u16string_view text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(u'\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::u16string joinWithLineFeeds(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text.push_back(u'\n');
        text += lines[i];
    }
    return text;
}

// One way of damaging a line by hand; a line it does not apply to stays as it is.
struct LineDamage {
    const char* what;
    bool lengthens = false;  // adds 10,000 characters: the "every line" copy takes every 16th
    std::function<std::u16string(std::u16string_view line)> apply;
};

inline std::u16string replaceDigitRunsOfValue(std::u16string_view line,
                                              std::u16string_view number) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos)
        return std::u16string(line);
    std::u16string out(line.substr(0, equals + 1));
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    for (size_t i = equals + 1; i < line.size();) {
        if (!isDigit(line[i])) {
            out.push_back(line[i++]);
            continue;
        }
        out += number;
        while (i < line.size() && isDigit(line[i]))
            ++i;
    }
    return out;
}

inline std::u16string insertIntoValue(std::u16string_view line, std::u16string_view inserted) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos)
        return std::u16string(line);
    const size_t at = equals + 1 + (line.size() - equals - 1) / 2;
    return std::u16string(line.substr(0, at)) + std::u16string(inserted) +
           std::u16string(line.substr(at));
}

// A key name, a section name, or the value's first field (a layout entry's name, or a whole
// number) made 10,000 characters long.
inline std::u16string lengthenName(std::u16string_view line) {
    const std::u16string name(10'000, u'N');
    if (line.starts_with(u'[')) {
        return u"[" + name + u"]";
    }
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos)
        return std::u16string(line);
    const size_t comma = line.find(u',', equals);
    const std::u16string_view rest =
        comma == std::u16string_view::npos ? std::u16string_view() : line.substr(comma);
    return std::u16string(line.substr(0, equals + 1)) + name + std::u16string(rest);
}

inline std::u16string lengthenKey(std::u16string_view line) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos || line.starts_with(u'['))
        return std::u16string(line);
    return std::u16string(10'000, u'K') + std::u16string(line.substr(equals));
}

inline const std::vector<LineDamage>& lineDamages() {
    static const std::vector<LineDamage> damages = [] {
        std::vector<LineDamage> list;
        for (const char16_t* number :
             {u"2147483647", u"2147483648", u"4294967296", u"99999999999999999999", u"-1",
              u"-2147483648", u"-99999999999999999999"}) {
            list.push_back({"number", false, [number](std::u16string_view line) {
                                return replaceDigitRunsOfValue(line, number);
                            }});
        }
        list.push_back({"10,000-character name", true, lengthenName});
        list.push_back({"10,000-character key", true, lengthenKey});
        for (const char16_t* lineBreak : {u"\r", u"\n", u"\r\n"}) {
            list.push_back({"line break in value", false, [lineBreak](std::u16string_view line) {
                                return insertIntoValue(line, lineBreak);
                            }});
        }
        return list;
    }();
    return damages;
}

// The file with every line damaged one way (every 16th line for names of 10,000 characters),
// for each way; then single lines damaged, the ways
// taking turns over lines spread through the file; then noise: random files, the file with
// bytes overwritten, and random files behind each byte order mark. The same file gives the same
// set.
inline std::vector<DamagedFile> damagedCopies(std::string_view original) {
    std::vector<DamagedFile> copies;
    const FileText file = FileText::of(original);
    const std::vector<std::u16string> lines = splitAtLineFeeds(file.text);
    const auto& damages = lineDamages();
    const auto withLines = [&](const std::vector<std::u16string>& changed) {
        FileText damaged = file;
        damaged.text = joinWithLineFeeds(changed);
        return damaged.bytes();
    };
    for (size_t d = 0; d < damages.size(); ++d) {
        std::vector<std::u16string> changed = lines;
        for (size_t i = 0; i < changed.size(); i += damages[d].lengthens ? 16u : 1u)
            changed[i] = damages[d].apply(changed[i]);
        copies.push_back({std::string("every line: ") + damages[d].what + " #" + std::to_string(d),
                          withLines(changed)});
    }
    // One turn of the ways over the lines: each way meets a line alone once.
    const size_t singles = damages.size();
    const size_t step = std::max<size_t>(1, lines.size() / singles);
    for (size_t n = 0, i = 1; n < singles && i < lines.size(); ++n, i += step) {
        const LineDamage& damage = damages[n % damages.size()];
        std::vector<std::u16string> changed = lines;
        changed[i] = damage.apply(lines[i]);
        if (changed[i] != lines[i]) {
            copies.push_back({"line " + std::to_string(i + 1) + ": " + damage.what + " #" +
                                  std::to_string(n % damages.size()),
                              withLines(changed)});
        }
    }

    std::mt19937 random(static_cast<uint32_t>(original.size()));
    const auto randomBytes = [&](size_t count) {
        std::string bytes(count, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
        return bytes;
    };
    const auto below = [&](size_t limit) { return limit == 0 ? 0 : random() % limit; };
    for (int n = 0; n < 16; ++n) {
        copies.push_back(
            {"random bytes #" + std::to_string(n), randomBytes(below(2 * original.size() + 1))});
        std::string overwritten(original);
        for (int k = 0; k <= n && !overwritten.empty(); ++k)
            overwritten[below(overwritten.size())] = static_cast<char>(random() & 0xFF);
        copies.push_back({"overwritten bytes #" + std::to_string(n), overwritten});
    }
    for (const char* mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) {
        copies.push_back({"random bytes after a byte order mark",
                          mark + randomBytes(below(original.size() + 1))});
    }
    return copies;
}

// The lengths a file is cut to: every length when V270_CUT_EVERY_BYTE is set (the long run of
// scripts/damaged_files.sh); otherwise every length up to 16 bytes, then about 32 more spread
// over the file with a prime step, so that the cuts fall at every phase of lines and of
// three-digit groups.
inline std::vector<size_t> cutLengths(size_t fileSize) {
    std::vector<size_t> lengths;
    if (std::getenv("V270_CUT_EVERY_BYTE") != nullptr) {
        for (size_t n = 0; n < fileSize; ++n)
            lengths.push_back(n);
        return lengths;
    }
    const auto isPrime = [](size_t n) {
        for (size_t d = 2; d * d <= n; ++d) {
            if (n % d == 0)
                return false;
        }
        return n >= 2;
    };
    size_t step = std::max<size_t>(fileSize / 32, 5);
    while (!isPrime(step))
        ++step;
    for (size_t n = 0; n < fileSize; n += (n < 16 ? 1 : step))
        lengths.push_back(n);
    return lengths;
}

// Runs `check` on the file cut at each of cutLengths, then on each of its damagedCopies; each
// stops at the first failure, which names the damage.
template <typename Check>
void checkEachCut(const std::string& original, Check&& check) {
    ASSERT_FALSE(original.empty());
    for (const size_t size : cutLengths(original.size())) {
        SCOPED_TRACE("cut to " + std::to_string(size) + " bytes");
        check(original.substr(0, size));
        if (::testing::Test::HasFailure())
            return;
    }
}

template <typename Check>
void checkEachDamagedCopy(const std::string& original, Check&& check) {
    for (const DamagedFile& damaged : damagedCopies(original)) {
        SCOPED_TRACE(damaged.what);
        check(damaged.bytes);
        if (::testing::Test::HasFailure())
            return;
    }
}

// A folder in memory when the system has one: sweeps make thousands of atomic replaces, each
// flushed to disk, and a RAM file system makes the flush free.
inline std::filesystem::path sweepFolderParent() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace v270::test
