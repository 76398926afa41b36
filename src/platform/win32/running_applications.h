#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace v270::win32 {

// The full path of the executable of the process that made `window`; nullopt when the process
// is gone or does not let itself be asked.
std::optional<std::wstring> executablePathOfWindow(HWND window);

// An application the user sees: a program with a visible top-level window.
struct RunningApplication {
    std::wstring path;
    std::wstring title;  // of its first window found
};

// The applications of other processes with a visible, captioned top-level window, one entry per
// executable, ordered by file name.
std::vector<RunningApplication> runningApplications();

}  // namespace v270::win32
