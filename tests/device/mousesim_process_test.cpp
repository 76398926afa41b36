// v270-mousesim as a process: the ports it prints, its control port, and the program's
// transport reaching its HID port.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "device/mouse_discovery.h"
#include "device/simulated_hid.h"
#include "platform/sockets.h"
#include "sim_rig.h"

extern char** environ;

namespace v270 {
namespace {

// The simulator started with free ports, its standard input and output on pipes.
class SimulatorProcess {
  public:
    SimulatorProcess() {
        int input[2];
        int output[2];
        if (pipe(input) != 0 || pipe(output) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        std::string program = V270_MOUSESIM;
        std::string port = "--port", zero = "0", control = "--control-port",
                    length = "--feature-length", feature = "300";
        char* argv[] = {program.data(), port.data(),   zero.data(),    control.data(),
                        zero.data(),    length.data(), feature.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        stdin_ = input[1];
        stdout_ = fdopen(output[0], "r");
    }
    ~SimulatorProcess() {
        if (stdin_ >= 0)
            close(stdin_);
        if (stdout_ != nullptr)
            fclose(stdout_);
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    std::string line() {
        char buffer[256];
        if (stdout_ == nullptr || fgets(buffer, sizeof buffer, stdout_) == nullptr)
            return {};
        std::string text = buffer;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }
    void send(std::string_view text) {
        if (write(stdin_, text.data(), text.size()) < 0)
            ADD_FAILURE() << "stdin closed";
    }
    // The exit status, once the process has ended.
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool started() const { return pid_ > 0 && stdout_ != nullptr; }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    FILE* stdout_ = nullptr;
    bool exited_ = false;
};

uint16_t portFrom(const std::string& line, const std::string& name) {
    if (!line.starts_with(name + " "))
        return 0;
    return static_cast<uint16_t>(std::stoi(line.substr(name.size() + 1)));
}

std::string exchange(platform::TcpStream& stream, std::string command) {
    command += "\n";
    stream.sendAll(std::span(reinterpret_cast<const uint8_t*>(command.data()), command.size()));
    std::string reply;
    std::array<uint8_t, 4096> chunk{};
    while (reply.find('\n') == std::string::npos) {
        const auto got = stream.receiveSome(chunk, std::chrono::seconds(10));
        if (got.status != platform::ReceiveStatus::Data)
            break;
        reply.append(reinterpret_cast<const char*>(chunk.data()), got.count);
    }
    return reply.substr(0, reply.find('\n'));
}

TEST(MouseSimProcessTest, PrintsItsPortsServesBothAndQuits) {
    SimulatorProcess simulator;
    ASSERT_TRUE(simulator.started());
    const uint16_t hidPort = portFrom(simulator.line(), "hid-port");
    const uint16_t controlPort = portFrom(simulator.line(), "control-port");
    ASSERT_NE(hidPort, 0);
    ASSERT_NE(controlPort, 0);

    test::RecordingNoticeSink sink;
    SimulatedHidSystem hid({"127.0.0.1", hidPort}, sink);
    MouseInterfaces interfaces;
    MouseDiscovery discovery(hid, interfaces);
    ASSERT_EQ(discovery.FindMouse(), 1);
    ASSERT_TRUE(interfaces.feature()->usable());
    EXPECT_EQ(interfaces.feature()->listing().featureReportLength, 300);
    EXPECT_TRUE(interfaces.feature()->send(exitReport()).ok);

    const auto control = platform::connectTcp("127.0.0.1", controlPort);
    ASSERT_NE(control, nullptr);
    const std::string dump = exchange(*control, "dump");
    EXPECT_TRUE(dump.starts_with("{\"plugged\":true,\"clientConnected\":true")) << dump;
    EXPECT_NE(dump.find("\"exitReportSeen\":true"), std::string::npos);

    // Standard input takes lines as the control port does, with the same limit.
    simulator.send("press 1\r\n \t\n" + std::string(100000, 'x') + "\nquit now\n");
    EXPECT_EQ(simulator.line(), "ok no report: the button does not report to the host");
    EXPECT_EQ(simulator.line(), "error: line longer than 65536 bytes");
    EXPECT_EQ(simulator.line(), "error: usage: quit");
    EXPECT_EQ(exchange(*control, "quit"), "ok");
    EXPECT_EQ(simulator.wait(), 0);
}

}  // namespace
}  // namespace v270
