#pragma once

#include <optional>
#include <string>

#include "platform/logon_task.h"

namespace v270::test {

// The scheduler's logon task as plain state: what was registered, and a failure to hand out
// for the next change when `failWith` is set.
class FakeLogonTask final : public platform::LogonTask {
  public:
    struct Registration {
        std::u16string program;
        std::u16string arguments;
        bool operator==(const Registration&) const = default;
    };

    bool registered() override { return registration.has_value(); }
    platform::LogonTaskResult add(std::u16string_view program,
                                  std::u16string_view arguments) override {
        if (failWith)
            return {false, *failWith};
        registration = Registration{std::u16string(program), std::u16string(arguments)};
        return {};
    }
    platform::LogonTaskResult remove() override {
        if (failWith)
            return {false, *failWith};
        registration.reset();
        return {};
    }

    std::optional<Registration> registration;
    std::optional<uint32_t> failWith;
};

}  // namespace v270::test
