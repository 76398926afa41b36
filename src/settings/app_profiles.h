#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_files.h"

namespace v270 {

// How a rule names the applications it covers.
enum class AppMatch {
    Name,    // the executable's file name, "game.exe"
    Path,    // the executable's full path
    Folder,  // every executable under a folder, at any depth: a game started by its launcher
};

// "When this application comes to the front, use this profile."
struct AppProfileRule {
    AppMatch match = AppMatch::Name;
    std::u16string target;
    // 1..5, or kPauseHostFunctions: while the application is in front, the buttons' host
    // functions that act on the PC (keys, clicks, macros, program starts) do nothing.
    int32_t profile = 1;
    static constexpr int32_t kPauseHostFunctions = -1;

    bool operator==(const AppProfileRule&) const = default;
};

// The per-application profiles, kept in their own section of config.ini.
struct AppProfileSettings {
    static constexpr size_t kMaxRules = 64;
    // No profile that would be returned to: an application without a rule keeps the current one.
    static constexpr int32_t kStay = 0;

    bool enabled = false;
    int32_t fallbackProfile = kStay;  // kStay or 1..5
    std::vector<AppProfileRule> rules;

    bool operator==(const AppProfileSettings&) const = default;
};

inline constexpr std::u16string_view kAppProfilesSection = u"AppProfiles";

// The profile (or kPauseHostFunctions) of the rule that covers the executable at `executablePath`,
// the most specific one when several do (a full path before a folder, a deeper folder before its
// parent, a folder before a file name); nullopt when none does. Case does not matter, nor / for \.
std::optional<int32_t> profileForApplication(const AppProfileSettings& settings,
                                             std::u16string_view executablePath);

// One spelling for every way of writing a path or a name: folded case, \ for /, one separator
// between components (the two of a network path kept), none at the end.
std::u16string normalisedApplicationPath(std::u16string_view path);

// What a save keeps and a load gives back: at most kMaxRules rules, each with a profile of 1..5
// and a target that is not empty, trimmed of blanks and cut at a line break as a line of the
// file would cut it; any other fallback than 1..5 is kStay.
AppProfileSettings storable(const AppProfileSettings& settings);

// The section as stored; a missing or damaged section gives the feature off and no rules, and a
// damaged rule is left out.
AppProfileSettings appProfilesOf(const IniDocument& config);
AppProfileSettings loadAppProfiles(const IniFiles& files, const std::filesystem::path& configFile);
// Rewrites the section alone, with what storable() keeps; every other section and line of the
// file stays as it is. False when the file could not be written.
bool saveAppProfiles(IniFiles& files, const std::filesystem::path& configFile,
                     const AppProfileSettings& settings);

}  // namespace v270
