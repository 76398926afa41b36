#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace v270::test {

// A path of the build tree as this Wine program reaches it: Wine shows the Unix root as Z:.
inline std::filesystem::path buildTreePath(const std::string& path) {
    return std::filesystem::path(path.starts_with("/") ? "Z:" + path : path);
}

// One event as the probe's hook saw it.
struct ProbedEvent {
    bool mouse = false;
    bool up = false;
    std::string message;
    uint32_t virtualKey = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;
    uint64_t extra = 0;
};

// Runs v270-keyprobe in its own Wine process and reads what its low-level hooks saw.
class KeyProbe {
  public:
    static constexpr uint8_t kEndKey = 0x87;  // F24: the key-up that ends the probe

    explicit KeyProbe(const std::filesystem::path& output) : output_(output) {
        const std::filesystem::path program = buildTreePath(V270_KEYPROBE);
        std::wstring commandLine = L"\"" + program.wstring() + L"\" --mouse --seconds 120" +
                                   L" --until-vk 0x87 --out \"" + output.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &started)) {
            process_.reset(started.hProcess);
            CloseHandle(started.hThread);
        }
    }

    bool started() const { return process_.valid(); }

    // Waits until the probe's hooks are in place.
    bool waitReady() const {
        for (int i = 0; i < 60000 && started(); ++i) {
            if (!lines().empty())
                return lines().front() == "ready";
            if (WaitForSingleObject(process_.get(), 1) == WAIT_OBJECT_0)
                return false;
        }
        return false;
    }

    // Ends the probe with its end key, sent by `sendKey(vk, up)`, and returns what it saw
    // before the end key.
    template <typename SendKey>
    std::vector<ProbedEvent> finish(SendKey sendKey) {
        sendKey(kEndKey, false);
        sendKey(kEndKey, true);
        if (WaitForSingleObject(process_.get(), 60000) != WAIT_OBJECT_0)
            return {};
        std::vector<ProbedEvent> events;
        for (const std::string& line : lines()) {
            if (line == "ready" || line.starts_with("exit"))
                continue;
            ProbedEvent event = parse(line);
            if (!event.mouse && event.virtualKey == kEndKey)
                continue;
            events.push_back(event);
        }
        return events;
    }

    std::vector<std::string> lines() const {
        std::ifstream in(output_);
        std::vector<std::string> result;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                result.push_back(line);
        }
        return result;
    }

  private:
    static ProbedEvent parse(const std::string& line) {
        ProbedEvent event;
        std::istringstream in(line);
        std::string kind;
        in >> kind >> event.message;
        event.mouse = kind == "mouse";
        event.up = event.message.ends_with("UP");
        for (std::string field; in >> field;) {
            const auto equals = field.find('=');
            if (equals == std::string::npos)
                continue;
            const std::string name = field.substr(0, equals);
            const uint64_t value = std::stoull(field.substr(equals + 1), nullptr, 16);
            if (name == "vk")
                event.virtualKey = static_cast<uint32_t>(value);
            if (name == "scan")
                event.scanCode = static_cast<uint32_t>(value);
            if (name == "flags")
                event.flags = static_cast<uint32_t>(value);
            if (name == "extra")
                event.extra = value;
        }
        return event;
    }

    std::filesystem::path output_;
    win32::UniqueHandle process_;
};

}  // namespace v270::test
