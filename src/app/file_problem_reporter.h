#pragma once

#include <mutex>
#include <thread>
#include <vector>

#include "platform/message_boxes.h"
#include "settings/ini_files.h"
#include "settings/profile_store.h"
#include "ui/profile_notice.h"

namespace v270 {

// Tells the user of the settings files that could not be read or saved, once per kind of
// failure (the same file, read or saved, for the same reason), in the interface language (in both
// while it could not be read): with a message box when the window's thread met it, and with the
// on-screen notice when the action executor did, for a mouse button, while a game may be in
// front.
class FileProblemReporter final : public FileProblemListener {
  public:
    // Made on the window's thread.
    FileProblemReporter(const ProfileStore& profiles, platform::MessageBoxes& messages,
                        ProfileNotice& notice)
        : profiles_(profiles), messages_(messages), notice_(notice) {}

    void fileProblem(const FileProblem& problem) override;

  private:
    const ProfileStore& profiles_;
    platform::MessageBoxes& messages_;
    ProfileNotice& notice_;
    const std::thread::id windowThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::vector<FileProblem> told_;
};

}  // namespace v270
