#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/driver_status.h"
#include "app/profile_transfer.h"
#include "app/script_request.h"
#include "device/device_link.h"
#include "device/handover_flags.h"
#include "settings/profile_store.h"

namespace v270 {

struct ScriptRequestServices {
    ProfileTransfer& transfer;
    ProfileStore& profiles;
    DeviceLink& device;
    const BannerState& banner;
    std::string version;
};

// The running driver's side of the command front for scripts. Runs on the user-interface
// thread, where the request arrives.
class ScriptRequestHandler {
  public:
    explicit ScriptRequestHandler(ScriptRequestServices services) : s_(std::move(services)) {}

    // The reply to a block from another process (any bytes at all), or nothing when the block
    // is not exactly a script request; then nothing is done.
    std::optional<std::vector<uint8_t>> answer(uint64_t tag, std::span<const uint8_t> data);

    DriverStatus status() const;

  private:
    ScriptReply exportProfile(const ExportRequest& request) const;
    ScriptReply importProfile(const ImportRequest& request);

    ScriptRequestServices s_;
};

}  // namespace v270
