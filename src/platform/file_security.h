#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace v270::platform {

// The rights over a file or folder by which someone could change what it holds, or who may.
enum FileRight : uint32_t {
    kWriteRight = 1u << 0,              // a file's data; a new file in a folder
    kAppendRight = 1u << 1,             // data at a file's end; a new folder in a folder
    kDeleteRight = 1u << 2,             // deleting or renaming the object itself
    kDeleteChildRight = 1u << 3,        // deleting or renaming anything in a folder
    kChangePermissionsRight = 1u << 4,  // rewriting its access list
    kTakeOwnershipRight = 1u << 5,      // making oneself its owner
};

// One entry of an access list, its generic rights already spelt out as the rights above.
struct AccessEntry {
    std::u16string account;    // the account's security identifier: "S-1-5-32-544"
    uint32_t rights = 0;       // FileRight bits
    bool allows = true;        // false: the entry denies the rights
    bool inheritOnly = false;  // it is for what a folder will hold, not for the folder

    bool operator==(const AccessEntry&) const = default;
};

// Who owns a file or folder, and who may do what with it.
struct ObjectSecurity {
    std::u16string owner;  // a security identifier; the owner may always rewrite the list
    // No list at all lets everyone do everything; an empty list lets nobody do anything.
    std::optional<std::vector<AccessEntry>> entries;

    bool operator==(const ObjectSecurity&) const = default;
};

// The file system's owners and access lists, read for paths of the system's own form
// ("C:\Program Files\V270\V270.exe").
class FileSecurity {
  public:
    virtual ~FileSecurity() = default;

    // The owner and access list of the object at `path` itself: a link's own, not those of
    // what it leads to. Nothing when they cannot be read.
    virtual std::optional<ObjectSecurity> read(std::u16string_view path) = 0;
    // `path` with every link on it followed; `path` itself when it cannot be resolved.
    virtual std::u16string resolved(std::u16string_view path) = 0;
    // An account's name for a message ("BUILTIN\Users"); its identifier when it has none.
    virtual std::u16string accountName(std::u16string_view account) = 0;
};

}  // namespace v270::platform
