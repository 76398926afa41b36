#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace v270::platform {

// What the open or save file dialog shows. The read-only check box is always hidden.
struct FileDialogRequest {
    // Pairs of a description and its patterns, each part ended by '|', the list by a second
    // '|': "All Files(*.ini)|*.ini||".
    std::u16string filter{};
    // Added to a typed name without one; empty for none.
    std::u16string defaultExtension{};
    std::filesystem::path initialFolder{};
    // Save: ask before an existing file is replaced.
    bool overwritePrompt = false;
    // Open: the read-only flag starts set (the box is hidden, so the user never sees it).
    bool readOnly = false;
};

// The system's standard file dialogs, owned by the main window.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;

    // The file the user confirmed, or nullopt when the dialog was cancelled.
    virtual std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) = 0;
};

}  // namespace v270::platform
