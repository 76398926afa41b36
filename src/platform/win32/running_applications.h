#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace v270::win32 {

// An application the user sees: a program with a visible top-level window.
struct RunningApplication {
    std::wstring path;
    std::wstring title;  // of its first window found
};

// The applications of other processes with a visible, captioned top-level window, one entry per
// executable, ordered by file name.
std::vector<RunningApplication> runningApplications();

}  // namespace v270::win32
