#pragma once

#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "device/sim_protocol.h"
#include "mouse_firmware.h"
#include "platform/sockets.h"

namespace v270::mousesim {

struct SimulatorOptions {
    uint16_t hidPort = 0;      // 0: any free port
    uint16_t controlPort = 0;  // 0: any free port
    FirmwareOptions firmware;
};

// The simulated mouse: the firmware behind a HID port that speaks the wire protocol to one
// program at a time, and a control port that takes the command language, one command a line.
class MouseSimulator {
  public:
    explicit MouseSimulator(SimulatorOptions options);
    MouseSimulator(const MouseSimulator&) = delete;
    MouseSimulator& operator=(const MouseSimulator&) = delete;
    ~MouseSimulator();

    // Opens both ports and starts serving; false when a port cannot be opened.
    bool start();
    uint16_t hidPort() const;
    uint16_t controlPort() const;

    // Runs one command line and returns its one-line reply ("ok", "ok ...", "error: ...", or
    // the JSON dump).
    std::string execute(std::string_view line);

    // Stops serving both ports; commands can still be executed.
    void stop();

    // Waits until a "quit" command came.
    void waitForQuit();
    bool quitRequested() const;

  private:
    struct OpenHandle {
        InterfaceKind kind;
        sim::OpenAccess access;
    };
    struct ControlSession {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void serveHid(std::stop_token stop);
    void runHidSession(platform::TcpStream& stream, std::stop_token stop);
    void answer(const sim::Frame& request);
    void serveControl(std::stop_token stop);
    void runControlSession(std::shared_ptr<platform::TcpStream> stream, std::stop_token stop);

    // With the state lock held.
    void sendLocked(const sim::Frame& frame);
    bool deliverInputLocked(const Bytes& report);
    ClientStatus clientStatusLocked() const;
    std::string pressLocked(int buttonId, bool press);
    std::string unplugLocked();
    std::string plugLocked();

    SimulatorOptions options_;
    std::unique_ptr<platform::TcpListener> hidListener_;
    std::unique_ptr<platform::TcpListener> controlListener_;

    mutable std::mutex mutex_;  // the firmware, the client and its handles
    MouseFirmware firmware_;
    platform::TcpStream* client_ = nullptr;
    std::map<uint32_t, OpenHandle> handles_;
    uint32_t nextHandle_ = 1;
    bool quit_ = false;
    std::condition_variable quitCondition_;

    std::mutex controlMutex_;
    std::list<ControlSession> controlSessions_;
    std::jthread hidThread_;
    std::jthread controlThread_;
};

}  // namespace v270::mousesim
