#pragma once

#include <cstdint>

namespace v270 {

// What the action executor and the window's actions ask of the device link.
class DeviceCommands {
  public:
    virtual ~DeviceCommands() = default;

    // Writes the working copy of the current profile to the mouse and to Windows and saves it.
    virtual void ApplySettings() = 0;

    // The apply of a switch that a rule or the command line makes while the user is elsewhere,
    // typically in a game: as ApplySettings, but a driver that works stays working, with no
    // start prompt, so that the next press performs its function instead of being taken for the
    // start signal (and the prompt, out of sight, never seen). A link without a prompt applies.
    virtual void applyKeepingDriverWorking() { ApplySettings(); }

    // The DPI change of a button whose dpiStep is `step` (2 cycle, +1 up, -1 down): the new level,
    // its DPI and LED report, a repaint and the saved level.
    virtual void changeDpiLevel(int32_t step) = 0;

    // LED on/off: switches to LED mode 3 and back, with a DPI and LED report and a repaint.
    virtual void toggleLed() = 0;

    // The dpiStep that the last ApplySettings derived for slot index 0..5.
    virtual int32_t dpiStep(int slotIndex) const = 0;

    // Whether the mouse is there to take an apply; a program waiting for it saves the profile
    // all the same, and the mouse gets it when it arrives.
    virtual bool mouseConnected() const { return true; }
};

}  // namespace v270
