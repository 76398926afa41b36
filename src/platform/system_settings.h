#pragma once

#include <cstdint>
#include <optional>

namespace v270::platform {

// The two Windows settings the program applies from a profile. Both are changed persistently;
// the pointer speed change is also announced to the other programs.
class SystemSettings {
  public:
    virtual ~SystemSettings() = default;

    // The pointer speed (1..20), or nullopt when it cannot be read.
    virtual std::optional<int32_t> pointerSpeed() = 0;
    virtual void setPointerSpeed(int32_t speed) = 0;

    // The lines one wheel notch scrolls, or nullopt when they cannot be read.
    virtual std::optional<uint32_t> wheelScrollLines() = 0;
    virtual void setWheelScrollLines(uint32_t lines) = 0;
};

}  // namespace v270::platform
