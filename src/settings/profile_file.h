#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/config_profile.h"
#include "settings/macro.h"

// A profile file: one profile and the macros its buttons play, in one small INI text file that
// users move between computers and share. It names the mouse it is for and its format version:
//
//   [V270Profile]   Format=1, Model=VELKO V270
//   [Profile]       the 21 profile keys of config.ini; a button's macro code 41 + i plays macro i
//                   of this file, not of the macro table
//   [Macros]        macroNum and the records, as a macro file holds them
//
// Unlike config.ini, which is read whatever it holds, a profile file is checked whole: a file
// with a key missing or a value that is not a plain number is refused as damaged, never taken
// in part.
namespace v270 {

inline constexpr std::u16string_view kProfileFileExtension = u"v270profile";
inline constexpr std::u16string_view kProfileFileModel = u"VELKO V270";
inline constexpr int32_t kProfileFileFormat = 1;
// Twelve full macros take about 40 KB; a larger file is not one of ours.
inline constexpr size_t kMaxProfileFileBytes = 64 * 1024;

struct ProfileFile {
    ConfigProfile profile;
    // The macros the buttons play, in the order of the buttons that first play them.
    std::vector<MacroRecord> macros;

    bool operator==(const ProfileFile&) const = default;
};

// Why a profile file cannot be taken.
enum class ProfileFileFault {
    NotAProfileFile,  // no header: another kind of file, or too large to be one
    NewerFormat,      // written by a later version of the program
    OtherModel,       // for another mouse
    Damaged,          // a key missing or a value that cannot be
    NoFreeMacroSlot,  // its macros do not fit beside those in use
};

struct ProfileFileProblem {
    ProfileFileFault fault = ProfileFileFault::Damaged;
    // The model the file names (OtherModel), the key found damaged (Damaged), the number of
    // macros that would not fit (NoFreeMacroSlot).
    std::u16string detail;

    bool operator==(const ProfileFileProblem&) const = default;
};

using ProfileFileReading = std::variant<ProfileFile, ProfileFileProblem>;

// The file of `profile`, with the macros of `table` that its buttons play. A button set to a
// macro that no longer exists does nothing when pressed; it is written as 0, no function, so
// that it cannot name another macro of the file.
ProfileFile profileFileOf(const ConfigProfile& profile, const MacroTable& table);

// The file's text: ASCII, CRLF lines.
std::vector<std::byte> writeProfileFile(const ProfileFile& file);

// The file read and checked whole: a problem, or a profile whose values are within their ranges
// (as config.ini's are held to them) and whose macro codes name macros of the file.
ProfileFileReading readProfileFile(std::span<const std::byte> bytes);

}  // namespace v270
