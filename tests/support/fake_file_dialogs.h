#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/file_dialogs.h"

namespace v270::test {

// Answers every dialog with `answer` (nullopt: cancelled) and keeps the requests.
class FakeFileDialogs final : public platform::FileDialogs {
  public:
    std::optional<std::filesystem::path> openFile(
        const platform::FileDialogRequest& request) override {
        opened.push_back(request);
        return answer;
    }
    std::optional<std::filesystem::path> saveFile(
        const platform::FileDialogRequest& request) override {
        saved.push_back(request);
        return answer;
    }

    std::optional<std::filesystem::path> answer;
    std::vector<platform::FileDialogRequest> opened;
    std::vector<platform::FileDialogRequest> saved;
};

}  // namespace v270::test
