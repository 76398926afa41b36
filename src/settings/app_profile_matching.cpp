#include <limits>

#include "settings/app_profiles.h"

namespace v270 {

namespace {

// Windows compares file names without regard to case through a table of upper-case letters; this
// folds the scripts with case that file names are written in: Latin, Greek and Cyrillic.
char16_t foldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) ||     // Latin-1 capitals, without ×
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||  // Greek capitals
        (c >= 0x410 && c <= 0x42F)) {                // Cyrillic А..Я
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F)  // Cyrillic Ѐ..Џ
        return static_cast<char16_t>(c + 0x50);
    if (c == 0x178)  // Ÿ
        return 0xFF;
    if (c >= 0x100 && c <= 0x17E) {
        // Latin Extended-A pairs each capital with the small letter after it; the pairs start
        // on even code points, but for the runs U+0139..U+0148 and U+0179..U+017E.
        const bool oddRun = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        const bool capital = oddRun ? c % 2 == 1 : c % 2 == 0;
        const bool unpaired = c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149;
        return capital && !unpaired ? static_cast<char16_t>(c + 1) : c;
    }
    return c;
}

bool isSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// "C:\..." or "\\server\share...": a path that names the same file from any current folder.
bool isAbsolute(std::u16string_view path) {
    const bool driveLetter = path.size() >= 3 && ((path[0] >= u'A' && path[0] <= u'Z') ||
                                                  (path[0] >= u'a' && path[0] <= u'z'));
    if (driveLetter && path[1] == u':' && isSeparator(path[2]))
        return true;
    return path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) &&
           !isSeparator(path[2]);
}

std::u16string_view fileNameOf(std::u16string_view path) {
    const size_t last = path.find_last_of(u"\\/");
    return last == std::u16string_view::npos ? path : path.substr(last + 1);
}

// How specific a rule is when it covers the path: the higher, the more it says. A full path says
// all; a folder says more the deeper it is; a file name says least. Nullopt when it does not
// cover the path.
std::optional<size_t> specificity(const AppProfileRule& rule, std::u16string_view path) {
    constexpr size_t kName = 0;
    constexpr size_t kFolder = 1;  // plus the folder's length
    const size_t kPath = std::numeric_limits<size_t>::max();
    switch (rule.match) {
        case AppMatch::Name: {
            const std::u16string name = normalisedApplicationPath(rule.target);
            if (name.empty() || name.find(u'\\') != std::u16string::npos)
                return std::nullopt;
            return normalisedApplicationPath(fileNameOf(path)) == name ? std::optional(kName)
                                                                       : std::nullopt;
        }
        case AppMatch::Path:
            if (!isAbsolute(rule.target) || !isAbsolute(path))
                return std::nullopt;
            return normalisedApplicationPath(rule.target) == normalisedApplicationPath(path)
                       ? std::optional(kPath)
                       : std::nullopt;
        case AppMatch::Folder: {
            if (!isAbsolute(rule.target) || !isAbsolute(path))
                return std::nullopt;
            const std::u16string folder = normalisedApplicationPath(rule.target) + u'\\';
            const std::u16string file = normalisedApplicationPath(path);
            if (file.size() <= folder.size() || !file.starts_with(folder))
                return std::nullopt;
            return kFolder + folder.size();
        }
    }
    return std::nullopt;
}

}  // namespace

std::u16string normalisedApplicationPath(std::u16string_view path) {
    std::u16string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const char16_t c = path[i];
        if (isSeparator(c)) {
            if (i >= 2 && !out.empty() && out.back() == u'\\')
                continue;
            out.push_back(u'\\');
        } else {
            out.push_back(foldCase(c));
        }
    }
    while (out.size() > 2 && out.back() == u'\\')
        out.pop_back();
    return out;
}

std::optional<int32_t> profileForApplication(const AppProfileSettings& settings,
                                             std::u16string_view executablePath) {
    if (executablePath.empty())
        return std::nullopt;
    std::optional<int32_t> profile;
    size_t best = 0;
    for (const AppProfileRule& rule : settings.rules) {
        const std::optional<size_t> rank = specificity(rule, executablePath);
        // The first of equally specific rules wins: the order of the list decides.
        if (rank && (!profile || *rank > best)) {
            profile = rule.profile;
            best = *rank;
        }
    }
    return profile;
}

}  // namespace v270
