// v270-keyprobe: watches the system's keyboard (and, on request, mouse-button) input with
// low-level hooks and writes one line per event, so that tests can see exactly what synthetic
// input reached the system.
//
//   v270-keyprobe.exe [--out FILE] [--seconds N] [--until-vk HEX] [--mouse]
//
//   --out FILE      write to FILE (created or truncated) instead of standard output
//   --seconds N     exit after N seconds (default 30); the probe never runs unbounded
//   --until-vk HEX  exit after the key-up of virtual key HEX (for example 0x87, F24), which is
//                   written like every other event; this is how a test ends the probe
//   --mouse         also watch mouse buttons and the wheel (not pointer movement)
//
// Output, one line per event, flushed as it is written:
//   ready                                         the hooks are in place; send events now
//   key WM_KEYDOWN vk=0x41 scan=0x1e flags=0x10 extra=0x0 us=3409016954
//   mouse WM_LBUTTONDOWN flags=0x1 extra=0x0 us=3409020809
//   exit timeout | exit until-vk                  the last line
// `flags` is the hook's record as given: for keys LLKHF_EXTENDED 0x01, LLKHF_INJECTED 0x10,
// LLKHF_ALTDOWN 0x20, LLKHF_UP 0x80; for mouse buttons LLMHF_INJECTED 0x01. `us` is when the
// hook saw the event, in microseconds of the performance counter (under Wine the host's
// CLOCK_MONOTONIC_RAW), for measuring. Every event is passed on to the next hook. Exit code 0, or 2
// when the arguments or a hook are refused.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;

struct Options {
    std::wstring outPath;
    unsigned seconds = 30;
    int untilVirtualKey = -1;
    bool mouse = false;
};

// The one probe of the process: the hook procedures have no parameter of their own.
struct Probe {
    FILE* out = stdout;
    int untilVirtualKey = -1;
};
Probe probe;

long long microsecondsNow() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart / frequency.QuadPart * 1'000'000 +
           count.QuadPart % frequency.QuadPart * 1'000'000 / frequency.QuadPart;
}

void writeLine(const char* text) {
    std::fputs(text, probe.out);
    std::fputc('\n', probe.out);
    std::fflush(probe.out);
}

const char* keyMessageName(WPARAM message) {
    switch (message) {
        case WM_KEYDOWN:
            return "WM_KEYDOWN";
        case WM_KEYUP:
            return "WM_KEYUP";
        case WM_SYSKEYDOWN:
            return "WM_SYSKEYDOWN";
        case WM_SYSKEYUP:
            return "WM_SYSKEYUP";
        default:
            return "WM_UNKNOWN";
    }
}

const char* mouseMessageName(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP:
            return "WM_LBUTTONUP";
        case WM_RBUTTONDOWN:
            return "WM_RBUTTONDOWN";
        case WM_RBUTTONUP:
            return "WM_RBUTTONUP";
        case WM_MBUTTONDOWN:
            return "WM_MBUTTONDOWN";
        case WM_MBUTTONUP:
            return "WM_MBUTTONUP";
        case WM_MOUSEWHEEL:
            return "WM_MOUSEWHEEL";
        default:
            return nullptr;  // movement and the rest are not written
    }
}

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto& event = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const long long now = microsecondsNow();
        char line[160];
        std::snprintf(line, sizeof line,
                      "key %s vk=0x%lx scan=0x%lx flags=0x%lx extra=0x%llx us=%lld",
                      keyMessageName(message), event.vkCode, event.scanCode, event.flags,
                      static_cast<unsigned long long>(event.dwExtraInfo), now);
        writeLine(line);
        if ((event.flags & LLKHF_UP) != 0 &&
            static_cast<int>(event.vkCode) == probe.untilVirtualKey) {
            PostQuitMessage(0);
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK mouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        if (const char* name = mouseMessageName(message)) {
            const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
            const long long now = microsecondsNow();
            char line[160];
            std::snprintf(line, sizeof line, "mouse %s flags=0x%lx extra=0x%llx us=%lld", name,
                          event.flags, static_cast<unsigned long long>(event.dwExtraInfo), now);
            writeLine(line);
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

bool parseOptions(Options& options) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return false;
    bool valid = true;
    for (int i = 1; i < count && valid; ++i) {
        const std::wstring argument = arguments[i];
        const bool hasValue = i + 1 < count;
        if (argument == L"--mouse") {
            options.mouse = true;
        } else if (argument == L"--out" && hasValue) {
            options.outPath = arguments[++i];
        } else if (argument == L"--seconds" && hasValue) {
            options.seconds = static_cast<unsigned>(std::wcstoul(arguments[++i], nullptr, 10));
            valid = options.seconds > 0;
        } else if (argument == L"--until-vk" && hasValue) {
            options.untilVirtualKey = static_cast<int>(std::wcstol(arguments[++i], nullptr, 16));
            valid = options.untilVirtualKey > 0 && options.untilVirtualKey < 256;
        } else {
            valid = false;
        }
    }
    LocalFree(arguments);
    return valid;
}

}  // namespace

int main() {
    Options options;
    if (!parseOptions(options)) {
        std::fputs("usage: v270-keyprobe [--out FILE] [--seconds N] [--until-vk HEX] [--mouse]\n",
                   stderr);
        return 2;
    }
    if (!options.outPath.empty()) {
        probe.out = _wfopen(options.outPath.c_str(), L"w");
        if (probe.out == nullptr)
            return 2;
    }
    probe.untilVirtualKey = options.untilVirtualKey;

    const HINSTANCE module = GetModuleHandleW(nullptr);
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, module, 0);
    HHOOK mouse = options.mouse ? SetWindowsHookExW(WH_MOUSE_LL, mouseHook, module, 0) : nullptr;
    if (keyboard == nullptr || (options.mouse && mouse == nullptr))
        return 2;
    SetTimer(nullptr, kTimeoutTimer, options.seconds * 1000u, nullptr);
    writeLine("ready");

    // Low-level hooks are called through this thread's message loop.
    bool timedOut = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            timedOut = true;
            break;
        }
        DispatchMessageW(&message);
    }
    writeLine(timedOut ? "exit timeout" : "exit until-vk");

    UnhookWindowsHookEx(keyboard);
    if (mouse != nullptr)
        UnhookWindowsHookEx(mouse);
    if (probe.out != stdout)
        std::fclose(probe.out);
    return 0;
}
