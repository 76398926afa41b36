#pragma once

#include <map>
#include <string>

#include "platform/file_security.h"

namespace v270::test {

// Owners and access lists as plain state: objects it does not hold cannot be read.
class FakeFileSecurity final : public platform::FileSecurity {
  public:
    static constexpr std::u16string_view kAdministrators = u"S-1-5-32-544";
    static constexpr std::u16string_view kSystem = u"S-1-5-18";
    static constexpr std::u16string_view kUsers = u"S-1-5-32-545";
    static constexpr std::u16string_view kCreatorOwner = u"S-1-3-0";

    // As Windows protects C:\Program Files: the administrators and SYSTEM may do anything,
    // users read, and whoever creates something there owns it.
    static platform::ObjectSecurity protectedObject() {
        constexpr uint32_t all = 0x3F;
        return {
            std::u16string(kAdministrators),
            std::vector<platform::AccessEntry>{{std::u16string(kAdministrators), all},
                                               {std::u16string(kSystem), all},
                                               {std::u16string(kUsers), 0},
                                               {std::u16string(kCreatorOwner), all, true, true}}};
    }

    std::optional<platform::ObjectSecurity> read(std::u16string_view path) override {
        const auto found = objects.find(std::u16string(path));
        return found != objects.end() ? std::optional(found->second) : std::nullopt;
    }
    std::u16string resolved(std::u16string_view path) override {
        const auto found = links.find(std::u16string(path));
        return found != links.end() ? found->second : std::u16string(path);
    }
    std::u16string accountName(std::u16string_view account) override {
        return account == kUsers ? u"BUILTIN\\Users" : std::u16string(account);
    }

    std::map<std::u16string, platform::ObjectSecurity> objects;
    std::map<std::u16string, std::u16string> links;  // a path, and where its links lead
};

}  // namespace v270::test
