#include "platform/system_actions.h"

namespace v270::platform {

namespace {

// There is no Windows shell or session to ask natively; tools that run the logic on Linux get
// actions that do nothing.
class NoSystemActions : public SystemActions {
  public:
    void openComputerFolder() override {}
    void startProgram(const std::filesystem::path&) override {}
    void lockWorkStation() override {}
    std::filesystem::path systemFolder() const override { return "/usr/bin"; }
};

}  // namespace

std::unique_ptr<SystemActions> createSystemActions() {
    return std::make_unique<NoSystemActions>();
}

}  // namespace v270::platform
