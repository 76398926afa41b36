#pragma once

#include <cstdint>

namespace v270 {

// The settings actions of the entries common to every page: apply, and entries 14 to 18.
class SettingsCommands {
  public:
    virtual ~SettingsCommands() = default;

    virtual void apply() = 0;
    virtual void importProfile() = 0;
    virtual void exportProfile() = 0;
    virtual void reset() = 0;
    // 1 switches the interface to English, 0 to Chinese.
    virtual void switchLanguage(int32_t language) = 0;
};

}  // namespace v270
