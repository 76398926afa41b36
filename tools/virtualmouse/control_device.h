#pragma once

#include <windows.h>

#include <winioctl.h>

#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "virtual_mouse_control.h"

namespace v270::virtualmouse {

// A feature report the program sent, waiting for its answer.
struct SentFeatureReport {
    uint32_t id = 0;
    uint32_t mouse = 0;  // the mouse it was sent to
    std::vector<uint8_t> bytes;
};

// The virtual mouse driver's control device: the side of the mouse a test plays. Every call
// blocks until the driver has done it; only takeFeature waits for the program.
class ControlDevice {
  public:
    // Opens the control device; empty while the driver is not loaded (no device installed).
    static std::optional<ControlDevice> open();

    // Sends `report` (report ID first) as mouse `mouse`'s next input report.
    bool pushInput(std::span<const uint8_t> report, uint32_t mouse = 0) const;

    // The oldest feature report the program sent and nobody took yet, once there is one;
    // nullopt when `stop` is requested first or the driver fails the request.
    std::optional<SentFeatureReport> takeFeature(std::stop_token stop) const;

    // Ends the send of report `id`: the program's HidD_SetFeature succeeds or fails.
    bool answerFeature(uint32_t id, bool accepted) const;

    // The report lengths (report ID included) of the devices that start from now on.
    bool setLengths(uint16_t input, uint16_t feature) const;

    std::optional<V270Counters> counters() const;

  private:
    explicit ControlDevice(win32::UniqueHandle handle) : handle_(std::move(handle)) {}

    // One request, waited for; the number of bytes it returned, or nullopt when it failed.
    std::optional<DWORD> request(DWORD code, const void* in, DWORD inSize, void* out,
                                 DWORD outSize) const;

    win32::UniqueHandle handle_;
};

}  // namespace v270::virtualmouse
