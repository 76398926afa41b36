#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid.h"

namespace v270 {

// Where the simulated mouse listens for the program.
struct SimulatorEndpoint {
    std::string host;
    uint16_t port = 0;

    bool operator==(const SimulatorEndpoint&) const = default;
};

class SimulatorConnection;
class NoticeDispatcher;

// The HID system of the simulated mouse, reached over TCP on the loopback network. It connects
// when an enumeration is asked for, and again after the connection was lost. The simulator's
// arrival and removal notices, and the loss of the connection (a removal of every interface it
// had listed), go to `sink` once registerForNotices() has been called, from a thread of their
// own, so the sink may search again or block until the window has handled them.
class SimulatedHidSystem final : public platform::HidSystem {
  public:
    SimulatedHidSystem(SimulatorEndpoint endpoint, platform::DeviceNoticeSink& sink);
    SimulatedHidSystem(const SimulatedHidSystem&) = delete;
    SimulatedHidSystem& operator=(const SimulatedHidSystem&) = delete;
    ~SimulatedHidSystem() override;

    std::vector<platform::HidInterface> enumerate() override;
    std::unique_ptr<platform::HidDevice> open(std::u16string_view path,
                                              platform::HidAccess access) override;
    void registerForNotices() override;

  private:
    std::shared_ptr<SimulatorConnection> connection();

    const SimulatorEndpoint endpoint_;
    std::shared_ptr<NoticeDispatcher> notices_;
    std::mutex mutex_;
    std::shared_ptr<SimulatorConnection> connection_;
};

}  // namespace v270
