#pragma once

#include "platform/system_settings.h"

namespace v270::win32 {

// Pointer speed and wheel lines through SystemParametersInfoW.
class Win32SystemSettings final : public platform::SystemSettings {
  public:
    std::optional<int32_t> pointerSpeed() override;
    void setPointerSpeed(int32_t speed) override;
    std::optional<uint32_t> wheelScrollLines() override;
    void setWheelScrollLines(uint32_t lines) override;
};

}  // namespace v270::win32
