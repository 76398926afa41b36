#pragma once

#include "platform/file_security.h"

namespace v270::win32 {

// Owners and access lists as the file system keeps them. Wine keeps none: it makes them up from
// a file's Unix mode, with the signed-in user as owner, so every path there is the user's.
class Win32FileSecurity final : public platform::FileSecurity {
  public:
    std::optional<platform::ObjectSecurity> read(std::u16string_view path) override;
    std::u16string resolved(std::u16string_view path) override;
    std::u16string accountName(std::u16string_view account) override;
};

}  // namespace v270::win32
