#include <windows.h>

#include <string>

#include "platform/thread_setup.h"

namespace v270::platform {

namespace {

// SetThreadDescription came with Windows 10 1607; older systems run the thread unnamed.
void nameCurrentThread(std::string_view name) {
    using SetThreadDescriptionFunction = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    const auto setDescription =
        reinterpret_cast<SetThreadDescriptionFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (setDescription == nullptr)
        return;
    const std::wstring wide(name.begin(), name.end());
    setDescription(GetCurrentThread(), wide.c_str());
}

}  // namespace

void prepareCurrentThread(std::string_view name, ThreadPriority priority) {
    nameCurrentThread(name);
    if (priority == ThreadPriority::Highest)
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

}  // namespace v270::platform
