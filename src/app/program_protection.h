#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_security.h"

namespace v270 {

// A file or folder on the program's path through which someone other than the administrators
// could put another program in its place.
struct ProgramExposure {
    std::u16string object;   // as its path names it
    std::u16string account;  // who could; empty when the object's rights could not be read

    bool operator==(const ProgramExposure&) const = default;
};

// `path`, then each folder above it up to its root: "C:\A\B.exe", "C:\A", "C:\". A share
// ("\\server\share\") and a drive behind "\\?\" are roots too.
std::vector<std::u16string> pathAndFoldersAbove(std::u16string_view path);

// The first object through which an account other than Administrators, SYSTEM and
// TrustedInstaller could replace the program at `program`, along the path as named and, when
// links lead elsewhere, along the path they lead to; nothing when there is none. Such an
// account could write, delete or rename the file; write into, delete or rename its folder;
// delete or rename a folder above, or anything in it; or, for any of them, rewrite the access
// list or take ownership, which an owner may always do. A folder above may let others add to
// it: the root of a system drive does. An entry that denies is not weighed against one that
// allows, as whether it applies depends on groups no list shows; rights that cannot be read
// count as exposed.
std::optional<ProgramExposure> findProgramExposure(platform::FileSecurity& security,
                                                   std::u16string_view program);

// The message that refuses Start with Windows because of `exposure`; `accountName` names its
// account for people.
std::u16string startWithWindowsRefusal(const ProgramExposure& exposure,
                                       std::u16string_view accountName, bool english);

}  // namespace v270
