#include "app/win32/startup_timing.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

namespace v270::win32 {

namespace {

// Taken while the program's static objects are made, before wWinMain; never changed.
const auto kProgramCodeStarted = std::chrono::steady_clock::now();

double millisecondsSinceProcessCreation() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 |
                                   time.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 10'000.0;  // 100 ns units
}

}  // namespace

void reportFirstFrame() {
    const double sinceCode = std::chrono::duration<double, std::milli>(
                                 std::chrono::steady_clock::now() - kProgramCodeStarted)
                                 .count();
    wchar_t line[160];
    std::swprintf(line, 160,
                  L"V270 first frame: %.1f ms after the program's code started, %.1f ms after the "
                  L"process was created\n",
                  sinceCode, millisecondsSinceProcessCreation());
    OutputDebugStringW(line);
}

}  // namespace v270::win32
