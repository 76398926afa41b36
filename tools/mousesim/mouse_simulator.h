#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_lines.h"
#include "connection_pool.h"
#include "device/sim_protocol.h"
#include "hid_connection.h"
#include "mouse_firmware.h"
#include "platform/sockets.h"
#include "platform/worker_thread.h"

namespace v270::mousesim {

struct SimulatorOptions {
    uint16_t hidPort = 0;      // 0: any free port
    uint16_t controlPort = 0;  // 0: any free port
    FirmwareOptions firmware;
};

// The simulated mouse: the firmware behind a HID port that speaks the wire protocol, to several
// programs at once as a system lets several programs open one device, and a control port that
// takes the command language, one command a line.
class MouseSimulator {
  public:
    // Clients served at once on each port; a further one is turned away.
    static constexpr size_t kMaxHidClients = 8;
    static constexpr size_t kMaxControlClients = 16;
    // Handles one HID client may hold open at once; a further Open fails.
    static constexpr size_t kMaxHandlesPerClient = 256;

    explicit MouseSimulator(SimulatorOptions options);
    MouseSimulator(const MouseSimulator&) = delete;
    MouseSimulator& operator=(const MouseSimulator&) = delete;
    ~MouseSimulator();

    // Opens both ports and starts serving; false when a port cannot be opened.
    bool start();
    uint16_t hidPort() const;
    uint16_t controlPort() const;

    // Runs one command and returns its one-line reply ("ok", "ok ...", "error: ...", or the
    // JSON dump).
    std::string execute(std::string_view command);
    // One line from a command source: its reply, or none for a blank line.
    std::optional<std::string> executeLine(const CommandLine& line);

    // Stops serving both ports and ends every connection; commands can still be executed.
    void stop();

    // Waits until a "quit" command came.
    void waitForQuit();
    bool quitRequested() const;

  private:
    struct OpenHandle {
        InterfaceKind kind;
        sim::OpenAccess access;
        HidConnection* owner;  // its handles go before the connection does
    };

    void acceptHid(std::stop_token stop);
    void serveHid(HidConnection& client, std::stop_token stop);
    // Answers one request of `client`; false when the request ends the connection.
    bool answer(HidConnection& client, bool& greeted, const sim::Frame& request);
    uint32_t openLocked(HidConnection& client, std::span<const uint8_t> payload);
    bool setFeatureLocked(HidConnection& client, std::span<const uint8_t> payload);
    void acceptControl(std::stop_token stop);
    void serveControl(platform::TcpStream& stream, std::stop_token stop);

    // With the state lock held.
    bool deliverInputLocked(const Bytes& report);
    ClientStatus clientStatusLocked() const;
    std::string executeLocked(const std::vector<std::string>& args);
    std::string pressLocked(int buttonId, bool press);
    std::string sendInputLocked(std::span<const uint8_t> start, std::string_view tooLong);
    std::string unplugLocked();
    std::string plugLocked();

    SimulatorOptions options_;
    std::unique_ptr<platform::TcpListener> hidListener_;
    std::unique_ptr<platform::TcpListener> controlListener_;

    mutable std::mutex mutex_;  // the firmware, the clients and their handles
    MouseFirmware firmware_;
    std::vector<HidConnection*> clients_;
    std::map<uint32_t, OpenHandle> handles_;
    uint32_t nextHandle_ = 1;
    bool quit_ = false;
    std::condition_variable quitCondition_;

    // After everything their threads use.
    ConnectionPool hidClients_{"v270 sim client", kMaxHidClients};
    ConnectionPool controlClients_{"v270 sim cmd", kMaxControlClients};
    platform::WorkerThread hidAcceptor_{"v270 sim hid", platform::ThreadPriority::Normal,
                                        [this](std::stop_token stop) { acceptHid(stop); }};
    platform::WorkerThread controlAcceptor_{"v270 sim cmds", platform::ThreadPriority::Normal,
                                            [this](std::stop_token stop) { acceptControl(stop); }};
};

}  // namespace v270::mousesim
